// The data file named on the command line.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orv::app {

// The data file path of a command line as the platform gives it (program path first). The
// program path is skipped whether or not it is quoted. No path (the prompt is shown) when
// nothing usable follows: fewer than 5 bytes after the blanks, an opening quote that is never
// closed, or an empty pair of quotes. A quoted argument may hold blanks. An unquoted one is
// the longest run of its words that names a file (isFile), as a user types a path with
// blanks without quotes; when no run does, its first word.
std::optional<std::string> DataFileArgument(std::string_view commandLine,
                                            const std::function<bool(const std::string&)>& isFile);

}  // namespace orv::app
