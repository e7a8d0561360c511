// The paragraphs for the paper and the trace of their figures.
#include "words/paper_text.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "data/loader.h"
#include "stats/model_rows.h"
#include "words/figure_tables.h"
#include "words/format.h"
#include "words/json_names.h"
#include "words/reviewer_text.h"
#include "text/cp932.h"
#include "text/period_text.h"
#include "text/truncate.h"

namespace orv {
namespace {

using json_name::Element;
using json_name::Path;

// Narrow literals are code page 932; every text here is UTF-8.
std::string U(std::u8string_view text) { return Utf8(text); }

const std::string kDash = U(u8"–");

// A pair's position in the JSON's arrays of pairs, which run (1,2), (1,3), ...
int PairIndex(int groups, int a, int b) {
  int index = 0;
  for (int i = 1; i < a; ++i) index += groups - i;
  return index + b - a - 1;
}

// Whole weeks without decimals, a midpoint with its one.
std::string Weeks(double weeks) { return FixedFigure(weeks, weeks == std::floor(weeks) ? 0 : 1); }
// A fraction as a percentage; the sign follows the estimate only: "39.5% (95% CI, 29.1–53.7)".
std::string Percent(double fraction) { return FixedFigure(fraction * 100, 1); }
std::string Ratio(double value) { return FixedFigure(value, 2); }
std::string OneDecimal(double value) { return FixedFigure(value, 1); }
std::string PWords(const std::string& figure) { return figure.starts_with("<") ? "p " + figure : "p = " + figure; }

// The file's name without its folders, as the report's path names it.
std::string FileName(std::string_view path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '/' || path[i] == '\\') start = i + 1;
    if (IsLeadByte(static_cast<unsigned char>(path[i]))) ++i;  // a trail byte may be a backslash
  }
  return Cp932ToUtf8(path.substr(start));
}

// The English words of the notes, in RowNote order.
constexpr std::u8string_view kNoteEnglish[kRowNotes] = {
    u8"not comma-separated",       u8"no group name",   u8"no survival days", u8"survival days not a number",
    u8"no outcome",                u8"survival over 40 years, set to 40 years and alive",
    u8"death without a cause, counted as cause unknown"};
// The same notes said in Japanese words rather than quoted from the report, whose notes are
// padded for its columns.
constexpr std::u8string_view kNoteJapanese[kRowNotes] = {
    u8"カンマ区切りでない",       u8"群名なし",         u8"生存日数なし", u8"生存日数が数値でない",
    u8"転帰なし",                 u8"生存期間が40年を超え、40年・生存に修正",
    u8"死因のない死亡、死因不明として計算"};

// Builds the sentences of both languages side by side, so that a figure has the same
// sentence number in each, and records every figure once.
class Writer {
 public:
  explicit Writer(PaperText& out) : out_(out) {}

  void Begin(PaperParagraph p) {
    paragraph_ = p;
    sentence_ = 0;
  }
  // A figure of the sentence being written.
  std::string F(std::string text, std::string path, std::string unit = {}, std::string conversion = {}) {
    // A negative figure carries the minus sign, not a hyphen.
    if (text.starts_with("-")) text = U(u8"−") + text.substr(1);
    figures_.push_back({PaperLanguage::English, paragraph_, sentence_ + 1, text, std::move(path), std::move(unit), std::move(conversion)});
    return text;
  }
  void Sentence(const std::string& en, const std::string& ja) {
    ++sentence_;
    std::string& e = paragraph_ == PaperParagraph::Methods ? out_.methodsEn : out_.resultsEn;
    std::string& j = paragraph_ == PaperParagraph::Methods ? out_.methodsJa : out_.resultsJa;
    e += (e.empty() ? "" : " ") + en;
    j += ja;
  }
  void Finish() {
    out_.trace = figures_;
    for (PaperFigure f : figures_) {
      f.language = PaperLanguage::Japanese;
      out_.trace.push_back(std::move(f));
    }
  }

 private:
  PaperText& out_;
  std::vector<PaperFigure> figures_;
  PaperParagraph paragraph_ = PaperParagraph::Methods;
  int sentence_ = 0;
};

enum class Unit { None, Time, Percent };

// Weeks as the unit of the text: a month is 30.4375 days and a year 365.25.
struct TimeScale {
  const char* name;        // as the trace names it
  const char* conversion;  // from weeks
  double factor;
  const char* en;  // " months"
  std::u8string_view ja;
};
constexpr TimeScale kMonths{"months", "*7/30.4375", 7 / 30.4375, " months", u8"か月"};
constexpr TimeScale kWeeks{"weeks", "", 1, " weeks", u8"週"};
constexpr TimeScale kYears{"years", "*7/365.25", 7 / 365.25, " years", u8"年"};

// " (95% CI, 0.96–2.06)" and "（95%信頼区間：0.96–2.06）".
struct Limits {
  std::string en, ja;
};

Limits Interval(const std::string& lower, const std::string& upper) {
  // English writes a range from a negative limit with "to"; in Japanese the minus sign and the
  // en dash stay apart.
  const bool negative = lower.starts_with(U(u8"−")) || upper.starts_with(U(u8"−"));
  const std::string en = negative ? lower + " to " + upper : lower + kDash + upper;
  return {" (95% CI, " + en + ")", U(u8"（95%信頼区間：") + lower + kDash + upper + U(u8"）")};
}

class PaperBuilder {
 public:
  PaperBuilder(const PaperSources& s, PaperText& out)
      : s_(s), w_(out), groups_(LastGroup(s.cases)),
        t_(s.unit == TimeUnit::Weeks ? kWeeks : s.unit == TimeUnit::Years ? kYears : kMonths),
        rows_(s.model != nullptr && s.adjusted != nullptr ? ModelRowsOf(s.cases, s.shown, s.reviewer.lastWeek, *s.model, *s.adjusted)
                                                           : std::vector<ModelRow>{}) {}

  void Build() {
    w_.Begin(PaperParagraph::Methods);
    if (s_.reviewer.cases[0] == 0) {
      // Nothing was analysed: one sentence says so instead of methods for no case.
      const std::string file = FileName(s_.dataPath);
      if (s_.cases.counters.total == s_.cases.counters.excluded) {
        w_.Sentence("The data file " + file + " held no valid case to analyse.",
                    U(u8"データファイル ") + file + U(u8" には解析できる症例がなかった。"));
      } else {
        w_.Sentence("No group of the data file " + file + " was shown, so no case was analysed.",
                    U(u8"データファイル ") + file + U(u8" の群はいずれも表示されておらず、解析した症例はなかった。"));
      }
      w_.Finish();
      return;
    }
    Methods();
    w_.Begin(PaperParagraph::Results);
    Results();
    w_.Finish();
  }

 private:
  std::string Name(int g) const { return Cp932ToUtf8(s_.cases.GroupNames[static_cast<std::size_t>(g)]); }
  // The English text's name of a group: its label when one is given.
  std::string NameEn(int g) const {
    const auto gi = static_cast<std::size_t>(g);
    return gi < s_.groupLabels.size() && !s_.groupLabels[gi].empty() ? s_.groupLabels[gi] : Name(g);
  }
  template <typename... Names>
  static std::string GroupPath(int g, const Names&... names) {
    return Path(Element(json_name::kGroups, g), names...);
  }
  bool Shown(int g) const { return g >= 1 && g <= groups_ && s_.shown.Contains(g); }

