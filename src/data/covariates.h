// The covariate columns of a data file (the fields after the fourth of each accepted row)
// and, per accepted case in the loader's order, its group, week and outcome: the per-case
// arrays over which the models are fitted. Nothing here changes the loader's report or tables.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

inline constexpr int kMaxCovariateColumns = 30;
inline constexpr int kMaxCovariateLevels = 50;

enum class CaseStatus : std::uint8_t {
  Censored = 0,        // alive at the end, or the period capped at 40 years
  Death = 1,           // a death of a cause counted as a death
  CompetingDeath = 2,  // a death of a cause counted as censored
};

enum class CovariateType { Continuous, Categorical };

struct CovariateColumn {
  std::string name;
  CovariateType type = CovariateType::Continuous;
  std::vector<double> values;         // continuous: per case, NaN where missing
  std::vector<std::int32_t> levelOf;  // categorical: per case, an index into levels, -1 where missing
  std::vector<std::string> levels;    // categorical: in order of first appearance; the first is the reference
  std::int64_t missing = 0;
  // Categorical although some values are numbers: the first value that is not one.
  std::string firstNonNumber;
};

struct Covariates {
  std::vector<std::int32_t> group;  // 1..20, as in the case tables
  std::vector<std::int32_t> week;
  std::vector<CaseStatus> status;
  std::vector<CovariateColumn> columns;  // empty when refused
  std::string refusal;  // the limit broken, empty when none was: the cases above are kept
  std::string note;     // the columns found, their types, levels and missing values

  std::size_t Cases() const { return group.size(); }
};

// Gathers the covariates as the loader reads the file.
class CovariateReader {
 public:
  // A comment line: before the first data row, "'covariates: a, b" or "'共変量: a, b" names
  // the columns. Any other comment is ignored.
  void Comment(std::string_view line, bool beforeFirstRow);
  // One accepted case; `fields` is the row after its fourth field (comma-separated).
  void Case(int group, int week, CaseStatus status, std::string_view fields);
  // The types, levels, limits and note, once every row is read.
  Covariates Finish();

 private:
  struct Column {
    std::vector<double> numbers;        // NaN: missing or not a number
    std::vector<std::int32_t> codes;    // an index into texts, -1 missing; kMaxCovariateLevels when over
    std::vector<std::string> texts;     // distinct values, at most kMaxCovariateLevels + 1
    std::int64_t missing = 0;
    std::string firstNonNumber;
  };
  std::vector<std::string> names_;
  std::vector<Column> columns_;
  Covariates out_;
  std::int64_t widestRow_ = 0;  // covariate fields of the widest row
};

// The number of a covariate field: an optional sign, digits with an optional fraction and an
// optional exponent, nothing else; NaN for any other text.
double CovariateNumber(std::string_view text);

}  // namespace orv
