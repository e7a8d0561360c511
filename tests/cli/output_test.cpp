// The streamed output: a text written in parts, or longer than a slice, decodes as the whole
// text does; a long report spans blocks; a failed write is an error.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/batch.h"
#include "cli/encoding.h"
#include "cli/figure_output.h"
#include "cli/input_file.h"
#include "cli/output_stream.h"
#include "cli/report_document.h"
#include "graph/publication_figure.h"
#include "text/cp932.h"

namespace {

// The fonts the figure tests load, released after the last test as the command releases them,
// so that the leak check of the sanitizer build sees only the tests' own memory.
class ReleaseFontCachesAtEnd : public ::testing::Environment {
 public:
  void TearDown() override { orv::cli::ReleaseFontCaches(); }
};
[[maybe_unused]] ::testing::Environment* const kFontCaches = ::testing::AddGlobalTestEnvironment(new ReleaseFontCachesAtEnd);

using orv::cli::OutputStream;

std::string ReadBack(std::FILE* file) {
  std::string text;
  std::rewind(file);
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
  std::fclose(file);
  return text;
}

// Catches a character cut at a part or slice boundary, a trail byte 5C read as a backslash,
// a CR LF split between parts shown as ^M, and a JSON escape with its hex digits swapped.
TEST(OutputStream, TextInPartsOrSlicesDecodesAsTheWholeText) {
  std::string kana = "a";  // "ソ" (83 5C) from an odd offset on: no byte ends a character
  for (int i = 0; i < 40000; ++i) kana += "\x83\x5C";
  std::string lines;
  for (int i = 0; i < 20000; ++i) lines += "\x8E\xA1\x97\xC3\x8C\x51,123,\x8E\x80\x96\x53\t\"q\"\r\n";
  const std::vector<std::vector<std::string>> cases = {
      {"x\x82", "\xA0y"}, {"\x83", "\\\r\n"}, {"ab", "\x82"}, {"\x82", "\r\n\x82\xA0"},
      {"\x82", "\xA0\x82", "\xA0\x83", "\\"}, {"", "\x82\xA0", ""}, {kana}, {lines}, {"a\x01\x1f\x7f\x1b[2J\tb\r", "\nc\rd\r"}};
  for (const auto& parts : cases) {
    std::string whole;
    for (const std::string& part : parts) whole += part;
    for (bool json : {false, true}) {
      std::string text;
      OutputStream out(text);
      out.BeginText(json);
      for (const std::string& part : parts) out.TextPart(part);
      out.EndText();
      out.Flush();
      const std::string utf8 = orv::Cp932ToUtf8(whole);
      EXPECT_TRUE(text == (json ? nlohmann::json(utf8).dump() : orv::cli::ShownControls(utf8))) << whole.substr(0, 12) << " json " << json;
    }
  }
}

// Catches a report losing or reordering text across its 1 MB blocks.
TEST(ReportDocument, LongTextsSpanBlocks) {
  orv::cli::ReportDocument report;
  const std::string line(1000, 'z');
  for (int i = 0; i < 3000; ++i) report.Insert(line);
  report.CaretToStart();
  report.Insert("head");
  std::string text;
  for (const auto& piece : report.Pieces()) text += piece.text;
  EXPECT_TRUE(text == "head" + std::string(3000000, 'z'));
}

// Catches a full disk losing the output without a word, also an output small enough to stay
// in the buffer until the end (a one-row file's report).
TEST(RunBatch, AnOutputThatCannotBeWrittenIsAnError) {
  const std::string oneRow = std::string(::testing::TempDir()) + "orvantis_one_row.csv";
  std::ofstream(oneRow, std::ios::binary) << "A,100,\x90\xB6\x91\xB6\r\n";  // alive
  for (const std::vector<std::string>& args : {std::vector<std::string>{ORVANTIS_SAMPLE, "--json"}, std::vector<std::string>{oneRow}}) {
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    std::FILE* errFile = std::tmpfile();
    EXPECT_EQ(orv::cli::RunBatch(args, full, errFile), orv::cli::kExitFile) << args[0];
    std::fclose(full);
    EXPECT_TRUE(ReadBack(errFile).ends_with("orvantis: cannot write the output: No space left on device\n")) << args[0];
  }
  std::remove(oneRow.c_str());
}

// Catches the limit of a pipe or a device moved by one byte.
TEST(ReadInput, APipeOrDeviceEndsAtTheLimit) {
  using orv::FileRead;
  const struct { const char* name; std::string bytes; std::uint64_t limit; FileRead status; } cases[] = {
      {"empty", "", 10, FileRead::Read}, {"exactly the limit", "0123456789", 10, FileRead::Read},
      {"one byte more", "0123456789a", 10, FileRead::TooLarge}, {"endless device", "/dev/zero", 1 << 20, FileRead::TooLarge},
  };
  for (const auto& c : cases) {
    std::string path = c.bytes;
    int fds[2] = {-1, -1};
    if (!c.bytes.starts_with("/dev/")) {
      ASSERT_EQ(pipe(fds), 0);
      ASSERT_EQ(write(fds[1], c.bytes.data(), c.bytes.size()), static_cast<ssize_t>(c.bytes.size()));
      close(fds[1]);
      path = "/dev/fd/" + std::to_string(fds[0]);
    }
    const orv::DataFileBytes read = orv::cli::ReadInput(path, c.limit);
    if (fds[0] >= 0) close(fds[0]);
    EXPECT_EQ(read.status, c.status) << c.name;
    EXPECT_EQ(read.bytes, c.status == FileRead::Read ? c.bytes : "") << c.name;
  }
}

// Catches a write of the figure that fails unnoticed (the PDF library reports success on a
// full device) or names another file, and a drawing the library gave up on renamed over the
// old file.
TEST(Figure, AFailedWriteOfEachFormatNamesItsFile) {
  orv::FigureInput input;
  input.series.push_back({.name = "A", .survival = {1, 0.5}, .censored = {false, false}, .lastWeek = 1, .atRisk = {2}});
  const orv::FigureLayout layout = orv::LayoutPublicationFigure(input, orv::EstimatedTextWidth);
  for (auto format : {orv::cli::FigureFormat::Pdf, orv::cli::FigureFormat::Svg, orv::cli::FigureFormat::Png}) {
    orv::cli::OutFile full(std::fopen("/dev/full", "wb"), "/dev/full");
    ASSERT_NE(full.File(), nullptr);
    EXPECT_EQ(orv::cli::WriteFigure(layout, format, full), "cannot write /dev/full: No space left on device")
        << static_cast<int>(format);
  }
  const std::string dir = ::testing::TempDir() + "orvantis_drawing_" + std::to_string(getpid());
  std::filesystem::create_directories(dir);
  std::ofstream(dir + "/figure.png") << "old";
  {
    orv::cli::OutFile file(dir, "figure.png");
    file.Write("half");
    EXPECT_EQ(orv::cli::CommitDrawing(file, CAIRO_STATUS_NO_MEMORY), "cannot draw: out of memory");
  }
  EXPECT_EQ(ReadBack(std::fopen((dir + "/figure.png").c_str(), "rb")), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);  // no temporary file left
  std::filesystem::remove_all(dir);
}

// The figure's legend and at-risk labels: never below 6 pt (25 dots); a name too wide for
// its place at that size is cut with "…" and still fits. Catches a floor dropped, a cut that
// overflows, or one that splits a double-byte character.
TEST(Figure, LabelsNeverBelowSixPointsLongNamesCut) {
  const std::string kanji = "\x90\x56\x8B\x4B", ellipsis = "\x81\x63";  // two double-byte characters; "…"
  const struct { const char* name; int groups; std::size_t nameBytes; bool cut; } cases[] = {
      {"a short name, 8 pt", 2, 10, false}, {"80 bytes", 2, 80, true}, {"20 groups of 200", 20, 200, true}, {"50,000", 1, 50000, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    orv::FigureInput input;
    for (int g = 0; g < c.groups; ++g) {
      std::string name = "x" + std::to_string(g);
      while (name.size() < c.nameBytes) name += kanji;
      name.resize(c.nameBytes - c.nameBytes % 2);
      input.series.push_back({.group = g, .name = name, .survival = {1}, .censored = {false}, .lastWeek = 0, .atRisk = {1}});
    }
    const orv::FigureLayout layout = orv::LayoutPublicationFigure(input, orv::EstimatedTextWidth);
    int labels = 0;
    for (const orv::FigureText& t : layout.texts) {
      if (t.role != orv::TextRole::Legend && t.role != orv::TextRole::AtRiskLabel) continue;
      const std::string& whole = input.series[static_cast<std::size_t>(labels++) % input.series.size()].name;
      const bool cut = t.text.ends_with(ellipsis);
      EXPECT_EQ(std::tuple(t.size >= 25.0, cut), std::tuple(true, c.cut)) << t.text.size();
      // A cut name is the whole name's start, ending on a character boundary.
      EXPECT_TRUE(!cut || whole.compare(0, t.text.size() - 2, t.text, 0, t.text.size() - 2) == 0) << t.text.size();
      EXPECT_LE(t.x + orv::EstimatedTextWidth(t.text, t.size), t.role == orv::TextRole::Legend ? layout.plotRight : layout.plotLeft);
    }
    EXPECT_EQ(labels, 2 * c.groups);
  }
}

}  // namespace
