// The table of every character above U+007F that code page 932 holds, with its bytes, and
// the codes that only decoding reaches.
#pragma once

#include <cstdint>
#include <span>

namespace orv {

// Entries (code point << 16) | bytes in increasing order of code point; a one-byte
// character has bytes below 0x100, a two-byte one its lead byte in the high half.
std::span<const std::uint32_t> Cp932Table();

// Entries (bytes << 16) | code point, in increasing order of bytes, for the two-byte codes
// that decode to a character the table above does not give back for them: the code page
// holds some characters twice (NEC row 13, the IBM extensions), and the table maps each
// character to one code only.
std::span<const std::uint32_t> Cp932DecodeOnlyTable();

}  // namespace orv
