// The paragraphs for the paper as the batch command writes them: every figure of the trace is
// the JSON value at its path as written, and the texts of three data sets word for word.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/cli_run.h"

namespace cli {
namespace {

using json = nlohmann::json;

// One group of 22 cases over 228 weeks, the last ten of them deaths after the last case alive
// at week 200: the reverse Kaplan-Meier curve of follow-up ends above one half, so the median
// follow-up is not reached, and the range short of 5 years gives the 4-year rate.
std::string OneGroupFile() {
  return WriteData("paper1.csv", "'one group\r\n" + Rows("A", {10, 30, 50, 70, 201, 204, 207, 210, 213, 216, 219, 222, 225, 228}, "死亡,癌") +
                                     Rows("A", {20, 40, 60, 80, 100, 120, 150, 200}, "生存"));
}

// A with deaths spread, B with every death in its first seven weeks (its ratio against A fails
// the proportional-hazards check); deaths of 他病 counted as censored compete.
std::string TwoGroupFile() {
  return WriteData("paper2.csv", "'two groups\r\n" + Rows("A", {3, 8, 15, 20, 31, 40}, "死亡,癌") +
                                     Rows("A", {12, 25, 45, 60}, "生存") + Rows("A", {22}, "死亡,他病") +
                                     Rows("B", {1, 2, 3, 4, 5, 6, 7}, "死亡,癌") + Rows("B", {60, 70, 80}, "生存") +
                                     Rows("B", {50}, "死亡,他病"));
}

// Every note of the report: two rows without commas, a blank group, no days, days not a
// number twice, no outcome, a period over 40 years, and two deaths without a cause.
std::string NotesFile() {
  std::string rows = "'notes\r\n" + Rows("A", {10, 30, 50}, "死亡,癌") + Rows("A", {20, 40, 60, 80, 100}, "生存");
  rows += "A 70 生存\r\nA\r\n　,140,生存\r\nA,,生存\r\nA,abc,生存\r\nA,1a,死亡,癌\r\nA,140,\r\nA,15330,生存\r\n";
  rows += "A,210,死亡\r\nA,350,死亡,\r\n";
  return WriteData("notes.csv", rows);
}

struct PaperRun {
  json result;
  std::string en, ja, trace, ratios;  // ratios: hazard-ratios.csv
};

PaperRun RunPaper(const std::string& name, std::vector<std::string> args) {
  const std::string dir = TempPath("paper_" + name);
  fs::remove_all(dir);
  args.insert(args.end(), {"--json", "--out", dir});
  PaperRun run{json::parse(Succeeding(args)), ReadFile(fs::path(dir) / "paper-en.txt"), ReadFile(fs::path(dir) / "paper-ja.txt"),
          ReadFile(fs::path(dir) / "paper-trace.csv"), ReadFile(fs::path(dir) / "hazard-ratios.csv")};
  fs::remove_all(dir);
  return run;
}

// The JSON value at a trace path such as "competingRisks.pairs[2].lower".
const json* At(const json& root, const std::string& path) {
  std::string pointer = "/";
  for (char c : path) {
    if (c != ']') pointer += c == '.' || c == '[' ? '/' : c;
  }
  const json::json_pointer at(pointer);
  return root.contains(at) ? &root.at(at) : nullptr;
}

// The value as the text writes it: through the trace's conversion ("*100", "*7/30.4375"), with
// the decimals of the written figure.
std::string AsWritten(double value, const std::string& written, const std::string& conversion) {
  const std::size_t point = written.find('.');
  const int decimals = point == std::string::npos ? 0 : static_cast<int>(written.size() - point - 1);
  if (!conversion.empty()) {
    const std::size_t slash = conversion.find('/');
    value *= std::stod(conversion.substr(1, slash));
    if (slash != std::string::npos) value /= std::stod(conversion.substr(slash + 1));
  }
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::vector<std::vector<std::string>> CsvRows(const std::string& csv) {
  EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(csv.substr(3));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> cells;
    std::istringstream fields(line);
    for (std::string cell; std::getline(fields, cell, ',');) cells.push_back(cell);
    if (!line.empty() && line.back() == ',') cells.emplace_back();
    rows.push_back(cells);
  }
  return rows;
}

// The sentences of the Japanese text's paragraphs by the trace's names, each up to its "。",
// the headings left out.
std::map<std::string, std::vector<std::string>> JapaneseSentences(const std::string& ja) {
  std::map<std::string, std::vector<std::string>> sentences;
  const std::size_t split = ja.find("\n\n");
  for (const auto& [name, paragraph] : {std::pair("methods", ja.substr(0, split)), std::pair("results", ja.substr(split + 2))}) {
    const std::string full = U8(u8"。");
    for (std::size_t at = paragraph.find('\n') + 1, end; (end = paragraph.find(full, at)) != std::string::npos; at = end + full.size()) {
      sentences[name].push_back(paragraph.substr(at, end - at));
    }
  }
  return sentences;
}

// The file's name where the golden names it ("@"), and the version ("#").
std::string Named(std::string s, const std::string& path) {
  s.replace(s.find('#'), 1, ORVANTIS_VERSION);
  return s.replace(s.find('@'), 1, fs::path(path).filename().string());
}

// Two groups of eight cases without an event: nothing to estimate or compare.
std::string NoEventFile() {
  return WriteData("paper0.csv", "'no events\r\n" + Rows("A", {10, 20, 30, 40, 50, 60, 70, 80}, "生存") +
                                     Rows("B", {15, 25, 35, 45, 55, 65, 75, 156}, "生存"));
}

// Catches a figure traced to the wrong group, pair or member, a pair index counted the other
// way, a percentage or p rounded otherwise than written, a null written as a figure, a figure
// that one language has and the other lacks, and a sentence number that runs on from the
// methods into the results or names another sentence. The texts are what a clinician pastes:
// three data sets word for word (golden/paper-*.txt), which catches a sentence about a test
// that was not run (one group), a null written as a figure instead of "not reached", the
// proportional-hazards sentence or the censored cause left out, an interval's dash, a unit or
// the order of the sentences changed, the languages drifting apart, and of the notes file a
// report note counted under another, left out, or counted otherwise than the report counts it.
TEST(CliPaper, EveryTracedFigureIsItsJsonValueAsWritten) {
  const struct {
    const char* name;
    std::vector<std::string> args;
    std::size_t figures;
    const char* golden = nullptr;
    std::vector<std::string> sentences = {};  // English and Japanese, each held word for word
  } cases[] = {
      // Four groups beyond five years with four causes; the reference is the second group, so
      // the pairs run both ways from it.
      {"sample, a cause censored, second reference", {ORVANTIS_SAMPLE, "--censor", U8(u8"心疾患"), "--reference", "2"}, 100},
      {"one group", {OneGroupFile()}, 17, "paper-one-group"},
      // English labels of both groups (by number and by name) and of both causes; the CSV tables use them too.
      {"two groups, a cause censored, labelled", {TwoGroupFile(), "--censor", U8(u8"他病"), "--label", "1=squamous", "--label", "B=adeno",
                                                 "--label-cause", U8(u8"癌=cancer"), "--label-cause", U8(u8"他病=other disease")}, 47, "paper-two-groups"},
      {"notes, in weeks", {NotesFile(), "--time-unit", "weeks"}, 26, "paper-notes"},
      {"no event", {NoEventFile()}, 9, "paper-no-event"},
      // The model adjusted for three covariates gives the ratios, their events and the global
      // test; the cases it leaves out for a missing value are counted.
      {"sample with covariates, adjusted", {ORVANTIS_SOURCE_DIR "/examples/data-sample-covariates.csv", "--covariates", "age,sex,stage"}, 103},
      // With a cause censored as well, the Fine-Gray model with the same covariates gives each
      // group's ratio after the unadjusted ones: its terms are the groups' before the covariates'.
      {"sample with covariates and a cause censored, adjusted Fine-Gray",
       {ORVANTIS_SOURCE_DIR "/examples/data-sample-covariates.csv", "--covariates", "age,sex,stage", "--censor", U8(u8"心疾患")}, 116, nullptr,
       {U8(u8"The adjusted subdistribution HR for 経過観察群 vs 新規治療群 was 1.79 (95% CI, 1.11–2.89), p = 0.016."),
        U8(u8"新規治療群に対する経過観察群の調整部分分布ハザード比は1.79（95%信頼区間：1.11–2.89）、p = 0.016であった。")}},
      // 190 pairs, the reference's the last ones of the JSON arrays.
      {"twenty groups, the last the reference", {ORVANTIS_SOURCE_DIR "/tests/cli/golden/generated-300.csv", "--reference", "20", "--time-unit", "years"}, 372},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const PaperRun run = RunPaper(c.name, c.args);
    EXPECT_EQ(run.result["paper"]["en"], run.en);
    EXPECT_EQ(run.result["paper"]["ja"], run.ja);
    if (c.args.back() == U8(u8"他病=other disease")) {
      EXPECT_EQ(CsvRows(run.ratios).at(1).at(1) + "," + CsvRows(run.ratios)[1].at(3), "adeno,squamous");
    }
    for (const std::string& sentence : c.sentences) {
      EXPECT_NE((run.en + run.ja).find(sentence), std::string::npos) << sentence;
    }
    if (c.golden != nullptr) {
      EXPECT_EQ(run.en, Named(GoldenText(c.golden + std::string("-en.txt")), c.args[0]));
      EXPECT_EQ(run.ja, Named(GoldenText(c.golden + std::string("-ja.txt")), c.args[0]));
    }
    const auto rows = CsvRows(run.trace);
    auto sentences = JapaneseSentences(run.ja);
    ASSERT_EQ(rows.size(), 1 + 2 * c.figures);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"language", "paragraph", "sentence", "text", "jsonPath", "unit", "conversion"}));
    for (std::size_t i = 1; i < rows.size(); ++i) {
      const auto& row = rows[i];
      ASSERT_EQ(row.size(), 7u) << i;
      SCOPED_TRACE(row[4]);
      // The English rows first, the Japanese ones the same figures of the same sentences.
      EXPECT_EQ(row[0], i <= c.figures ? "en" : "ja");
      if (i > c.figures) {
        EXPECT_EQ(std::vector(row.begin() + 1, row.end()), std::vector(rows[i - c.figures].begin() + 1, rows[i - c.figures].end()));
      }
      EXPECT_NE((row[0] == "en" ? run.en : run.ja).find(row[3]), std::string::npos);
      // The languages share the sentence numbers: the Japanese sentence holds the figure.
      const std::vector<std::string>& paragraph = sentences[row[1]];
      const std::size_t n = std::stoul(row[2]);
      ASSERT_TRUE(n >= 1 && n <= paragraph.size()) << "no sentence " << row[1] << " " << n;
      EXPECT_TRUE(paragraph[n - 1].find(row[3]) != std::string::npos) << "not in sentence " << n << ": " << paragraph[n - 1];
      const json* value = At(run.result, row[4]);
      ASSERT_TRUE(value != nullptr && value->is_number()) << "no figure at the path";
      if (row[3] == "< 0.001") {
        EXPECT_LT(value->get<double>(), 0.001);
      } else {
        // A negative figure is written with the minus sign, U+2212.
        const std::string minus = U8(u8"−");
        const std::string written = row[3].starts_with(minus) ? "-" + row[3].substr(minus.size()) : row[3];
        EXPECT_EQ(written, AsWritten(value->get<double>(), written, row[6]));
      }
    }
  }
}

}  // namespace
}  // namespace cli
