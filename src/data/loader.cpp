// The data file loader: line splitting, the row rules with their report notes, and the
// counting of accepted rows into the case tables; UTF-8 input is read through code page 932.
#include "data/loader.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>

#include "data/report.h"
#include "text/cp932.h"
#include "text/number_text.h"
#include "text/period_text.h"
#include "text/truncate.h"

namespace orv {

namespace {

constexpr std::string_view kFullWidthBlank = "　";
constexpr std::string_view kDeathMark = "死";
constexpr std::string_view kDeath = "死亡";
constexpr std::string_view kAlive = "生存";
constexpr std::string_view kUnknownCause = "不明";
constexpr std::string_view kOverflowName = "20 over";

constexpr std::string_view kNoComma = "\t＊ データ形式はカンマ区切りです ";
constexpr std::string_view kNoGroup = " ＊ グループ名が未入力 除外データ";
constexpr std::string_view kNoDays = "\t＊　生存日数が未入力 除外データ";
constexpr std::string_view kDaysNotNumeric = "\t　生存日数は　半角数値　除外データ";
constexpr std::string_view kDaysCapped = "\t＊生存日数 を　14,560日（40年）、生存　に修正";
constexpr std::string_view kNoOutcome = "\t＊　転帰が未入力 除外データ";
constexpr std::string_view kNoCause = "\t死因が未入力の為、不明で計算";
constexpr std::string_view kSubstituted = "\t＊ 変換できない文字を ? に置換";

constexpr std::string_view kNoteTexts[kRowNotes] = {kNoComma, kNoGroup, kNoDays, kDaysNotNumeric,
                                                     kNoOutcome, kDaysCapped, kNoCause};

constexpr std::string_view kSeparator = " ---.------------.--- ";

// True when the last two bytes of the text are one character and not the trail byte of
// the character before them followed by a single-byte one.
bool LastTwoBytesAreOneCharacter(std::string_view text) {
  const std::size_t target = text.size() - 2;
  std::size_t i = 0;
  while (i < target) i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
  return i == target;
}

// The bytes before the next comma; the rest moves past that comma. Once the row is used
// up every further field is empty, as if commas had been appended to it.
std::string_view NextField(std::string_view& rest) {
  const std::size_t comma = rest.find(',');
  const std::string_view field = rest.substr(0, comma);
  rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
  return field;
}

bool IsDaysText(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

// Days of a text of digits and points. Leading zeros add nothing to the value, but with
// more than about 308 digits their place weight is infinite and zero times infinity is not
// a number; without them the only non-number left comes from a digit string too long for a
// double, which is beyond every cap.
double ParseDays(std::string_view text) {
  const std::size_t first = text.find_first_not_of('0');
  const double days = ParseNumber(first == std::string_view::npos ? std::string_view{} : text.substr(first));
  return std::isnan(days) ? HUGE_VAL : days;
}

// The period shown in the over-long period warning. Whole years beyond what 32 bits of
// weeks hold, and a sign for a period too long for any number.
std::string PeriodOfDays(double days) {
  if (std::isinf(days)) return "∞";
  const double weeks = std::trunc(days / 7);
  if (weeks <= static_cast<double>(UINT32_MAX)) {
    return WeeksToYearsMonths(static_cast<std::uint32_t>(TruncToInt64(weeks)));
  }
  return FormatNumber(std::trunc(weeks / kWeeksPerYear)) + "y";
}

// Finds the name among entries 1 to 19 or enters it in the first free one; beyond them
// the overflow entry 20 takes every further name.
template <std::size_t N>
int FindOrEnter(std::array<std::string, N>& names, int& highest, std::string_view name, int& last) {
  if (last > 0 && last < kOverflowIndex && names[static_cast<std::size_t>(last)] == name) return last;
  for (int i = 1; i < kOverflowIndex; ++i) {
    std::string& entry = names[static_cast<std::size_t>(i)];
    if (entry.empty()) {
      entry.assign(name);
      highest = i;
      return last = i;
    }
    if (entry == name) return last = i;
  }
  names[kOverflowIndex] = kOverflowName;
  highest = kOverflowIndex;
  return last = kOverflowIndex;
}

// What the rules make of one data row, decided before anything is counted or reported.
struct RowFate {
  std::string_view exclusion;  // the note of a dropped row; empty when the row is counted
  std::string_view group;
  std::string_view daysText;
  double days = 0;
  bool capped = false;   // more than 40 years: corrected to week 2080, alive (also on a dropped row)
  bool noCause = false;  // a death without a cause: corrected to "不明"
  int week = 0;
  bool death = false;    // counted as a death (of `cause`); never for a capped row
  std::string_view cause;
  std::string_view covariates;  // the fields after the fourth

  int Corrections() const { return (capped ? 1 : 0) + (noCause ? 1 : 0); }
};

// The rules of a data row, field by field, filling in `fate`; the first broken rule drops
// the row, and its note is returned (empty for a counted row).
std::string_view ApplyRules(std::string_view line, RowFate& fate) {
  const std::size_t comma = line.find(',');
  if (comma == std::string_view::npos) return kNoComma;
  // A group field of blanks only would name no group; it is refused like an empty one.
  fate.group = TrimField(line.substr(0, comma));
  if (fate.group.empty()) return kNoGroup;
  std::string_view rest = line.substr(comma + 1);

  if (rest.empty() || rest.front() == ',') return kNoDays;
  fate.daysText = TrimField(NextField(rest));
  if (!IsDaysText(fate.daysText)) return kDaysNotNumeric;
  fate.days = ParseDays(fate.daysText);
  fate.capped = fate.days > kMaxDays;

  const std::string_view outcome = NextField(rest);
  if (outcome.empty()) return kNoOutcome;
  const bool deathMark = outcome.find(kDeathMark) != std::string_view::npos;
  fate.cause = TrimField(NextField(rest));
  fate.covariates = rest;
  fate.noCause = deathMark && fate.cause.empty();
  if (fate.noCause) fate.cause = kUnknownCause;
  fate.week = fate.capped ? kMaxWeek : TruncToInt32(fate.days / 7);
  fate.death = deathMark && !fate.capped;
  return {};
}

RowFate JudgeRow(std::string_view line) {
  RowFate fate;
  fate.exclusion = ApplyRules(line, fate);
  return fate;
}

class Loader {
 public:
  Loader(CaseData& cases, RichTextSink& report, MessageBoxes& boxes) : cd_(cases), report_(report), boxes_(boxes) {}

  Covariates FinishCovariates() { return covariates_.Finish(); }

  // `substituted`: the line holds a "?" for a character of UTF-8 input that code page 932
  // cannot hold; the note follows the line and changes no count.
  void Line(std::string_view line, bool substituted) {
    if (!line.empty() && line.front() == '\'') {
      report_.SetColour(kBlue);
      ReportWrite(report_, line, substituted ? 0 : 1);
      if (substituted) NoteSubstitution(1);
      covariates_.Comment(line, cd_.counters.total == 0);
    } else if (line.empty()) {
      ReportWrite(report_, "", 1);
    } else {
      Row(line, substituted);
    }
  }

 private:
  void Exclude(std::string_view note) {
    report_.SetColour(kRed);
    ReportWrite(report_, note, 2);
    ++cd_.counters.excluded;
    for (int n = 0; n < kRowNotes; ++n) {
      if (kNoteTexts[n] == note) ++cd_.counters.notes[static_cast<std::size_t>(n)];
    }
  }

  void NoteSubstitution(int breaks) {
    report_.SetColour(kOrange);
    ReportWrite(report_, kSubstituted, breaks);
  }

  void Row(std::string_view line, bool substituted) {
    const RowFate fate = JudgeRow(line);
    report_.SetColour(kBlack);
    ReportWrite(report_, line, 0);
    if (substituted) NoteSubstitution(0);
    ++cd_.counters.total;
    cd_.counters.corrected += fate.Corrections();
    // The period is too long even when a later field drops the row: the user hears of it.
    if (fate.capped) {
      std::string text = "生存日数 ";
      text.append(fate.daysText).append(" 日  ( ").append(PeriodOfDays(fate.days)).append(" )");
      boxes_.Show(text, "データの確認！", BoxIcon::Warning);
    }
    if (!fate.exclusion.empty()) return Exclude(fate.exclusion);

    Tally(fate.week, fate.group, fate.death, fate.cause, fate.covariates);
    if (fate.capped) {
      report_.SetColour(kRed);
      ReportWrite(report_, kDaysCapped, 2);
      ++cd_.counters.notes[kNoteDaysCapped];
    }
    if (fate.noCause) {
      report_.SetColour(kOrange);
      ReportWrite(report_, kNoCause, 0);
      ++cd_.counters.notes[kNoteNoCause];
    }
    ReportWrite(report_, "", 1);
  }

  void Tally(int week, std::string_view group, bool death, std::string_view cause, std::string_view covariates) {
    const int g = FindOrEnter(cd_.GroupNames, cd_.NumGroups, group, lastGroup_);
    int c = 0;
    int code = kCodeCensored;
    if (death) {
      c = FindOrEnter(cd_.CauseNames, cd_.NumCauses, cause, lastCause_);
      code = cd_.CauseCensored[static_cast<std::size_t>(c)] == 1 ? kCodeCensored : kCodeDeath;
    }
    const auto gi = static_cast<std::size_t>(g);
    const auto ci = static_cast<std::size_t>(c);
    ++cd_.DeathsByCause[gi][ci];
    ++cd_.DeathsByCause[0][ci];
    cd_.dataMaxWeeks = std::max(cd_.dataMaxWeeks, week);
    ++cd_.WeekCounts[static_cast<std::size_t>(week)][static_cast<std::size_t>(code)][gi];
    if (death && code == kCodeCensored) ++cd_.CompetingDeaths[static_cast<std::size_t>(week)][gi];
    ++cd_.GroupTotals[kTotalRows][gi];
    const CaseStatus status = !death ? CaseStatus::Censored
                              : code == kCodeDeath ? CaseStatus::Death
                                                   : CaseStatus::CompetingDeath;
    covariates_.Case(g, week, status, covariates);
  }

  CaseData& cd_;
  RichTextSink& report_;
  MessageBoxes& boxes_;
  int lastGroup_ = 0;
  int lastCause_ = 0;
  CovariateReader covariates_;
};

void FinishTables(CaseData& cd) {
  for (int g = 1; g <= cd.NumGroups; ++g) {
    const auto gi = static_cast<std::size_t>(g);
    Count censored = 0;
    Count deaths = 0;
    for (const auto& week : cd.WeekCounts) {
      censored += week[kCodeCensored][gi];
      deaths += week[kCodeDeath][gi];
    }
    cd.GroupTotals[kTotalCensored][gi] = censored;
    cd.GroupTotals[kTotalDeaths][gi] = deaths;
    cd.GroupTotals[kTotalCensoredAndDeaths][gi] = censored + deaths;
  }
}

void WriteSummary(std::string_view path, const CaseData& cd, RichTextSink& report) {
  report.CaretToStart();
  report.SetColour(kBlue);
  ReportWrite(report, path, 2);
  report.SetColour(kBlack);
  ReportWrite(report, kSeparator, 1);
  ReportWrite(report, "総データ数 : " + FormatNumber(static_cast<double>(cd.counters.total)), 1);
  ReportWrite(report, "修正データ数 : " + FormatNumber(static_cast<double>(cd.counters.corrected)), 1);
  ReportWrite(report, "除外データ数 : " + FormatNumber(static_cast<double>(cd.counters.excluded)), 2);
  const auto maxWeeks = static_cast<std::uint32_t>(cd.dataMaxWeeks);
  ReportWriteLine(report, "データ最長期間 = " + FormatNumber(cd.dataMaxWeeks) + " 週  ( " +
                              WeeksToYearsMonths(maxWeeks) + " ) ");
  ReportWrite(report, kSeparator, 2);
  report.CaretToStart();
}

}  // namespace

std::string_view RowNoteText(int note) { return kNoteTexts[std::clamp(note, 0, kRowNotes - 1)]; }

std::string_view RowNoteWords(int note) {
  constexpr std::string_view kMark = "＊";
  std::string_view words = RowNoteText(note);
  for (bool trimmed = true; trimmed;) {
    const std::size_t before = words.size();
    if (words.starts_with('\t')) words.remove_prefix(1);
    if (words.starts_with(kMark)) words.remove_prefix(kMark.size());
    words = TrimField(words);
    trimmed = words.size() != before;
  }
  return words;
}

std::string_view TrimField(std::string_view field) {
  for (;;) {
    if (!field.empty() && (field.front() == ' ' || field.front() == '"')) {
      field.remove_prefix(1);
    } else if (field.starts_with(kFullWidthBlank)) {
      field.remove_prefix(kFullWidthBlank.size());
    } else {
      break;
    }
  }
  for (;;) {
    // Neither a blank nor a quote can be the second byte of a character.
    if (!field.empty() && (field.back() == ' ' || field.back() == '"')) {
      field.remove_suffix(1);
    } else if (field.ends_with(kFullWidthBlank) && LastTwoBytesAreOneCharacter(field)) {
      field.remove_suffix(kFullWidthBlank.size());
    } else {
      break;
    }
  }
  return field;
}

CaseData LoadCases(std::string_view shownPath, std::string_view bytes, const CauseFlags& censoredCauses,
                   RichTextSink& report, MessageBoxes& boxes) {
  CaseData cases;
  cases.GroupNames[0] = "all Cases";
  cases.CauseCensored = censoredCauses;
  report.SetColour(kBlack);
  ReportWrite(report, "--- Raw data --- ", 2);

  // UTF-8 input is read as its code page 932 twin; Shift-JIS input is read as it is.
  Cp932Text converted;
  if (IsUtf8Input(bytes)) {
    converted = Utf8ToCp932(bytes);
    bytes = converted.bytes;
  }
  const std::vector<std::size_t>& substitutions = converted.substitutions;
  std::size_t nextSubstitution = 0;

  Loader loader(cases, report, boxes);
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = pos;
    // Most bytes are above CR: one comparison passes them.
    while (end < bytes.size() &&
           (static_cast<unsigned char>(bytes[end]) > '\r' || (bytes[end] != '\r' && bytes[end] != '\n'))) {
      ++end;
    }
    bool substituted = false;
    while (nextSubstitution < substitutions.size() && substitutions[nextSubstitution] < end) {
      substituted = true;
      ++nextSubstitution;
    }
    loader.Line(bytes.substr(pos, end - pos), substituted);
    pos = end;
    if (pos < bytes.size()) {
      ++pos;
      if (pos < bytes.size() && bytes[pos] == '\n') ++pos;
    }
  }

