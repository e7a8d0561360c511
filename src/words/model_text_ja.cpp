// The Japanese text of the adjusted analyses, for the window "多変量解析".
#include "words/model_text_ja.h"

#include <cstddef>

#include "text/number_text.h"
#include "words/format.h"

namespace orv {

namespace {

constexpr const char* kEnd = "\r\n";

std::string Count(std::int64_t n) { return FormatNumber(static_cast<double>(n)); }

// The p column: "0.0123" or "<0.0001", the figures of the interval window's pair rows.
std::string PCell(double p) {
  const std::string text = FigurePText(p);
  return text.rfind("p=", 0) == 0 ? text.substr(2) : text.substr(1);
}

// "χ2 = 12.34, 自由度 3, p = 0.0064".
std::string TestText(const CoxTest& t) {
  return "χ2 = " + FixedFigure(t.statistic, 2) + ", 自由度 " + FormatNumber(t.df) + ", " + RoundedPText(t.p);
}

// One row of a term table: the name, then the ratio, its interval and p, or why there is none.
std::string TermRow(const CoxTerm& t) {
  if (!t.estimated) return t.name + "\t" + kNotEstimableJa + kEnd;
  return t.name + "\t" + FixedFigure(t.hr, 3) + "\t" + FixedFigure(t.lower, 3) + " - " + FixedFigure(t.upper, 3) + "\t" +
         PCell(t.p) + kEnd;
}

std::string TermTable(const char* ratioTitle, const std::vector<CoxTerm>& terms) {
  std::string out = std::string("項目\t") + ratioTitle + "\t95%信頼区間\tp値" + kEnd;
  for (const CoxTerm& t : terms) out += TermRow(t);
  return out;
}

// A core note is one line per "\n": the window's control takes CR LF.
std::string NoteLines(const std::string& note) {
  std::string out;
  std::size_t start = 0;
  while (start < note.size()) {
    std::size_t end = note.find('\n', start);
    if (end == std::string::npos) end = note.size();
    if (end > start) out += "注: " + note.substr(start, end - start) + kEnd;
    start = end + 1;
  }
  return out;
}

const CovariateColumn* ColumnAt(const Covariates& covariates, int column) {
  if (column < 0 || static_cast<std::size_t>(column) >= covariates.columns.size()) return nullptr;
  return &covariates.columns[static_cast<std::size_t>(column)];
}

// "年齢, 病期 (基準: I)": each chosen covariate, a categorical one with its reference level.
std::string CovariateList(const ModelRequest& request, const Covariates& covariates) {
  std::string out;
  for (const CoxCovariateChoice& choice : request.covariates) {
    const CovariateColumn* column = ColumnAt(covariates, choice.column);
    if (column == nullptr) continue;
    if (!out.empty()) out += ", ";
    out += column->name;
    if (column->type == CovariateType::Categorical && choice.referenceLevel >= 0 &&
        static_cast<std::size_t>(choice.referenceLevel) < column->levels.size()) {
      out += " (基準: " + column->levels[static_cast<std::size_t>(choice.referenceLevel)] + ")";
    }
  }
  return out.empty() ? "なし" : out;
}

std::string GroupModelPart(const AdjustedAnalysis& a, const ModelRequest& request, const Covariates& covariates,
                           const std::string& referenceName) {
  const CoxModel& m = a.model;
  std::string out = std::string("多変量解析 (Cox 比例ハザードモデル)") + kEnd;
  out += "基準群: " + referenceName + kEnd;
  out += "調整した共変量: " + CovariateList(request, covariates) + kEnd;
  if (const CovariateColumn* strata = ColumnAt(covariates, request.strata)) out += "層: " + strata->name + kEnd;
  if (!m.refusal.empty()) return out + "モデルを推定しません: " + m.refusal + kEnd;
  out += "症例数 " + Count(m.n) + "、イベント数 " + Count(m.events) + "、欠測で除外 " + Count(m.dropped) + kEnd;
  out += kEnd + TermTable("ハザード比", m.terms);
  out += NoteLines(m.note);
  if (!a.factorTests.empty()) {
    out += std::string(kEnd) + "因子の検定" + kEnd;
    for (const FactorTest& f : a.factorTests) {
      out += f.name + "\t尤度比検定 " + TestText(f.likelihoodRatio) + kEnd;
      out += "\tWald検定 " + TestText(f.wald) + kEnd;
    }
  }
  out += std::string(kEnd) + "モデル全体の検定" + kEnd;
  out += "尤度比検定\t" + TestText(m.likelihoodRatio) + kEnd;
  out += "Wald検定\t" + TestText(m.wald) + kEnd;
  out += "スコア検定\t" + TestText(m.score) + kEnd;
  out += "C統計量 (concordance)\t" + FixedFigure(m.concordance, 3) + kEnd;
  return out + "同順位は Efron 法、区間は Wald 法、解析期間より後の症例はその最終週で打ち切り" + kEnd;
}

std::string StratifiedPart(const StratifiedLogRank& s, const ModelRequest& request, const Covariates& covariates) {
  const CovariateColumn* strata = ColumnAt(covariates, request.strata);
  std::string out = std::string(kEnd) + "層別 log-rank 検定" + (strata != nullptr ? " (層: " + strata->name + ")" : "") + "\t";
  if (!s.refusal.empty()) return out + kNotEstimableJa + kEnd + "注: " + s.refusal + kEnd;
  return out + TestText({s.chiSquare, s.df, s.p}) + kEnd;
}

std::string FineGrayPart(const AdjustedFineGray& f) {
  std::string out = std::string(kEnd) + "調整した Fine-Gray モデル (部分分布ハザード比、頑健分散)" + kEnd;
  if (!f.refusal.empty()) return out + "モデルを推定しません: " + f.refusal + kEnd;
  out += "症例数 " + Count(f.n) + "、イベント数 " + Count(f.events) + "、競合イベント数 " + Count(f.competing) +
         "、欠測で除外 " + Count(f.dropped) + kEnd;
  return out + TermTable("部分分布ハザード比", f.terms) + NoteLines(f.note);
}

std::string SubgroupPart(const Subgroups& s) {
  std::string out = std::string(kEnd) + "サブグループ解析: " + s.name + kEnd;
  if (!s.refusal.empty()) return out + "解析しません: " + s.refusal + kEnd;
  out += std::string("項目\tハザード比\t95%信頼区間\tp値") + kEnd;
  for (const SubgroupLevel& level : s.levels) {
    out += s.name + " = " + level.level + " (症例数 " + Count(level.n) + "、イベント数 " + Count(level.events) + ")" + kEnd;
    if (!level.model.refusal.empty()) {
      out += "  モデルを推定しません: " + level.model.refusal + kEnd;
      continue;
    }
    for (const CoxTerm& t : level.model.terms) out += "  " + TermRow(t);
    out += NoteLines(level.model.note);
  }
  return out + "交互作用の検定 (尤度比)\t" + TestText(s.interaction) + kEnd;
}

}  // namespace

std::string ModelTextJa(const AdjustedAnalysis& a, const ModelRequest& request, const Covariates& covariates,
                        const std::string& referenceName) {
  if (!a.fitted) {
    return std::string("多変量解析") + kEnd + "グラフは2本以上必要です (共変量は「共変量・層別…」で選べます)" + kEnd;
  }
  std::string out = GroupModelPart(a, request, covariates, referenceName);
  if (a.stratifiedLogRank) out += StratifiedPart(*a.stratifiedLogRank, request, covariates);
  if (a.fineGray) out += FineGrayPart(*a.fineGray);
  if (a.subgroups) out += SubgroupPart(*a.subgroups);
  return out;
}

}  // namespace orv
