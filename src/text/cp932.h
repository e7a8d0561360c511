// UTF-8 input turned into code page 932, the code page of every text the program reads, and
// code page 932 turned into UTF-8 for the edges that need it (terminal, JSON, SVG).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// True for the first byte of a two-byte Shift-JIS character.
constexpr bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// True for bytes that are to be read as UTF-8: they start with the byte-order mark, or
// they are valid UTF-8 throughout and hold a byte above 0x7F. Shift-JIS text with Japanese
// characters in it is practically never valid UTF-8, and pure ASCII reads the same either way.
bool IsUtf8Input(std::string_view bytes);

// The length of the well-formed UTF-8 sequence at bytes[i], or 0 when none starts there
// (overlong forms, surrogates, values above U+10FFFF and cut sequences are not well-formed).
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t i);

struct Cp932Text {
  std::string bytes;
  // Offsets in bytes of every "?" that stands for a character code page 932 cannot hold
  // (or for a malformed sequence), in increasing order.
  std::vector<std::size_t> substitutions;
};

// UTF-8 to code page 932, without a leading byte-order mark.
Cp932Text Utf8ToCp932(std::string_view utf8);

// The code page 932 bytes of one character: a value below 0x100 for one byte, else the
// lead byte in the high half; -1 when the code page cannot hold the character.
int UnicodeToCp932(char32_t cp);

// Code page 932 to UTF-8, appended to `out`. Never fails: a byte that does not start a
// character of the code page (a lead byte without a trail byte that completes it, and the
// bytes 0x80, 0xA0 and 0xFD to 0xFF) becomes U+FFFD, and decoding goes on at the next
// byte, so a refused trail byte is read again on its own. The result is always valid UTF-8.
void AppendCp932AsUtf8(std::string_view bytes, std::string& out);
std::string Cp932ToUtf8(std::string_view bytes);
// The same written at `out`, which has room for 3 x bytes.size() bytes (no byte of code
// page 932 becomes more than three of UTF-8); returns the end of what was written.
char* WriteCp932AsUtf8(std::string_view bytes, char* out);

}  // namespace orv