  report.SetColour(kBlack);
  ReportWrite(report, " ---.--- END ---.--- ", 2);
  FinishTables(cases);
  cases.covariates = loader.FinishCovariates();
  WriteSummary(shownPath, cases, report);
  report.Flush();
  return cases;
}

std::string TooLargeText(std::uint64_t maxBytes) {
  const std::string digits = std::to_string(maxBytes);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  std::string text = "データファイルが ";
  return text.append(grouped).append(" バイトを超えるため読み込みません");
}

DataFileBytes ReadDataStream(std::istream& in, std::uint64_t maxBytes) {
  constexpr std::uint64_t kChunk = std::uint64_t{1} << 20;
  DataFileBytes file;
  std::string& bytes = file.bytes;
  std::uint64_t have = 0;
  while (have < maxBytes) {
    const std::uint64_t want = std::min(kChunk, maxBytes - have);
    // The text grows by doubling but never beyond the limit, so an endless input holds at
    // most the limit and its last half in memory at once.
    if (have + want > bytes.capacity()) {
      bytes.reserve(static_cast<std::size_t>(std::min(std::max<std::uint64_t>(2 * bytes.capacity(), have + want), maxBytes)));
    }
    bytes.resize(static_cast<std::size_t>(have + want));
    in.read(bytes.data() + have, static_cast<std::streamsize>(want));
    const auto got = static_cast<std::uint64_t>(in.gcount());
    have += got;
    if (got < want) break;
  }
  bytes.resize(static_cast<std::size_t>(have));
  // A read that fails part-way leaves nothing trustworthy.
  if (in.bad()) return {FileRead::Unreadable, {}};
  // One byte beyond the limit is enough to know the input is too large.
  if (have == maxBytes && in.peek() != std::istream::traits_type::eof()) return {FileRead::TooLarge, {}};
  if (in.bad()) return {FileRead::Unreadable, {}};
  return file;
}

DataFileBytes ReadDataFile(const std::string& path, std::uint64_t maxBytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {FileRead::Unreadable, {}};
  // A file whose size is known is judged before it is read. A pipe cannot seek and a
  // device reports no size: those are judged as they are read.
  if (in.seekg(0, std::ios::end)) {
    const std::streamoff size = in.tellg();
    if (size > 0 && static_cast<std::uint64_t>(size) > maxBytes) return {FileRead::TooLarge, {}};
    in.seekg(0, std::ios::beg);
  }
  in.clear();
  return ReadDataStream(in, maxBytes);
}

}  // namespace orv
