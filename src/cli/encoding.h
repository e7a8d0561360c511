// Conversions between the program's Shift-JIS (code page 932) bytes and UTF-8, for the
// edges that need UTF-8: the terminal, JSON, SVG and Cairo's text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orv::cli {

// Never fails: a byte sequence that is not code page 932 becomes U+FFFD per byte, so the
// result is always valid UTF-8 (a data file may hold any bytes).
std::string Cp932ToUtf8(std::string_view bytes);

// Bytes given by the user (an argument, a path) made fit for a UTF-8 terminal: well-formed
// UTF-8 stays as it is, every other byte becomes the four characters \xNN.
std::string PrintableUtf8(std::string_view bytes);

// Empty when the text is not valid UTF-8 or holds a character that code page 932 lacks.
std::optional<std::string> Utf8ToCp932(std::string_view text);

}  // namespace orv::cli
