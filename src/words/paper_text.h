// The paragraphs for the paper: the statistical methods and the survival results of the last
// analysis run, in English and in Japanese, written from that run's figures only, and the trace
// of every figure written to the member of the batch command's JSON it comes from.
//
// The texts are UTF-8, unlike the rest of the core's texts: an interval is written with an en
// dash, which code page 932 lacks. Group and cause names are converted from code page 932 on
// the way in; a Windows control converts the texts back, the en dash becoming a hyphen.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/case_data.h"
#include "data/group_set.h"
#include "stats/adjusted_analysis.h"
#include "stats/competing_results.h"
#include "stats/publication_figures.h"
#include "stats/reviewer_results.h"
#include "survival/survival_tables.h"

namespace orv {

// The unit of the times written: the JSON keeps weeks, the trace says how each was converted.
enum class TimeUnit { Months, Weeks, Years };

// What the paragraphs read of an analysis run.
struct PaperSources {
  const CaseData& cases;
  const GroupSet& shown;
  const SurvivalTables& survival;  // the last week of follow-up
  const PublicationFigures& figures;
  const ReviewerResults& reviewer;
  const CompetingRisks& competing;
  std::string_view dataPath;  // the data file as the raw data report names it (code page 932)
  TimeUnit unit = TimeUnit::Months;
  // English labels of the groups and causes (UTF-8, empty: the name), for the English text only.
  std::span<const std::string> groupLabels;  // kGroupSlots, or empty
  std::span<const std::string> causeLabels;  // kCauseSlots, or empty
  // The model of all shown groups and what it adjusted for: its ratios and global test are
  // the paragraphs' (null: the two-group ratios against the reference).
  const ModelRequest* model = nullptr;
  const AdjustedAnalysis* adjusted = nullptr;
};

enum class PaperLanguage { English, Japanese };
enum class PaperParagraph { Methods, Results };

// One figure as written and where it comes from: sentence counts from 1 within its paragraph,
// the same in both languages. `text` is the figure alone ("39.5%", "0.079", "< 0.001").
struct PaperFigure {
  PaperLanguage language = PaperLanguage::English;
  PaperParagraph paragraph = PaperParagraph::Methods;
  int sentence = 0;
  std::string text;
  std::string jsonPath;  // "groups[2].median.lower"
  // The figure is the JSON value times the conversion, written in the unit: "months" and
  // "*7/30.4375", "%" and "*100"; both empty for a figure written as it is.
  std::string unit;
  std::string conversion;
};

struct PaperText {
  std::string methodsEn, resultsEn, methodsJa, resultsJa;
  std::vector<PaperFigure> trace;  // the English figures, then the Japanese ones
};

PaperText BuildPaperText(const PaperSources& sources);

// Both paragraphs under their headings, one language: the text of paper-en.txt and paper-ja.txt.
std::string PaperDocument(const PaperText& text, PaperLanguage language);

// The window's text: the Japanese paragraphs, then the English ones, in code page 932 with
// CR LF line ends. The en dash, "²", "−" and "≥", which the code page lacks, become "-", "2", "-"
// and ">=".
std::string PaperWindowText(const PaperText& text);

// The trace as CSV rows (CR LF): language, paragraph, sentence, text, jsonPath, unit, conversion.
std::string PaperTraceCsv(const PaperText& text);

}  // namespace orv
