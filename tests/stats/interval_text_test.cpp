// The interval and hazard-ratio text from given figures: periods, percentages, the pair rows
// and the line that stands for the pair table with fewer than two shown groups.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "session/workspace.h"
#include "stats/interval_text.h"

namespace orv {
namespace {

constexpr double kNaN = std::nan("");

// Group 1 "A" with a median at 156 weeks (137 to 321) and 5-year survival; group 2 "B" whose
// median is not reached and whose survival fell to 0 before 10 years; group 3 hidden.
std::unique_ptr<Workspace> Figures(int shownGroups) {
  auto ws = std::make_unique<Workspace>();
  ws->cases.NumGroups = 3;
  ws->tests.ShownGroupCount = shownGroups;
  const char* labels[] = {"all Case ( n=30 )  ", "A ( n = 20 )", "B ( n = 10 )", "C ( n = 9 )"};
  for (int g = 0; g <= 3; ++g) ws->survival.GroupSummaryTexts[g][kLabel] = labels[g];
  ws->shown.Set(1, true);
  ws->shown.Set(2, shownGroups >= 2);
  auto& groups = ws->figures.groups;
  groups[0].km = {1.0, 0.5};
  groups[0].median = {130.5, 4.5, std::nullopt};  // a period is cut to whole weeks, not rounded
  groups[1].km = {1.0};
  groups[1].median = {156.0, 137.0, 321.0};
  groups[1].at5y = SurvivalEstimate{0.39456, 0.2906, 0.5374};
  groups[2].km = {1.0};
  groups[2].median = {std::nullopt, 60.0, std::nullopt};
  groups[2].at5y = SurvivalEstimate{0.25, 0.1, 0.6};
  groups[2].at10y = SurvivalEstimate{0.0, kNaN, kNaN};
  ws->figures.hazardRatios[1][2] = {.estimated = true, .hr = 1.40849, .lower = 0.9614, .upper = 2.0636, .p = 0.07943};
  ws->figures.hazardRatios[1][3] = {.estimated = true, .hr = 9, .lower = 1, .upper = 90, .p = 0.00001};
  return ws;
}

TEST(IntervalsText, GroupsPairsAndMethods) {
  const std::string groupPart =
      "生存期間中央値と生存率 (95 % 信頼区間)\r\n"
      "群\t中央値 (95 % CI)\t5年生存率 (95 % CI)\t10年生存率 (95 % CI)\r\n"
      " 0 : all Case ( n=30 )\t2y 6m (0.9m - 未到達)\tn/a\tn/a\r\n"
      " 1 : A ( n = 20 )\t3y 0m (2y 7m - 6y 2m)\t39.5 % (29.1 - 53.7 %)\tn/a\r\n";
  const std::string bRow = " 2 : B ( n = 10 )\t未到達 (1y 1m - 未到達)\t25.0 % (10.0 - 60.0 %)\t0.0 % (n/a)\r\n";
  const std::string kmLine = "Kaplan-Meier 法、標準誤差は Greenwood の分散、区間は対数変換による\r\n\r\nハザード比 (95 % 信頼区間)\r\n";
  struct Case { const char* name; int shown; std::string text; };
  const Case cases[] = {
      {"two shown groups: the hidden group's pair is left out", 2,
       groupPart + bRow + kmLine + "組み合せ\tHR (95 % CI)\tp\r\n 2 /  1\t1.408 (0.961 - 2.064)\tp=0.0794\r\n"
           "Cox 比例ハザードモデル (同順位は Efron 法、p は Wald 検定)、HR は左の群の右の群に対する比\r\n"},
      {"one shown group: the line instead of the pairs", 1, groupPart + kmLine + "グラフは2本以上必要です\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(IntervalsText(*Figures(c.shown)), c.text) << c.name;

  // A pair without a finite estimate, and a p below 0.0001; the pooled group without cases
  // has no row.
  auto ws = Figures(2);
  ws->shown.Set(3, true);
  ws->figures.groups[0].km.clear();
  ws->figures.hazardRatios[2][3].estimated = false;
  ws->figures.hazardRatios[1][2].p = 0.00051;  // below 0.001, still shown as a figure
  const std::string text = IntervalsText(*ws);
  EXPECT_EQ(text.find(" 0 : "), std::string::npos);
  EXPECT_NE(text.find("\tp=0.0005\r\n 3 /  1\t9.000 (1.000 - 90.000)\tp<0.0001\r\n 3 /  2\tn/a\tn/a\r\n"), std::string::npos);
}

}  // namespace
}  // namespace orv