  // The causes counted as censored (the competing ones), or the others (the event of interest),
  // joined by `separator` and the last two by `last`.
  std::string Causes(bool censored, std::u8string_view separator, std::u8string_view last, bool english = false) const {
    std::vector<std::string> names;
    for (int j = 1; j <= std::min(s_.cases.NumCauses, kOverflowIndex); ++j) {
      const auto ji = static_cast<std::size_t>(j);
      if ((s_.cases.CauseCensored[ji] == 1) != censored) continue;
      const bool labelled = english && ji < s_.causeLabels.size() && !s_.causeLabels[ji].empty();
      names.push_back(labelled ? s_.causeLabels[ji] : Cp932ToUtf8(s_.cases.CauseNames[ji]));
    }
    std::string out;
    for (std::size_t i = 0; i < names.size(); ++i) out += (i == 0 ? "" : U(i + 1 < names.size() ? separator : last)) + names[i];
    return out;
  }
  std::string CensoredCauses(const char8_t* separator) const { return Causes(true, separator, separator); }
  std::string InterestEn() const { return Causes(false, u8", ", u8" or ", true); }
  std::string InterestJa() const { return Causes(false, u8"・", u8"・"); }
  // Under competing risks the Kaplan–Meier figures are those of the event of interest alone.
  bool Competing() const { return s_.competing.active; }
  // Groups beyond the 19th pooled into the last slot.
  bool Pooled() const { return Shown(kOverflowIndex); }

  // " (reason: 1; reason: 2)" / "（理由1例、理由2例）" for the notes of one kind.
  void NoteList(bool exclusions, std::string& en, std::string& ja) {
    const LoadCounters& c = s_.cases.counters;
    int listed = 0;  // the JSON lists the notes that occurred, both kinds, in RowNote order
    for (int n = 0; n < kRowNotes; ++n) {
      if (c.notes[static_cast<std::size_t>(n)] == 0) continue;
      const int index = listed++;
      if (IsExclusionNote(n) != exclusions) continue;
      const std::string path = Path(Element(Path(json_name::kCounters, json_name::kNotes), index), json_name::kRows);
      const std::string count = w_.F(std::to_string(c.notes[static_cast<std::size_t>(n)]), path);
      en += (en.empty() ? " (" : "; ") + U(kNoteEnglish[n]) + ": " + count;
      ja += (ja.empty() ? U(u8"（") : U(u8"、")) + U(kNoteJapanese[n]) + count + (exclusions ? U(u8"例") : U(u8"件"));
    }
    if (!en.empty()) en += ")";
    if (!ja.empty()) ja += U(u8"）");
  }

  void Methods() {
    const LoadCounters& c = s_.cases.counters;
    const std::string file = FileName(s_.dataPath);
    // Notes listed in RowNote order, as the JSON lists them.
    {
      const std::string total = w_.F(std::to_string(c.total), Path(json_name::kCounters, json_name::kTotal));
      if (c.excluded == 0) {
        w_.Sentence("None of the " + total + " patients recorded in the data file " + file + " was excluded.",
                    U(u8"データファイル ") + file + U(u8" に記録された") + total + U(u8"例のうち、除外例はなかった。"));
      } else {
        const std::string excluded = w_.F(std::to_string(c.excluded), Path(json_name::kCounters, json_name::kExcluded));
        std::string en, ja;
        NoteList(true, en, ja);
        w_.Sentence("Of the " + total + " patients recorded in the data file " + file + ", " + excluded +
                        (c.excluded == 1 ? " was" : " were") + " excluded" + en + ".",
                    U(u8"データファイル ") + file + U(u8" に記録された") + total + U(u8"例のうち") + excluded + U(u8"例を除外した") + ja +
                        U(u8"。"));
      }
    }
    if (c.corrected > 0) {
      const std::string corrected = w_.F(std::to_string(c.corrected), Path(json_name::kCounters, json_name::kCorrected));
      std::string en, ja;
      NoteList(false, en, ja);
      w_.Sentence(corrected + (c.corrected == 1 ? " correction was" : " corrections were") + " made" + en + ".",
                  U(u8"修正は") + corrected + U(u8"件であった") + ja + U(u8"。"));
    }
    {
      const std::string cases = w_.F(std::to_string(s_.reviewer.cases[0]), GroupPath(0, json_name::kCases));
      const std::string groups = w_.F(std::to_string(s_.reviewer.shownGroups), Path(json_name::kOverall, json_name::kShownGroups));
      w_.Sentence("The analysis included " + cases + " patients in " + groups + (s_.reviewer.shownGroups == 1 ? " group." : " groups."),
                  U(u8"解析対象は") + groups + U(u8"群") + cases + U(u8"例とした。"));
    }
    if (Pooled()) {
      w_.Sentence("Groups beyond the 19th were pooled into one group, " + NameEn(kOverflowIndex) + ".",
                  U(u8"20番目以降の群は1群（") + Name(kOverflowIndex) + U(u8"）に併合した。"));
    }
    {
      std::string en = "Survival times recorded in days were counted in whole weeks (days divided by 7, rounded down)";
      std::string ja = U(u8"生存日数は週単位（7で除して切り捨て）で扱");
      if (c.notes[kNoteDaysCapped] > 0) {
        en += ", and periods longer than 40 years were set to 40 years and counted as censored";
        ja += U(u8"い、40年を超える期間は40年として打ち切りとした");
      } else {
        ja += U(u8"った");
      }
      w_.Sentence(en + ".", ja + U(u8"。"));
    }
    // The year marks are whole weeks: "5-year" is week 260, said once.
    if (t_.factor == kMonths.factor) {
      w_.Sentence("Times are given in months (weeks " + U(u8"×") + " 7 / 30.4375); a year is counted as 52 weeks, so that 5-year "
                  "figures are those of week 260.",
                  U(u8"時間は月単位（週×7/30.4375）で示し、1年は52週とした（5年は260週）。"));
    } else if (t_.factor == kYears.factor) {
      w_.Sentence("Times are given in years (weeks " + U(u8"×") + " 7 / 365.25); year marks are counted as 52 weeks, so that "
                  "5-year figures are those of week 260.",
                  U(u8"時間は年単位（週×7/365.25）で示し、年の区切りは52週とした（5年は260週）。"));
    } else {
      w_.Sentence("A year is counted as 52 weeks, so that 5-year figures are those of week 260.",
                  U(u8"1年は52週とした（5年は260週）。"));
    }
    const std::string censored = Causes(true, u8", ", u8" and ", true);
    if (Competing()) {
      // A cause need not be a death (a transplant, a progression): the causes are named, not "deaths".
      const bool several = censored.find(',') != std::string::npos || censored.find(" and ") != std::string::npos;
      w_.Sentence("The event of interest was " + InterestEn() + " (any cause other than " + censored + "); " + censored +
                      (several ? " were" : " was") + " counted as censored in the cause-specific Kaplan" + kDash +
                      "Meier analysis and as a competing event in the cumulative incidence analysis.",
                  U(u8"目的のイベントは") + InterestJa() + U(u8"（") + CensoredCauses(u8"・") + U(u8"以外の原因）とし、") +
                      CensoredCauses(u8"・") + U(u8"は原因別のKaplan") + kDash +
                      U(u8"Meier解析では打ち切り、累積発生率の解析では競合事象として扱った。"));
    } else {
      w_.Sentence("Deaths from any cause were counted as events.", U(u8"死因を問わず死亡をイベントとした。"));
    }
    if (!AnyGroupWithEvents()) {
      w_.Sentence("The median follow-up was estimated by the reverse Kaplan" + kDash + "Meier method.",
                  U(u8"追跡期間中央値はreverse Kaplan") + kDash + U(u8"Meier法により求めた。"));
    } else if (Competing()) {
      // The paragraph gives the cumulative incidence as the chance of the event, not a median.
      w_.Sentence("Cause-specific survival was estimated by the Kaplan" + kDash + "Meier method with Greenwood's variance and "
                  "95% confidence intervals (CIs) on the log scale, and the median follow-up by the reverse Kaplan" + kDash +
                  "Meier method.",
                  U(u8"原因別生存率はKaplan") + kDash + U(u8"Meier法で推定し、分散はGreenwoodの式により、95%信頼区間は対数変換により求め、"
                  "追跡期間中央値はreverse Kaplan") + kDash + U(u8"Meier法により求めた。"));
    } else {
    w_.Sentence("Survival was estimated by the Kaplan" + kDash + "Meier method with Greenwood's variance and 95% confidence "
                "intervals (CIs) on the log scale; the median survival and its 95% CI were read from the estimate and its "
                "confidence limits, and the median follow-up was estimated by the reverse Kaplan" + kDash + "Meier method.",
                U(u8"生存率はKaplan") + kDash + U(u8"Meier法で推定し、分散はGreenwoodの式により、95%信頼区間は対数変換により求め、"
                "生存期間中央値とその95%信頼区間は推定値と信頼限界の曲線から、追跡期間中央値はreverse Kaplan") + kDash +
                U(u8"Meier法により求めた。"));
    }
    const ReviewerResults& r = s_.reviewer;
    if (r.shownGroups >= 2 && r.logRank.tested) {
      const std::string week = Time(r.lastWeek, Path(json_name::kLogRank, json_name::kLastWeek));
      w_.Sentence("Groups were compared by the standard log-rank test over " + SpanEn(week) + ".",
                  U(u8"群間の比較には標準的なlog-rank検定を用い、") + SpanJa(week) + U(u8"を対象とした。"));
    }
    if (AnyRatio() && ModelRatios()) {
      ModelMethods();
    } else if (AnyRatio()) {
      std::string en = std::string(Competing() ? "Each cause-specific" : "Each") + " hazard ratio (HR) relative to the " + NameEn(r.reference) +
                       " group was estimated by a Cox proportional hazards model of that group and the reference group alone "
                       "(Efron's method for ties, Wald 95% CIs) over the same period";
      std::string ja = Name(r.reference) + U(u8"を基準群とする") + (Competing() ? U(u8"原因別") : "") + U(u8"ハザード比は、群ごとにその群と基準群の2群のみのCox比例ハザードモデル"
                       "（同順位はEfron法、95%信頼区間はWald法）により同じ期間について推定し");
      if (AnyPhTest()) {
        en += ", and proportional hazards were assessed by the Grambsch" + kDash + "Therneau test on the Kaplan" + kDash +
              "Meier time scale";
        ja += U(u8"、比例ハザード性はKaplan") + kDash + U(u8"Meier時間尺度のGrambsch") + kDash + U(u8"Therneau検定で評価し");
      }
      w_.Sentence(en + ".", ja + U(u8"た。"));
    }
    if (const int g = FirstRmstGroup(); g != 0) {
      const std::string tau = Time(r.rmst[static_cast<std::size_t>(g)].tau, GroupPath(g, json_name::kRmst, json_name::kTau));
      w_.Sentence(std::string(Competing() ? "The restricted mean of the cause-specific survival time (RMST)"
                                          : "The restricted mean survival time (RMST)") + " was computed to " + tau + UnitEn() + ".",
                  (Competing() ? U(u8"原因別生存時間の制限付き平均（RMST）は") : U(u8"制限付き平均生存時間（RMST）は")) + tau +
                      UnitJa() + U(u8"までについて求めた。"));
    }
    if (s_.competing.active) {
      std::string en = "The cumulative incidence of " + InterestEn() + " was estimated by the Aalen" + kDash + "Johansen method with " +
                       censored + " as a competing event";
      std::string ja = InterestJa() + U(u8"の累積発生率は") + CensoredCauses(u8"・") + U(u8"を競合事象としてAalen") + kDash +
                       U(u8"Johansen法で推定し");
      if (s_.competing.overall.tested) {
        en += ", groups were compared by Gray's test";
        ja += U(u8"、群間の比較にはGray検定を用い");
      }
      if (AnySubRatio()) {
        en += ", and subdistribution hazard ratios were estimated by the Fine" + kDash + "Gray model";
        ja += U(u8"、部分分布ハザード比をFine") + kDash + U(u8"Grayモデルで推定し");
      }
      w_.Sentence(en + ".", ja + U(u8"た。"));
    }
    WindowSentence();
    const std::string version = ORVANTIS_VERSION;
    if (!AnyTest()) {
      w_.Sentence("The analyses were performed with Orvantis " + version + ".", U(u8"解析にはOrvantis ") + version + U(u8"を用いた。"));
      return;
    }
    w_.Sentence("All tests were two-sided, and the significance level was 5%.", U(u8"検定は両側検定とし、有意水準は5%とした。"));
    w_.Sentence("The analyses were performed with Orvantis " + version + ".", U(u8"解析にはOrvantis ") + version + U(u8"を用いた。"));
  }

