// The window "多変量解析" as one golden: every part of the adjusted analyses from given
// figures (the group model with a term without an estimate and a note, the factor and global
// tests, the strata, the stratified log-rank test, the adjusted Fine-Gray model, the
// subgroups with a level refused), then the texts that stand for a model not fitted.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "words/model_text_ja.h"

namespace orv {
namespace {

CoxTerm Term(const char* name, double hr, double lower, double upper, double p) {
  return {.name = name, .estimated = true, .beta = std::log(hr), .hr = hr, .lower = lower, .upper = upper, .p = p};
}

Covariates ThreeColumns() {
  Covariates c;
  c.columns.resize(3);
  c.columns[0].name = "年齢";
  c.columns[1] = {.name = "病期", .type = CovariateType::Categorical, .levels = {"I", "II", "III"}};
  c.columns[2] = {.name = "施設", .type = CovariateType::Categorical, .levels = {"A", "B"}};
  return c;
}

TEST(ModelTextJa, EveryPartAsTheWindowShowsIt) {
  AdjustedAnalysis a;
  a.fitted = true;
  a.referenceGroup = 1;
  CoxModel& m = a.model;
  m.terms = {Term("術後", 2.7312, 1.4049, 5.3099, 0.0030), Term("再発", 0.95, 0.5, 1.805, 0.87654),
             Term("年齢", 1.0213, 1.00021, 1.0429, 0.0000312), {.name = "病期: I"}, Term("病期: III", 1.8, 0.9, 3.6, 0.097)};
  m.likelihoodRatio = {15.234, 5, 0.0094};
  m.wald = {14.01, 5, 0.0157};
  m.score = {14.777, 5, 0.01135};
  m.n = 118;
  m.events = 61;
  m.dropped = 3;
  m.concordance = 0.66549;
  m.note = "病期: I: 死亡のない水準のため推定しません\n";
  a.factorTests = {{"群", {9.5, 2, 0.0087}, {8.91, 2, 0.0116}}, {"年齢", {4.2, 1, 0.0404}, {4.1, 1, 0.0429}}};
  a.stratifiedLogRank = StratifiedLogRank{.chiSquare = 7.8131, .df = 2, .p = 0.02011};
  a.fineGray = AdjustedFineGray{.terms = {Term("術後", 2.1, 1.1, 4.0, 0.024), {.name = "再発"}},
                                .n = 118, .events = 40, .competing = 21, .dropped = 3};
  Subgroups s{.name = "施設", .interaction = {1.25, 2, 0.5353}};
  s.levels.push_back({.level = "A", .n = 70, .events = 38});
  s.levels.back().model.terms = {Term("術後", 3.0, 1.2, 7.5, 0.019), Term("再発", 1.1, 0.45, 2.7, 0.83)};
  s.levels.push_back({.level = "B", .n = 48, .events = 3});
  s.levels.back().model.refusal = "項の数 2 が死亡数 1 以上です";
  a.subgroups = s;
  const ModelRequest request{.covariates = {{0, 0}, {1, 1}}, .strata = 2, .subgroup = 2};

  EXPECT_EQ(ModelTextJa(a, request, ThreeColumns(), "初回"),
            "多変量解析 (Cox 比例ハザードモデル)\r\n"
            "基準群: 初回\r\n"
            "調整した共変量: 年齢, 病期 (基準: II)\r\n"
            "層: 施設\r\n"
            "症例数 118、イベント数 61、欠測で除外 3\r\n"
            "\r\n"
            "項目\tハザード比\t95%信頼区間\tp値\r\n"
            "術後\t2.731\t1.405 - 5.310\t0.0030\r\n"
            "再発\t0.950\t0.500 - 1.805\t0.8765\r\n"
            "年齢\t1.021\t1.000 - 1.043\t<0.0001\r\n"
            "病期: I\t推定不能\r\n"
            "病期: III\t1.800\t0.900 - 3.600\t0.0970\r\n"
            "注: 病期: I: 死亡のない水準のため推定しません\r\n"
            "\r\n"
            "因子の検定\r\n"
            "群\t尤度比検定 χ2 = 9.50, 自由度 2, p = 0.0087\r\n"
            "\tWald検定 χ2 = 8.91, 自由度 2, p = 0.012\r\n"
            "年齢\t尤度比検定 χ2 = 4.20, 自由度 1, p = 0.040\r\n"
            "\tWald検定 χ2 = 4.10, 自由度 1, p = 0.043\r\n"
            "\r\n"
            "モデル全体の検定\r\n"
            "尤度比検定\tχ2 = 15.23, 自由度 5, p = 0.0094\r\n"
            "Wald検定\tχ2 = 14.01, 自由度 5, p = 0.016\r\n"
            "スコア検定\tχ2 = 14.78, 自由度 5, p = 0.011\r\n"
            "C統計量 (concordance)\t0.665\r\n"
            "同順位は Efron 法、区間は Wald 法、解析期間より後の症例はその最終週で打ち切り\r\n"
            "\r\n"
            "層別 log-rank 検定 (層: 施設)\tχ2 = 7.81, 自由度 2, p = 0.020\r\n"
            "\r\n"
            "調整した Fine-Gray モデル (部分分布ハザード比、頑健分散)\r\n"
            "症例数 118、イベント数 40、競合イベント数 21、欠測で除外 3\r\n"
            "項目\t部分分布ハザード比\t95%信頼区間\tp値\r\n"
            "術後\t2.100\t1.100 - 4.000\t0.0240\r\n"
            "再発\t推定不能\r\n"
            "\r\n"
            "サブグループ解析: 施設\r\n"
            "項目\tハザード比\t95%信頼区間\tp値\r\n"
            "施設 = A (症例数 70、イベント数 38)\r\n"
            "  術後\t3.000\t1.200 - 7.500\t0.0190\r\n"
            "  再発\t1.100\t0.450 - 2.700\t0.8300\r\n"
            "施設 = B (症例数 48、イベント数 3)\r\n"
            "  モデルを推定しません: 項の数 2 が死亡数 1 以上です\r\n"
            "交互作用の検定 (尤度比)\tχ2 = 1.25, 自由度 2, p = 0.54\r\n");

  // Not fitted, a refused model without strata or covariates, a refused stratified test.
  AdjustedAnalysis none;
  EXPECT_EQ(ModelTextJa(none, {}, {}, ""),
            "多変量解析\r\nグラフは2本以上必要です (共変量は「共変量・層別…」で選べます)\r\n");
  AdjustedAnalysis refused{.fitted = true};
  refused.model.refusal = "項の数 3 が死亡数 2 以上です";
  refused.stratifiedLogRank = StratifiedLogRank{.refusal = "層がありません"};
  EXPECT_EQ(ModelTextJa(refused, {}, ThreeColumns(), "群1"),
            "多変量解析 (Cox 比例ハザードモデル)\r\n基準群: 群1\r\n調整した共変量: なし\r\n"
            "モデルを推定しません: 項の数 3 が死亡数 2 以上です\r\n"
            "\r\n層別 log-rank 検定\t推定不能\r\n注: 層がありません\r\n");
}

}  // namespace
}  // namespace orv
