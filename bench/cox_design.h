// The generated design of the Cox model benchmark, shared by the benchmark and by the tool
// that writes it out for R's coxph.
#pragma once

#include "stats/cox_model.h"

namespace orv::bench {

inline constexpr std::size_t kCoxCases = 1000000;
inline constexpr std::size_t kCoxColumns = 10;

// kCoxCases cases and kCoxColumns columns (two group indicators, four continuous covariates,
// a four-level factor as three indicators and a binary one), deaths spread over 520 weeks with
// ties in every week. The same values on every call.
CoxDesign LargeCoxDesign();

}  // namespace orv::bench