  // The hazard ratios of one Cox model of all shown groups: what it adjusts for, its strata, the
  // tests of its groups, and the analyses beside it.
  void ModelMethods() {
    const ModelRequest& m = *s_.model;
    const AdjustedAnalysis& a = *s_.adjusted;
    const ReviewerResults& r = s_.reviewer;
    const std::string groups = std::to_string(r.shownGroups);
    std::string en = std::string(Competing() ? "Cause-specific hazard ratios" : "Hazard ratios") + " (HRs) relative to the " +
                     NameEn(a.referenceGroup) + " group were estimated by one Cox proportional hazards model of " +
                     (r.shownGroups == 2 ? std::string("the two") : "all " + groups) + " groups";
    std::string ja = Name(a.referenceGroup) + U(u8"を基準群とする") + (Competing() ? U(u8"原因別") : "") + U(u8"ハザード比は、") +
                     groups + (r.shownGroups == 2 ? U(u8"群") : U(u8"群すべて")) + U(u8"を1つの因子とするCox比例ハザードモデル（");
    if (AdjustedForCovariates()) {
      const auto names = CovariateNames();
      en += " adjusted for " + names.first;
      ja += names.second + U(u8"で調整、連続変数は線形項、カテゴリ変数は基準水準との比較、");
    }
    if (m.strata >= 0) {
      en += ", stratified by " + ColumnName(m.strata);
      ja += ColumnName(m.strata) + U(u8"で層別、");
    }
    en += std::string(AdjustedForCovariates() ? " (continuous covariates as linear terms and categorical ones against their reference level; " : " (") +
          "Efron's method for ties, Wald 95% CIs) over the same period; the groups were compared by the model's likelihood-ratio test";
    ja += U(u8"同順位はEfron法、95%信頼区間はWald法）により同じ期間について推定し、群間の比較にはモデルの尤度比検定を用い");
    if (AnyPhTest()) {
      en += ", and proportional hazards were assessed for each group against the reference group by the Grambsch" + kDash +
            "Therneau test on the Kaplan" + kDash + "Meier time scale";
      ja += U(u8"、比例ハザード性は群ごとに基準群に対してKaplan") + kDash + U(u8"Meier時間尺度のGrambsch") + kDash + U(u8"Therneau検定で評価し");
    }
    w_.Sentence(en + ".", ja + U(u8"た。"));
    if (Model().dropped > 0) {
      const std::string dropped = w_.F(std::to_string(Model().dropped), Path(ModelPath(), json_name::kDropped));
      w_.Sentence(dropped + (Model().dropped == 1 ? " patient with a missing covariate value was" : " patients with a missing covariate value were") +
                      " left out of the model.",
                  U(u8"共変量に欠測のある") + dropped + U(u8"例はモデルから除いた。"));
    }
    if (a.stratifiedLogRank && a.stratifiedLogRank->refusal.empty() && m.strata >= 0) {
      w_.Sentence("The groups were also compared by the log-rank test stratified by " + ColumnName(m.strata) + ".",
                  U(u8"群間の比較には") + ColumnName(m.strata) + U(u8"で層別したlog-rank検定も用いた。"));
    }
    if (a.subgroups && a.subgroups->refusal.empty()) {
      const std::string name = Cp932ToUtf8(a.subgroups->name);
      w_.Sentence("HRs within each level of " + name + " were estimated by separate models, and the interaction between group and " +
                      name + " was tested by the likelihood-ratio test.",
                  name + U(u8"の水準ごとのハザード比は水準ごとのモデルで推定し、群と") + name + U(u8"の交互作用は尤度比検定で評価した。"));
    }
    if (AdjustedFineGrayModel() != nullptr) {
      w_.Sentence("Subdistribution HRs adjusted for the same covariates were estimated by the Fine" + kDash +
                      "Gray model with robust standard errors.",
                  U(u8"同じ共変量で調整した部分分布ハザード比をロバスト標準誤差によるFine") + kDash + U(u8"Grayモデルで推定した。"));
    }
  }

