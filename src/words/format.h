// The vocabulary of the words layer: every way a figure of a run is written, each once. The
// views, the result windows, the batch command's text, the CSV tables and the paragraphs for
// the paper take their numbers through these, so that each says a figure the same way.
// Texts are code page 932 unless a function says UTF-8.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "data/case_data.h"

namespace orv {

// The word where a figure has no value.
inline constexpr const char* kNoFigure = "n/a";
// The program's windows say each missing value in Japanese, one word for each meaning: a
// median or limit the curve never reaches, a figure at a time after the end of the data, and
// an estimate or test that has no finite value.
inline constexpr const char* kNotReachedJa = "未到達";
inline constexpr const char* kBeyondDataJa = "観察期間外";
inline constexpr const char* kNotEstimableJa = "推定不能";

// --- p-values -------------------------------------------------------------------------------
// The views: "p<0.001 ", "p>0.5   " or "p=" + the value cut to four decimals + " ". NaN gives
// "p=n/a   ".
std::string PValueText(double p);
// The pairwise tables: "<0.001  ", " >0.5    " or the value cut to four decimals + two
// blanks; NaN " n/a     ".
std::string PairPText(double p);
// The figures for publication: "p<0.0001", else "p=" + four decimals, rounded.
std::string FigurePText(double p);
// The reviewer's figures: two significant figures, rounded: "p = 0.0013", "p = 0.19",
// "p = 1.0"; "p < 0.001" below 0.001; "p = n/a" where there is none. Never "p > 0.5": a
// reader compares it.
std::string RoundedPText(double p);
// The figure of RoundedPText alone: "0.079", "< 0.001".
std::string RoundedPFigure(double p);

// --- statistics -----------------------------------------------------------------------------
// A chi-square statistic cut to 3 to 6 decimals by its size and padded to line up; a NaN
// statistic (no informative week) gives "  n/a". Beyond the 32-bit range the cut still holds:
// the integer part is always shown in full.
std::string StatisticText(double x);
// The overall statistic as shown: cut to four decimals, the first seven characters of its
// text padded with two blanks ("3.5  ", "0.1234 ", "12.3456"). An integer part of more than
// seven digits is shown whole rather than cut.
std::string PetoStatisticText(double x);

// --- figures --------------------------------------------------------------------------------
// A figure rounded to a fixed number of decimals with a point, whatever the platform's
// locale; "n/a" where it is not a finite number.
std::string FixedFigure(double value, int decimals);
// A fraction as a percentage to one decimal: "39.5 %"; "n/a" where it is not finite.
std::string FigurePercent(double fraction);
// An estimate with its interval: "1.41 (0.96 - 2.06)", the limits joined by ` dash `.
std::string IntervalText(double estimate, double lower, double upper, int decimals, std::string_view dash);
// The text without its trailing blanks.
std::string Trimmed(std::string text);
// The number right-aligned in two characters: " 3", "12".
std::string TwoWide(int n);

// A UTF-8 literal as the narrow string it is: every narrow literal is code page 932, and
// the texts that hold an en dash, which the code page lacks, are UTF-8 throughout.
inline std::string Utf8(std::u8string_view text) { return {reinterpret_cast<const char*>(text.data()), text.size()}; }

// --- CSV ------------------------------------------------------------------------------------
// A CSV field: quoted, with its quotes doubled, when it holds a comma, a quote or a line end;
// quoted with an apostrophe before it when it starts with =, +, -, @, a tab or a CR, so that a
// spreadsheet program shows it as text rather than running it as a formula.
std::string CsvField(const std::string& text);
// Empty where there is no value, else every digit a double holds.
std::string CsvNumber(double value);
// A CSV table of code page 932 as the files hold it: UTF-8 with a byte-order mark, so that
// spreadsheet programs open it directly.
std::string Utf8CsvFile(const std::string& cp932Csv);

// --- names ----------------------------------------------------------------------------------
// The causes 1..20 counted as censored, in code page 932 joined by `separator`; empty when
// none is.
// With `labels` (UTF-8 English labels per cause slot, empty: the name), a labelled cause by its
// label, in code page 932 like the rest.
std::string CensoredCauseNames(const CaseData& cases, std::string_view separator, std::span<const std::string> labels = {});
// The name of group or cause slot i in the English texts, the figures and the CSV tables: its
// label (UTF-8, in code page 932 here) when `labels` gives one, else `name`. A label that the
// code page cannot hold has been refused where it was given.
std::string LabelOr(std::span<const std::string> labels, int i, const std::string& name);

}  // namespace orv
