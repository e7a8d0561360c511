// A generated data file of the size of a large registry export, for the benchmarks and for
// measuring the batch command from outside.
#pragma once

#include <string>

namespace orv::bench {

// `rows` case rows after a comment line, Shift-JIS with CR LF: 20 groups, five causes of
// death, about a third of the cases dead, follow-up up to about 14 years, and a rare
// malformed days field that the loader excludes. The same bytes on every call.
std::string GeneratedCaseFile(int rows);

inline constexpr int kMillionRows = 1'000'000;

}  // namespace orv::bench
