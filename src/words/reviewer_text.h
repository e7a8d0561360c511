// The reviewer's figures as words: the batch command's text section, its two CSV tables, and
// the short texts that the figures and the windows share (the weeks the tests ran over, the
// censored causes).
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "data/case_data.h"
#include "words/analysis_results.h"
#include "words/paper_text.h"

namespace orv {

// "Tests and hazard ratios over weeks 0<dash>260 (0<dash>5 years)"; a range of whole years
// gives "years" ("year" for one), any other its period ("0<dash>5y 3m"). Code page 932 has no
// en dash, so the caller gives the dash of the text's encoding.
std::string TestWindowText(int lastWeek, std::string_view dash);

// The same for the program's windows: "検定とハザード比の対象期間: 0-260 週 (0-5 年)", or with
// the period of a range of no whole years ("0-5y 3m").
std::string TestWindowTextJa(int lastWeek);

// "Cause-specific: 移植, 再発 counted as censored" for the causes counted as censored, in code
// page 932 as the names, a cause labelled in `causeLabels` by its label; empty when none is.
std::string CensoredCausesText(const CaseData& cases, std::span<const std::string> causeLabels = {});

// The text section of the batch command (UTF-8, LF line ends): the weeks of the tests and the
// censored causes, the standard log-rank p, medians with their known limits and
// events/cases, median follow-up, the hazard ratios against the reference with their
// proportional-hazards check, the restricted mean survival times and their differences; the
// times in `unit` (weeks x 7 / 30.4375 for months, one decimal).
std::string ReviewerText(const AnalysisResults& r, TimeUnit unit = TimeUnit::Months);

// medians.csv and hazard-ratios.csv in code page 932 (CR LF line ends): per group 0..
// NumGroups its cases, events, median and limits in weeks and as periods; per reference
// ratio the groups, their events/cases, the ratio, its interval, p and check. A group labelled
// in `labels` is named by it.
std::string MediansCsv(const AnalysisResults& r, std::span<const std::string> labels = {});
std::string HazardRatiosCsv(const AnalysisResults& r, std::span<const std::string> labels = {});

}  // namespace orv
