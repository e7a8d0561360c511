// Chi-square upper tails, every text made of a p-value (the views' cut, the reviewer's
// rounded), a statistic or the weeks of the reviewer's tests (pair codes are the goldens'),
// and the interval and hazard-ratio text from given figures: periods, percentages, the pair
// rows and the line that stands for the pair table with fewer than two shown groups.
#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>

#include "session/workspace.h"
#include "stats/chi_square.h"
#include "words/competing_text.h"
#include "stats/group_tests.h"
#include "words/interval_text.h"
#include "words/pairwise_tables.h"
#include "words/reviewer_text.h"

namespace orv {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ChiSquareUpperTail, CutToSevenDecimalsAndAlwaysAProbabilityTheUncutAsR) {
  const struct { const char* name; int df; double x, p; } cases[] = {
      {"zero statistic", 1, 0, 1}, {"5% point of df 1, not rounded", 1, 3.84, 0.0500435}, {"df 4", 4, 2, 0.7357588},
      {"far tail", 1, 20, 0.0000078}, {"absolute tolerance lands exactly on 0.05", 1, 3.841459, 0.05},
      {"series overflows", 1, 1500, 0}, {"between overflow and 1400", 19, 1400, 0}, {"infinite statistic", 1, kInf, 0},
      {"no statistic", 1, kNaN, 1}, {"negative statistic", 1, -3, 1},
  };
  for (const auto& c : cases) EXPECT_EQ(ChiSquareUpperTail(c.df, c.x), c.p) << c.name;
  // The uncut tail of the reviewer's tests, against R's pchisq(x, df, lower.tail = FALSE): the
  // odd and even sums past their first term.
  const struct { int df; double x, p; } rows[] = {
      {1, 0.5, 0.47950012218695348}, {2, 3.2, 0.20189651799465538}, {5, 7.5, 0.18602983360286701},
      {19, 30, 0.051798458893023883}, {19, 150, 2.1915635993460734e-22}, {4, 0.01, 0.99998754158864567},
  };
  for (const auto& row : rows) EXPECT_NEAR(ChiSquareTail(row.df, row.x), row.p, 1e-12 * row.p) << row.df << " " << row.x;
}

TEST(NumberTexts, CutBeforeTheBoundsAndPadded) {
  using Text = std::string (*)(double);
  const struct { const char* name; Text text; double x; const char* want; } cases[] = {
      {"p: probability 1", PValueText, 1, "p>0.5   "}, {"p: just under 0.001 after the cut", PValueText, 0.0009987, "p<0.001 "},
      {"p: exactly 0.001", PValueText, 0.001, "p=0.001 "}, {"p: exactly 0.5", PValueText, 0.5, "p=0.5 "},
      {"p: 5% point", PValueText, 0.0500435, "p=0.05 "}, {"p: a step a rounding error short", PValueText, 0.0029, "p=0.0029 "}, {"p: not a number", PValueText, kNaN, "p=n/a   "},
      {"statistic: three decimals", StatisticText, 123.45678, "123.456"}, {"statistic: trailing zeros trimmed", StatisticText, 1234.5, "1234.5"},
      {"statistic: four decimals", StatisticText, 12.345678, " 12.3456"}, {"statistic: six decimals", StatisticText, 0.1234567, "  0.123456"},
      {"statistic: zero", StatisticText, 0, "  0"}, {"statistic: just under ten keeps five decimals", StatisticText, 9.999999, "  9.99999"},
      {"statistic: ten", StatisticText, 10, " 10"}, {"statistic: exactly 100", StatisticText, 100, "100"},
      {"statistic: beyond the 32-bit cut", StatisticText, 3000000.123456, "3000000.123"},
      {"statistic: beyond the 64-bit cut", StatisticText, 1e17, "1.00000000000000e+017"},
      {"statistic: no informative week", StatisticText, kNaN, "  n/a"}, {"overall: short value padded", PetoStatisticText, 3.5, "3.5  "},
      {"overall: cut, not rounded", PetoStatisticText, 12.3456789, "12.3456"},
      {"overall: beyond the 32-bit cut", PetoStatisticText, 300000.56789, "300000."},
      {"overall: seven integer digits", PetoStatisticText, 1234567.8, "1234567"},
      {"overall: more than seven integer digits shown whole", PetoStatisticText, 123456789.5, "123456789"},
      {"adjusted p: plain value", PairPText, 0.0123456, "0.0123  "}, {"adjusted p: below 0.001 after the cut", PairPText, 0.0009999, "<0.001  "},
      {"adjusted p: exactly 0.001", PairPText, 0.001, "0.001  "}, {"adjusted p: 0.5 after the cut", PairPText, 0.50009, "0.5  "},
      {"adjusted p: above 0.5 after the cut", PairPText, 0.5001, " >0.5    "}, {"adjusted p: not a number", PairPText, kNaN, " n/a     "},
  };
  for (const auto& c : cases) EXPECT_EQ(c.text(c.x), c.want) << c.name;
}

