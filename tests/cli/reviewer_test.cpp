// The reviewer's figures as the batch command wires them: the analysis run's shown groups,
// range and reference group reach the JSON members, the text section and the CSV files. The
// figures themselves are checked against R in tests/stats; here R survival's figures of one
// small file (tests/cli/reference/reviewer_file.R and .out) catch a group, week or reference
// passed wrongly.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/cli_run.h"

namespace cli {
namespace {

using json = nlohmann::ordered_json;

// A: deaths spread over weeks 3..40; B: all seven deaths in weeks 1..7, so its ratio against A
// fails the proportional-hazards check; C: no death before week 55; D: one case, dead in week
// 12 of another cause (hidden by default: fewer than 8 rows).
std::string ReviewerFile() {
  return WriteData("reviewer.csv", "'reviewer\r\n" + Rows("A", {3, 8, 15, 20, 31, 40}, "死亡,癌") + Rows("A", {12, 25, 45, 60}, "生存") +
                                       Rows("B", {1, 2, 3, 4, 5, 6, 7}, "死亡,癌") + Rows("B", {60, 70, 80}, "生存") +
                                       Rows("C", {55, 70, 90}, "死亡,癌") + Rows("C", {20, 30, 60, 80, 100}, "生存") + "D,84,死亡,他病\r\n");
}

std::string RunReviewer(std::vector<std::string> args) {
  args.insert(args.begin(), ReviewerFile());
  return Succeeding(args);
}

// The JSON members against R, then the text section and the CSV files of the same choices.
TEST(CliReviewer, JsonMembersMatchRTextSectionAndCsvFiles) {
  const json all = json::parse(RunReviewer({"--json", "--show", "4"}));
  // B, the reference asked for by name, hidden: A stands in.
  const json fallback = json::parse(RunReviewer({"--json", "--show", "4", "--hide", "2", "--reference", "B"}));
  // The range cut to 52 weeks: tau before C's first death (week 55), C's ratio without estimate.
  const json year = json::parse(RunReviewer({"--json", "--range", "-1y"}));
  // Relative tolerance: 1e-9, the Cox figures 1e-6 (R prints ten digits).
  ExpectFigures(all, {
      {"log-rank of four groups", "/logRank/statistic", 6.68416627841675},
      {"its p, not cut", "/logRank/p", 0.0826756414944081}, {"its df", "/logRank/df", 3},
      {"over the fitted range", "/logRank/lastWeek", 104}, {"the first shown group by default", "/reference", 1},
      {"B vs A", "/referenceRatios/0/hazardRatio", 1.792553983, 1e-6}, {"its check", "/referenceRatios/0/phP", 0.02639678975, 1e-6},
      {"the one-case group vs A", "/referenceRatios/2/hazardRatio", 4.475217739, 1e-6},
      {"its check", "/referenceRatios/2/phStatistic", 2.038116434, 1e-6},
      {"the pair's check is the same model", "/pairs/0/phP", 0.02639678975, 1e-6},
      {"A's restricted mean to 104", "/groups/1/rmst/estimate", 44.9571428571429},
      {"its error", "/groups/1/rmst/stdErr", 13.6651598875456}, {"the one-case group's mean", "/groups/4/rmst/estimate", 12},
      {"B - A", "/pairs/0/rmstDifference/estimate", -10.9571428571428}, {"its p", "/pairs/0/rmstDifference/p", 0.582379909390688},
      {"A's follow-up", "/groups/1/followUp/median", 45}, {"overall follow-up", "/groups/0/followUp/median", 60},
      {"the one-case group: no follow-up", "/groups/4/followUp/median", NAN}, {"events", "/groups/2/events", 7},
  });
  ExpectFigures(fallback, {
      {"hidden reference: A", "/reference", 1}, {"three groups tested", "/logRank/statistic", 10.0392843568522},
      {"C vs A first", "/referenceRatios/0/group", 3}, {"its check", "/referenceRatios/0/phP", 0.2481784937, 1e-6},
  });
  ExpectFigures(year, {
      {"range cut to a year", "/logRank/statistic", 9.80618595365119}, {"its last week", "/logRank/lastWeek", 52},
      {"tau", "/groups/3/rmst/tau", 52}, {"before C's first death: all of tau", "/groups/3/rmst/estimate", 52},
      {"without variance", "/groups/3/rmst/stdErr", 0}, {"A to 52", "/groups/1/rmst/stdErr", 5.88702481942193},
      {"C - A", "/pairs/1/rmstDifference/p", 0.000199186915529037},
      {"C without deaths in the range: no ratio", "/referenceRatios/1/hazardRatio", NAN},
      {"C's deaths counted in the range", "/groups/3/eventsInWindow", 0}, {"and over all weeks", "/groups/3/events", 3},
      {"nor its check", "/referenceRatios/1/phP", NAN},
  });
  // With one group shown there is no test.
  EXPECT_TRUE(json::parse(RunReviewer({"--json", "--hide", "2", "--hide", "3"}))["logRank"].is_null());
  const fs::path dir = TempPath("reviewer_out");
  fs::remove_all(dir);
  const std::string out = RunReviewer({"--show", "4", "--out", dir.string()});
  const std::size_t start = out.find("[Log-rank test, hazard ratios");
  ASSERT_NE(start, std::string::npos);
  // The section up to the model's, word for word: the months, "未到達", the marker of a failed check, p's digits.
  EXPECT_EQ(out.substr(start, out.find("\n\n[", start) + 1 - start), GoldenText("reviewer-section.txt"));
  // The CSV files whole: A's median without upper limit, D's without interval.
  EXPECT_EQ(ReadFile(dir / "medians.csv"), GoldenText("reviewer-medians.csv"));
  EXPECT_EQ(ReadFile(dir / "hazard-ratios.csv"), GoldenText("reviewer-hazard-ratios.csv"));
  fs::remove_all(dir);

  // Deaths of a censored cause: said under the weeks; D then has no event.
  const std::string censored = RunReviewer({"--show", "4", "--censor", U8(u8"他病")});
  // Built apart: an assertion quotes its arguments as a narrow literal, and code page 932 has no en dash.
  for (const std::string& line :
       {U8(u8"(0–2 years)\nCause-specific: 他病 counted as censored\nLog-rank p = "), U8(u8"\n  4 D (0/1): 未到達 (未到達 – 未到達)\n")}) {
    EXPECT_NE(censored.find(line), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace cli
