// The texts of numbers, periods and percentages, the guarded conversions of reals to
// integers (where they saturate or wrap), the number grammar the loader reaches, and code
// page 932 both ways: the detection of UTF-8 input, its conversion to code page 932 and the
// decoding.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <unordered_map>
#include <vector>

#include "text/cp932.h"
#include "text/number_text.h"
#include "text/period_text.h"
#include "text/truncate.h"

namespace orv {
namespace {

using Limits = std::numeric_limits<double>;

TEST(FormatNumber, ReferenceTexts) {
  struct { double value; const char* text; } cases[] = {
      {0, "0"}, {-0.0, "0"}, {2.0 / 3, "0.666666666666667"}, {0.0001, "0.0001"}, {0.00001, "1.00000000000000e-05"},
      {1e-100, "1.00000000000000e-100"}, {-0.0001234, "-0.0001234"}, {1e14, "100000000000000"}, {1e15, "1.00000000000000e+015"},
      {1234567890123456.0, "1.23456789012346e+015"}, {0.999999999999999, "1"}, {0.99999999999999, "0.99999999999999"},
      {9.99999999999999, "10"}, {Limits::quiet_NaN(), "0"},
      // Infinity would never leave the normalising loop.
      {Limits::infinity(), "1.#INF"}, {-Limits::infinity(), "-1.#INF"}, {Limits::denorm_min(), "4.94065645841247e-324"},
      {Limits::max(), "1.79769313486232e+308"}, {Limits::min(), "2.22507385850720e-308"},
      // 32769 / 32768 = 1.000030517578125: the sixteenth digit is an exact 5, which rounds up.
      {32769.0 / 32768, "1.00003051757813"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatNumber(c.value), c.text) << "value " << c.value;
}

// The loader passes only digits and points, its leading zeros cut off.
TEST(ParseNumber, DigitsAndPoints) {
  struct { const char* text; double value; } cases[] = {{"", 0}, {".", 0}, {"7.25", 7.25}, {"12.5.3", 12.5}, {".5", 0.5}};
  for (const auto& c : cases) EXPECT_EQ(ParseNumber(c.text), c.value) << '"' << c.text << '"';
  // Past the range of a double the digits give infinity, not undefined behaviour.
  EXPECT_TRUE(std::isinf(ParseNumber(std::string(400, '9'))));
  EXPECT_EQ(ParseNumber("0." + std::string(400, '0') + "1"), 0.0);
}

TEST(PeriodAndPercentText, ReferenceTexts) {
  struct { unsigned weeks; const char* text; } periods[] = {
      {0, "0.0m"}, {4, "0.9m"}, {5, " 0y 1m"}, {51, " 0y11m"}, {52, " 1y 0m"}, {100, " 1y11m"}, {2080, "40y 0m"},
      {5199, "99y11m"}, {5200, "100y 0m"}, {13311, "255y11m"}, {93184, "1792y 0m"},
  };
  for (const auto& c : periods) EXPECT_EQ(WeeksToYearsMonths(c.weeks), c.text) << c.weeks;
  // Survivals reached as the tables reach them: one death a week, the factors 1 - 1/n
  // multiplied in turn. 28 of 35 is 0.7999999999999999 that way, 17 of 34 0.4999999999999999.
  const auto afterDeaths = [](int cases, int deaths) {
    double s = 1;
    for (int n = cases; n > cases - deaths; --n) s *= 1 - 1.0 / n;
    return s;
  };
  struct { const char* name; double fraction; const char* text; } percents[] = {
      {"none", 0, "  0.0"}, {"half a step", 0.005, "  0.5"}, {"all", 1, "100.0"}, {"cut, not rounded", 0.9999, " 99.9"},
      {"0.853", 0.853, " 85.3"}, {"28 of 35 alive", afterDeaths(35, 7), " 80.0"}, {"17 of 34 alive", afterDeaths(34, 17), " 50.0"},
      {"7 of 10 alive", afterDeaths(10, 3), " 70.0"}, {"1 of 3 alive, a little above 1/3", afterDeaths(3, 2), " 33.3"},
      {"just below a step is cut down", 0.7995, " 79.9"}, {"a billionth below a step is cut down", 0.8 - 1e-9, " 79.9"},
      {"a rounding error below 1", std::nextafter(1.0, 0.0), "100.0"}, {"negative", -afterDeaths(35, 7), "-80.0"},
  };
  for (const auto& c : percents) EXPECT_EQ(PercentText(c.fraction), c.text) << c.name;
}

TEST(Truncate, TowardZeroSaturatingAndCoordinatesWrapping) {
  using I32 = std::numeric_limits<std::int32_t>;
  using I64 = std::numeric_limits<std::int64_t>;
  const double inf = Limits::infinity(), nan = std::nan("");
  struct { const char* name; std::int64_t got, want; } cases[] = {
      {"down", TruncToInt32(2.9), 2}, {"up", TruncToInt32(-2.9), -2}, {"NaN", TruncToInt32(nan), 0},
      {"2^31", TruncToInt32(2147483648.0), I32::max()}, {"minus infinity", TruncToInt32(-inf), I32::min()},
      {"2^63", TruncToInt64(9223372036854775808.0), I64::max()}, {"negative coordinate", ToCoord(std::int64_t{100 - 130}), 65506},
      {"coordinate wraps", ToCoord(65536.0), 0}, {"NaN coordinate", ToCoord(nan), 0},
      // 0.29 x 100 is 28.999999999999996.
      {"hundredths of 0.29", CutToSteps(0.29, 2), 29}, {"steps of NaN", CutToSteps(nan, 3), 0},
      {"steps of infinity", CutToSteps(inf, 3), I64::max()}, {"half a step of a large value is cut", CutToSteps(1e13 + 0.5, 0), 10000000000000},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
}

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
      {"byte-order mark alone", "\xEF\xBB\xBF", true}, {"ASCII only", "A,7,x\r\n", false}, {"overlong slash", "\xC0\xAF", false},
      {"overlong three bytes", "\xE0\x80\xAF", false}, {"surrogate", "\xED\xA0\x80", false}, {"beyond U+10FFFF", "\xF4\x90\x80\x80", false},
      {"cut at the end", U8(u8"死").substr(0, 2), false}, {"stray continuation byte", "A\x80", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsUtf8Input(Fenced(c.bytes).View()), c.utf8) << c.name;
}

// The table itself is the decoder's golden's; here the choices beside it and the substitutions.
TEST(Cp932, ConversionWithSubstitutions) {
  struct { const char* name; std::string utf8, cp932; std::vector<std::size_t> substitutions; } cases[] = {
      {"byte-order mark dropped", "\xEF\xBB\xBF" "A\r\n", "A\r\n", {}}, {"wave dash as full-width tilde", U8(u8"\u301C"), "～", {}},
      {"the first half-width katakana one byte", U8(u8"｡"), "\xA1", {}}, {"second byte 0x5C kept", U8(u8"表ソ"), "表ソ", {}},
      {"emoji", U8(u8"A😀B"), "A?B", {1}}, {"accented letters", U8(u8"é,ü"), "?,?", {0, 2}},
      {"malformed byte in marked input", "\xEF\xBB\xBF" "A\xFF\r\n", "A?\r\n", {1}},
      {"four-byte sequence cut at the end", "\xEF\xBB\xBF" "\xF0\x9F\x98", "???", {0, 1, 2}},
  };
  for (const auto& c : cases) {
    const Fenced in(c.utf8);
    EXPECT_TRUE(IsUtf8Input(in.View())) << c.name;
    EXPECT_EQ(Utf8ToCp932(in.View()).bytes, c.cp932) << c.name;
    EXPECT_EQ(Utf8ToCp932(in.View()).substitutions, c.substitutions) << c.name;
  }
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
      ADD_FAILURE() << "sequence " << testing::PrintToString(bytes) << ": " << testing::PrintToString(actual) << ", expected "
                    << testing::PrintToString(expected);
    }
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace orv
