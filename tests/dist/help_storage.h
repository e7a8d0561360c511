// Reads a page out of a compiled help file through the system's own help storage, the
// component the help viewer itself reads with, so a page that reads here is one the viewer
// can show.
#pragma once

#include <optional>
#include <string>

namespace orv::dist {

// The bytes of the stored file `name` ("/index.htm") in the help file at `path`, or nothing
// when the storage cannot be opened or holds no such file.
std::optional<std::string> ReadHelpPage(const std::string& path, const std::string& name);

// True when the bytes are valid code page 932 text throughout.
bool IsShiftJis(const std::string& bytes);

}  // namespace orv::dist
