// The analysis run (its label and X range), and a whole load followed by a new selection.
#include "session/analysis.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "platform/recording.h"
#include "session/paper_choices.h"
#include "support/test_support.h"
#include "survival/case_builder.h"
#include "words/format.h"

namespace orv {
namespace {

// The range is only lowered, to the year boundary after the last shown event. With every
// group hidden there is nothing to fit: the range stays for the groups shown again, and the
// tests then run over the same weeks as before.
TEST(RunAnalysis, LabelAndFittedRange) {
  const test::DataSet tenTwelveTwenty = {{std::vector<int>(10, 5)}, {{}, std::vector<int>(12, 6)}, {std::vector<int>(20, 7)}};
  const struct { const char* name; test::DataSet groups; std::vector<int> hidden; int xMax, fitted; const char* label; } cases[] = {
      {"three shown groups of 10, 12 and 20", tenTwelveTwenty, {}, 2080, 52, "all Case ( n=42 )  "},
      {"nothing shown: a year of weeks", tenTwelveTwenty, {1, 2, 3}, 2080, 52, "all Case ( n=0 )  "},
      {"last events at 100 and 150", {{{100}}, {{}, {150}}}, {}, 260, 156, "all Case ( n=2 )  "},
      {"an exact multiple stays", {{{104}}, {{20}}}, {}, 260, 104, "all Case ( n=2 )  "},
      {"never raised", {{{300}}, {{20}}}, {}, 260, 260, "all Case ( n=2 )  "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workspace ws;
    Surfaces surfaces;
    test::FillCases(ws, c.groups, c.xMax);
    for (int g : c.hidden) ws.shown.Set(g, false);
    ComputeGroupSurvival(ws, surfaces);
    ASSERT_EQ(std::tuple(ws.texts[0][kLabel], ws.geometry.xMax), std::tuple(c.label, c.fitted));
    const std::string pText = PValueText(ws.run.tests.petoP);
    const GroupSet shown = ws.shown;
    ws.shown = GroupSet{};
    ComputeAllCases(ws, surfaces);
    EXPECT_EQ(ws.geometry.xMax, c.fitted) << "all hidden";
    ws.shown = shown;
    ComputeAllCases(ws, surfaces);
    EXPECT_EQ(std::tuple(ws.geometry.xMax, PValueText(ws.run.tests.petoP)), std::tuple(c.fitted, pText)) << "shown again";
  }
}

TEST(LoadAndAnalyse, WholeChainThenANewSelection) {
  std::string file = "'two arms\r\n";
  for (int i = 1; i <= 8; ++i) file += "A," + std::to_string(7 * i) + ",死亡,癌\r\nB," + std::to_string(70 * i) + ",生存\r\n";
  const std::string path = test::WriteTempFile("orvantis_analysis_run.csv", file);
  Workspace ws;
  RecordingCanvas graph, legend;
  RecordingResultText logRank("log-rank\r\n");
  Surfaces surfaces{.graph = &graph, .legend = &legend, .logRank = &logRank};
  LoadAndAnalyse(path, ws, surfaces);
  // All cases shown, B hidden: the pool is A alone (one death in each of weeks 1 to 8 of 8
  // cases, so S reaches 0.5 in week 4), the legend is redrawn with it, there is nothing to
  // compare, and the pairwise window keeps the table of the two.
  const std::string window = logRank.Text();
  legend.Reset();
  ws.shown.Set(0, true);
  ws.shown.Set(2, false);
  ComputeAllCases(ws, surfaces);
  EXPECT_EQ(ws.texts[0], (std::array<std::string, 6>{"all Case ( n=8 )  ", "   . ", "   . ", "  0.0 % , 0y 1m", "0.9m", "  0.0 %"}));
  EXPECT_EQ(legend.Texts(), (std::vector<RecordingCanvas::PlacedText>{
                                {10, 28, " 0 : "}, {130, 28, "all Case ( n=8 )  "}, {10, 68, " 1 : "}, {130, 68, "A ( n = 8 )"}}));
  EXPECT_EQ(std::tuple(ws.run.tests.ShownGroupCount, ws.run.tests.overallTested), std::tuple(1, false));
  EXPECT_EQ(logRank.Text(), window);
}

// The choices the program remembers per data file. Catches an escape that a name's trail byte
// 0x5C or a tab undoes, a path matched with its case or its trail bytes folded, a file kept twice
// or one too many, a damaged line that stops the rest, and a label left on the index it had in
// another order of the groups.
TEST(PaperChoices, RememberedByPathAndApplied) {
  // "表" is 0x95 0x5C: its trail byte is a backslash.
  const PaperChoices labelled{.unit = TimeUnit::Years, .groups = {{"\x95\x5C\tA", "arm\\A"}, {"B", "arm B"}}, .causes = {{"x", "y\nz"}}};
  std::vector<RememberedFile> files;
  for (int i = 0; i < 60; ++i) Remember(files, "C:\\data\\f" + std::to_string(i) + ".csv", {});
  Remember(files, "C:\\DATA\\F10.CSV", labelled);
  EXPECT_EQ(files.size(), kRememberedFiles);
  EXPECT_EQ(std::tuple(files[0].path, files[1].path, files.back().path),
            std::tuple("C:\\DATA\\F10.CSV", "C:\\data\\f59.csv", "C:\\data\\f11.csv"));
  EXPECT_EQ(ParseRemembered(RememberedText(files)), files);
  const struct { const char* name; std::string path; bool found; } lookups[] = {
      {"another case of the letters", "c:\\data\\f10.csv", true},
      {"a trail byte 0x41 is no 0x61", "C:\\\x83\x41.csv", false},
      {"forgotten, the 60 kept to 50", "C:\\data\\f0.csv", false},
  };
  Remember(files, "C:\\\x83\x61.csv", {});
  for (const auto& l : lookups) EXPECT_EQ(RememberedChoices(files, l.path) != nullptr, l.found) << l.name;
  EXPECT_EQ(*RememberedChoices(files, "c:\\data\\f10.csv"), labelled);

  const std::vector<RememberedFile> damaged = ParseRemembered(
      "group\tA\tbefore any file\nfile\tC:\\\\a.csv\nunit\tweeks\ngroup\tA\nnonsense\ngroup\tB\t\ncause\tx\tX\nfile\t\nfile\tb.csv\n");
  EXPECT_EQ(damaged, (std::vector<RememberedFile>{{"C:\\a.csv", {.unit = TimeUnit::Weeks, .causes = {{"x", "X"}}}}, {"b.csv", {}}}));

  // The file's groups in another order: the labels follow the names; a name not in the file is dropped.
  Workspace ws;
  test::FillCases(ws, {{{5}}, {{6}}, {{7}}});
  ws.cases.GroupNames[1] = "B";
  ws.cases.GroupNames[2] = "\x95\x5C\tA";
  ApplyPaperChoices(labelled, ws);
  EXPECT_EQ(std::tuple(ws.timeUnit, ws.groupLabels[1], ws.groupLabels[2], ws.groupLabels[3]),
            std::tuple(TimeUnit::Years, "arm B", "arm\\A", ""));
  EXPECT_EQ(PaperChoicesOf(ws).groups, (std::vector<std::pair<std::string, std::string>>{{"B", "arm B"}, {"\x95\x5C\tA", "arm\\A"}}));
}

}  // namespace
}  // namespace orv
