// The data file named on the command line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orv::app {

// The data file path of a command line as the platform gives it (program path first). The
// program path is skipped whether or not it is quoted. No path (the prompt is shown) when
// nothing usable follows: fewer than 5 bytes after the blanks, an opening quote that is never
// closed, or an empty pair of quotes. A quoted argument may hold blanks; an unquoted one ends
// at its first blank.
std::optional<std::string> DataFileArgument(std::string_view commandLine);

}  // namespace orv::app
