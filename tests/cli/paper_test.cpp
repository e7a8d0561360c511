// The paragraphs for the paper as the batch command writes them: every figure of the trace is
// the JSON value at its path as written, the texts of two data sets word for word, and the
// methods name the report's notes with their counts.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/cli_run.h"

namespace cli {
namespace {

using json = nlohmann::json;

std::string Rows(const char* group, std::vector<int> weeks, const char* outcome) {
  std::string rows;
  for (int w : weeks) rows += std::string(group) + "," + std::to_string(7 * w) + "," + outcome + "\r\n";
  return rows;
}

// One group, 4 deaths among 12 cases: the median and its upper limit not reached.
std::string OneGroupFile() {
  return WriteData("paper1.csv", "'one group\r\n" + Rows("A", {10, 30, 50, 70}, "死亡,癌") +
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

// Three groups beyond five years with both causes; the reference is the middle group, so
// the pairs run both ways from it.
std::string ThreeGroupFile() {
  std::string rows = "'three groups\r\n";
  rows += Rows("X", {20, 60, 110, 170, 240}, "死亡,癌") + Rows("X", {90, 200}, "死亡,他病") +
          Rows("X", {50, 130, 280, 300, 320, 340}, "生存");
  rows += Rows("Y", {10, 25, 40, 55, 80, 100, 150}, "死亡,癌") + Rows("Y", {30, 120}, "死亡,他病") +
          Rows("Y", {70, 270, 290, 310}, "生存");
  rows += Rows("Z", {45, 140, 230}, "死亡,癌") + Rows("Z", {60, 75, 180}, "死亡,他病") +
          Rows("Z", {35, 100, 265, 285, 305, 330}, "生存");
  return WriteData("paper3.csv", rows);
}

// Twenty groups of eight cases, deaths later from group to group: 190 pairs, the last ones
// at the end of the JSON arrays.
std::string TwentyGroupFile() {
  std::string rows = "'twenty groups\r\n";
  for (int g = 1; g <= 20; ++g) {
    const std::string name = "G" + std::to_string(g);
    rows += Rows(name.c_str(), {g, 2 * g + 5, 3 * g + 20, 4 * g + 40}, "死亡,癌") + Rows(name.c_str(), {30, 60, 90, 120}, "生存");
  }
  return WriteData("paper20.csv", rows);
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
  std::string en, ja, trace;
};

PaperRun RunPaper(const std::string& name, std::vector<std::string> args) {
  const std::string dir = TempPath("paper_" + name);
  fs::remove_all(dir);
  args.insert(args.end(), {"--json", "--out", dir});
  const RunResult r = Orvantis(args);
  EXPECT_EQ(r.status, 0) << r.err;
  PaperRun run{json::parse(r.out), ReadFile(fs::path(dir) / "paper-en.txt"), ReadFile(fs::path(dir) / "paper-ja.txt"),
          ReadFile(fs::path(dir) / "paper-trace.csv")};
  fs::remove_all(dir);
  return run;
}

// The JSON value at a trace path such as "competingRisks.pairs[2].lower".
const json* At(const json& root, const std::string& path) {
  const json* node = &root;
  std::size_t i = 0;
  while (i < path.size() && node != nullptr) {
    if (path[i] == '.') ++i;
    if (path[i] == '[') {
      const std::size_t close = path.find(']', i);
      const std::size_t index = std::stoul(path.substr(i + 1, close - i - 1));
      node = node->is_array() && index < node->size() ? &(*node)[index] : nullptr;
      i = close + 1;
    } else {
      const std::size_t end = path.find_first_of(".[", i);
      const std::string key = path.substr(i, end - i);
      node = node->is_object() && node->contains(key) ? &(*node)[key] : nullptr;
      i = end == std::string::npos ? path.size() : end;
    }
  }
  return node;
}

// The value as the text writes it: the decimals of the written figure, survival and incidence
// as percentages.
std::string AsWritten(double value, const std::string& written, const std::string& path) {
  const std::size_t point = written.find('.');
  const int decimals = point == std::string::npos ? 0 : static_cast<int>(written.size() - point - 1);
  if (path.find(".at5y.") != std::string::npos) value *= 100;
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
    rows.push_back(cells);
  }
  return rows;
}

// Catches a figure traced to the wrong group, pair or member, a pair index counted the other
// way, a percentage or p rounded otherwise than written, a null written as a figure, and a
// figure that one language has and the other lacks.
TEST(CliPaper, EveryTracedFigureIsItsJsonValueAsWritten) {
  const struct { const char* name; std::vector<std::string> args; std::size_t figures; } cases[] = {
      {"sample", {ORVANTIS_SAMPLE}, 86},
      {"one group", {OneGroupFile()}, 11},
      {"two groups, a cause censored", {TwoGroupFile(), "--censor", U8(u8"他病")}, 38},
      {"three groups, middle reference", {ThreeGroupFile(), "--censor", U8(u8"他病"), "--reference", "2"}, 71},
      {"notes", {NotesFile()}, 25},
      {"twenty groups, the last the reference", {TwentyGroupFile(), "--reference", "20"}, 303},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const PaperRun run = RunPaper(c.name, c.args);
    EXPECT_EQ(run.result["paper"]["en"], run.en);
    EXPECT_EQ(run.result["paper"]["ja"], run.ja);
    const auto rows = CsvRows(run.trace);
    EXPECT_EQ(rows.size(), 1 + 2 * c.figures);
    if (rows.size() != 1 + 2 * c.figures) continue;
    EXPECT_EQ(rows[0], (std::vector<std::string>{"language", "paragraph", "sentence", "text", "jsonPath"}));
    for (std::size_t i = 1; i < rows.size(); ++i) {
      const auto& row = rows[i];
      ASSERT_EQ(row.size(), 5u) << i;
      const std::string& text = row[3];
      const std::string& path = row[4];
      SCOPED_TRACE(path);
      // The English rows first, the Japanese ones the same figures of the same sentences.
      EXPECT_EQ(row[0], i <= c.figures ? "en" : "ja");
      if (i > c.figures) {
        EXPECT_EQ(std::vector(row.begin() + 1, row.end()), std::vector(rows[i - c.figures].begin() + 1, rows[i - c.figures].end()));
      }
      EXPECT_NE((row[0] == "en" ? run.en : run.ja).find(text), std::string::npos);
      const json* value = At(run.result, path);
      ASSERT_TRUE(value != nullptr && value->is_number()) << "no figure at the path";
      if (text == "< 0.001") {
        EXPECT_LT(value->get<double>(), 0.001);
      } else {
        EXPECT_EQ(text, AsWritten(value->get<double>(), text, path));
      }
    }
  }
}

// The file's name where the text names it ("@"), and the version ("#").
std::string Named(const char8_t* text, const std::string& path) {
  std::string s = U8(text);
  s.replace(s.find('#'), 1, ORVANTIS_VERSION);
  return s.replace(s.find('@'), 1, fs::path(path).filename().string());
}

// The expected texts stay out of the assertion macros, which would spell them as code page 932.
// The texts are what a clinician pastes: two data sets word for word. Catches a sentence about
// a test that was not run (one group), a null written as a figure instead of "not reached", the
// proportional-hazards sentence or the censored cause left out, an interval's dash, a unit or
// the order of the sentences changed, and the languages drifting apart.
TEST(CliPaper, ParagraphsWordForWord) {
  const std::string oneFile = OneGroupFile();
  const PaperRun one = RunPaper("one", {oneFile});
  const std::string oneEn = Named(
      u8"Statistical analysis\n"
      u8"The data file @ held 12 data rows, none of which was excluded. "
      u8"The analysis included 12 cases in 1 group. "
      u8"Survival times recorded in days were counted in whole weeks (days divided by 7, rounded down). "
      u8"Deaths from any cause were counted as events. "
      u8"Survival was estimated by the Kaplan–Meier method with Greenwood's variance and 95% confidence intervals (CIs) on the log scale; the median survival and its 95% CI were read from the estimate and its confidence limits, and the median follow-up was estimated by the reverse Kaplan–Meier method. "
      u8"The restricted mean survival time (RMST) was computed to 208 weeks. "
      u8"All tests were two-sided at the 5% significance level, and the analyses were performed with Orvantis #.\n"
      u8"\n"
      u8"Results\n"
      u8"The median follow-up was 100 weeks (95% CI, 60–not reached). "
      u8"In A, 4 of 12 cases had an event; the median survival was not reached, and the RMST 142.3 weeks (95% CI, 91.3–193.3).\n",
      oneFile);
  EXPECT_EQ(one.en, oneEn);
  const std::string oneJa = Named(
      u8"統計解析\n"
      u8"データファイル @ の 12 行のうち、除外した行はなかった。"
      u8"解析対象は 1 群 12 例とした。"
      u8"生存日数は週単位（7で除して切り捨て）で扱った。"
      u8"死因を問わず死亡をイベントとした。"
      u8"生存率はKaplan–Meier法で推定し、分散はGreenwoodの式により、95%信頼区間は対数変換により求め、生存期間中央値とその95%信頼区間は推定値と信頼限界の曲線から、追跡期間中央値はreverse Kaplan–Meier法により求めた。"
      u8"制限付き平均生存時間（RMST）は 208 週までについて求めた。"
      u8"検定はすべて両側検定で有意水準を5%とし、解析にはOrvantis #を用いた。\n"
      u8"\n"
      u8"結果\n"
      u8"追跡期間中央値は100週（95%信頼区間 60–未到達）であった。"
      u8"Aでは 12 例中 4 例にイベントを認め、生存期間中央値は未到達、RMSTは142.3週（95%信頼区間 91.3–193.3）であった。\n",
      oneFile);
  EXPECT_EQ(one.ja, oneJa);

  const std::string twoFile = TwoGroupFile();
  const PaperRun two = RunPaper("two", {twoFile, "--censor", U8(u8"他病")});
  const std::string twoEn = Named(
      u8"Statistical analysis\n"
      u8"The data file @ held 22 data rows, none of which was excluded. "
      u8"The analysis included 22 cases in 2 groups. "
      u8"Survival times recorded in days were counted in whole weeks (days divided by 7, rounded down). "
      u8"Deaths from 他病 were counted as censored in the survival analysis and as competing events in the cumulative incidence analysis. "
      u8"Survival was estimated by the Kaplan–Meier method with Greenwood's variance and 95% confidence intervals (CIs) on the log scale; the median survival and its 95% CI were read from the estimate and its confidence limits, and the median follow-up was estimated by the reverse Kaplan–Meier method. "
      u8"Groups were compared by the log-rank test over weeks 0–104. "
      u8"Hazard ratios (HRs) against A were estimated by Cox proportional hazards models of each group with the reference group (Efron's method for ties, Wald 95% CIs) over the same weeks, and proportional hazards were checked by the Grambsch–Therneau test on the Kaplan–Meier time scale. "
      u8"The restricted mean survival time (RMST) was computed to 104 weeks. "
      u8"The cumulative incidence of death from causes other than 他病 was estimated by the Aalen–Johansen method, groups were compared by Gray's test, and subdistribution hazard ratios were estimated by the Fine–Gray model. "
      u8"All tests were two-sided at the 5% significance level, and the analyses were performed with Orvantis #.\n"
      u8"\n"
      u8"Results\n"
      u8"The median follow-up was 50 weeks (95% CI, 45–not reached). "
      u8"In A, 6 of 11 cases had an event; the median survival was 31 weeks (95% CI, 15–not reached), and the RMST 47.4 weeks (95% CI, 20.4–74.4). "
      u8"In B, 7 of 11 cases had an event; the median survival was 6 weeks (95% CI, 4–not reached), and the RMST 40.4 weeks (95% CI, 11.9–68.8). "
      u8"The log-rank test gave χ² = 0.74 with 1 degree of freedom, p = 0.39. "
      u8"The HR of B against A was 1.61 (95% CI, 0.53–4.87), p = 0.40. "
      u8"The proportional-hazards check of B against A gave p = 0.017: the hazard ratio changed over time, and the difference in RMST describes the comparison better. "
      u8"The RMST of B minus that of A was -7.0 weeks (95% CI, -46.2 to 32.2), p = 0.73. "
      u8"Gray's test gave p = 0.36. "
      u8"The subdistribution HR of B relative to A was 1.67 (95% CI, 0.57–4.87), p = 0.35.\n",
      twoFile);
  EXPECT_EQ(two.en, twoEn);
  const std::string twoJa = Named(
      u8"統計解析\n"
      u8"データファイル @ の 22 行のうち、除外した行はなかった。"
      u8"解析対象は 2 群 22 例とした。"
      u8"生存日数は週単位（7で除して切り捨て）で扱った。"
      u8"他病による死亡は、生存解析では打ち切り、累積発生率の解析では競合事象として扱った。"
      u8"生存率はKaplan–Meier法で推定し、分散はGreenwoodの式により、95%信頼区間は対数変換により求め、生存期間中央値とその95%信頼区間は推定値と信頼限界の曲線から、追跡期間中央値はreverse Kaplan–Meier法により求めた。"
      u8"群間の比較にはlog-rank検定を用い、0–104週を対象とした。"
      u8"Aを基準群とするハザード比は、各群と基準群の2群のCox比例ハザードモデル（同順位はEfron法、95%信頼区間はWald法）により同じ期間について推定し、比例ハザード性はKaplan–Meier時間尺度のGrambsch–Therneau検定で確認した。"
      u8"制限付き平均生存時間（RMST）は 104 週までについて求めた。"
      u8"他病以外の死因による死亡の累積発生率はAalen–Johansen法で推定し、群間の比較にはGray検定を用い、部分分布ハザード比をFine–Grayモデルで推定した。"
      u8"検定はすべて両側検定で有意水準を5%とし、解析にはOrvantis #を用いた。\n"
      u8"\n"
      u8"結果\n"
      u8"追跡期間中央値は50週（95%信頼区間 45–未到達）であった。"
      u8"Aでは 11 例中 6 例にイベントを認め、生存期間中央値は31週（95%信頼区間 15–未到達）、RMSTは47.4週（95%信頼区間 20.4–74.4）であった。"
      u8"Bでは 11 例中 7 例にイベントを認め、生存期間中央値は6週（95%信頼区間 4–未到達）、RMSTは40.4週（95%信頼区間 11.9–68.8）であった。"
      u8"log-rank検定ではχ² = 0.74（自由度 1）、p = 0.39であった。"
      u8"Aに対するBのハザード比は1.61（95%信頼区間 0.53–4.87）、p = 0.40であった。"
      u8"BとAの比例ハザード性の検定はp = 0.017であり、ハザード比は時間とともに変化するため、RMSTの差による比較がより適切である。"
      u8"BとAのRMSTの差（B − A）は-7.0週（95%信頼区間 -46.2～32.2）、p = 0.73であった。"
      u8"Gray検定ではp = 0.36であった。"
      u8"Aに対するBの部分分布ハザード比は1.67（95%信頼区間 0.57–4.87）、p = 0.35であった。\n",
      twoFile);
  EXPECT_EQ(two.ja, twoJa);
}

std::size_t Occurrences(const std::string& text, const std::string& words) {
  std::size_t n = 0;
  for (std::size_t at = text.find(words); at != std::string::npos; at = text.find(words, at + words.size())) ++n;
  return n;
}

// The methods name each note of the raw data report with the count of rows the report wrote it
// beside: in the report's own words in Japanese. Catches a note counted under another, a
// correction of a dropped row counted though the report has no note for it, a count drifting
// from the report, and a note left out.
TEST(CliPaper, MethodsNameEachReportNoteWithItsCount) {
  const PaperRun run = RunPaper("notes", {NotesFile()});
  const std::string report = run.result["report"]["text"];
  const struct { const char8_t* words; const char* english; std::size_t rows; const char8_t* unit; } notes[] = {
      {u8"データ形式はカンマ区切りです", "not comma-separated", 2, u8"行"},
      {u8"グループ名が未入力 除外データ", "no group name", 1, u8"行"},
      {u8"生存日数が未入力 除外データ", "no survival days", 1, u8"行"},
      {u8"生存日数は　半角数値　除外データ", "survival days not a number", 2, u8"行"},
      {u8"転帰が未入力 除外データ", "no outcome", 1, u8"行"},
      {u8"生存日数 を　14,560日（40年）、生存　に修正", "survival over 40 years, set to 40 years and alive", 1, u8"件"},
      {u8"死因が未入力の為、不明で計算", "death without a cause, counted as cause unknown", 2, u8"件"},
  };
  for (const auto& n : notes) {
    const std::string words = U8(n.words);
    SCOPED_TRACE(n.english);
    EXPECT_EQ(Occurrences(report, words), n.rows);
    const std::string count = std::to_string(n.rows);
    EXPECT_EQ(Occurrences(run.ja, words + " " + count + U8(n.unit)), 1u);
    EXPECT_EQ(Occurrences(run.en, std::string(n.english) + ": " + count), 1u);
  }
  EXPECT_EQ(Occurrences(run.ja, U8(u8"18 行のうち 7 行を除外した")), 1u);
  EXPECT_EQ(Occurrences(run.ja, U8(u8"修正は 3 件であった")), 1u);
}

}  // namespace
}  // namespace cli
