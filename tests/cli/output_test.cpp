// The streamed output: a text converted in parts or slices decodes as the whole text does,
// the JSON writer lays out and numbers a document as nlohmann-json's dump(2), and the report
// document keeps the control's text and colour runs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/batch.h"
#include "cli/json_writer.h"
#include "cli/output_stream.h"
#include "cli/report_document.h"
#include "text/cp932.h"

namespace {

using orv::cli::JsonWriter;
using orv::cli::OutputStream;
using orv::cli::ReportDocument;

// What the stream wrote, read back from a temporary file.
std::string Written(const std::function<void(OutputStream&)>& write) {
  std::FILE* file = std::tmpfile();
  {
    OutputStream out(file);
    write(out);
  }
  std::string text;
  std::rewind(file);
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
  std::fclose(file);
  return text;
}

TEST(OutputStream, TextInPartsDecodesAsTheWholeText) {
  struct Case {
    const char* name;
    std::vector<std::string> parts;
  };
  // "あ" is 82 A0 and "ソ" 83 5C: a trail byte that is also ASCII's backslash.
  const Case cases[] = {
      {"a character split between two parts", {"x\x82", "\xA0y"}},
      {"a trail byte that looks like a backslash, split off", {"\x83", "\\\r\n"}},
      {"a lead byte alone at the very end", {"ab", "\x82"}},
      {"a lead byte before a line break", {"\x82", "\r\n\x82\xA0"}},
      {"parts without a byte that ends a character", {"\x82", "\xA0\x82", "\xA0\x83", "\\"}},
      {"empty parts", {"", "\x82\xA0", ""}},
  };
  for (const Case& c : cases) {
    std::string whole;
    for (const std::string& part : c.parts) whole += part;
    const std::string text = Written([&](OutputStream& out) {
      out.BeginText(false);
      for (const std::string& part : c.parts) out.TextPart(part);
      out.EndText();
    });
    EXPECT_EQ(text, orv::Cp932ToUtf8(whole)) << c.name;
    const std::string json = Written([&](OutputStream& out) {
      out.BeginText(true);
      for (const std::string& part : c.parts) out.TextPart(part);
      out.EndText();
    });
    EXPECT_EQ(json, nlohmann::json(orv::Cp932ToUtf8(whole)).dump()) << c.name;
  }
}

// Texts longer than a slice are cut only after a byte that ends a character.
TEST(OutputStream, LongTextsDecodeAsOneText) {
  struct Case {
    const char* name;
    std::string text;
  };
  // "ソ" (83 5C) after one letter: every character starts at an odd offset.
  std::string kana = "a";
  for (int i = 0; i < 40000; ++i) kana += "\x83\x5C";
  std::string lines;
  for (int i = 0; i < 20000; ++i) lines += "\x8E\xA1\x97\xC3\x8C\x51,123,\x8E\x80\x96\x53\t\"q\"\r\n";
  const Case cases[] = {{"two-byte characters only, no byte that ends one", kana},
                        {"data lines with quotes, tabs and line breaks", lines}};
  for (const Case& c : cases) {
    EXPECT_TRUE(Written([&](OutputStream& out) { out.WriteCp932(c.text); }) == orv::Cp932ToUtf8(c.text)) << c.name;
    EXPECT_TRUE(Written([&](OutputStream& out) { out.WriteJsonString(c.text); }) ==
                nlohmann::json(orv::Cp932ToUtf8(c.text)).dump())
        << c.name;
  }
}

TEST(JsonWriter, LaysOutAndNumbersAsNlohmannJson) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::string written = Written([&](OutputStream& out) {
    JsonWriter json(out);
    json.BeginObject();
    json.Key("empty object");
    json.BeginObject();
    json.EndObject();
    json.Key("empty array");
    json.BeginArray();
    json.EndArray();
    json.Key("doubles");
    json.BeginArray();
    for (double d : {1.0, 0.1, 1e-05, 0.0001, 1e+20, 1e15, -2.5, -0.0, 9.419517905467506, 123456789012345680.0, nan}) {
      json.Double(d);
    }
    json.EndArray();
    json.Key("integers");
    json.BeginArray();
    json.Value(std::int64_t{-9007199254740993});
    json.Value(std::uint16_t{65535});
    json.Value(0);
    json.EndArray();
    json.Key("nested");
    json.BeginArray();
    json.BeginObject();
    json.Member("shown", true);
    json.Key("none");
    json.Null();
    json.Key("text");
    json.String("\x8E\x80\x96\x53\t\"\\\x01");
    json.EndObject();
    json.BeginArray();
    json.EndArray();
    json.EndArray();
    json.EndObject();
  });
  nlohmann::ordered_json doc;
  doc["empty object"] = nlohmann::ordered_json::object();
  doc["empty array"] = nlohmann::ordered_json::array();
  doc["doubles"] = {1.0, 0.1, 1e-05, 0.0001, 1e+20, 1e15, -2.5, -0.0, 9.419517905467506, 123456789012345680.0, nullptr};
  doc["integers"] = {std::int64_t{-9007199254740993}, std::uint16_t{65535}, 0};
  nlohmann::ordered_json member;
  member["shown"] = true;
  member["none"] = nullptr;
  member["text"] = orv::Cp932ToUtf8("\x8E\x80\x96\x53\t\"\\\x01");
  doc["nested"] = {member, nlohmann::ordered_json::array()};
  EXPECT_EQ(written, doc.dump(2));
}