// Two significant figures, rounded (the views cut): the boundary at 0.001, a rounding that
// carries into the next place, and no "p > 0.5".
TEST(ReviewerText, RoundedPTextAndTheWeeksOfTheTests) {
  const struct { double p; const char* text; } cases[] = {
      {0.000999, "p < 0.001"}, {0.001, "p = 0.0010"}, {0.00149, "p = 0.0015"}, {0.0996, "p = 0.10"}, {0.5, "p = 0.50"},
      {0.996, "p = 1.0"}, {kNaN, "p = n/a"},
  };
  for (const auto& c : cases) EXPECT_EQ(RoundedPText(c.p), c.text) << c.p;
  // The weeks of the tests: one year, and years with months (whole years in the intervals' check).
  EXPECT_EQ(TestWindowText(52, "-"), "Tests and hazard ratios over weeks 0-52 (0-1 year)");
  EXPECT_EQ(TestWindowText(273, "-"), "Tests and hazard ratios over weeks 0-273 (0-5y 3m)");
}

// Group 1 "A" with a median at 156 weeks (137 to 321) and 5-year survival; group 2 "B" whose
// median is not reached and whose survival fell to 0 before 10 years; group 3 hidden.
std::unique_ptr<Workspace> Figures(int shownGroups) {
  auto ws = std::make_unique<Workspace>();
  ws->cases.NumGroups = 3;
  ws->run.tests.ShownGroupCount = shownGroups;
  ws->run.survival.ShownCaseTotal = 30;
  ws->cases.GroupNames[0] = "all Cases";  // as every load names it
  const char* labels[] = {"all Case ( n=30 )  ", "A ( n = 20 )", "B ( n = 10 )", "C ( n = 9 )"};
  for (int g = 0; g <= 3; ++g) ws->texts[g][kLabel] = labels[g];
  ws->shown.Set(1, true);
  ws->shown.Set(2, shownGroups >= 2);
  auto& groups = ws->run.figures.groups;
  groups[0] = {.km = {1.0, 0.5}, .median = {130.5, 4.5, std::nullopt}};  // a period is cut to whole weeks, not rounded
  groups[1] = {.km = {1.0}, .median = {156.0, 137.0, 321.0}, .at5y = SurvivalEstimate{0.39456, 0.2906, 0.5374}};
  groups[2] = {.km = {1.0}, .median = {std::nullopt, 60.0, std::nullopt}, .at5y = SurvivalEstimate{0.25, 0.1, 0.6},
               .at10y = SurvivalEstimate{0.0, kNaN, kNaN}};
  ws->run.figures.hazardRatios[1][2] = {.estimated = true, .hr = 1.40849, .lower = 0.9614, .upper = 2.0636, .p = 0.07943};
  ws->run.figures.hazardRatios[1][3] = {.estimated = true, .hr = 9, .lower = 1, .upper = 90, .p = 0.00001};
  return ws;
}

TEST(IntervalsText, GroupsPairsAndMethods) {
  const std::string groupPart =
      "生存期間中央値と生存率 (95 % 信頼区間)\r\n"
      "群\t中央値 (95 % CI)\t5年生存率 (95 % CI)\t10年生存率 (95 % CI)\r\n"
      " 0 : all Cases ( n = 30 )\t2y 6m (0.9m - 未到達)\t観察期間外\t観察期間外\r\n"
      " 1 : A ( n = 20 )\t3y 0m (2y 7m - 6y 2m)\t39.5 % (29.1 - 53.7 %)\t観察期間外\r\n";
  const std::string bRow = " 2 : B ( n = 10 )\t未到達 (1y 1m - 未到達)\t25.0 % (10.0 - 60.0 %)\t0.0 % (推定不能)\r\n";
  const std::string kmLine = "Kaplan-Meier 法、標準誤差は Greenwood の分散、区間は対数変換による\r\n\r\nハザード比 (95 % 信頼区間)\r\n";
  // Two shown groups: the hidden group's pair is left out.
  EXPECT_EQ(IntervalsText(*Figures(2)), groupPart + bRow + kmLine + "組み合せ\tHR (95 % CI)\tp\r\n 2 /  1\t1.408 (0.961 - 2.064)\tp=0.0794\r\n"
                                            "Cox 比例ハザードモデル (同順位は Efron 法、p は Wald 検定)、HR は左の群の右の群に対する比\r\n");
  // One shown group: the line instead of the pairs.
  EXPECT_EQ(IntervalsText(*Figures(1)), groupPart + kmLine + "グラフは2本以上必要です\r\n");

  // A pair without a finite estimate, and a p below 0.0001; the pooled group without cases
  // has no row.
  auto ws = Figures(2);
  ws->shown.Set(3, true);
  ws->run.figures.groups[0].km.clear();
  ws->run.figures.hazardRatios[1][2].p = 0.00051;  // below 0.001, still shown as a figure
  const std::string text = IntervalsText(*ws);
  EXPECT_EQ(text.find(" 0 : "), std::string::npos);
  EXPECT_NE(text.find("\tp=0.0005\r\n 3 /  1\t9.000 (1.000 - 90.000)\tp<0.0001\r\n 3 /  2\t推定不能\t\r\n"), std::string::npos);
}

