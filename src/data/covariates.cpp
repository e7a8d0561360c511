// The covariate columns of a data file: names from the header comment, values per case,
// types and levels decided once every row is read, and the note that describes them.
#include "data/covariates.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "data/loader.h"
#include "text/number_text.h"

namespace orv {

namespace {

constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();
constexpr std::string_view kHeaderEnglish = "covariates";
constexpr std::string_view kHeaderJapanese = "共変量";

bool StartsWithNoCase(std::string_view text, std::string_view word) {
  if (text.size() < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != word[i]) return false;
  }
  return true;
}

std::string CountText(std::int64_t n) { return FormatNumber(static_cast<double>(n)); }

std::string ColumnName(const std::vector<std::string>& names, std::size_t k) {
  if (k < names.size() && !names[k].empty()) return names[k];
  return "列" + CountText(static_cast<std::int64_t>(k) + 5);
}

}  // namespace

double CovariateNumber(std::string_view text) {
  std::string_view digits = text;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) digits.remove_prefix(1);
  // from_chars takes neither a plus sign nor "inf" or "nan" words, which no value should be.
  if (digits.empty() || !((digits.front() >= '0' && digits.front() <= '9') || digits.front() == '.')) return kMissing;
  double value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc{} || end != digits.data() + digits.size() || !std::isfinite(value)) return kMissing;
  return text.front() == '-' ? -value : value;
}

void CovariateReader::Comment(std::string_view line, bool beforeFirstRow) {
  if (!beforeFirstRow) return;
  std::string_view rest = line.substr(1);
  rest = TrimField(rest);
  if (StartsWithNoCase(rest, kHeaderEnglish)) {
    rest.remove_prefix(kHeaderEnglish.size());
  } else if (rest.starts_with(kHeaderJapanese)) {
    rest.remove_prefix(kHeaderJapanese.size());
  } else {
    return;
  }
  rest = TrimField(rest);
  if (rest.starts_with(':')) {
    rest.remove_prefix(1);
  } else if (rest.starts_with("：")) {
    rest.remove_prefix(std::string_view("：").size());
  } else {
    return;
  }
  names_.clear();
  while (true) {
    const std::size_t comma = rest.find(',');
    names_.emplace_back(TrimField(rest.substr(0, comma)));
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
}

void CovariateReader::Case(int group, int week, CaseStatus status, std::string_view fields) {
  const std::size_t index = out_.group.size();
  out_.group.push_back(group);
  out_.week.push_back(week);
  out_.status.push_back(status);
  if (!out_.refusal.empty()) return;

  std::size_t k = 0;  // the fields of this row, once the loop is done
  std::string_view rest = fields;
  for (bool more = !fields.empty(); more; ++k) {
    const std::size_t comma = rest.find(',');
    const std::string_view text = TrimField(rest.substr(0, comma));
    more = comma != std::string_view::npos;
    if (more) rest.remove_prefix(comma + 1);
    if (k >= static_cast<std::size_t>(kMaxCovariateColumns)) {
      // Empty fields past the limit (commas left at the end of a row) make no column.
      if (text.empty()) continue;
      // A value past the limit: nothing of the covariates is kept; the cases stay.
      out_.refusal = "共変量の列が " + CountText(kMaxCovariateColumns) + " を超えるため、共変量は使いません";
      columns_.clear();
      return;
    }
    if (k == columns_.size()) {
      Column& added = columns_.emplace_back();
      added.numbers.assign(index, kMissing);
      added.codes.assign(index, -1);
      added.missing = static_cast<std::int64_t>(index);
    }
    Column& column = columns_[k];
    if (text.empty()) {
      column.numbers.push_back(kMissing);
      column.codes.push_back(-1);
      ++column.missing;
    } else {
      const double number = CovariateNumber(text);
      column.numbers.push_back(number);
      if (std::isnan(number) && column.firstNonNumber.empty()) column.firstNonNumber = text;
      // Levels are counted only as far as the limit shows: a column past it is refused whole.
      std::int32_t code = kMaxCovariateLevels;
      for (std::size_t t = 0; t < column.texts.size(); ++t) {
        if (column.texts[t] == text) {
          code = static_cast<std::int32_t>(t);
          break;
        }
      }
      if (code == kMaxCovariateLevels && column.texts.size() <= static_cast<std::size_t>(kMaxCovariateLevels)) {
        code = static_cast<std::int32_t>(column.texts.size());
        column.texts.emplace_back(text);
      }
      column.codes.push_back(code);
    }
  }
  // A row shorter than the widest one is missing the rest.
  for (std::size_t c = std::min(k, columns_.size()); c < columns_.size(); ++c) {
    columns_[c].numbers.push_back(kMissing);
    columns_[c].codes.push_back(-1);
    ++columns_[c].missing;
  }
}

Covariates CovariateReader::Finish() {
  Covariates out = std::move(out_);
  out_ = {};
  const std::size_t cases = out.Cases();
  // A named column that no row fills is all missing.
  if (out.refusal.empty()) {
    while (columns_.size() < names_.size() && columns_.size() < static_cast<std::size_t>(kMaxCovariateColumns)) {
      Column& added = columns_.emplace_back();
      added.numbers.assign(cases, kMissing);
      added.codes.assign(cases, -1);
      added.missing = static_cast<std::int64_t>(cases);
    }
  }
  std::string note;
  for (std::size_t k = 0; k < columns_.size(); ++k) {
    Column& column = columns_[k];
    CovariateColumn result;
    result.name = ColumnName(names_, k);
    result.missing = column.missing;
    result.firstNonNumber = column.firstNonNumber;
    std::string line = result.name + ": ";
    if (column.firstNonNumber.empty()) {
      result.type = CovariateType::Continuous;
      result.values = std::move(column.numbers);
      line += "連続";
    } else if (column.texts.size() > static_cast<std::size_t>(kMaxCovariateLevels)) {
      if (!out.refusal.empty()) out.refusal += "\n";
      out.refusal += "共変量「" + result.name + "」の水準が " + CountText(kMaxCovariateLevels) + " を超えるため、この列は使いません";
      note += result.name + ": 水準が " + CountText(kMaxCovariateLevels) + " を超えるため使いません\n";
      continue;
    } else {
      result.type = CovariateType::Categorical;
      result.levelOf = std::move(column.codes);
      result.levels = std::move(column.texts);
      line += "カテゴリ " + CountText(static_cast<std::int64_t>(result.levels.size())) + " 水準 (";
      for (std::size_t l = 0; l < result.levels.size(); ++l) line += (l > 0 ? ", " : "") + result.levels[l];
      line += ")";
      // Numbers with a text among them: the user hears which value made the column categorical.
      bool someNumber = false;
      for (const double v : column.numbers) someNumber = someNumber || !std::isnan(v);
      if (someNumber) line += ", 数値でない値「" + result.firstNonNumber + "」があるためカテゴリ";
    }
    line += ", 欠測 " + CountText(result.missing) + "\n";
    note += line;
    out.columns.push_back(std::move(result));
  }
  if (!out.refusal.empty() && columns_.empty()) note += out.refusal + "\n";
  out.note = "共変量 " + CountText(static_cast<std::int64_t>(out.columns.size())) + " 列\n" + note;
  columns_.clear();
  names_.clear();
  return out;
}

}  // namespace orv
