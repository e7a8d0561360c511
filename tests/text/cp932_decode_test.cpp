// Code page 932 to UTF-8: every single byte and every two-byte sequence decodes exactly as
// the batch command's former converter (glibc's iconv) decoded it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>

#include "text/cp932.h"

namespace {

struct GoldenPair {
  std::uint16_t code;
  std::uint32_t utf8;
};

#include "text/cp932_decode_golden.inc"

// The UTF-8 bytes packed big-endian; 0 is the one NUL byte.
std::string Unpacked(std::uint32_t packed) {
  std::string bytes;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const auto b = static_cast<char>((packed >> shift) & 0xFFu);
    if (!bytes.empty() || b != 0 || shift == 0) bytes += b;
  }
  return bytes;
}

std::string Hex(const std::string& bytes) {
  std::string hex;
  for (unsigned char c : bytes) hex += {"0123456789ABCDEF"[c >> 4], "0123456789ABCDEF"[c & 15]};
  return hex;
}

// A code that holds no character decodes as its two bytes alone: the codes 00 00 to 00 FF
// check every single byte, a lone lead byte at the end of the text included.
TEST(Cp932ToUtf8, EveryByteAndTwoByteSequenceAsTheFormerConverter) {
  std::unordered_map<std::uint16_t, std::uint32_t> characters;
  for (const GoldenPair& pair : kGoldenPairs) characters[pair.code] = pair.utf8;
  int mismatches = 0;
  for (int code = 0; code < 0x10000; ++code) {
    const std::string bytes = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    const auto it = characters.find(static_cast<std::uint16_t>(code));
    const std::string expected = it != characters.end()
                                     ? Unpacked(it->second)
                                     : Unpacked(kGoldenSingle[code >> 8]) + Unpacked(kGoldenSingle[code & 0xFF]);
    const std::string actual = orv::Cp932ToUtf8(bytes);
    if (actual != expected && ++mismatches <= 20) {
      ADD_FAILURE() << "sequence " << Hex(bytes) << ": " << Hex(actual) << ", expected " << Hex(expected);
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// Catches pairs not taken from the left, a lead byte swallowing what follows a single byte,
// and an append that replaces what the output already held.
TEST(Cp932ToUtf8, LongerSequencesAppendAfterWhatIsThere) {
  const std::pair<std::string, std::string> cases[] = {
      {"\x81\x82\xA0", "E289A0EFBFBD"}, {"\xB1\x82\xA0", "EFBDB1E38182"}, {"a\x8A\xBF" "b", "61E6BCA262"}};
  for (const auto& [bytes, utf8Hex] : cases) {
    std::string out = "x";
    orv::AppendCp932AsUtf8(bytes, out);
    EXPECT_EQ(Hex(out), "78" + utf8Hex) << Hex(bytes);
  }
}

}  // namespace
