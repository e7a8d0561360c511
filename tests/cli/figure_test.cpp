// The publication figure as the batch command writes it: the PNG's size and resolution, the
// PDF's text read back through its fonts' Unicode maps, and the 95 % bands of --ci.
#include <cairo.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

// Expected texts are written as UTF-8 literals: ordinary literals here are Shift-JIS.
std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::string TempName(const std::string& name) { return "orvantis_figure_" + std::to_string(getpid()) + "_" + name; }

std::string ReadFile(const fs::path& path) {
  return (std::stringstream() << std::ifstream(path, std::ios::binary).rdbuf()).str();
}

// Runs the command with --out into a fresh folder; returns the folder.
fs::path RunWithOut(const std::string& data, const std::string& extra) {
  const fs::path dir = fs::temp_directory_path() / TempName("out" + std::to_string(std::rand()));
  fs::remove_all(dir);
  const std::string command = std::string(ORVANTIS_COMMAND) + " '" + data + "' --out '" + dir.string() + "' " + extra +
                              " >/dev/null 2>&1";
  const int raw = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << command;
  return dir;
}

fs::path SampleFigures() {
  static const fs::path dir = RunWithOut(ORVANTIS_SAMPLE, "");
  return dir;
}

std::uint32_t BigEndian(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

TEST(Figure, PngIs170By120MillimetresAt300Dpi) {
  const std::string png = ReadFile(SampleFigures() / "figure.png");
  ASSERT_GT(png.size(), 50u);
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(BigEndian(png, 16), 2008u);
  EXPECT_EQ(BigEndian(png, 20), 1417u);
  // The resolution chunk follows the header: 11811 pixels per metre both ways, unit metre.
  EXPECT_EQ(png.substr(37, 4), "pHYs");
  EXPECT_EQ(BigEndian(png, 41), 11811u);
  EXPECT_EQ(BigEndian(png, 45), 11811u);
  EXPECT_EQ(png[49], 1);
}

TEST(Figure, SvgIsTheSameSizeInPoints) {
  const std::string svg = ReadFile(SampleFigures() / "figure.svg");
  EXPECT_NE(svg.find("width=\"481.92pt\" height=\"340.08pt\""), std::string::npos) << svg.substr(0, 300);
}

// --- reading the PDF's text back as a reader's search does ---

std::string Inflate(std::string_view in) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return {};
  std::string out;
  char buffer[65536];
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  z.avail_in = static_cast<uInt>(in.size());
  int status = Z_OK;
  while (status == Z_OK) {
    z.next_out = reinterpret_cast<Bytef*>(buffer);
    z.avail_out = sizeof buffer;
    status = inflate(&z, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - z.avail_out);
  }
  inflateEnd(&z);
  return out;
}

// The dictionary and the decoded stream of object `n`.
std::pair<std::string, std::string> Object(const std::string& pdf, int n) {
  const std::size_t at = pdf.find("\n" + std::to_string(n) + " 0 obj");
  if (at == std::string::npos) return {};
  const std::size_t end = pdf.find("endobj", at);
  const std::string obj = pdf.substr(at, end - at);
  const std::size_t s = obj.find("stream\n");
  if (s == std::string::npos) return {obj, {}};
  const std::size_t e = obj.rfind("endstream");
  return {obj.substr(0, s), Inflate(std::string_view(obj).substr(s + 7, e - s - 7))};
}

int Ref(const std::string& text, const std::string& key) {
  const std::size_t at = text.find(key + " ");
  return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + key.size() + 1);
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

struct UnicodeMap {
  int codeBytes = 1;
  std::map<std::uint32_t, std::uint32_t> chars;
};

// The bfchar entries of a ToUnicode CMap ("<0001> <65b0>").
UnicodeMap ParseCMap(const std::string& cmap) {
  UnicodeMap m;
  const std::size_t range = cmap.find("begincodespacerange");
  if (range != std::string::npos) m.codeBytes = cmap.find("<0000>", range) < cmap.find("endcodespacerange") ? 2 : 1;
  for (std::size_t at = cmap.find("beginbfchar"); at != std::string::npos; at = cmap.find("beginbfchar", at + 1)) {
    std::istringstream in(cmap.substr(at + 11, cmap.find("endbfchar", at) - at - 11));
    std::string src, dst;
    while (in >> src >> dst) {
      m.chars[static_cast<std::uint32_t>(std::stoul(src.substr(1, src.size() - 2), nullptr, 16))] =
          static_cast<std::uint32_t>(std::stoul(dst.substr(1, dst.size() - 2), nullptr, 16));
    }
  }
  return m;
}

