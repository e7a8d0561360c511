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
// UTF-8 stays as it is, every other byte becomes the four characters \xNN.
std::string PrintableUtf8(std::string_view bytes);

// Empty when the text is not valid UTF-8 or holds a character that code page 932 lacks.
std::optional<std::string> Utf8ToCp932(std::string_view text);

}  // namespace orv::cli
