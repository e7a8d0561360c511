// The publication figures of the batch command: the section after the pairwise tables, the
// JSON fields and the CSV files of --out, on a small file whose figures R survival gives
// (survfit and quantile for A and B, coxph with Efron ties for B relative to A); the figure's
// files: the PNG's size and resolution, the PDF's searchable text and the bands of --ci; the
// number-at-risk view's files.
#include <cairo.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string_view>
#include <tuple>

#include <nlohmann/json.hpp>

#include "cli/cli_run.h"

namespace cli {
namespace {

using json = nlohmann::ordered_json;

// A: deaths in weeks 1 to 4 of 8 cases, so S is 0.5 from week 4 to the last censoring in
// week 61 (median 32.5); B: a death every second week to week 16 (median 9, S = 0 at 16);
// C: 8 censored cases, no death, so no hazard ratio against it.
std::string FiguresFile() {
  return WriteData("figures.csv", "'figures\r\n" + Rows("A", {1, 2, 3, 4}, "死亡,癌") + Rows("A", {61, 61, 61, 61}, "生存") +
                                      Rows("B", {2, 4, 6, 8, 10, 12, 14, 16}, "死亡,癌") + Rows("C", {5, 6, 7, 8, 9, 10, 11, 12}, "生存"));
}

// One run prints the section and writes the CSV files; the JSON of the same file holds R's figures.
TEST(CliFigures, SectionAfterThePairwiseTablesAndCsvFilesOfOut) {
  const fs::path dir = TempPath("out");
  const std::string out = Succeeding({FiguresFile(), "--out", dir.string()});
  const std::size_t start = out.find("[Median, 5- and 10-year survival, numbers at risk]");
  ASSERT_NE(start, std::string::npos);
  // The reviewer's section follows after an empty line (its place after the pairwise tables is the
  // goldens': sample.txt ends with them).
  EXPECT_EQ(out.substr(start, out.find("\n[Log-rank test, hazard ratios", start) - start), GoldenText("figures-section.txt"));
  // The CSV files whole (UTF-8 with a byte-order mark, fifteen digits): among them B's last
  // week without error or interval, A's upper limit below 1 in week 61, and the pairs with C
  // ending in four empty fields, having no hazard ratio.
  EXPECT_EQ(ReadFile(dir / "life-tables.csv"), GoldenText("figures-life-tables.csv"));
  EXPECT_EQ(ReadFile(dir / "pairs.csv"), GoldenText("figures-pairs.csv"));
  fs::remove_all(dir);
  // With one group shown there are no tests: the four test columns stay empty.
  Succeeding({FiguresFile(), "--hide", "2", "--hide", "3", "--out", dir.string()});
  EXPECT_NE(ReadFile(dir / "pairs.csv").find("\r\n1,2,A,B,,,,,"), std::string::npos);
  fs::remove_all(dir);

  const json doc = json::parse(Succeeding({FiguresFile(), "--json"}));
  // Relative tolerance 1e-9; R's Cox figures agree to 1e-6.
  ExpectFigures(doc, {
      {"A's median: midpoint of week 4 and the last week observed", "/groups/1/median/week", 32.5},
      {"A's median, lower limit", "/groups/1/median/lower", 3}, {"its upper limit not reached", "/groups/1/median/upper", NAN},
      {"B's median: midpoint of weeks 8 and 10", "/groups/2/median/week", 9},
      {"B in week 10: the estimate", "/groups/2/weeks/10/km", 0.375},
      {"B in week 10: Greenwood's error", "/groups/2/weeks/10/stdErr", 0.17116329922036438},
      {"B in week 10: lower limit", "/groups/2/weeks/10/lower", 0.15328960174295209},
      {"B in week 10: upper limit", "/groups/2/weeks/10/upper", 0.91738120786438559},
      {"B at 0 in week 16: no limit", "/groups/2/weeks/16/lower", NAN}, {"nor error", "/groups/2/weeks/16/stdErr", NAN},
      {"C: no median", "/groups/3/median/week", NAN}, {"nor its limit", "/groups/3/median/lower", NAN},
      {"B relative to A", "/pairs/0/hazardRatio", 2.160685168, 1e-6}, {"its lower limit", "/pairs/0/hrLower", 0.626550294, 1e-6},
      {"its upper limit", "/pairs/0/hrUpper", 7.451214119, 1e-6}, {"its Wald p", "/pairs/0/hrP", 0.2225552132, 1e-6},
      {"C against A: no ratio", "/pairs/1/hazardRatio", NAN}, {"C against B: no p", "/pairs/2/hrP", NAN},
      {"A at the year mark 1", "/groups/1/atRisk/1/n", 4},
      {"the last year mark within the range of 104 weeks", "/groups/1/atRisk/2/week", 104},
      {"the data end before 5 years", "/groups/1/at5y", NAN}, {"and 10", "/groups/0/at10y", NAN},
  });
  EXPECT_EQ(doc["groups"][1]["atRisk"].size(), 3u);
}

// Data that reach ten years: the 10-year figures are the curve's at week 520, not the 5-year
// ones (R survival, tests/cli/reference/ten_years.R).
TEST(CliFigures, FiveAndTenYearsMatchR) {
  std::string rows = "'ten years\r\n";
  for (int k = 1; k <= 8; ++k) rows += "A," + std::to_string(300 * k) + ",死亡,癌\r\n";
  rows += "A,4400,生存\r\n";
  const json doc = json::parse(Succeeding({WriteData("ten_years.csv", rows), "--json"}));
  ExpectFigures(doc, {
      {"5 years", "/groups/1/at5y/survival", 1.0 / 3, 1e-12}, {"lower", "/groups/1/at5y/lower", 0.1323178665078942, 1e-12},
      {"upper", "/groups/1/at5y/upper", 0.839728708174735, 1e-12}, {"10 years", "/groups/1/at10y/survival", 1.0 / 9, 1e-12},
      {"lower", "/groups/1/at10y/lower", 0.0175080177972009, 1e-12}, {"upper", "/groups/1/at10y/upper", 0.705144303332810, 1e-12},
  });
}

// --- the figure's files ---

fs::path RunWithOut(const std::string& data, const std::string& name, const std::vector<std::string>& options = {}) {
  const fs::path dir = TempPath(name);
  fs::remove_all(dir);
  std::vector<std::string> args = {data, "--out", dir.string()};
  args.insert(args.end(), options.begin(), options.end());
  Succeeding(args);
  return dir;
}

std::uint32_t BigEndian(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

// A stream that is not zlib data, or inflates beyond 4 MiB (no font map does), gives nothing.
std::string Inflate(const std::string& in) {
  std::string out(4 << 20, '\0');
  uLongf size = out.size();
  if (uncompress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(in.data()), in.size()) != Z_OK) return {};
  return out.substr(0, size);
}

std::uint32_t Pixel(cairo_surface_t* s, int x, int y) {
  const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
  return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
}

// A little-endian TIFF's first directory: tag -> (type, count, value or offset).
struct TiffEntry {
  std::uint16_t type;
  std::uint32_t count, value;
};

std::uint32_t Little(const std::string& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
  return v;
}

std::map<int, TiffEntry> TiffTags(const std::string& tif) {
  std::map<int, TiffEntry> tags;
  const std::uint32_t ifd = Little(tif, 4, 4);
  for (std::uint32_t i = 0; i < Little(tif, ifd, 2); ++i) {
    const std::size_t e = ifd + 2 + 12 * i;
    const auto type = static_cast<std::uint16_t>(Little(tif, e + 2, 2));
    const std::uint32_t count = Little(tif, e + 4, 4);
    tags[static_cast<int>(Little(tif, e, 2))] = {type, count, type == 3 && count == 1 ? Little(tif, e + 8, 2) : Little(tif, e + 8, 4)};
  }
  return tags;
}

// The TIFF's PackBits strips unpacked: rows of RGB bytes.
std::string TiffPixels(const std::string& tif, std::map<int, TiffEntry>& tags) {
  std::string out;
  const TiffEntry offsets = tags[273], counts = tags[279];
  for (std::uint32_t k = 0; k < offsets.count; ++k) {
    const std::uint32_t at = offsets.count == 1 ? offsets.value : Little(tif, offsets.value + 4 * k, 4);
    const std::uint32_t n = counts.count == 1 ? counts.value : Little(tif, counts.value + 4 * k, 4);
    for (std::size_t i = at; i < at + n;) {
      const auto header = static_cast<signed char>(tif[i++]);
      if (header >= 0) {
        out.append(tif, i, static_cast<std::size_t>(header) + 1);
        i += static_cast<std::size_t>(header) + 1;
      } else if (header != -128) {
        out.append(static_cast<std::size_t>(1 - header), tif[i++]);
      }
    }
  }
  return out;
}

// 170 x 120 mm: 2008 x 1417 pixels at 300 dpi, 481.92 x 340.08 points; the TIFF holds the
// PNG's pixels, PackBits strips, its resolution in dots per inch.
TEST(Figure, SizeAndResolutionAndSearchableText) {
  const fs::path dir = RunWithOut(ORVANTIS_SAMPLE, "sample");
  const std::string tif = ReadFile(dir / "figure.tif");
  ASSERT_EQ(tif.substr(0, 4), std::string("II*\0", 4));
  std::map<int, TiffEntry> tags = TiffTags(tif);
  using Values = std::vector<std::uint32_t>;
  Values values;
  for (int tag : {256, 257, 259, 262, 277, 296}) values.push_back(tags[tag].value);
  EXPECT_EQ(values, (Values{2008, 1417, 32773, 2, 3, 2}));
  for (int tag : {282, 283}) EXPECT_EQ((Values{tags[tag].type, Little(tif, tags[tag].value, 4), Little(tif, tags[tag].value + 4, 4)}), (Values{5, 300, 1})) << tag;
  EXPECT_EQ((Values{tags[258].count, Little(tif, tags[258].value, 2), Little(tif, tags[258].value + 2, 2), Little(tif, tags[258].value + 4, 2)}),
            (Values{3, 8, 8, 8}));
  const std::string rgb = TiffPixels(tif, tags);
  ASSERT_EQ(rgb.size(), 2008u * 1417 * 3);
  cairo_surface_t* drawn = cairo_image_surface_create_from_png((dir / "figure.png").c_str());
  std::size_t differing = 0;
  for (int y = 0; y < 1417; ++y) {
    for (int x = 0; x < 2008; ++x) {
      const std::size_t at = 3 * (static_cast<std::size_t>(y) * 2008 + static_cast<std::size_t>(x));
      const std::uint32_t p = static_cast<std::uint32_t>(static_cast<unsigned char>(rgb[at])) << 16 |
                              static_cast<std::uint32_t>(static_cast<unsigned char>(rgb[at + 1])) << 8 | static_cast<unsigned char>(rgb[at + 2]);
      differing += p != Pixel(drawn, x, y);
    }
  }
  EXPECT_EQ(differing, 0u);
  cairo_surface_destroy(drawn);
  const std::string png = ReadFile(dir / "figure.png");
  ASSERT_GT(png.size(), 50u);
  EXPECT_EQ(std::tuple(BigEndian(png, 16), BigEndian(png, 20)), std::tuple(2008u, 1417u));
  // The resolution chunk follows the header: 11811 pixels per metre both ways, unit metre.
  EXPECT_EQ(png.substr(37, 4), "pHYs");
  EXPECT_EQ(std::tuple(BigEndian(png, 41), BigEndian(png, 45), png[49]), std::tuple(11811u, 11811u, '\1'));
  // Its CRC covers the chunk's type and data.
  EXPECT_EQ(BigEndian(png, 50), crc32(0, reinterpret_cast<const Bytef*>(png.data() + 37), 13));
  EXPECT_NE(ReadFile(dir / "figure.svg").find("width=\"481.92pt\" height=\"340.08pt\""), std::string::npos);
  const std::string pdf = ReadFile(dir / "figure.pdf");
  EXPECT_NE(pdf.find("/MediaBox [ 0 0 481.92 340.08 ]"), std::string::npos);
  // Text, not outlines: the fonts' Unicode maps hold every character of the group names.
  std::string maps;
  for (std::size_t at = pdf.find("stream\n"); at != std::string::npos; at = pdf.find("stream\n", at + 1)) {
    maps += Inflate(pdf.substr(at + 7, pdf.find("endstream", at + 7) - at - 7));
  }
  for (char16_t c : std::u16string_view(u"新規治療群標準治療群併用療法群経過観察群Number at risk")) {
    char entry[16];
    std::snprintf(entry, sizeof entry, "> <%04x>\n", static_cast<unsigned>(c));
    EXPECT_NE(maps.find(entry), std::string::npos) << entry;
  }
  // The number-at-risk view's text file: the numbers of the figures section's "at risk" lines,
  // the totals the pooled group's.
  EXPECT_EQ(ReadFile(dir / "number-at-risk.txt"), GoldenText("sample-number-at-risk.txt"));
  fs::remove_all(dir);
}

TEST(Figure, CiDrawsEachGroupsBandAsALightFillOfItsColour) {
  // One group of ten, deaths in weeks 10 to 50 and five censored in week 60: after week 10
  // S = 0.9 with the interval 0.732 to 1, so the row of survival 0.95 (y 96: the plot runs
  // from y 40 at 1 to 1145.33 at 0, a line clear above the footnote) lies in the band from the drop at week 10 on; before it only
  // the curve at 1. It is the second group (the first, of one case, is not shown), red in the
  // program's colours and black in grey.
  const std::string data = WriteData("ten.csv", "'ten\r\n" + Rows("Z", {1}, U8(u8"生存")) + Rows("A", {10, 20, 30, 40, 50}, U8(u8"死亡,癌")) +
                                                    Rows("A", {60, 60, 60, 60, 60}, U8(u8"生存")));
  cairo_surface_t* with = cairo_image_surface_create_from_png((RunWithOut(data, "ci", {"--ci", "--palette", "grey"}) / "figure.png").c_str());
  cairo_surface_t* without = cairo_image_surface_create_from_png((RunWithOut(data, "no_ci") / "figure.png").c_str());
  ASSERT_EQ(std::tuple(cairo_image_surface_get_width(with), cairo_image_surface_get_width(without)), std::tuple(2008, 2008));
  // Left to right on that row: white, the Y axis, white, the curve's drop at week 10, the band.
  int x = 0;
  while (x < 2008 && Pixel(with, x, 96) == 0xFFFFFF) ++x;
  while (x < 2008 && Pixel(with, x, 96) != 0xFFFFFF) ++x;
  const int afterAxis = x;
  while (x < 2008 && Pixel(with, x, 96) == 0xFFFFFF) ++x;
  ASSERT_LT(x, 2008);
  ASSERT_GT(x - afterAxis, 100);
  // Black at 15 % over white.
  EXPECT_EQ(std::tuple(Pixel(with, x + 30, 96), Pixel(without, x + 30, 96), Pixel(with, x - 30, 96)),
            std::tuple(0xD9D9D9u, 0xFFFFFFu, 0xFFFFFFu));
  // The Y axis labels end where they are anchored, 24 dots left of the axis (16 of tick, 8 of
  // gap): on the row through the lower bowl of "0.6" (its tick is at y 482), the first dark
  // pixel left of the axis is the label's right end. The axis is the first dark pixel of
  // row 1000, where no label stands.
  int axis = 0;
  while (axis < 2008 && Pixel(without, axis, 1000) == 0xFFFFFF) ++axis;
  int label = axis - 3;
  while (label > 0 && Pixel(without, label, 486) == 0xFFFFFF) --label;
  EXPECT_EQ(axis - label, 24) << axis;
  // The band ends where its curve does, the last week having no width: on the row of survival
  // 0.4 (y 703), inside the last interval, its right end is the curve's at 0.5 (y 593).
  int band = 2007, curve = 2007;
  while (band > 0 && Pixel(with, band, 703) == 0xFFFFFF) --band;
  while (curve > 0 && Pixel(without, curve, 593) == 0xFFFFFF) --curve;
  EXPECT_TRUE(band <= curve && band >= curve - 2) << band << " " << curve;
  cairo_surface_destroy(with);
  cairo_surface_destroy(without);
}

}  // namespace
}  // namespace cli
