// One run of the batch command from its arguments to the last byte of its output.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace orv::cli {

inline constexpr int kExitFile = 1;
inline constexpr int kExitUsage = 2;

// The arguments after the program name. The result (text, or JSON with --json) goes to
// `out`, in colour when `out` is a terminal; message boxes and errors go to `err`, errors
// as "orvantis: ..." lines. Returns the exit status: 0, kExitFile or kExitUsage.
int RunBatch(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace orv::cli