  // "χ² = 7.12 with 3 degrees of freedom, p = 0.068" of a test at `path` ({statistic, df, p}).
  std::pair<std::string, std::string> ChiSquareWords(double statistic, int df, double p, const std::string& path) {
    const std::string chi = w_.F(Ratio(statistic), Path(path, json_name::kStatistic));
    const std::string d = w_.F(std::to_string(df), Path(path, json_name::kDf));
    const std::string pw = PWords(w_.F(RoundedPFigure(p), Path(path, json_name::kP)));
    return {U(u8"χ² = ") + chi + " with " + d + (df == 1 ? " degree" : " degrees") + " of freedom, " + pw,
            U(u8"χ² = ") + chi + U(u8"（自由度") + d + U(u8"）、") + pw};
  }

  // The model's global test, the groups' own test beside the covariates, the stratified log-rank
  // test and the subgroups' interaction.
  void ModelTestSentences() {
    const CoxModel& m = Model();
    const AdjustedAnalysis& a = *s_.adjusted;
    if (m.likelihoodRatio.df > 0) {
      const auto t = ChiSquareWords(m.likelihoodRatio.statistic, m.likelihoodRatio.df, m.likelihoodRatio.p,
                                    Path(ModelPath(), json_name::kTests, json_name::kLikelihoodRatio));
      w_.Sentence("The likelihood-ratio test of the Cox model gave " + t.first + ".",
                  U(u8"Coxモデルの尤度比検定では") + t.second + U(u8"であった。"));
    }
    if (AdjustedForCovariates() && !a.factorTests.empty()) {
      const CoxTest& g = a.factorTests.front().likelihoodRatio;
      const auto t = ChiSquareWords(g.statistic, g.df, g.p,
                                    Path(Element(Path(ModelPath(), json_name::kFactorTests), 0), json_name::kLikelihoodRatio));
      w_.Sentence("Adjusted for the covariates, the likelihood-ratio test of the groups gave " + t.first + ".",
                  U(u8"共変量で調整した群の尤度比検定では") + t.second + U(u8"であった。"));
    }
    if (const auto& sl = a.stratifiedLogRank; sl && sl->refusal.empty() && s_.model->strata >= 0) {
      const auto t = ChiSquareWords(sl->chiSquare, sl->df, sl->p, Path(ModelPath(), json_name::kStratifiedLogRank));
      w_.Sentence("The stratified log-rank test gave " + t.first + ".", U(u8"層別log-rank検定では") + t.second + U(u8"であった。"));
    }
    if (a.subgroups && a.subgroups->refusal.empty()) {
      const std::string name = Cp932ToUtf8(a.subgroups->name);
      const std::string p = PWords(w_.F(RoundedPFigure(a.subgroups->interaction.p),
                                        Path(ModelPath(), json_name::kSubgroups, json_name::kInteraction, json_name::kP)));
      w_.Sentence("The test of the interaction between group and " + name + " gave " + p + ".",
                  U(u8"群と") + name + U(u8"の交互作用の検定では") + p + U(u8"であった。"));
    }
  }

