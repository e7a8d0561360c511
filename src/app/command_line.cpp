// Reading the data file argument and placing the settings file.
#include "app/command_line.h"

namespace orv::app {

namespace {

std::string_view AfterProgramPath(std::string_view line) {
  if (!line.empty() && line.front() == '"') {
    std::size_t close = line.find('"', 1);
    return close == std::string_view::npos ? std::string_view{} : line.substr(close + 1);
  }
  // An unquoted program path cannot hold a blank, so it ends at the first one.
  std::size_t blank = line.find(' ');
  return blank == std::string_view::npos ? std::string_view{} : line.substr(blank + 1);
}

}  // namespace

std::optional<std::string> DataFileArgument(std::string_view commandLine,
                                            const std::function<bool(const std::string&)>& isFile) {
  std::string_view rest = AfterProgramPath(commandLine);
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  if (rest.size() < 5) return std::nullopt;
  if (rest.front() == '"') {
    std::size_t close = rest.find('"', 1);
    if (close == std::string_view::npos || close == 1) return std::nullopt;
    return std::string(rest.substr(1, close - 1));
  }
  // From the whole rest down to the first word: each run ends before a blank.
  for (std::size_t end = rest.size(); end != std::string_view::npos && end > 0; end = rest.rfind(' ', end - 1)) {
    const std::string_view run = rest.substr(0, end);
    if (run.back() != ' ' && isFile(std::string(run))) return std::string(run);
  }
  return std::string(rest.substr(0, rest.find(' ')));
}

}  // namespace orv::app
