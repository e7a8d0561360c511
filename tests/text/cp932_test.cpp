// Code page 932 both ways: detection of UTF-8 input and its conversion, and the decoding.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "text/cp932.h"

namespace orv {
namespace {

std::string U8(std::u8string_view s) { return {s.begin(), s.end()}; }

// The bytes followed by a continuation byte that the view leaves out: a read past the end
// would complete a cut sequence instead of failing on it.
struct Fenced {
  explicit Fenced(const std::string& s) : bytes(s + "\x80") {}
  std::string_view View() const { return std::string_view(bytes).substr(0, bytes.size() - 1); }
  std::string bytes;
};

// What is read as UTF-8 besides every input of the conversion table below.
TEST(Cp932, Utf8InputIsRecognised) {
  struct { const char* name; std::string bytes; bool utf8; } cases[] = {
      {"byte-order mark alone", "\xEF\xBB\xBF", true}, {"ASCII only", "A,7,x\r\n", false}, {"empty", "", false},
      {"Japanese in Shift-JIS", "A,7,死亡", false}, {"half-width katakana in Shift-JIS", "ｱｲｳ", false},
      {"overlong slash", "\xC0\xAF", false}, {"overlong three bytes", "\xE0\x80\xAF", false},
      {"surrogate", "\xED\xA0\x80", false}, {"beyond U+10FFFF", "\xF4\x90\x80\x80", false},
      {"cut at the end", U8(u8"死").substr(0, 2), false}, {"stray continuation byte", "A\x80", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsUtf8Input(Fenced(c.bytes).View()), c.utf8) << c.name;
}

// The table itself is the decoder's golden's; here the choices beside it and the substitutions.
TEST(Cp932, ConversionWithSubstitutions) {
  struct { const char* name; std::string utf8, cp932; std::vector<std::size_t> substitutions; } cases[] = {
      {"byte-order mark dropped", "\xEF\xBB\xBF" "A\r\n", "A\r\n", {}}, {"wave dash as full-width tilde", U8(u8"\u301C"), "～", {}},
      {"half-width katakana one byte", U8(u8"ｱ"), "\xB1", {}}, {"second byte 0x5C kept", U8(u8"表ソ"), "表ソ", {}},
      {"emoji", U8(u8"A😀B"), "A?B", {1}}, {"accented letters", U8(u8"é,ü"), "?,?", {0, 2}},
      {"malformed byte in marked input", "\xEF\xBB\xBF" "A\xFF\r\n", "A?\r\n", {1}},
      {"cut sequence before line end", "\xEF\xBB\xBF" "\xE6\xAD\r\nB", "??\r\nB", {0, 1}},
      {"three-byte sequence cut at the end", "\xEF\xBB\xBF" "A\xE6\xAD", "A??", {1, 2}},
      {"four-byte sequence cut at the end", "\xEF\xBB\xBF" "\xF0\x9F\x98", "???", {0, 1, 2}},
  };
  for (const auto& c : cases) {
    const Fenced in(c.utf8);
    EXPECT_TRUE(IsUtf8Input(in.View())) << c.name;
    EXPECT_EQ(Utf8ToCp932(in.View()).bytes, c.cp932) << c.name;
    EXPECT_EQ(Utf8ToCp932(in.View()).substitutions, c.substitutions) << c.name;
  }
  // The first half-width katakana, where its one-byte range starts.
  EXPECT_EQ(UnicodeToCp932(U'\uFF61'), 0xA1);
}

// Code page 932 to UTF-8: every single byte and every two-byte sequence decodes exactly as
// the batch command's former converter (glibc's iconv) decoded it.
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
    const std::string actual = Cp932ToUtf8(bytes);
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
    AppendCp932AsUtf8(bytes, out);
    EXPECT_EQ(Hex(out), "78" + utf8Hex) << Hex(bytes);
  }
}

}  // namespace
}  // namespace orv