  // Which figures use the whole follow-up and which the tested weeks, when the results give any
  // of the latter.
  void WindowSentence() {
    const ReviewerResults& r = s_.reviewer;
    std::vector<std::pair<std::string, std::string>> windowed;
    if (LogRankReported()) windowed.emplace_back("the log-rank test", U(u8"log-rank検定"));
    if (AnyRatio()) windowed.emplace_back("the HRs", U(u8"ハザード比"));
    if (FirstRmstGroup() != 0) windowed.emplace_back("the RMST", U(u8"RMST"));
    if (s_.competing.active && (s_.competing.overall.tested || AnySubRatio())) {
      windowed.emplace_back(AnySubRatio() ? "Gray's test and the Fine" + kDash + "Gray model" : "Gray's test",
                            AnySubRatio() ? U(u8"Gray検定とFine") + kDash + U(u8"Grayモデル") : U(u8"Gray検定"));
    }
    if (windowed.empty()) return;
    if (r.lastWeek >= s_.survival.lastEventWeek[0]) {
      const std::string last = Time(s_.survival.lastEventWeek[0], GroupPath(0, json_name::kLastEventWeek));
      w_.Sentence("Every figure used the whole follow-up, which ended at " + (t_.factor == 1 ? "week " + last : last + UnitEn()) + ".",
                  U(u8"追跡は") + last + UnitJa() + U(u8"で終わり、すべての値を全追跡期間から求めた。"));
      return;
    }
    const std::string path = r.shownGroups >= 2 ? Path(json_name::kLogRank, json_name::kLastWeek)
                                                : GroupPath(FirstRmstGroup(), json_name::kRmst, json_name::kTau);
    const std::string week = Time(r.lastWeek, path);
    const std::string at = t_.factor == 1 ? "week " + week : week + UnitEn() + " (week " + std::to_string(r.lastWeek) + ")";
    std::string en, ja;
    for (std::size_t i = 0; i < windowed.size(); ++i) {
      en += (i == 0 ? "" : i + 1 < windowed.size() ? ", " : windowed.size() == 2 ? " and " : ", and ") + windowed[i].first;
      ja += (i == 0 ? "" : U(u8"、")) + windowed[i].second;
    }
    // Under competing risks the paragraph gives no median: the incidences are its whole-follow-up figures.
    std::string wholeEn, wholeJa;
    if (!Competing()) {
      wholeEn = AnyAt5y() ? "The medians and the 5-year survival probabilities" : "The medians";
      wholeJa = U(u8"生存期間中央値") + (AnyAt5y() ? U(u8"と5年生存率") : "");
    } else if (AnyIncidenceAt5y()) {
      wholeEn = "The 5-year cumulative incidences";
      wholeJa = U(u8"5年累積発生率");
    }
    const std::string censoring = "observations beyond " + at + " were censored at " + at + ".";
    const std::string censoringJa = U(u8"では") + week + UnitJa() + (t_.factor == 1 ? "" : U(u8"（") + std::to_string(r.lastWeek) + U(u8"週）")) +
                                    U(u8"を超える観察を") + week + UnitJa() + U(u8"で打ち切りとした。");
    if (wholeEn.empty()) {
      w_.Sentence("For " + en + ", " + censoring, ja + censoringJa);
    } else {
      w_.Sentence(wholeEn + " used the whole follow-up; for " + en + ", " + censoring,
                  wholeJa + U(u8"は全追跡期間から求め、") + ja + censoringJa);
    }
  }
  // The last whole year of a follow-up that ends before 5 years; 0 otherwise.
  int ShortRangeYears() const {
    const int last = TruncToInt32(s_.survival.lastEventWeek[0]);
    return last < 5 * kWeeksPerYear ? last / kWeeksPerYear : 0;
  }
  bool AnyIncidenceAt5y() const {
    for (int g = 1; g <= groups_; ++g) {
      if (Shown(g) && s_.competing.groups[static_cast<std::size_t>(g)].estimates.at5y) return true;
    }
    return false;
  }
  bool AnyAt5y() const {
    for (int g = 1; g <= groups_; ++g) {
      const auto gi = static_cast<std::size_t>(g);
      if (Shown(g) && s_.reviewer.events[gi] > 0 && s_.figures.groups[gi].at5y) return true;
    }
    return false;
  }
  // A shown group with an event: one without has no estimate to report.
  bool AnyGroupWithEvents() const {
    for (int g = 1; g <= groups_; ++g) {
      if (Shown(g) && s_.reviewer.events[static_cast<std::size_t>(g)] > 0) return true;
    }
    return false;
  }
  bool LogRankReported() const { return s_.reviewer.shownGroups >= 2 && s_.reviewer.logRank.tested; }
  // Whether the results give any p: the methods then state the tests' sides and level.
  bool AnyTest() const {
    return LogRankReported() || AnyRatio() || AnyPhTest() || (s_.competing.active && (s_.competing.overall.tested || AnySubRatio()));
  }
  // A comparison of two groups neither of which has an event in the tested weeks.
  bool WithoutEvents(int a, int b) const {
    return s_.reviewer.eventsInWindow[static_cast<std::size_t>(a)] == 0 && s_.reviewer.eventsInWindow[static_cast<std::size_t>(b)] == 0;
  }
  // The model of all shown groups gives the ratios and the global test: fitted, its rows counted.
  bool ModelRatios() const { return !rows_.empty(); }
  const CoxModel& Model() const { return s_.adjusted->model; }
  const ModelRow* RowOf(int g) const {
    for (const ModelRow& row : rows_) {
      if (row.group == g) return &row;
    }
    return nullptr;
  }
  bool AdjustedForCovariates() const { return s_.model != nullptr && !s_.model->covariates.empty(); }
  // The Fine-Gray model with the covariates, fitted beside the model's ratios: the methods name it
  // and the results give its ratios. Its design is the model's without the strata, so the
  // model's rows index its terms too.
  const AdjustedFineGray* AdjustedFineGrayModel() const {
    if (!ModelRatios() || !AdjustedForCovariates()) return nullptr;
    const auto& f = s_.adjusted->fineGray;
    return f && f->refusal.empty() && f->terms.size() == Model().terms.size() ? &*f : nullptr;
  }
  std::string ColumnName(int c) const { return Cp932ToUtf8(s_.cases.covariates.columns[static_cast<std::size_t>(c)].name); }
  // "age, sex and stage" / "年齢・性別・病期".
  std::pair<std::string, std::string> CovariateNames() const {
    std::string en, ja;
    const auto& chosen = s_.model->covariates;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
      en += (i == 0 ? "" : i + 1 < chosen.size() ? ", " : " and ") + ColumnName(chosen[i].column);
      ja += (i == 0 ? "" : U(u8"・")) + ColumnName(chosen[i].column);
    }
    return {en, ja};
  }
  static std::string ModelPath() { return std::string(json_name::kModel); }
  bool AnyRatio() const {
    if (ModelRatios()) {
      for (const ModelRow& row : rows_) {
        if (row.group > 0 && !row.reference && Model().terms[static_cast<std::size_t>(row.term)].estimated) return true;
      }
      return false;
    }
    for (const ReferenceRatio& ratio : s_.reviewer.referenceRatios) {
      if (ratio.ratio.estimated) return true;
    }
    return false;
  }
  bool AnyPhTest() const {
    for (const ReferenceRatio& ratio : s_.reviewer.referenceRatios) {
      if (ratio.ph.tested && !WithoutEvents(s_.reviewer.reference, ratio.group)) return true;
    }
    return false;
  }
  int FirstRmstGroup() const {
    for (int g = 1; g <= groups_; ++g) {
      const auto gi = static_cast<std::size_t>(g);
      if (Shown(g) && s_.reviewer.events[gi] > 0 && s_.reviewer.rmst[gi].estimated) return g;
    }
    return 0;
  }
  // The reference's pairs with the other shown groups, each as (a, b) with a < b.
  std::vector<std::pair<int, int>> ReferencePairs() const {
    std::vector<std::pair<int, int>> pairs;
    const int ref = s_.reviewer.reference;
    for (const ReferenceRatio& ratio : s_.reviewer.referenceRatios) {
      pairs.emplace_back(std::min(ref, ratio.group), std::max(ref, ratio.group));
    }
    return pairs;
  }
  bool AnySubRatio() const {
    for (const auto& [a, b] : ReferencePairs()) {
      if (s_.competing.ratios[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)].estimated) return true;
    }
    return false;
  }

  // A figure in weeks, or "not reached".
  std::pair<std::string, std::string> WeeksOr(const std::optional<double>& weeks, const std::string& path) {
    if (!weeks) return {"not reached", U(u8"未到達")};
    const std::string text = Time(*weeks, path);
    return {text, text};
  }

  // "156 weeks (95% CI, 137–321)" / "156週（95%信頼区間 137–321）"; a median without a lower
  // limit (the curve falls to 0 there) is written without an interval.
  std::pair<std::string, std::string> MedianText(const MedianEstimate& m, const std::string& path, std::string_view centre) {
    if (!m.week) return {"not reached", U(u8"未到達")};
    const std::string week = Time(*m.week, Path(path, centre));
    if (!m.lower) return {week + UnitEn(), week + UnitJa()};
    const auto lower = WeeksOr(m.lower, Path(path, json_name::kLower));
    const auto upper = WeeksOr(m.upper, Path(path, json_name::kUpper));
    const Limits en = Interval(lower.first, upper.first);
    const Limits ja = Interval(lower.second, upper.second);
    return {week + UnitEn() + en.en, week + UnitJa() + ja.ja};
  }

  // An estimate with its unit and its interval, each figure written by `format`; without
  // finite limits, the estimate alone.
  template <typename Format>
  std::pair<std::string, std::string> Estimate(double value, double lower, double upper, const std::string& path,
                                               std::string_view centre, Format format, Unit unit = Unit::None) {
    const auto figure = [&](double v, const std::string& at) {
      if (unit == Unit::Time) return Time(v, at, format);
      return unit == Unit::Percent ? w_.F(format(v), at, "%", "*100") : w_.F(format(v), at);
    };
    const std::string text = figure(value, Path(path, centre));
    const std::string en = text + (unit == Unit::Time ? UnitEn() : unit == Unit::Percent ? "%" : "");
    const std::string ja = text + (unit == Unit::Time ? UnitJa() : unit == Unit::Percent ? "%" : "");
    // A limit that is not finite, or an interval of no width (no event to vary the estimate).
    if (!std::isfinite(lower) || !std::isfinite(upper) || lower == upper) return {en, ja};
    const Limits limits = Interval(figure(lower, Path(path, json_name::kLower)), figure(upper, Path(path, json_name::kUpper)));
    return {en + limits.en, ja + limits.ja};
  }

  void Results() {
    const ReviewerResults& r = s_.reviewer;
    if (r.cases[0] > 0 && !s_.figures.groups[0].km.empty()) FollowUpSentence();
    for (int g = 1; g <= groups_; ++g) {
      if (Shown(g)) GroupSentence(g);
    }
    if (LogRankReported()) {
      const std::string chi = w_.F(Ratio(r.logRank.statistic), Path(json_name::kLogRank, json_name::kStatistic));
      const std::string df = w_.F(std::to_string(r.logRank.df), Path(json_name::kLogRank, json_name::kDf));
      const std::string p = w_.F(RoundedPFigure(r.logRank.p), Path(json_name::kLogRank, json_name::kP));
      w_.Sentence(U(u8"The log-rank test gave χ² = ") + chi + " with " + df + (r.logRank.df == 1 ? " degree" : " degrees") +
                      " of freedom, " + PWords(p) + ".",
                  U(u8"log-rank検定ではχ² = ") + chi + U(u8"（自由度") + df + U(u8"）、") + PWords(p) + U(u8"であった。"));
    } else if (r.shownGroups >= 2 && !AnyWindowEvents()) {
      const std::string window = WindowEnd();
      w_.Sentence("No event occurred over " + SpanEn(window) + ", so the groups were not compared.",
                  SpanJa(window) + U(u8"にイベントはなく、群間の比較は行わなかった。"));
    }
    if (ModelRatios() && (LogRankReported() || AdjustedForCovariates())) ModelTestSentences();
    int failing = 0, passing = 0;
    for (std::size_t i = 0; i < r.referenceRatios.size(); ++i) RatioSentences(i, failing, passing);
    if (passing > 0) {
      const std::string all = passing > 1 ? "all " : "";
      w_.Sentence(std::string(failing > 0 ? "For the other HRs, there" : "There") + " was no evidence against proportional hazards (" +
                      all + U(u8"p ≥ 0.05)."),
                  std::string(failing > 0 ? U(u8"その他のハザード比では") : "") + U(u8"比例ハザード性に反する根拠はなかった（") +
                      (passing > 1 ? U(u8"すべて") : "") + U(u8"p ≥ 0.05）。"));
    }
    if (s_.competing.active) CompetingSentences();
  }

  bool AnyWindowEvents() const {
    for (int g = 1; g <= groups_; ++g) {
      if (Shown(g) && s_.reviewer.eventsInWindow[static_cast<std::size_t>(g)] > 0) return true;
    }
    return false;
  }

  // The median follow-up; not reached, its lower limit when known and the range observed.
  void FollowUpSentence() {
    const MedianEstimate& m = s_.reviewer.followUp[0];
    const std::string path = GroupPath(0, json_name::kFollowUp);
    if (m.week) {
      const auto f = MedianText(m, path, json_name::kMedian);
      w_.Sentence("The median follow-up was " + f.first + ".", U(u8"追跡期間中央値は") + f.second + U(u8"であった。"));
      return;
    }
    std::string en = "The median follow-up was not reached", ja = U(u8"追跡期間中央値は未到達");
    if (m.lower) {
      const std::string lower = Time(*m.lower, Path(path, json_name::kLower));
      en += " (lower 95% confidence limit, " + lower + UnitEn() + ")";
      ja += U(u8"（95%信頼区間の下限") + lower + UnitJa() + U(u8"）");
    }
    const std::string last = Time(s_.survival.lastEventWeek[0], GroupPath(0, json_name::kLastEventWeek));
    w_.Sentence(en + "; the range of follow-up was 0" + kDash + last + UnitEn() + ".",
                ja + U(u8"で、追跡期間の範囲は0") + kDash + last + UnitJa() + U(u8"であった。"));
  }

  void GroupSentence(int g) {
    const auto gi = static_cast<std::size_t>(g);
    const std::string name = Name(g);
    const std::string in = g == kOverflowIndex ? "In the pooled groups (" + NameEn(g) + ")" : "In the " + NameEn(g) + " group";
    const std::string inJa = g == kOverflowIndex ? name + U(u8"（併合した群）では") : name + U(u8"では");
    const std::string event = Competing() ? "the event of interest" : "an event";
    const std::string eventJa = Competing() ? U(u8"目的のイベント") : U(u8"イベント");
    const std::string cases = w_.F(std::to_string(s_.cases.GroupTotals[kTotalRows][gi]), GroupPath(g, json_name::kCases));
    if (s_.reviewer.events[gi] == 0) {
      w_.Sentence(in + ", none of the " + cases + " patients had " + event + ".",
                  inJa + cases + U(u8"例のいずれにも") + eventJa + U(u8"を認めなかった。"));
      return;
    }
    const std::string events = w_.F(std::to_string(s_.reviewer.events[gi]), GroupPath(g, json_name::kEvents));
    const RestrictedMean& m = s_.reviewer.rmst[gi];
    if (Competing()) {
      std::string en = in + ", " + events + " of " + cases + " patients had the event of interest";
      std::string ja = inJa + cases + U(u8"例中") + events + U(u8"例に目的のイベントを認め");
      if (m.estimated) {
        const auto rmst = Estimate(m.estimate, m.lower, m.upper, GroupPath(g, json_name::kRmst), json_name::kEstimate,
                                   OneDecimal, Unit::Time);
        en += "; the cause-specific RMST was " + rmst.first;
        ja += U(u8"、原因別RMSTは") + rmst.second + U(u8"であった");
      }
      w_.Sentence(en + ".", ja + U(u8"。"));
      return;
    }
    const GroupEstimates& e = s_.figures.groups[gi];
    const auto median = MedianText(e.median, GroupPath(g, json_name::kMedian), json_name::kWeek);
    std::string en = in + ", " + events + " of " + cases + " patients had an event; the median survival was " + median.first;
    std::string ja = inJa + cases + U(u8"例中") + events + U(u8"例にイベントを認め、生存期間中央値は") + median.second;
    if (e.at5y) {
      const auto at5 = Estimate(e.at5y->survival, e.at5y->lower, e.at5y->upper, GroupPath(g, json_name::kAt5y),
                                json_name::kSurvival, Percent, Unit::Percent);
      en += ", the 5-year survival probability " + at5.first;
      ja += U(u8"、5年生存率は") + at5.second;
    } else if (const int years = ShortRangeYears(); years > 0 && static_cast<std::size_t>(years * kWeeksPerYear) < e.km.size()) {
      // A range short of 5 years: the rate at its last whole year, from the week's estimate.
      const auto w = static_cast<std::size_t>(years * kWeeksPerYear);
      const auto rate = Estimate(e.km[w], e.lower[w], e.upper[w], Element(GroupPath(g, json_name::kWeeks), static_cast<int>(w)),
                                 json_name::kKm, Percent, Unit::Percent);
      en += ", the " + std::to_string(years) + "-year survival probability " + rate.first;
      ja += U(u8"、") + std::to_string(years) + U(u8"年生存率は") + rate.second;
    }
    if (m.estimated) {
      const auto rmst = Estimate(m.estimate, m.lower, m.upper, GroupPath(g, json_name::kRmst), json_name::kEstimate, OneDecimal,
                                 Unit::Time);
      en += ", and the RMST " + rmst.first;
      ja += U(u8"、RMSTは") + rmst.second;
    }
    w_.Sentence(en + ".", ja + U(u8"であった。"));
  }

  // The ratio of one group against the reference, its check when it fails (`failing` and
  // `passing` count the checks, the passing ones said once after all ratios) and the
  // difference of their restricted means.
  void RatioSentences(std::size_t i, int& failing, int& passing) {
    const ReviewerResults& r = s_.reviewer;
    const ReferenceRatio& ratio = r.referenceRatios[i];
    const HazardRatio& h = ratio.ratio;
    const std::string path = Element(json_name::kReferenceRatios, static_cast<int>(i));
    const std::string name = Name(ratio.group), nameEn = NameEn(ratio.group);
    const std::string ref = Name(r.reference), refEn = NameEn(r.reference);
    if (WithoutEvents(r.reference, ratio.group)) {
      if (!AnyWindowEvents()) return;  // said once for all groups
      const std::string window = WindowEnd();
      w_.Sentence("Neither the " + nameEn + " nor the " + refEn + " group had an event over " + SpanEn(window) + ", so they were not compared.",
                  name + U(u8"と") + ref + U(u8"はいずれも") + SpanJa(window) + U(u8"にイベントがなく、比較は行わなかった。"));
      return;
    }
    const int a = std::min(r.reference, ratio.group);
    const int b = std::max(r.reference, ratio.group);
    const RestrictedMeanDifference& d = r.rmstDifference[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)];
    const ModelRow* row = ModelRatios() ? RowOf(ratio.group) : nullptr;
    if (row != nullptr && Model().terms[static_cast<std::size_t>(row->term)].estimated) {
      // The events beside the ratio are those the model used: within the weeks, no value missing.
      const CoxTerm& t = Model().terms[static_cast<std::size_t>(row->term)];
      const std::string termPath = Element(Path(ModelPath(), json_name::kTerms), row->term);
      const std::string events = w_.F(std::to_string(row->events), Path(termPath, json_name::kEvents));
      const std::string refEvents =
          w_.F(std::to_string(rows_.front().events), Path(Element(Path(ModelPath(), json_name::kReferences), 0), json_name::kEvents));
      const auto hr = Estimate(t.hr, t.lower, t.upper, termPath, json_name::kHazardRatio, Ratio);
      const std::string p = PWords(w_.F(RoundedPFigure(t.p), Path(termPath, json_name::kP)));
      const std::string adjusted = AdjustedForCovariates() ? "adjusted " : "";
      const std::string window = WindowEnd();
      w_.Sentence("Over " + SpanEn(window) + ", with " + events + (row->events == 1 ? " event" : " events") + " in " + nameEn + " and " +
                      refEvents + " in " + refEn + ", the " + adjusted + "HR for " + nameEn + " vs " + refEn + " was " + hr.first + ", " + p + ".",
                  SpanJa(window) + U(u8"のイベントは") + name + U(u8"で") + events + U(u8"例、") + ref + U(u8"で") + refEvents +
                      U(u8"例であり、") + ref + U(u8"に対する") + name + U(u8"の") + (adjusted.empty() ? "" : U(u8"調整")) +
                      U(u8"ハザード比は") + hr.second + U(u8"、") + p + U(u8"であった。"));
    } else if (row != nullptr && r.eventsInWindow[static_cast<std::size_t>(ratio.group)] > 0 &&
               r.eventsInWindow[static_cast<std::size_t>(r.reference)] > 0) {
      // Both groups had events: the model found no finite estimate for the term (its note says why).
      w_.Sentence("No HR for " + nameEn + " vs " + refEn + " could be estimated in the model.",
                  ref + U(u8"に対する") + name + U(u8"のハザード比はモデルでは推定できなかった。"));
    } else if (row == nullptr && h.estimated) {
      // The events beside the ratio are those of the weeks its model uses.
      const Count inWindow = r.eventsInWindow[static_cast<std::size_t>(ratio.group)];
      const std::string events = w_.F(std::to_string(inWindow), GroupPath(ratio.group, json_name::kEventsInWindow));
      const std::string refEvents =
          w_.F(std::to_string(r.eventsInWindow[static_cast<std::size_t>(r.reference)]), GroupPath(r.reference, json_name::kEventsInWindow));
      const std::string window = WindowEnd();
      const auto hr = Estimate(h.hr, h.lower, h.upper, path, json_name::kHazardRatio, Ratio);
      const std::string p = PWords(w_.F(RoundedPFigure(h.p), Path(path, json_name::kP)));
      w_.Sentence("Over " + SpanEn(window) + ", with " + events + (inWindow == 1 ? " event" : " events") + " in " + nameEn + " and " + refEvents + " in " + refEn + ", the HR for " +
                      nameEn + " vs " + refEn + " was " + hr.first + ", " + p + ".",
                  SpanJa(window) + U(u8"のイベントは") + name + U(u8"で") + events + U(u8"例、") + ref + U(u8"で") + refEvents +
                      U(u8"例であり、") + ref + U(u8"に対する") + name + U(u8"のハザード比は") + hr.second + U(u8"、") + p +
                      U(u8"であった。"));
    } else {
      const int without = r.eventsInWindow[static_cast<std::size_t>(ratio.group)] == 0 ? ratio.group : r.reference;
      const std::string window = WindowEnd();
      w_.Sentence("No HR for " + nameEn + " vs " + refEn + " could be estimated, as the " + NameEn(without) +
                      " group had no event over " + SpanEn(window) + ".",
                  Name(without) + U(u8"には") + SpanJa(window) + U(u8"にイベントがなく、") + ref + U(u8"に対する") + name +
                      U(u8"のハザード比は推定できなかった。"));
    }
    if (ratio.ph.tested && ratio.ph.p < 0.05) {
      ++failing;
      const std::string p = PWords(w_.F(RoundedPFigure(ratio.ph.p), Path(path, json_name::kPhP)));
      w_.Sentence("For " + nameEn + " vs " + refEn + ", there was evidence against proportional hazards (" + p +
                      "); the HR is a time-averaged summary" + (d.estimated ? ", and the RMST difference is also given." : "."),
                  name + U(u8"と") + ref + U(u8"では比例ハザード性に反する根拠を認め（") + p +
                      U(u8"）、ハザード比は期間を通じた平均的な要約である") + (d.estimated ? U(u8"ため、RMSTの差も示した。") : U(u8"。")));
    } else if (ratio.ph.tested) {
      ++passing;
    }
    if (!d.estimated) return;
    const std::string pairPath = Path(Element(json_name::kPairs, PairIndex(s_.cases.NumGroups, a, b)), json_name::kRmstDifference);
    const auto diff = Estimate(d.estimate, d.lower, d.upper, pairPath, json_name::kEstimate, OneDecimal, Unit::Time);
    std::string en = U(u8"The difference in RMST (") + NameEn(b) + U(u8" − ") + NameEn(a) + ") was " + diff.first;
    std::string ja = U(u8"RMSTの差（") + Name(b) + U(u8" − ") + Name(a) + U(u8"）は") + diff.second;
    if (std::isfinite(d.p) && d.lower != d.upper) {
      const std::string p = PWords(w_.F(RoundedPFigure(d.p), Path(pairPath, json_name::kP)));
      en += ", " + p;
      ja += U(u8"、") + p;
    }
    w_.Sentence(en + ".", ja + U(u8"であった。"));
  }

  void CompetingSentences() {
    const CompetingRisks& c = s_.competing;
    std::vector<std::string> parts;
    std::string en, ja;
    // At 5 years, or at the last whole year of a shorter follow-up from the week's estimate.
    const int years = ShortRangeYears();
    for (int g = 1; g <= groups_; ++g) {
      const IncidenceEstimates& e = c.groups[static_cast<std::size_t>(g)].estimates;
      const std::string group = Element(Path(json_name::kCompetingRisks, json_name::kGroups), g);
      const auto w = static_cast<std::size_t>(years * kWeeksPerYear);
      if (!Shown(g) || (years == 0 ? !e.at5y : w >= e.incidence.size())) continue;
      const auto figure = years == 0 ? Estimate(e.at5y->incidence, e.at5y->lower, e.at5y->upper, Path(group, json_name::kAt5y),
                                                json_name::kIncidence, Percent, Unit::Percent)
                                     : Estimate(e.incidence[w], e.lower[w], e.upper[w],
                                                Element(Path(group, json_name::kWeeks), static_cast<int>(w)), json_name::kCif,
                                                Percent, Unit::Percent);
      parts.push_back(figure.first + (g == kOverflowIndex ? " in the pooled groups (" + NameEn(g) + ")" : " in the " + NameEn(g) + " group"));
      ja += (ja.empty() ? "" : U(u8"、")) + Name(g) + U(u8"で") + figure.second;
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
      en += (i == 0 ? "" : i + 1 < parts.size() ? ", " : parts.size() == 2 ? " and " : ", and ") + parts[i];
    }
    if (!en.empty()) {
      const std::string year = std::to_string(years == 0 ? 5 : years);
      w_.Sentence("The " + year + "-year cumulative incidence of " + InterestEn() + " was " + en + ".",
                  InterestJa() + U(u8"の") + year + U(u8"年累積発生率は、") + ja + U(u8"であった。"));
    }
    if (c.overall.tested) {
      const std::string path = Path(json_name::kCompetingRisks, json_name::kGrayTest, json_name::kP);
      const std::string p = PWords(w_.F(RoundedPFigure(c.overall.p), path));
      w_.Sentence("Gray's test gave " + p + ".", U(u8"Gray検定では") + p + U(u8"であった。"));
    }
    for (const auto& [a, b] : ReferencePairs()) {
      const SubHazardRatio& h = c.ratios[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)];
      if (!h.estimated) continue;
      const std::string path = Element(Path(json_name::kCompetingRisks, json_name::kPairs), PairIndex(LastGroup(s_.cases), a, b));
      const auto hr = Estimate(h.hr, h.lower, h.upper, path, json_name::kSubHazardRatio, Ratio);
      const std::string p = PWords(w_.F(RoundedPFigure(h.p), Path(path, json_name::kP)));
      w_.Sentence("The subdistribution HR for " + NameEn(b) + " vs " + NameEn(a) + " was " + hr.first + ", " + p + ".",
                  Name(a) + U(u8"に対する") + Name(b) + U(u8"の部分分布ハザード比は") + hr.second + U(u8"、") + p +
                      U(u8"であった。"));
    }
    if (AdjustedFineGrayModel() != nullptr) AdjustedSubRatioSentences(*AdjustedFineGrayModel());
  }

  // Each shown group against the reference in the Fine-Gray model with the covariates, with its
  // robust interval; a robust variance of 0 leaves the estimate alone.
  void AdjustedSubRatioSentences(const AdjustedFineGray& f) {
    const int ref = s_.adjusted->referenceGroup;
    for (const ModelRow& row : rows_) {
      if (row.group == 0 || row.reference) continue;
      const CoxTerm& t = f.terms[static_cast<std::size_t>(row.term)];
      if (!t.estimated) {
        w_.Sentence("No adjusted subdistribution HR for " + NameEn(row.group) + " vs " + NameEn(ref) + " could be estimated in the Fine" +
                        kDash + "Gray model.",
                    Name(ref) + U(u8"に対する") + Name(row.group) + U(u8"の調整部分分布ハザード比はFine") + kDash +
                        U(u8"Grayモデルでは推定できなかった。"));
        continue;
      }
      const std::string path = Element(Path(json_name::kCompetingRisks, json_name::kAdjusted, json_name::kTerms), row.term);
      const auto hr = Estimate(t.hr, t.lower, t.upper, path, json_name::kHazardRatio, Ratio);
      const std::string p = std::isfinite(t.p) ? ", " + PWords(w_.F(RoundedPFigure(t.p), Path(path, json_name::kP))) : "";
      w_.Sentence("The adjusted subdistribution HR for " + NameEn(row.group) + " vs " + NameEn(ref) + " was " + hr.first + p + ".",
                  Name(ref) + U(u8"に対する") + Name(row.group) + U(u8"の調整部分分布ハザード比は") + hr.second +
                      (p.empty() ? "" : U(u8"、") + p.substr(2)) + U(u8"であった。"));
    }
  }

  // A time in the text's unit: in weeks as `weeks` writes it, else with one decimal. Traced
  // when `path` names its JSON member.
  template <typename Format>
  std::string Time(double weeks, const std::string& path, Format format) {
    const std::string text = t_.factor == 1 ? format(weeks) : FixedFigure(weeks * t_.factor, 1);
    return path.empty() ? text : w_.F(text, path, t_.name, t_.conversion);
  }
  std::string Time(double weeks, const std::string& path = {}) { return Time(weeks, path, Weeks); }
  // The last week of the tested span in a results sentence, traced: written once per sentence,
  // just before it, so that the trace gives it that sentence's number.
  std::string WindowEnd() { return Time(s_.reviewer.lastWeek, Path(json_name::kLogRank, json_name::kLastWeek)); }
  std::string UnitEn() const { return t_.en; }
  std::string UnitJa() const { return U(t_.ja); }
  // "weeks 0–104" / "0–104週", "0–23.9 months" / "0–23.9か月".
  std::string SpanEn(const std::string& last) const {
    return t_.factor == 1 ? "weeks 0" + kDash + last : "0" + kDash + last + UnitEn();
  }
  std::string SpanJa(const std::string& last) const { return "0" + kDash + last + UnitJa(); }

  const PaperSources& s_;
  Writer w_;
  int groups_;
  const TimeScale& t_;
  std::vector<ModelRow> rows_;  // of the model of all shown groups; empty when it gives no ratio
};

