// The table of every character above U+007F that code page 932 holds, with its bytes.
#pragma once

#include <cstdint>
#include <span>

namespace orv {

// Entries (code point << 16) | bytes in increasing order of code point; a one-byte
// character has bytes below 0x100, a two-byte one its lead byte in the high half.
std::span<const std::uint32_t> Cp932Table();

}  // namespace orv
