// Detection of UTF-8 input and its conversion to code page 932.
#include <gtest/gtest.h>

#include <string>
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

}  // namespace
}  // namespace orv
