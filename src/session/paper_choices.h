// The choices of the paragraphs for the paper that the Windows program remembers per data file:
// the time unit and the English labels of the groups and causes. They are kept by the names of
// the file, so that a label follows its group when the file changes its order, and the files
// are kept by their full paths in one text, newest first, that the program's settings store holds.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "session/workspace.h"

namespace orv {

struct PaperChoices {
  TimeUnit unit = TimeUnit::Months;
  // Name in the file (code page 932) and its English label (UTF-8); names without a label are left out.
  std::vector<std::pair<std::string, std::string>> groups, causes;
  bool operator==(const PaperChoices&) const = default;
};

// The workspace's choices, by the names of the loaded file.
PaperChoices PaperChoicesOf(const Workspace& ws);
// The choices put into the workspace: the unit, and each label on the group or cause of its
// name in the loaded file; every other label cleared.
void ApplyPaperChoices(const PaperChoices& choices, Workspace& ws);

struct RememberedFile {
  std::string path;  // full path as the program opened it (code page 932)
  PaperChoices choices;
  bool operator==(const RememberedFile&) const = default;
};

// The files remembered at most: older ones are forgotten.
inline constexpr std::size_t kRememberedFiles = 50;

// The store's text of the files and back. A line that does not parse is skipped, so a damaged
// store loses only what it lost.
std::string RememberedText(const std::vector<RememberedFile>& files);
std::vector<RememberedFile> ParseRemembered(std::string_view text);

// The file's choices put first, an earlier entry of the same path dropped, and the list cut to
// kRememberedFiles. Paths are compared as the platform compares them: A to Z without case,
// double-byte characters as they are.
void Remember(std::vector<RememberedFile>& files, const std::string& path, PaperChoices choices);
// The remembered choices of the path, or null.
const PaperChoices* RememberedChoices(const std::vector<RememberedFile>& files, std::string_view path);

}  // namespace orv
