// The streamed output: a text written in parts, or longer than a slice, decodes as the whole
// text does; a long report spans blocks; a failed write is an error.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/batch.h"
#include "cli/output_stream.h"
#include "cli/report_document.h"
#include "text/cp932.h"

namespace {

using orv::cli::OutputStream;

std::string ReadBack(std::FILE* file) {
  std::string text;
  std::rewind(file);
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
  std::fclose(file);
  return text;
}

std::string Written(const std::function<void(OutputStream&)>& write) {
  std::FILE* file = std::tmpfile();
  {
    OutputStream out(file);
    write(out);
  }
  return ReadBack(file);
}

// Catches a character cut at a part or slice boundary, or a trail byte 5C read as a backslash.
TEST(OutputStream, TextInPartsOrSlicesDecodesAsTheWholeText) {
  std::string kana = "a";  // "ソ" (83 5C) from an odd offset on: no byte ends a character
  for (int i = 0; i < 40000; ++i) kana += "\x83\x5C";
  std::string lines;
  for (int i = 0; i < 20000; ++i) lines += "\x8E\xA1\x97\xC3\x8C\x51,123,\x8E\x80\x96\x53\t\"q\"\r\n";
  const std::vector<std::vector<std::string>> cases = {
      {"x\x82", "\xA0y"}, {"\x83", "\\\r\n"}, {"ab", "\x82"}, {"\x82", "\r\n\x82\xA0"},
      {"\x82", "\xA0\x82", "\xA0\x83", "\\"}, {"", "\x82\xA0", ""}, {kana}, {lines}};
  for (const auto& parts : cases) {
    std::string whole;
    for (const std::string& part : parts) whole += part;
    for (bool json : {false, true}) {
      const std::string text = Written([&](OutputStream& out) {
        out.BeginText(json);
        for (const std::string& part : parts) out.TextPart(part);
        out.EndText();
      });
      const std::string utf8 = orv::Cp932ToUtf8(whole);
      EXPECT_TRUE(text == (json ? nlohmann::json(utf8).dump() : utf8)) << whole.substr(0, 12) << " json " << json;
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
  EXPECT_EQ(report.Size(), text.size());
}

// Catches a full disk losing the output without a word.
TEST(RunBatch, AnOutputThatCannotBeWrittenIsAnError) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{ORVANTIS_SAMPLE}, std::vector<std::string>{ORVANTIS_SAMPLE, "--json"}}) {
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    std::FILE* errFile = std::tmpfile();
    EXPECT_EQ(orv::cli::RunBatch(args, full, errFile), orv::cli::kExitFile) << args.size();
    std::fclose(full);
    EXPECT_TRUE(ReadBack(errFile).ends_with("orvantis: cannot write the output\n")) << args.size();
  }
}

}  // namespace
