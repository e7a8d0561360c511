// A baseline TIFF written by hand.
#include "cli/tiff_image.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace orv::cli {
namespace {

constexpr std::uint16_t kShort = 3;
constexpr std::uint16_t kLong = 4;
constexpr std::uint16_t kRational = 5;
constexpr std::uint16_t kPackBits = 32773;
constexpr std::uint16_t kRgb = 2;
constexpr std::uint16_t kInch = 2;
// Strips of about 64 KiB before packing, as readers expect strips of a moderate size.
constexpr std::size_t kStripBytes = 65536;

void Put16(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

void Put32(std::string& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

void Set32(std::string& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// PackBits of one row: runs of three or more equal bytes as a count and the byte, the rest as
// literal blocks; at most 128 bytes a block, and no block crosses into the next row.
void PackRow(const unsigned char* b, std::size_t n, std::string& out) {
  std::size_t i = 0;
  while (i < n) {
    std::size_t run = 1;
    while (i + run < n && run < 128 && b[i + run] == b[i]) ++run;
    if (run >= 3) {
      out.push_back(static_cast<char>(1 - static_cast<int>(run)));
      out.push_back(static_cast<char>(b[i]));
      i += run;
      continue;
    }
    const std::size_t start = i;
    while (i < n && i - start < 128 && !(i + 2 < n && b[i] == b[i + 1] && b[i] == b[i + 2])) ++i;
    out.push_back(static_cast<char>(i - start - 1));
    out.append(reinterpret_cast<const char*>(b + start), i - start);
  }
}

}  // namespace

std::string TiffImage(const unsigned char* pixels, int width, int height, int stride, int dpi) {
  const auto w = static_cast<std::size_t>(std::max(width, 1)), h = static_cast<std::size_t>(std::max(height, 0));
  const std::size_t rowsPerStrip = std::max<std::size_t>(1, kStripBytes / (3 * w));
  std::string out = "II";
  Put16(out, 42);
  Put32(out, 0);  // the directory's offset, set at the end

  std::vector<std::uint32_t> offsets, counts;
  std::vector<unsigned char> row(3 * w);
  for (std::size_t y = 0; y < h; ++y) {
    if (y % rowsPerStrip == 0) {
      if (!offsets.empty()) counts.push_back(static_cast<std::uint32_t>(out.size() - offsets.back()));
      offsets.push_back(static_cast<std::uint32_t>(out.size()));
    }
    const unsigned char* source = pixels + y * static_cast<std::size_t>(stride);
    for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x) {
      std::uint32_t p = 0;
      std::memcpy(&p, source + 4 * x, 4);
      row[3 * x] = static_cast<unsigned char>(p >> 16);
      row[3 * x + 1] = static_cast<unsigned char>(p >> 8);
      row[3 * x + 2] = static_cast<unsigned char>(p);
    }
    PackRow(row.data(), row.size(), out);
  }
  if (!offsets.empty()) counts.push_back(static_cast<std::uint32_t>(out.size() - offsets.back()));
  if (out.size() % 2 != 0) out.push_back('\0');  // the directory starts on a word boundary

  // The arrays and rationals the directory points to, after it.
  struct Entry {
    std::uint16_t tag, type;
    std::uint32_t count, value;  // the value itself when it fits in four bytes, else its offset
  };
  const auto strips = static_cast<std::uint32_t>(offsets.size());
  constexpr std::uint32_t kEntries = 12;
  const auto directory = static_cast<std::uint32_t>(out.size());
  const std::uint32_t extra = directory + 2 + 12 * kEntries + 4;
  const std::uint32_t bitsAt = extra, xAt = bitsAt + 6 + 2, yAt = xAt + 8, offsetsAt = yAt + 8, countsAt = offsetsAt + 4 * strips;
  const Entry entries[kEntries] = {
      {256, kLong, 1, static_cast<std::uint32_t>(width)},
      {257, kLong, 1, static_cast<std::uint32_t>(h)},
      {258, kShort, 3, bitsAt},
      {259, kShort, 1, kPackBits},
      {262, kShort, 1, kRgb},
      {273, kLong, strips, strips == 1 ? offsets[0] : offsetsAt},
      {277, kShort, 1, 3},
      {278, kLong, 1, static_cast<std::uint32_t>(rowsPerStrip)},
      {279, kLong, strips, strips == 1 ? counts[0] : countsAt},
      {282, kRational, 1, xAt},
      {283, kRational, 1, yAt},
      {296, kShort, 1, kInch},
  };
  Set32(out, 4, directory);
  Put16(out, kEntries);
  for (const Entry& e : entries) {
    Put16(out, e.tag);
    Put16(out, e.type);
    Put32(out, e.count);
    if (e.type == kShort && e.count == 1) {
      Put16(out, static_cast<std::uint16_t>(e.value));
      Put16(out, 0);
    } else {
      Put32(out, e.value);
    }
  }
  Put32(out, 0);  // no further directory
  for (int i = 0; i < 3; ++i) Put16(out, 8);
  Put16(out, 0);
  for (int i = 0; i < 2; ++i) {
    Put32(out, static_cast<std::uint32_t>(dpi));
    Put32(out, 1);
  }
  if (strips > 1) {
    for (std::uint32_t o : offsets) Put32(out, o);
    for (std::uint32_t c : counts) Put32(out, c);
  }
  return out;
}

}  // namespace orv::cli