// The pieces of a report, as (colour, text) in order, runs merged.
std::vector<std::pair<orv::Rgb, std::string>> RunsOf(const ReportDocument& report) {
  std::vector<std::pair<orv::Rgb, std::string>> runs;
  for (const ReportDocument::Run& run : report.Runs()) {
    std::string text;
    for (const ReportDocument::Piece& piece : run.pieces) text += piece.text;
    runs.emplace_back(run.colour, text);
  }
  return runs;
}

TEST(ReportDocument, KeepsTheTextAndItsColourRuns) {
  constexpr orv::Rgb kRed = 0x0000FF;
  constexpr orv::Rgb kBlue = 0xFF0000;
  struct Insert {
    bool caretToStart;
    orv::Rgb colour;
    std::string text;
  };
  struct Case {
    const char* name;
    std::vector<Insert> inserts;
    std::vector<std::pair<orv::Rgb, std::string>> runs;
  };
  const Case cases[] = {
      {"appends of one colour make one run", {{false, kBlue, "ab"}, {false, kBlue, "cd"}}, {{kBlue, "abcd"}}},
      {"a change of colour starts a run", {{false, kBlue, "ab"}, {false, kRed, "c"}, {false, kBlue, "d"}},
       {{kBlue, "ab"}, {kRed, "c"}, {kBlue, "d"}}},
      {"text inserted at the start, then after itself",
       {{false, orv::kBlack, "body"}, {true, kBlue, "path"}, {false, orv::kBlack, "sum"}},
       {{kBlue, "path"}, {orv::kBlack, "sumbody"}}},
      {"text of another colour inserted inside a run splits it",
       {{false, orv::kBlack, "abcd"}, {true, orv::kBlack, "xy"}, {false, kRed, "!"}},
       {{orv::kBlack, "xy"}, {kRed, "!"}, {orv::kBlack, "abcd"}}},
      {"empty inserts leave nothing", {{false, kRed, ""}, {false, kBlue, "a"}, {false, kRed, ""}}, {{kBlue, "a"}}},
  };
  for (const Case& c : cases) {
    ReportDocument report;
    for (const Insert& insert : c.inserts) {
      if (insert.caretToStart) report.CaretToStart();
      report.SetColour(insert.colour);
      report.Insert(insert.text);
    }
    EXPECT_EQ(RunsOf(report), c.runs) << c.name;
  }
}

// A long load fills many blocks; the text comes back whole.
TEST(ReportDocument, LongTextsSpanBlocks) {
  ReportDocument report;
  std::string expected;
  const std::string line(1000, 'z');
  for (int i = 0; i < 3000; ++i) {
    report.SetColour(i % 100 == 0 ? 0x0000FF : orv::kBlack);
    report.Insert(line);
    expected += line;
  }
  report.CaretToStart();
  report.Insert("head");
  std::string text;
  for (const ReportDocument::Piece& piece : report.Pieces()) text += piece.text;
  EXPECT_TRUE(text == "head" + expected);
  EXPECT_EQ(report.Size(), text.size());
}

}  // namespace

namespace {

// A full disk: the command says so and ends with status 1 instead of losing the output
// without a word.
TEST(RunBatch, AnOutputThatCannotBeWrittenIsAnError) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
  };
  const Case cases[] = {{"text", {ORVANTIS_SAMPLE}}, {"JSON", {ORVANTIS_SAMPLE, "--json"}}};
  for (const Case& c : cases) {
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    std::string err;
    {
      std::FILE* errFile = std::tmpfile();
      EXPECT_EQ(orv::cli::RunBatch(c.args, full, errFile), orv::cli::kExitFile) << c.name;
      std::rewind(errFile);
      char buffer[4096];
      for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, errFile)) > 0;) err.append(buffer, n);
      std::fclose(errFile);
    }
    std::fclose(full);
    EXPECT_TRUE(err.ends_with("orvantis: cannot write the output\n")) << c.name << ": " << err;
  }
}

}  // namespace
