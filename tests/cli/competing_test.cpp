// The competing-risks figures of the batch command on the file of data_files.h, deaths of
// 心疾患 censored: the JSON member against R survival and cmprsk (reference/competing_cli.R and
// its output), null without a censored cause; the text section; the files of --out.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include <nlohmann/json.hpp>

#include "cli/cli_run.h"

namespace cli {
namespace {

using json = nlohmann::ordered_json;

std::string CompetingFile() { return WriteData("competing.csv", CompetingRows()); }

TEST(CliCompeting, JsonMatchesRTextSectionAndFilesOfOut) {
  const json doc = json::parse(Succeeding({CompetingFile(), "--censor", U8(u8"心疾患"), "--json"}));
  const json& c = doc["competingRisks"];
  EXPECT_EQ(c["competingCauses"], json::array({U8(u8"心疾患")}));
  // Incidence and its error to 1e-9 of R, Gray's test and the Fine-Gray ratios to 1e-6
  // (relative); the week's competing deaths exactly.
  ExpectFigures(c, {
      {"pooled week 10: the shown groups summed", "/groups/0/weeks/10/cif", 0.22108036890645594},
      {"its error", "/groups/0/weeks/10/stdErr", 0.073942962216819452},
      {"pooled at 5 years", "/groups/0/at5y/incidence", 0.3814523754165699},
      {"its naive 1 - KM", "/groups/0/at5y/naive", 0.48734526854219939},
      {"A week 3: a death of each cause", "/groups/1/weeks/3/cif", 0.14285714285714285},
      {"its lower limit", "/groups/1/weeks/3/lower", 0.023223164084920995},
      {"its upper limit", "/groups/1/weeks/3/upper", 0.36554413165081878},
      {"A's competing deaths in week 3", "/groups/1/weeks/3/competing", 1, 0},
      {"A at 5 years, lower limit", "/groups/1/at5y/lower", 0.14010169563197059},
      {"A at 5 years, upper limit", "/groups/1/at5y/upper", 0.63951586763977153},
      {"B week 25", "/groups/2/weeks/25/cif", 0.47222222222222221}, {"its error", "/groups/2/weeks/25/stdErr", 0.17812466157646001},
      {"C week 7, after two competing deaths", "/groups/3/weeks/7/cif", 0.11111111111111109},
      {"Gray's test of the shown groups, A's week 265 censored at 260", "/grayTest/statistic", 0.8782226025908676, 1e-6},
      {"its p", "/grayTest/p", 0.64460902981688495, 1e-6}, {"its degrees of freedom", "/grayTest/df", 2, 0},
      {"Gray's test of B and A", "/pairs/0/grayStatistic", 0.060132146390736073, 1e-6},
      {"its p", "/pairs/0/grayP", 0.80628719956603134, 1e-6},
      {"B relative to A", "/pairs/0/subHazardRatio", 1.1666569933318263, 1e-6},
      {"its lower limit", "/pairs/0/lower", 0.34116866792187678, 1e-6},
      {"its upper limit", "/pairs/0/upper", 3.9894886842355897, 1e-6},
      {"its p", "/pairs/0/p", 0.80590169209353424, 1e-6}, {"C relative to A", "/pairs/1/subHazardRatio", 0.56080836764570341, 1e-6},
      {"Gray's test of C and B", "/pairs/2/grayStatistic", 0.93906991284658825, 1e-6},
      {"C relative to B", "/pairs/2/subHazardRatio", 0.44793584361536376, 1e-6}, {"its p", "/pairs/2/p", 0.30921802194085246, 1e-6},
      {"week 0: no interval (F = 0)", "/groups/1/weeks/0/lower", NAN}, {"B's data end before 5 years", "/groups/2/at5y", NAN},
      {"no group reaches 10", "/groups/0/at10y", NAN},
  });
  // Weeks 0 to each group's last event week.
  EXPECT_EQ(std::tuple(c["groups"][0]["weeks"].size(), c["groups"][2]["weeks"].size(), c["pairs"].size()),
            std::tuple(271u, 36u, 3u));

  const json none = json::parse(Succeeding({CompetingFile(), "--json"}));
  ExpectFigures(none, {{"no censored cause: no member", "/competingRisks", NAN}});

  // With a censored cause the section after the publication figures, the CSV (UTF-8 with its
  // byte-order mark) and the three figure files; without one none of them.
  const fs::path with = TempPath("competing_out"), without = TempPath("competing_none");
  fs::remove_all(with);
  fs::remove_all(without);
  const std::string out = Succeeding({CompetingFile(), "--censor", U8(u8"心疾患"), "--out", with.string()});
  const std::size_t start = out.find("[Cumulative incidence with competing risks (95 % CI)]");
  ASSERT_NE(start, std::string::npos);
  EXPECT_LT(out.find("[Hazard ratios (95 % CI)]"), start);
  EXPECT_EQ(out.substr(start, out.find("\n\n[", start) + 1 - start), GoldenText("competing-section.txt"));
  // The CSV whole: among its rows A's week 3, 13 at risk and a death of each cause.
  EXPECT_EQ(ReadFile(with / "cumulative-incidence.csv"), GoldenText("competing-cumulative-incidence.csv"));
  EXPECT_EQ(Succeeding({CompetingFile(), "--out", without.string()}).find("[Cumulative incidence"), std::string::npos);
  // The figure files are written as the survival figure's are (figures_test checks them).
  for (const char* extension : {".csv", ".pdf", ".svg", ".png"}) {
    const std::string name = std::string("cumulative-incidence") + extension;
    EXPECT_EQ(std::tuple(fs::exists(with / name), fs::exists(without / name)), std::tuple(true, false)) << name;
  }
  fs::remove_all(with);
  fs::remove_all(without);
}

}  // namespace
}  // namespace cli