const char* LanguageName(PaperLanguage l) { return l == PaperLanguage::English ? "en" : "ja"; }
const char* ParagraphName(PaperParagraph p) { return p == PaperParagraph::Methods ? "methods" : "results"; }

}  // namespace

PaperText BuildPaperText(const PaperSources& sources) {
  PaperText text;
  PaperBuilder(sources, text).Build();
  return text;
}

std::string PaperDocument(const PaperText& text, PaperLanguage language) {
  if (text.resultsEn.empty()) return language == PaperLanguage::English ? text.methodsEn + "\n" : text.methodsJa + "\n";
  if (language == PaperLanguage::English) {
    return "Statistical analysis\n" + text.methodsEn + "\n\nResults\n" + text.resultsEn + "\n";
  }
  return U(u8"統計解析\n") + text.methodsJa + U(u8"\n\n結果\n") + text.resultsJa + "\n";
}

std::string PaperWindowText(const PaperText& text) {
  std::string utf8 = PaperDocument(text, PaperLanguage::Japanese) + "\n" + PaperDocument(text, PaperLanguage::English);
  std::string out;
  out.reserve(utf8.size() + 64);
  const std::pair<std::string, std::string> kReplaced[] = {
      {kDash, "-"}, {U(u8"²"), "2"}, {U(u8"−"), "-"}, {U(u8"≥"), ">="}, {"\n", "\r\n"}};
  for (std::size_t i = 0; i < utf8.size();) {
    bool replaced = false;
    for (const auto& [from, to] : kReplaced) {
      if (utf8.compare(i, from.size(), from) == 0) {
        out += to;
        i += from.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out += utf8[i++];
  }
  return Utf8ToCp932(out).bytes;
}

std::string PaperTraceCsv(const PaperText& text) {
  // A figure holds no comma, quote or line break: written as it is, a negative one keeps its sign.
  std::string out = "language,paragraph,sentence,text,jsonPath,unit,conversion\r\n";
  for (const PaperFigure& f : text.trace) {
    out += std::string(LanguageName(f.language)) + "," + ParagraphName(f.paragraph) + "," + std::to_string(f.sentence) +
           "," + f.text + "," + f.jsonPath + "," + f.unit + "," + f.conversion + "\r\n";
  }
  return out;
}

}  // namespace orv