// What follows the tables: the weeks, the censored causes, the standard log-rank p, per shown
// group events/cases, the median's known limits and the ratio against the reference, "※"
// with its footnote only below 0.05, the stand-in reference said; the competing-risks section
// in the window's line ends.
TEST(IntervalsText, ReviewerLinesFollowTheTables) {
  const auto ws = Figures(2);
  ReferenceRatio ratio{.group = 2, .ratio = ws->run.figures.hazardRatios[1][2], .ph = {.tested = true, .statistic = 4.4, .p = 0.036}};
  ReviewerResults v{.lastWeek = 260, .shownGroups = 2, .logRank = {.tested = true, .statistic = 10.354, .df = 1, .p = 0.00128},
                    .reference = 1, .referenceRatios = {ratio}};
  v.events[1] = 7, v.cases[1] = 20, v.events[2] = 9, v.cases[2] = 10;
  v.eventsInWindow[1] = 6, v.eventsInWindow[2] = 8;  // beside the ratios, not the medians
  const std::string head =
      "\r\n基準群に対するハザード比 (95 % 信頼区間)\r\n検定とハザード比の対象期間: 0-260 週 (0-5 年)\r\n";
  const std::string table =
      "log-rank 検定 p = 0.0013 (χ2 = 10.35, 自由度 1)\r\n(「生存率」ビューの Logrank( Peto & Peto ) は同じ検定の近似のため、値が少し異なる)\r\n群\t全期間のイベント数/症例数  中央値 (95 % CI)\t対象期間のイベント数/症例数  HR (群 vs 基準群) (95 % CI)\tp\r\n"
      " 1 : A ( n = 20 )\t7/20  3y 0m (2y 7m - 6y 2m)\t6/20  基準群\t\r\n"
      " 2 : B ( n = 10 )\t9/10  未到達 (1y 1m - 未到達)\t8/10  1.408 (0.961 - 2.064)\tp = 0.079";
  EXPECT_EQ(IntervalsText(*ws, v, CompetingRisks{}), IntervalsText(*ws) + head + table +
                                                         " ※\r\n※ 比例ハザード性の検定で p < 0.05: 比例ハザード性に反する根拠あり。ハザード比は期間を通じた平均的な要約\r\n");

  ws->cases.NumCauses = 1;
  ws->cases.CauseNames[1] = "移植";
  ws->cases.CauseCensored[1] = 1;
  v.referenceRatios[0].ph.p = 0.05;
  v.requestedReference = 3;
  v.referenceFellBack = true;
  CompetingRisks active{.active = true};
  active.groups[1].estimates.at5y = IncidenceAtYear{.incidence = 0.25, .lower = 0.125, .upper = 0.5, .naive = 0.3};
  active.overall = {.tested = true, .statistic = 3.21, .df = 1, .p = 0.0731};
  active.ratios[1][2] = {.estimated = true, .hr = 1.5, .lower = 0.75, .upper = 3, .p = 0.25};
  const std::string competing =
      "\r\n競合リスクを考慮した累積発生率 (95 % 信頼区間)\r\n競合する原因: 移植\r\n"
      " 0 : all Cases ( n = 30 )\r\n  5年: 観察期間外\r\n  10年: 観察期間外\r\n"
      " 1 : A ( n = 20 )\r\n  5年: 25.0 % (12.5 - 50.0 %)、1 - KM 30.0 %\r\n  10年: 観察期間外\r\n"
      " 2 : B ( n = 10 )\r\n  5年: 観察期間外\r\n  10年: 観察期間外\r\n"
      "表示中の群: Gray 検定 χ2 = 3.210, 自由度 1, p=0.0731\r\n"
      " 2 /  1\tGray 検定 推定不能、部分分布ハザード比 1.500 (0.750 - 3.000), p=0.2500\r\n"
      "Aalen-Johansen 法、区間は対数変換による。部分分布ハザード比は Fine-Gray モデル (頑健分散)\r\n";
  EXPECT_EQ(IntervalsText(*ws, v, active),
            IntervalsText(*ws) + head + "原因別の解析で打ち切りとした原因: 移植\r\n" + table +
                "\r\n基準群  3 は表示されていないため、表示中の最初の群  1 を基準群とした\r\n" + competing);
}

}  // namespace
}  // namespace orv