// Every string shown by Tj or TJ in the page's content, decoded through its font's map,
// one line each.
std::string PdfText(const std::string& pdf) {
  const std::string content = Object(pdf, Ref(pdf, "/Contents")).second;
  std::map<std::string, UnicodeMap> fonts;
  std::string out;
  const UnicodeMap* font = nullptr;
  std::string shown;
  auto decode = [&](const std::string& codes) {
    if (font == nullptr) return;
    for (std::size_t i = 0; i + font->codeBytes <= codes.size(); i += static_cast<std::size_t>(font->codeBytes)) {
      std::uint32_t code = static_cast<unsigned char>(codes[i]);
      if (font->codeBytes == 2) code = (code << 8) | static_cast<unsigned char>(codes[i + 1]);
      const auto it = font->chars.find(code);
      AppendUtf8(shown, it == font->chars.end() ? '?' : it->second);
    }
  };
  std::string lastName;
  for (std::size_t i = 0; i < content.size(); ++i) {
    const char c = content[i];
    if (c == '/') {
      std::size_t j = i + 1;
      while (j < content.size() && content[j] != ' ' && content[j] != '\n') ++j;
      lastName = content.substr(i, j - i);
      i = j;
    } else if (c == '(') {
      std::string codes;
      for (++i; i < content.size() && content[i] != ')'; ++i) {
        if (content[i] == '\\') {
          ++i;
          if (content[i] >= '0' && content[i] <= '7') {
            codes += static_cast<char>(std::stoi(content.substr(i, 3), nullptr, 8));
            i += 2;
            continue;
          }
        }
        codes += content[i];
      }
      decode(codes);
    } else if (c == '<') {
      const std::size_t end = content.find('>', i);
      std::string codes;
      for (std::size_t k = i + 1; k + 1 < end; k += 2) codes += static_cast<char>(std::stoi(content.substr(k, 2), nullptr, 16));
      decode(codes);
      i = end;
    } else if (content.compare(i, 2, "Tf") == 0) {
      if (!fonts.count(lastName)) {
        const int fontObject = Ref(pdf, lastName);
        fonts[lastName] = ParseCMap(Object(pdf, Ref(Object(pdf, fontObject).first, "/ToUnicode")).second);
      }
      font = &fonts[lastName];
    } else if (content.compare(i, 2, "Tj") == 0 || content.compare(i, 2, "TJ") == 0) {
      out += shown + "\n";
      shown.clear();
    }
  }
  return out;
}

TEST(Figure, PdfHoldsTheTextsAsSearchableText) {
  const std::string pdf = ReadFile(SampleFigures() / "figure.pdf");
  EXPECT_NE(pdf.find("/MediaBox [ 0 0 481.92 340.08 ]"), std::string::npos);
  const std::string text = PdfText(pdf);
  const std::string lines[] = {
      "Number at risk", "Log-rank p = 0.0019", "Survival probability", "Years", "0.0", "1.0",
      U8(u8"新規治療群"), U8(u8"標準治療群"), U8(u8"併用療法群"), U8(u8"経過観察群"),
  };
  for (const std::string& line : lines) {
    EXPECT_NE(text.find("\n" + line + "\n"), std::string::npos) << line << "\n" << text;
  }
  // Each group is named twice: in the legend and in its at-risk row.
  std::size_t names = 0;
  for (std::size_t at = text.find(U8(u8"\n経過観察群\n")); at != std::string::npos; at = text.find(U8(u8"\n経過観察群\n"), at + 1)) ++names;
  EXPECT_EQ(names, 2u);
}

// --- the bands ---

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xRRGGBB
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)] & 0xFFFFFF; }
};

Image ReadPng(const fs::path& path) {
  Image img;
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
    img.width = cairo_image_surface_get_width(s);
    img.height = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    for (int y = 0; y < img.height; ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
      img.pixels.insert(img.pixels.end(), row, row + img.width);
    }
  }
  cairo_surface_destroy(s);
  return img;
}

TEST(Figure, CiDrawsEachGroupsBandAsALightFillOfItsColour) {
  // One black group of ten, a death every ten weeks: after week 10 S = 0.9 with the interval
  // 0.732 to 1, so the row of survival 0.95 lies in the band from the drop at week 10 on,
  // and before it only the curve at 1 and no band. One at-risk row: the plot runs from
  // y 40 (survival 1) to 1173 (0), survival 0.95 at y 96.65.
  std::string rows = "'ten\r\n";
  for (int k = 1; k <= 10; ++k) rows += "A," + std::to_string(70 * k + 3) + U8(u8",死亡,癌\r\n");
  const std::string data = orv::test::WriteTempFile(TempName("ten.csv"), rows);
  const Image with = ReadPng(RunWithOut(data, "--ci") / "figure.png");
  const Image without = ReadPng(RunWithOut(data, "") / "figure.png");
  ASSERT_EQ(with.width, 2008);
  ASSERT_EQ(without.width, 2008);
  const int y = 96;
  // Left to right on that row: the Y axis, white, the curve's drop at week 10, the band.
  int x = 0;
  while (x < with.width && with.At(x, y) == 0xFFFFFF) ++x;  // the Y axis
  while (x < with.width && with.At(x, y) != 0xFFFFFF) ++x;
  const int afterAxis = x;
  while (x < with.width && with.At(x, y) == 0xFFFFFF) ++x;  // the drop
  const int drop = x;
  ASSERT_LT(drop, with.width);
  ASSERT_GT(drop - afterAxis, 100);
  // Black at 15 % over white.
  EXPECT_EQ(with.At(drop + 30, y), 0xD9D9D9u);
  EXPECT_EQ(without.At(drop + 30, y), 0xFFFFFFu);
  EXPECT_EQ(with.At(drop - 30, y), 0xFFFFFFu);
}

TEST(Figure, CiTakesNoValue) {
  const std::string command = std::string(ORVANTIS_COMMAND) + " --ci=1 '" + std::string(ORVANTIS_SAMPLE) + "' >/dev/null 2>&1";
  const int raw = std::system(command.c_str());
  EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 2);
}

}  // namespace
