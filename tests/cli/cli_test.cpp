// The batch command from outside: what it prints, its exit status, its options and the
// files of --out, on small generated data files.
#include <cairo.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/test_support.h"

namespace {

using json = nlohmann::ordered_json;

// Expected texts are written as UTF-8 literals: ordinary literals here are Shift-JIS.
std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Temporary names of this process, so that runs of the tests in other build trees at the
// same time do not share files.
std::string TempName(const std::string& name) { return "orvantis_cli_" + std::to_string(getpid()) + "_" + name; }

std::string Quote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

RunResult RunCommand(const std::vector<std::string>& args) {
  const std::string errPath = (std::filesystem::temp_directory_path() / TempName("stderr.txt")).string();
  std::string command = ORVANTIS_COMMAND;
  for (const std::string& a : args) command += " " + Quote(a);
  command += " 2>" + Quote(errPath);
  RunResult r;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return r;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
  const int raw = pclose(pipe);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::ifstream err(errPath, std::ios::binary);
  std::stringstream ss;
  ss << err.rdbuf();
  r.err = ss.str();
  return r;
}

// Two accepted rows of 100 and 262 days: the smallest report with a longest period.
std::string TwoRowsFile() { return orv::test::WriteTempFile(TempName("two.csv"), "A,100,生存\r\nA,262,生存\r\n"); }

// Groups A (10 rows) and B (9 rows) shown, C and D (2 and 1 rows, no deaths) hidden; follow-up
// beyond ten years, one over-long period (a message box), one excluded row.
std::string CohortFile() {
  std::string rows = "'cohort\r\n";
  for (int k = 1; k <= 8; ++k) rows += "A," + std::to_string(70 * k) + (k % 2 ? ",死亡,癌\r\n" : ",死亡,肺炎\r\n");
  rows += "A,4400,生存\r\n";
  for (int k = 1; k <= 8; ++k) rows += "B," + std::to_string(365 * k) + ",死亡,癌\r\n";
  rows += "B,4400,生存\r\nC,30,生存\r\nC,60,生存\r\nD,30,生存\r\nA,15000,死亡,癌\r\nE,abc,死亡\r\n";
  return orv::test::WriteTempFile(TempName("cohort.csv"), rows);
}

json RunJson(std::vector<std::string> args) {
  args.push_back("--json");
  RunResult r = RunCommand(args);
  EXPECT_EQ(r.status, 0) << r.err;
  return json::parse(r.out, nullptr, false);
}

TEST(CliReport, PrintsTheReportAsUtf8WithItsTabsAndLineEnds) {
  const std::string two = TwoRowsFile();
  const std::string odd = orv::test::WriteTempFile(TempName("odd.csv"), "A,100,生存\xFF\r\n");
  struct Case {
    const char* name;
    std::string path;
    std::string expected;
  } cases[] = {
      {"two accepted rows", two,
       two + U8(u8"\t\r\n\r\n ---.------------.--- \t\r\n総データ数 : 2\t\r\n修正データ数 : 0\t\r\n除外データ数 : 0\t\r\n\r\n"
                u8"データ最長期間 = 37 週  (  0y 8m ) \r\n ---.------------.--- \t\r\n\r\n--- Raw data --- \t\r\n\r\n"
                u8"A,100,生存\t\t\r\nA,262,生存\t\t\r\n ---.--- END ---.--- \t\r\n\r\n")},
      {"a byte that is not Shift-JIS shows as U+FFFD", odd, U8(u8"A,100,生存\uFFFD\t\t\r\n")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunResult r = RunCommand({c.path});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(c.expected), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("\x1b["), std::string::npos) << "no colour escapes into a pipe";
  }
}

TEST(CliErrors, ExitStatusAndOneLineNamingTheProblem) {
  const std::string cohort = CohortFile();
  const std::string missing = (std::filesystem::temp_directory_path() / TempName("no_such_file.csv")).string();
  const std::string folder = std::filesystem::temp_directory_path().string();
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::string message;
  } cases[] = {
      {"missing file", {missing}, 1, missing + ": file not found"},
      {"a directory", {folder}, 1, folder + ": cannot open the file for reading"},
      {"no file", {"--json"}, 2, "no data file given"},
      {"two files", {cohort, cohort}, 2, "only one data file"},
      {"unknown option", {cohort, "--colour"}, 2, "unknown option '--colour'"},
      {"unknown range", {cohort, "--range", "3y"}, 2, "unknown range '3y'"},
      {"range without value", {cohort, "--range"}, 2, "option '--range' needs a value"},
      {"group index not a number", {cohort, "--hide", "-1"}, 2, "option '--hide' needs a group index, not '-1'"},
      {"group beyond the groups", {cohort, "--show", "5"}, 2, "no group 5 in the data (groups 0 to 4)"},
      {"unknown cause", {cohort, "--censor", U8(u8"心疾患")}, 2, U8(u8"no cause of death '心疾患'")},
      {"alive is not a cause to tick", {cohort, "--censor", U8(u8"生存")}, 2, U8(u8"no cause of death '生存'")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunResult r = RunCommand(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_NE(r.err.find("orvantis: " + c.message), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
  }
}

TEST(CliOptions, MenuCommandsAndSettingWindowChoices) {
  const std::string cohort = CohortFile();
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int xMax;
    int tickStep;
    const char* shown;     // groups 0..4
    const char* censored;  // causes 1..2 (癌, 肺炎)
    int deathsOfB;
  } cases[] = {
      {"after the load", {}, 260, 52, "01100", "00", 8},
      {"10 years", {"--range", "10y"}, 520, 104, "01100", "00", 8},
      {"steps add up and the axis picks its ticks", {"--range", "5y", "--range", "+1y", "--range=+5y"}, 572, 260, "01100", "00", 8},
      {"-5y refused at 312 weeks", {"--range", "10y", "--range", "-1y", "--range", "-1y", "--range", "-1y", "--range", "-1y", "--range", "-5y"}, 312, 104, "01100", "00", 8},
      {"-5y then -1y", {"--range", "10y", "--range", "-5y", "--range", "-1y"}, 208, 52, "01100", "00", 8},
      {"longest is fitted to the last event", {"--range", "longest"}, 2080, 260, "01100", "00", 8},
      {"hide applies before the range", {"--range", "10y", "--hide", "2"}, 520, 104, "01000", "00", 8},
      {"show the pooled group and a small one", {"--show", "0", "--show=3"}, 260, 52, "11110", "00", 8},
      {"the last of hide and show wins", {"--hide", "1", "--show", "1"}, 260, 52, "01100", "00", 8},
      {"censoring a cause reloads", {"--censor", U8(u8"癌")}, 260, 52, "01100", "10", 0},
      {"two causes at once", {"--censor", U8(u8"肺炎"), "--censor", U8(u8"癌")}, 260, 52, "01100", "11", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = c.args;
    args.insert(args.begin(), cohort);
    json doc = RunJson(args);
    ASSERT_FALSE(doc.is_discarded());
    EXPECT_EQ(doc["xMax"], c.xMax);
    EXPECT_EQ(doc["tickStep"], c.tickStep);
    std::string shown;
    for (const json& g : doc["groups"]) shown += g["shown"].get<bool>() ? '1' : '0';
    EXPECT_EQ(shown, c.shown);
    std::string censored;
    for (std::size_t j = 1; j < doc["causes"].size(); ++j) censored += doc["causes"][j]["censored"].get<bool>() ? '1' : '0';
    EXPECT_EQ(censored, c.censored);
    int deaths = 0;
    for (const json& w : doc["groups"][2]["weeks"]) deaths += w["deaths"].get<int>();
    EXPECT_EQ(deaths, c.deathsOfB);
  }
}

TEST(CliJson, FieldsOfASmallFile) {
  json doc = RunJson({CohortFile()});
  ASSERT_FALSE(doc.is_discarded());
  std::vector<std::string> keys;
  for (const auto& item : doc.items()) keys.push_back(item.key());
  EXPECT_EQ(keys, (std::vector<std::string>{"counters", "dataMaxWeeks", "xMax", "tickStep", "unitLabel", "groups", "causes",
                                            "overall", "pairs", "tables", "report", "messages"}));
  EXPECT_EQ(doc["counters"], json({{"total", 23}, {"corrected", 1}, {"excluded", 1}}));
  EXPECT_EQ(doc["dataMaxWeeks"], 2080);
  EXPECT_EQ(doc["unitLabel"], "(y)");
  EXPECT_EQ(doc["messages"], json::array({U8(u8"生存日数 15000 日  ( 41y 2m )")}));
  EXPECT_EQ(doc["report"]["runs"][0]["colour"], "#0000ff");
  EXPECT_EQ(doc["overall"]["shownGroups"], 2);

  struct GroupCase {
    const char* name;
    int index;
    std::string label;
    int cases;
    int lastEventWeek;
  } groups[] = {
      {"group B", 2, U8(u8"B ( n = 9 )"), 9, 628},
      {"group D", 4, U8(u8"D ( n = 1 )"), 1, 4},
  };
  ASSERT_EQ(doc["groups"].size(), 5u);
  for (const GroupCase& c : groups) {
    SCOPED_TRACE(c.name);
    const json& g = doc["groups"][static_cast<std::size_t>(c.index)];
    EXPECT_EQ(g["index"], c.index);
    EXPECT_EQ(g["label"], c.label);
    EXPECT_EQ(g["cases"], c.cases);
    EXPECT_EQ(g["lastEventWeek"], c.lastEventWeek);
    EXPECT_EQ(g["summary"].size(), 6u);
    EXPECT_EQ(g["weeks"].size(), static_cast<std::size_t>(c.lastEventWeek + 1));
    EXPECT_EQ(g["weeks"][0]["survival"], 1.0);
  }

  // Every pair of groups 1..4, shown or not; a pair without a death has no statistic.
  ASSERT_EQ(doc["pairs"].size(), 6u);
  const json& last = doc["pairs"][5];
  EXPECT_EQ(last["a"], 3);
  EXPECT_EQ(last["b"], 4);
  EXPECT_TRUE(last["logRankChi2"].is_null());
  EXPECT_TRUE(last["wilcoxonChi2"].is_null());
  EXPECT_TRUE(doc["pairs"][0]["logRankChi2"].is_number());

  // With fewer than two shown groups no test runs: nothing stale is reported.
  json one = RunJson({CohortFile(), "--hide", "2"});
  EXPECT_TRUE(one["overall"]["statistic"].is_null());
  EXPECT_TRUE(one["pairs"][0]["logRankP"].is_null());
  EXPECT_TRUE(one["tables"]["logRank"].is_null());
}

TEST(CliViews, SurvivalRateTableAndPairwiseTablesAsText) {
  const std::string cohort = CohortFile();
  const std::string heading = "\t 5(y)\t 10(y)\tdata max\t 50%";
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::vector<std::string> present;
    std::vector<std::string> absent;
  } cases[] = {
      {"five years: no graph max column",
       {},
       {heading + "\n", U8(u8" 1:   A ( n = 10 )  \t"), "\tLogrank   ", "\tGeneral Wilcoxon ",
        "\tLogrank( Peto & Peto ) ", "\t\t\tlog-rank\t\r\n", "\t\t\tGeneral Wilcoxon\t\r\n"},
       {"graph max", U8(u8" 3:   C")}},
      {"six years: graph max column", {"--range", "+1y"}, {heading + "\tgraph max\n"}, {}},
      {"pooled group row", {"--show", "0"}, {U8(u8" 0:   all Case ( n=19 )    \t")}, {}},
      {"three shown groups: only the overall test", {"--show", "3"}, {"\tLogrank( Peto & Peto ) "}, {"\tLogrank   "}},
      {"one shown group: the notice instead of the tables",
       {"--hide", "2"},
       {U8(u8"グラフは2本以上必要です")},
       {"\tLogrank", "log-rank\t"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = c.args;
    args.insert(args.begin(), cohort);
    RunResult r = RunCommand(args);
    EXPECT_EQ(r.status, 0);
    for (const std::string& text : c.present) EXPECT_NE(r.out.find(text), std::string::npos) << text << "\n" << r.out;
    for (const std::string& text : c.absent) EXPECT_EQ(r.out.find(text), std::string::npos) << text;
  }
}

struct Pixel {
  int r, g, b;
  bool operator==(const Pixel&) const = default;
};

TEST(CliOut, WritesEveryImageAndText) {
  // Only group 5 (black, dashed) is shown, without a death: a flat dashed curve at the top,
  // a clear 50 % line and axis.
  std::string rows = "A,1000,生存\r\nB,1000,生存\r\nC,1000,生存\r\nD,1000,生存\r\n";
  for (int i = 0; i < 8; ++i) rows += "E,1000,生存\r\n";
  const std::string flat = orv::test::WriteTempFile(TempName("flat.csv"), rows);
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / TempName("out");
  std::filesystem::remove_all(dir);
  RunResult r = RunCommand({flat, "--out", dir.string()});
  ASSERT_EQ(r.status, 0) << r.err;

  struct Image {
    const char* file;
    int width, height;
  } images[] = {
      {"graph.png", 884, 642},          {"legend.png", 384, 361},          {"survival-rate.png", 884, 401},
      {"cumulative-deaths.png", 984, 361}, {"deaths-by-cause.png", 584, 361},
  };
  for (const Image& image : images) {
    SCOPED_TRACE(image.file);
    std::ifstream in(dir / image.file, std::ios::binary);
    char signature[8] = {};
    in.read(signature, 8);
    EXPECT_EQ(std::string(signature, 8), "\x89PNG\r\n\x1a\n");
    cairo_surface_t* s = cairo_image_surface_create_from_png((dir / image.file).c_str());
    EXPECT_EQ(cairo_image_surface_get_width(s), image.width);
    EXPECT_EQ(cairo_image_surface_get_height(s), image.height);
    cairo_surface_destroy(s);
  }
  for (const char* text : {"graph.svg", "legend.txt", "survival-rate.txt", "cumulative-deaths.txt", "deaths-by-cause.txt",
                           "report.txt", "log-rank.txt", "wilcoxon.txt"}) {
    EXPECT_TRUE(std::filesystem::exists(dir / text)) << text;
  }
  std::ifstream report(dir / "report.txt", std::ios::binary);
  std::stringstream reportText;
  reportText << report.rdbuf();
  EXPECT_EQ(r.out.rfind(reportText.str(), 0), 0u) << "report.txt is the printed report";

  cairo_surface_t* graph = cairo_image_surface_create_from_png((dir / "graph.png").c_str());
  cairo_surface_flush(graph);
  const unsigned char* data = cairo_image_surface_get_data(graph);
  const int stride = cairo_image_surface_get_stride(graph);
  auto at = [&](int x, int y) {
    const unsigned char* p = data + y * stride + x * 4;  // B, G, R, x in memory
    return Pixel{p[2], p[1], p[0]};
  };
  const Pixel black{0, 0, 0};
  const Pixel white{255, 255, 255};
  // Plot area: left 80, top 50, 754 x 492.
  struct Probe {
    const char* name;
    int x, y;
    Pixel colour;
  } probes[] = {
      {"X axis, first row", 81, 542, black},   {"X axis, last row", 833, 545, black},
      {"below the X axis", 400, 546, white},    {"50 % line", 400, 296, black},
      {"50 % line ends before its end point", 835, 296, white},
      {"above the 50 % line", 400, 295, white}, {"Y axis", 79, 300, black},
      {"background", 860, 20, white},
      // The dash pattern starts at the Y axis: 18 pixels on, 6 off (white: the background
      // mode is opaque), on again.
      {"dash, last pixel", 97, 50, black},      {"gap, first pixel", 98, 50, white},
      {"gap, last pixel", 103, 51, white},      {"next dash", 104, 51, black},
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(p.name);
    EXPECT_EQ(at(p.x, p.y), p.colour);
  }
  cairo_surface_destroy(graph);
}

}  // namespace
