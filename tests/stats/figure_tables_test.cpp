// The CSV fields and the summary text of the publication figures.
#include <gtest/gtest.h>

#include "stats/figure_tables.h"
#include "survival/figure_data_sets.h"

namespace orv::test {
namespace {

TEST(FigureTables, CsvFieldQuotesOnlyWhatNeedsIt) {
  struct Case {
    const char* name;
    std::string text, field;
  };
  const Case cases[] = {
      {"plain name", "新規治療群", "新規治療群"},
      {"a quote is doubled", "A \"x\"", "\"A \"\"x\"\"\""},
      {"a comma", "A,B", "\"A,B\""},
      {"a line end", "A\r\n", "\"A\r\n\""},
      {"empty", "", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CsvField(c.text), c.field) << c.name;
}

// Hidden groups leave the text and their pairs with it; the CSV keeps every pair.
TEST(FigureTables, OnlyShownGroupsInTheTextEveryPairInTheCsv) {
  Workspace ws;
  FillCases(ws, FigureDataSets().at("twenty"));
  for (int g = 3; g <= 20; ++g) ws.styles[g].shown = 0;
  BuildGroupTables(ws);
  BuildPooledTable(ws);
  ComputePublicationFigures(ws.cases, ws.survival, ws.geometry.xMax, ws.figures);
  const std::string text = FiguresText(ws);
  // R's coxph: 0.35848085684567726 (0.077529676200125436 to 1.6575398095704035), p 0.18913821802382474.
  EXPECT_NE(text.find("\n2 B vs 1 A: HR 0.358 (0.078 to 1.658), p=0.1891\n"), std::string::npos) << text;
  EXPECT_EQ(text.find(" vs 3 C"), std::string::npos);
  EXPECT_EQ(text.find("\nC ( n ="), std::string::npos);
  const std::string pairs = PairsCsv(ws);
  EXPECT_EQ(std::count(pairs.begin(), pairs.end(), '\n'), 1 + 190);
}

}  // namespace
}  // namespace orv::test
