// Reading UTF-8 input as code page 932 (detection, decoding and the table lookup), and
// writing code page 932 as UTF-8.
#include "text/cp932.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "text/cp932_table.h"

namespace orv {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Decodes the sequence at bytes[i]; returns its length, or 0 when it is not well-formed
// UTF-8 (overlong forms, surrogates and values above U+10FFFF are not).
std::size_t DecodeAt(std::string_view bytes, std::size_t i, char32_t& cp) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(bytes[i + k]); };
  const unsigned char lead = b(0);
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead < 0x80) {
    cp = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    cp = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    cp = lead & 0x0Fu;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    cp = lead & 0x07u;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (bytes.size() - i < length) return 0;
  // Only the second byte has a narrowed range; the others are plain continuation bytes.
  if (b(1) < low || b(1) > high) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((b(k) & 0xC0u) != 0x80u) return 0;
    cp = (cp << 6) | (b(k) & 0x3Fu);
  }
  return length;
}


// The UTF-8 of every two-byte code (lead << 8 | trail): its bytes in the low three bytes,
// first byte lowest, and its length in the high byte; 0 where the code holds no character.
// Built once from the encoding table, whose first character for a code is the one it
// decodes to unless the decode-only table says otherwise.
const std::vector<std::uint32_t>& DoubleByteTable() {
  static const std::vector<std::uint32_t> table = [] {
    std::vector<char16_t> cps(0x10000, 0);
    for (const std::uint32_t entry : Cp932Table()) {
      const std::uint32_t code = entry & 0xFFFFu;
      if (code > 0xFF && cps[code] == 0) cps[code] = static_cast<char16_t>(entry >> 16);
    }
    for (const std::uint32_t entry : Cp932DecodeOnlyTable()) cps[entry >> 16] = static_cast<char16_t>(entry & 0xFFFFu);
    std::vector<std::uint32_t> t(0x10000, 0);
    for (std::size_t code = 0; code < t.size(); ++code) {
      const std::uint32_t cp = cps[code];
      if (cp == 0) continue;
      // Every character of the code page above U+007F is in the Basic Multilingual Plane.
      t[code] = cp < 0x800 ? (2u << 24) | ((0x80 | (cp & 0x3F)) << 8) | (0xC0 | (cp >> 6))
                           : (3u << 24) | ((0x80 | (cp & 0x3F)) << 16) | ((0x80 | ((cp >> 6) & 0x3F)) << 8) | (0xE0 | (cp >> 12));
    }
    return t;
  }();
  return table;
}

// Characters of the code page are all in the Basic Multilingual Plane and above U+007F.
char* WriteUtf8(char16_t cp, char* out) {
  if (cp < 0x800) {
    *out++ = static_cast<char>(0xC0 | (cp >> 6));
  } else {
    *out++ = static_cast<char>(0xE0 | (cp >> 12));
    *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  }
  *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  return out;
}

}  // namespace

char* WriteCp932AsUtf8(std::string_view bytes, char* out) {
  const std::uint32_t* doubleByte = DoubleByteTable().data();
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const unsigned char* const end = in + bytes.size();
  while (in < end) {
    const unsigned char b = *in;
    if (b < 0x80) {
      *out++ = static_cast<char>(b);
      ++in;
    } else if (b >= 0xA1 && b <= 0xDF) {
      out = WriteUtf8(static_cast<char16_t>(0xFF61 + (b - 0xA1)), out);
      ++in;
    } else if (IsLeadByte(b) && in + 1 < end && doubleByte[b << 8 | in[1]] != 0) {
      // Four bytes stored, three at most kept: two bytes in leave room for six out.
      const std::uint32_t packed = doubleByte[b << 8 | in[1]];
      const char utf8[4] = {static_cast<char>(packed & 0xFF), static_cast<char>((packed >> 8) & 0xFF),
                             static_cast<char>((packed >> 16) & 0xFF), 0};
      std::memcpy(out, utf8, 4);
      out += packed >> 24;
      in += 2;
    } else {
      *out++ = '\xEF';
      *out++ = '\xBF';
      *out++ = '\xBD';
      ++in;
    }
  }
  return out;
}

void AppendCp932AsUtf8(std::string_view bytes, std::string& out) {
  const std::size_t start = out.size();
  out.resize(start + 3 * bytes.size());
  const char* end = WriteCp932AsUtf8(bytes, out.data() + start);
  out.resize(static_cast<std::size_t>(end - out.data()));
}

std::string Cp932ToUtf8(std::string_view bytes) {
  std::string out;
  AppendCp932AsUtf8(bytes, out);
  return out;
}

std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t i) {
  char32_t cp = 0;
  return i < bytes.size() ? DecodeAt(bytes, i, cp) : 0;
}

bool IsUtf8Input(std::string_view bytes) {
  if (bytes.starts_with(kByteOrderMark)) return true;
  bool high = false;
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    char32_t cp = 0;
    const std::size_t length = DecodeAt(bytes, i, cp);
    if (length == 0) return false;
    high = true;
    i += length;
  }
  return high;
}

int UnicodeToCp932(char32_t cp) {
  if (cp < 0x80) return static_cast<int>(cp);
  if (cp > 0xFFFF) return -1;
  const std::span<const std::uint32_t> table = Cp932Table();
  const std::uint32_t key = static_cast<std::uint32_t>(cp) << 16;
  const auto it = std::lower_bound(table.begin(), table.end(), key);
  if (it == table.end() || (*it >> 16) != cp) return -1;
  return static_cast<int>(*it & 0xFFFFu);
}

Cp932Text Utf8ToCp932(std::string_view utf8) {
  if (utf8.starts_with(kByteOrderMark)) utf8.remove_prefix(kByteOrderMark.size());
  Cp932Text out;
  out.bytes.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    char32_t cp = 0;
    const std::size_t length = DecodeAt(utf8, i, cp);
    const int code = length == 0 ? -1 : UnicodeToCp932(cp);
    if (code < 0) {
      out.substitutions.push_back(out.bytes.size());
      out.bytes += '?';
      // A malformed sequence gives one "?" per byte, so the next line break is never lost.
      i += length == 0 ? 1 : length;
      continue;
    }
    if (code > 0xFF) out.bytes += static_cast<char>(code >> 8);
    out.bytes += static_cast<char>(code & 0xFF);
    i += length;
  }
  return out;
}

}  // namespace orv
