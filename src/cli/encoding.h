// Conversions between the program's Shift-JIS (code page 932) bytes and UTF-8, for the
// edges that need UTF-8: the terminal, JSON, SVG and Cairo's text. Code page 932 becomes
// UTF-8 through the core's one converter, Cp932ToUtf8 of text/cp932.h.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/cp932.h"

namespace orv::cli {

// Bytes given by the user (an argument, a path) made fit for a UTF-8 terminal: well-formed
// UTF-8 stays as it is, every other byte becomes the four characters \xNN, and control
// characters are shown as ShownControls shows them.
std::string PrintableUtf8(std::string_view bytes);

// UTF-8 text made safe for a terminal or a text file: each control character (below 0x20,
// and 0x7F) becomes a caret and a letter (ESC "^[", BEL "^G", DEL "^?"), so that no byte of
// a data file acts on a terminal. Tab, line feed and the CR of a CR LF stay as they are.
// Writes at most two bytes per byte to `out` and returns the end.
char* WriteShownControls(std::string_view utf8, char* out);
// Whether WriteShownControls would change the text.
bool HasShownControls(std::string_view utf8);
std::string ShownControls(std::string_view utf8);
// Code page 932 text as UTF-8 with its control characters shown.
std::string ShownText(std::string_view cp932);

// Empty when the text is not valid UTF-8 or holds a character that code page 932 lacks.
std::optional<std::string> Utf8ToCp932(std::string_view text);

}  // namespace orv::cli
