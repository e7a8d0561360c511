// The publication figures of the batch command: the section after the pairwise tables, the
// JSON fields and the CSV files of --out, on a small file whose figures R survival gives
// (survfit and quantile for A and B, coxph with Efron ties for B relative to A).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

std::string TempName(const std::string& name) { return "orvantis_figures_" + std::to_string(getpid()) + "_" + name; }

std::string ReadFile(const fs::path& path) {
  return (std::stringstream() << std::ifstream(path, std::ios::binary).rdbuf()).str();
}

// Standard output of the command; standard error is dropped.
std::string RunOrvantis(const std::string& args) {
  std::string out;
  FILE* pipe = popen((std::string(ORVANTIS_COMMAND) + " " + args + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int status = pclose(pipe);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << args;
  return out;
}

// A: deaths in weeks 1 to 4 of 8 cases, so S is 0.5 from week 4 to the last censoring in
// week 61 (median 32.5); B: a death every second week to week 16 (median 9, S = 0 at 16);
// C: 8 censored cases, no death, so no hazard ratio against it.
std::string FiguresFile() {
  std::string rows = "'figures\r\n";
  for (int w : {1, 2, 3, 4}) rows += "A," + std::to_string(7 * w) + ",死亡,癌\r\n";
  for (int k = 0; k < 4; ++k) rows += "A,427,生存\r\n";
  for (int w = 2; w <= 16; w += 2) rows += "B," + std::to_string(7 * w) + ",死亡,癌\r\n";
  for (int w = 5; w <= 12; ++w) rows += "C," + std::to_string(7 * w) + ",生存\r\n";
  return orv::test::WriteTempFile(TempName("figures.csv"), rows);
}

TEST(CliFigures, SectionAfterThePairwiseTables) {
  const std::string out = RunOrvantis(FiguresFile());
  const std::size_t start = out.find("[Median, 5- and 10-year survival, numbers at risk]");
  ASSERT_NE(start, std::string::npos);
  // Expected UTF-8 is written as a u8 literal: ordinary literals here are Shift-JIS.
  EXPECT_LT(out.rfind(reinterpret_cast<const char*>(u8"[多重比較(General Wilcoxon)]")), start);
  EXPECT_EQ(out.substr(start),
            "[Median, 5- and 10-year survival, numbers at risk]\n"
            "all Case ( n=24 )\n"
            "  median: 14 weeks ( 0y 3m), 95 % CI 8 weeks ( 0y 1m) to not reached\n"
            "  5 years: n/a (the data end earlier)\n"
            "  10 years: n/a (the data end earlier)\n"
            "  at risk (year: cases): 0: 24, 1: 4, 2: 0\n"
            "A ( n = 8 )\n"
            "  median: 32.5 weeks ( 0y 7m), 95 % CI 3 weeks (0.6m) to not reached\n"
            "  5 years: n/a (the data end earlier)\n"
            "  10 years: n/a (the data end earlier)\n"
            "  at risk (year: cases): 0: 8, 1: 4, 2: 0\n"
            "B ( n = 8 )\n"
            "  median: 9 weeks ( 0y 2m), 95 % CI 6 weeks ( 0y 1m) to not reached\n"
            "  5 years: n/a (the data end earlier)\n"
            "  10 years: n/a (the data end earlier)\n"
            "  at risk (year: cases): 0: 8, 1: 0, 2: 0\n"
            "C ( n = 8 )\n"
            "  median: not reached, 95 % CI not reached to not reached\n"
            "  5 years: n/a (the data end earlier)\n"
            "  10 years: n/a (the data end earlier)\n"
            "  at risk (year: cases): 0: 8, 1: 0, 2: 0\n"
            "\n"
            "[Hazard ratios (95 % CI)]\n"
            "2 B vs 1 A: HR 2.161 (0.627 to 7.451), p=0.2226\n"
            "3 C vs 1 A: HR n/a (no finite estimate)\n"
            "3 C vs 2 B: HR n/a (no finite estimate)\n");
}

TEST(CliFigures, JsonFieldsMatchR) {
  const json doc = json::parse(RunOrvantis(FiguresFile() + " --json"), nullptr, false);
  ASSERT_FALSE(doc.is_discarded());
  struct Case {
    const char* name;
    const char* pointer;
    double expected;
    double tolerance = 1e-9;  // relative; R's Cox figures agree to 1e-6
  };
  const Case cases[] = {
      {"A's median: midpoint of week 4 and the last week observed", "/groups/1/median/week", 32.5},
      {"A's median, lower limit", "/groups/1/median/lower", 3},
      {"B's median: midpoint of weeks 8 and 10", "/groups/2/median/week", 9},
      {"B in week 10: the estimate", "/groups/2/weeks/10/km", 0.375},
      {"B in week 10: Greenwood's error", "/groups/2/weeks/10/stdErr", 0.17116329922036438},
      {"B in week 10: lower limit", "/groups/2/weeks/10/lower", 0.15328960174295209},
      {"B in week 10: upper limit", "/groups/2/weeks/10/upper", 0.91738120786438559},
      {"B relative to A", "/pairs/0/hazardRatio", 2.160685168, 1e-6},
      {"its lower limit", "/pairs/0/hrLower", 0.626550294, 1e-6},
      {"its upper limit", "/pairs/0/hrUpper", 7.451214119, 1e-6},
      {"its Wald p", "/pairs/0/hrP", 0.2225552132, 1e-6},
      {"A at the year mark 1", "/groups/1/atRisk/1/n", 4},
      {"the last year mark within the range of 104 weeks", "/groups/1/atRisk/2/week", 104},
  };
  for (const Case& c : cases) {
    const json::json_pointer pointer(c.pointer);
    ASSERT_TRUE(doc.contains(pointer) && doc[pointer].is_number()) << c.name;
    EXPECT_NEAR(doc[pointer].get<double>(), c.expected, c.tolerance * std::abs(c.expected)) << c.name;
  }
  const char* nulls[] = {"/groups/1/median/upper", "/groups/2/weeks/16/lower", "/groups/2/weeks/16/stdErr",
                         "/groups/3/median", "/groups/1/at5y", "/groups/0/at10y", "/pairs/1/hazardRatio",
                         "/pairs/2/hrP"};
  for (const char* p : nulls) EXPECT_TRUE(doc[json::json_pointer(p)].is_null()) << p;
  EXPECT_EQ(doc["groups"][1]["atRisk"].size(), 3u);
}

TEST(CliFigures, CsvFilesOfOut) {
  const fs::path dir = fs::temp_directory_path() / TempName("out");
  RunOrvantis(FiguresFile() + " --out " + dir.string());
  const std::string tables = ReadFile(dir / "life-tables.csv");
  const std::string pairs = ReadFile(dir / "pairs.csv");
  const std::string bom = "\xEF\xBB\xBF";
  EXPECT_EQ(tables.substr(0, 3), bom);
  EXPECT_EQ(pairs.substr(0, 3), bom);
  struct Case {
    const char* name;
    const std::string& file;
    std::string line;
  };
  const Case cases[] = {
      {"heading of the life tables", tables, bom + "group,name,week,atRisk,deaths,censored,km,stdErr,lower,upper\r\n"},
      {"the pooled group's first week", tables, "\r\n0,all Cases,0,24,0,0,1,0,1,1\r\n"},
      {"B's last week: no error and no interval", tables, "\r\n2,B,16,1,1,0,0,,,\r\n"},
      {"A's censored cases in week 61: fifteen digits, the upper limit below 1", tables,
       "\r\n1,A,61,4,0,4,0.5,0.176776695296637,0.250048821862805,0.999804750678524\r\n"},
      {"heading of the pairs", pairs, bom + "a,b,nameA,nameB,logRankChi2,logRankP,wilcoxonChi2,wilcoxonP,hazardRatio,hrLower,hrUpper,hrP\r\n"},
      {"a pair without an estimate", pairs, "\r\n2,3,B,C,"},
  };
  for (const Case& c : cases) EXPECT_NE(c.file.find(c.line), std::string::npos) << c.name;
  // Two pairs with C have no hazard ratio: their rows end in four empty fields.
  EXPECT_EQ(std::count(pairs.begin(), pairs.end(), '\n'), 4);
  EXPECT_NE(pairs.find(",,,,\r\n2,3"), std::string::npos);
  EXPECT_EQ(pairs.substr(pairs.size() - 6), ",,,,\r\n");
  fs::remove_all(dir);
}

}  // namespace
