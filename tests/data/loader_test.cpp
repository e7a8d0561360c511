// The loader: one line at a time (line ends, UTF-8 converted line by line, the checks of each
// row with their notes, counters, warning boxes and where the row is counted); what a load
// leaves behind in the case tables (groups and causes, totals, flags, sizes and the reset
// before the next load; the report's text and colour runs are the goldens'); reading the data
// file: as bytes, a missing one as empty, the size limit (where it falls, how an input that
// never ends is stopped) and what the load then shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "data/loader.h"
#include "platform/recording.h"
#include "session/analysis.h"
#include "support/test_support.h"

namespace orv::test {
namespace {

// Loads bytes into a fresh workspace and keeps everything the load left behind.
struct Loaded {
  Workspace ws;
  RecordingRichText report;
  RecordingMessageBoxes boxes;

  // The report between the raw data heading and the END line: the file's lines with notes.
  std::string Body() const {
    const std::string text = report.Text(), head = "--- Raw data --- \t\r\n\r\n";
    const std::size_t from = text.find(head) + head.size();
    return text.substr(from, text.find(" ---.--- END") - from);
  }
};

std::unique_ptr<Loaded> Load(std::string_view bytes, std::unique_ptr<Loaded> into = nullptr) {
  if (!into) into = std::make_unique<Loaded>();
  LoadDataBytes("case.csv", bytes, into->ws, into->report, into->boxes);
  return into;
}

// What the report shows after a row's own bytes and its tab.
const std::string kOk = "\t\r\n";
const std::string kNoCause = "\t死因が未入力の為、不明で計算\t";
const std::string kCap = "\t＊生存日数 を　14,560日（40年）、生存　に修正\t\r\n\r\n";
std::string Ex(const std::string& note) { return "\t" + note + "\t\r\n\r\n"; }
const std::string kNoComma = Ex("＊ データ形式はカンマ区切りです ");
const std::string kBadDays = Ex("　生存日数は　半角数値　除外データ");

RecordedBox Capped(const std::string& days, const std::string& period) {
  return {"生存日数 " + days + " 日  ( " + period + " )", "データの確認！", BoxIcon::Warning};
}

// A refused row is excluded with its note and counted nowhere; an accepted one is counted in
// its week, its group's total, by cause and as the longest period.
TEST(RowRules, EachRowCountedInItsWeekOrExcludedWithItsNote) {
  constexpr int kRefused = -1;
  const std::string d400(400, '9'), zeroInside = "10" + std::string(398, '5'), zeros = std::string(395, '0') + "12345";
  // The week and outcome the row is counted with, its cause of death ("" alive), its box.
  struct { const char* name; std::string row, note; Count corrected; int week; bool dead; std::string cause;
           std::vector<RecordedBox> box; } cases[] = {
      {"cause of a survivor is ignored", "A,100,生存,癌", kOk, 0, 14, false, ""},
      {"outcome containing death mark", "A,100,死因不明", kNoCause + kOk, 1, 14, true, "不明"},
      {"outcome of one blank is alive", "A,100, ", kOk, 0, 14, false, ""},
      {"cause trimmed", "A,13,病死,\"　癌 \"", kOk, 0, 1, true, "癌"},
      {"fields past the fourth ignored", "A,7,死亡,癌,x,y", kOk, 0, 1, true, "癌"},
      {"14560 days is the last week", "A,14560,死亡,癌", kOk, 0, 2080, true, "癌"},
      {"14561 days capped to alive", "A,14561,死亡,癌", kCap + kOk, 1, 2080, false, "", {Capped("14561", "40y 0m")}},
      {"capped and without cause", "A,14561,死亡", kCap + kNoCause + kOk, 2, 2080, false, "", {Capped("14561", "40y 0m")}},
      {"period beyond 32-bit weeks", "A,100000000000000000000,生存", kCap + kOk, 1, 2080, false, "",
       {Capped("100000000000000000000", "2.74725274725275e+017y")}},
      {"400 digits are infinite", "A," + d400 + ",死亡,癌", kCap + kOk, 1, 2080, false, "", {Capped(d400, "∞")}},
      {"zero among digits beyond a double", "A," + zeroInside + ",生存", kCap + kOk, 1, 2080, false, "", {Capped(zeroInside, "∞")}},
      {"many leading zeros", "A," + zeros + ",生存", kOk, 0, 1763, false, ""},
      {"quoted days", "A,\"12\",生存", kOk, 0, 1, false, ""},
      {"days of one blank are zero", "A, ,生存", kOk, 0, 0, false, ""},
      {"fractional days", "A,13.99,死亡,癌", kOk, 0, 1, true, "癌"},
      {"group of blanks and quotes", " \"　\",12,死亡", " ＊ グループ名が未入力 除外データ\t\r\n\r\n", 0, kRefused},
      {"nothing after group", "A,", Ex("＊　生存日数が未入力 除外データ"), 0, kRefused},
      {"negative days", "A,-5,生存", kBadDays, 0, kRefused}, {"exponent days", "A,1e3,生存", kBadDays, 0, kRefused},
      {"capped then without outcome", "A,14561", Ex("＊　転帰が未入力 除外データ"), 1, kRefused, false, "", {Capped("14561", "40y 0m")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto l = Load(c.row);
    const CaseData& cd = l->ws.cases;
    const bool refused = c.week == kRefused;
    EXPECT_EQ(l->Body(), c.row + "\t" + c.note);
    EXPECT_EQ(std::tuple(cd.counters.total, cd.counters.corrected, cd.counters.excluded), std::tuple(1, c.corrected, refused ? 1 : 0));
    EXPECT_EQ(std::tuple(cd.NumGroups, cd.CauseNames[1], cd.NumCauses), std::tuple(refused ? 0 : 1, c.cause, c.dead ? 1 : 0));
    EXPECT_EQ(l->boxes.boxes, c.box);
    if (refused) continue;  // no group entered: nothing counted
    const std::size_t week = static_cast<std::size_t>(c.week), code = c.dead ? 2 : 1;
    EXPECT_EQ(std::tuple(cd.WeekCounts[week][code][1], cd.GroupTotals[code][1], cd.DeathsByCause[1][code - 1], cd.dataMaxWeeks),
              std::tuple(1, 1, 1, c.week));
  }
}

TEST(RowRules, TrimFieldRemovesBlanksAndQuotesFromBothEnds) {
  struct { const char* name; std::string in, out; } cases[] = {
      {"blank quote letter quote blank", " \"A\" ", "A"}, {"full-width blanks", "　　A　", "A"},
      {"mixed repeatedly", "\" 　\"A B\"　 \"", "A B"}, {"inner blanks kept", "A　B", "A　B"},
      {"only blanks", " 　\" ", ""}, {"tab is not a blank", "\tA\t", "\tA\t"},
      // The last two bytes look like a full-width blank but are the end of "＝" and "@".
      {"trail byte before at sign", "＝@", "＝@"}, {"full-width blank after a character", "表　", "表"},
      // The bytes beside the lead-byte ranges stand alone, so 0x81 0x40 after them is a blank
      // (the ranges' own ends are the decoder's test's).
      {"single 0x80", "x\x80\x81\x40", "x\x80"}, {"single 0xA0", "x\xA0\x81\x40", "x\xA0"},
      {"single 0xDF", "x\xDF\x81\x40", "x\xDF"}, {"single 0xFD", "x\xFD\x81\x40", "x\xFD"},
  };
  for (const auto& c : cases) EXPECT_EQ(TrimField(c.in), c.out) << c.name;
}

std::string U8(std::u8string_view s) { return {s.begin(), s.end()}; }

TEST(Utf8Input, EachLineReadAndConvertedOnItsOwn) {
  const std::string note = "\t＊ 変換できない文字を ? に置換\t";
  const std::string two = "A,7,生存\t\t\r\nB,7,生存\t\t\r\n", split = "A,7,生存\t\t\r\n\t\r\nB,7,生存\t\t\r\n";
  struct { const char* name; std::string bytes, body; Count corrected, excluded; std::string group; } cases[] = {
      {"last line without break", "A,7,生存\nB,7,生存", two, 0, 0, "A"},
      {"LF LF is one break", "A,7,生存\n\nB,7,生存", two, 0, 0, "A"},
      {"CR CR makes an empty line", "A,7,生存\r\rB,7,生存", split, 0, 0, "A"},
      {"CR LF LF makes an empty line", "A,7,生存\r\n\nB,7,生存", split, 0, 0, "A"},
      {"unmappable with a missing cause", U8(u8"é,7,死亡\r\n"),
       "?,7,死亡\t" + note + "\t死因が未入力の為、不明で計算\t\t\r\n", 1, 0, "?"},
      {"unmappable in the days", U8(u8"A,7é,生存\r\n"),
       "A,7?,生存\t" + note + "\t　生存日数は　半角数値　除外データ\t\r\n\r\n", 0, 1, ""},
      {"unmappable in a comment", U8(u8"'é\r\nA,7,生存"), "'?\t" + note + "\r\nA,7,生存\t\t\r\n", 0, 0, "A"},
      {"cut sequence at the end of the file", "\xEF\xBB\xBF" + U8(u8"A,7,死亡,癌") + "\xE7\x99", "A,7,死亡,癌??\t" + note + "\t\r\n",
       0, 0, "A"},
      {"cut sequence at the end of a line", "\xEF\xBB\xBF" "A\xE7\x99\n" + U8(u8"B,7,生存"), "A??\t" + note + kNoComma + "B,7,生存\t\t\r\n",
       0, 1, "B"},
      {"unmappable only in its own row", U8(u8"A,7,生存,é\r\n死,7,生存\r\n"),
       "A,7,生存,?\t" + note + "\t\r\n死,7,生存\t\t\r\n", 0, 0, "A"},
      // "ﾃｽﾄ群" alone would pass for UTF-8; the rest of the row does not.
      {"Shift-JIS katakana among kanji", "ﾃｽﾄ群,7,生存", "ﾃｽﾄ群,7,生存\t\t\r\n", 0, 0, "ﾃｽﾄ群"},
      {"Shift-JIS invalid as UTF-8", "A\x81\x40,7,生存", "A　,7,生存\t\t\r\n", 0, 0, "A"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto l = Load(c.bytes);
    EXPECT_EQ(l->Body(), c.body);
    EXPECT_EQ(std::tuple(l->ws.cases.counters.corrected, l->ws.cases.counters.excluded), std::tuple(c.corrected, c.excluded));
    EXPECT_EQ(l->ws.cases.GroupNames[1], c.group);
  }
  const auto runs = Load(U8(u8"A,7,死亡,😀\r\n"))->report.Runs();
  EXPECT_NE(std::find(runs.begin(), runs.end(), ColourRun{kOrange, note + "\t\r\n"}), runs.end());
}

std::string Rows(int count, const std::string& row) {
  std::string out;
  for (int i = 0; i < count; ++i) out += row + "\r\n";
  return out;
}

struct Figure { const char* name; Count got, want; };

// Causes beyond the twentieth share the last entry; fields beyond byte 255 are read whole.
TEST(CaseTables, CausesInOrderOfFirstAppearanceAndLongFields) {
  std::string manyCauses;
  for (int i = 1; i <= 25; ++i) manyCauses.append("A,7,死亡,C").append(std::to_string(i)).append("\n");
  const auto causes = Load(manyCauses);
  const CaseData& cd = causes->ws.cases;
  // The last two causes, the deaths of the overflow cause, the width of the view by cause.
  EXPECT_EQ(std::tuple(cd.NumCauses, cd.CauseNames[19], cd.CauseNames[20], cd.DeathsByCause[1][20], causes->ws.viewSizes.byCauseWidth),
            std::tuple(20, "C19", "20 over", 6, 20 * 60 + 600));
  const std::string longName(300, 'G');
  const auto l = Load(longName + ",7,死亡," + longName + "\n" + longName + "," + std::string(300, ' ') + "7,生存");
  EXPECT_EQ(std::tuple(l->ws.cases.NumGroups, l->ws.cases.GroupNames[1], l->ws.cases.GroupTotals[0][1], l->ws.cases.CauseNames[1]),
            std::tuple(1, longName, 2, longName));
}

TEST(CaseTables, TotalsLabelsShownFlagsAndTheResetOfTheNextLoad) {
  // Group A: 8 rows (3 deaths by cancer, one censored cause), B: 7 rows, C: a correction.
  auto l = std::make_unique<Loaded>();
  l->ws.cases.CauseCensored[2] = 1;  // the second cause of the file: 事故
  l = Load(Rows(4, "A,70,生存") + Rows(3, "A,7000,死亡,癌") + "A,14,死亡,事故\n" + Rows(7, "B,7,生存") + "C,7,死亡",
           std::move(l));
  const CaseData& cd = l->ws.cases;
  const Figure cases[] = {
      {"A censored", cd.GroupTotals[1][1], 5}, {"A deaths", cd.GroupTotals[2][1], 3},
      {"censored cause counted as censored", cd.WeekCounts[2][1][1], 1},
      {"censored cause still by cause", cd.DeathsByCause[1][2], 1}, {"group 0 never counted", cd.GroupTotals[0][0], 0},
      {"A shown with 8", l->ws.shown.Contains(1), 1}, {"B hidden with 7", l->ws.shown.Contains(2), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
  l->ws.run.survival.SurvivalTable[3][kSurvival][1] = 0.5;
  l->ws.run.survival.AtRiskTable[3][1] = 9;
  l->ws.texts[1][kMedian] = "x";
  l->ws.geometry.xMax = 1000;
  l->ws.geometry.tickStep = 104;
  l->ws.shown.Set(0, true), l->ws.shown.Set(2, true);  // the user showed all cases and B
  l = Load(Rows(3, "X,14,生存"), std::move(l));
  const Workspace& ws = l->ws;
  const Figure reset[] = {
      // The case tables are made anew in one piece: their old week counts stand for every field.
      {"old week counts", ws.cases.WeekCounts[1000][2][1], 0}, {"at risk", ws.run.survival.AtRiskTable[3][1], 0},
      {"all cases hidden again", ws.shown.Contains(0), 0}, {"x range", ws.geometry.xMax, 260},
      {"tick step", ws.geometry.tickStep, 52},
  };
  for (const auto& c : reset) EXPECT_EQ(c.got, c.want) << c.name;
  EXPECT_EQ(ws.run.survival.SurvivalTable[3][kSurvival][1], 0.0);
  EXPECT_EQ(ws.cases.CauseNames[1] + ws.cases.GroupNames[2] + ws.texts[1][kMedian], "");
}

// Each view window grows by a row of 40 pixels per group; the survival-rate view keeps two
// rows more for the test lines of a single pair, so two groups take it one row beyond three.
TEST(CaseTables, ViewWindowsGrowByARowPerGroup) {
  using V = ViewSizes;
  const V two = Load("A,7,生存\nB,7,死亡,癌\n")->ws.viewSizes, three = Load("A,7,生存\nB,7,生存\nC,7,生存\n")->ws.viewSizes;
  // The drawn views' heights for five groups are the batch command's images'.
  const struct { const char* view; int V::*height; int growth; } views[] = {
      {"log-rank", &V::logRankHeight, 40}, {"Wilcoxon", &V::wilcoxonHeight, 40}, {"survival rate", &V::survivalRateHeight, -40},
      {"intervals", &V::intervalsHeight, 40},
  };
  for (const auto& v : views) EXPECT_EQ(three.*v.height - two.*v.height, v.growth) << v.view;
}

// An input that never ends, as /dev/zero: every read is answered in full.
class EndlessZeros : public std::streambuf {
 protected:
  int_type underflow() override {
    buffer_.assign(4096, '\0');
    setg(buffer_.data(), buffer_.data(), buffer_.data() + buffer_.size());
    return traits_type::to_int_type('\0');
  }

 private:
  std::string buffer_;
};

TEST(DataFile, LimitHoldsExactlyAndAnEndlessInputStops) {
  // Above the reader's one-mebibyte step, so the limit is met across steps.
  constexpr std::uint64_t kLimit = (1u << 20) + 5;
  EndlessZeros zeros;
  std::istream endless(&zeros);
  EXPECT_EQ(ReadDataStream(endless, kLimit).status, FileRead::TooLarge) << "endless input";

  const std::string atLimit(kLimit, 'x');
  for (const auto& [bytes, status] : {std::pair{atLimit, FileRead::Read}, {atLimit + "x", FileRead::TooLarge}}) {
    std::istringstream stream(bytes);
    const DataFileBytes read = ReadDataStream(stream, kLimit);
    EXPECT_EQ(std::tuple(read.status, read.bytes.size()), std::tuple(status, status == FileRead::Read ? kLimit : 0)) << bytes.size();
  }
}

TEST(DataFile, ReadAsBytesAndATooLargeOneWarnsAndLoadsNothing) {
  EXPECT_EQ(TooLargeText(999), "データファイルが 999 バイトを超えるため読み込みません");
  EXPECT_EQ(TooLargeText(kMaxDataFileBytes), "データファイルが 2,147,483,648 バイトを超えるため読み込みません");

  const std::string rows = "'表\r\nA,7,死亡,癌\r\nB,14,生存", body = "'表\t\r\nA,7,死亡,癌\t\t\r\nB,14,生存\t\t\r\n";
  const std::string file = WriteTempFile("orvantis-data-file.csv", rows);
  const std::string missing = WriteTempFile("orvantis-data-missing-dir", "") + ".none";
  struct { const char* name; std::string path; std::uint64_t limit; FileRead status; std::string body; int groups; } cases[] = {
      {"file of exactly the limit", file, rows.size(), FileRead::Read, body, 2},
      {"one byte too many", file, rows.size() - 1, FileRead::TooLarge, "", 0},
      {"missing file", missing, kMaxDataFileBytes, FileRead::Unreadable, "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto l = Load("C,7,死亡,癌\r\n");  // what the previous load left must go
    EXPECT_EQ(LoadDataFile(c.path, l->ws, l->report, l->boxes, {}, c.limit), c.status);
    EXPECT_EQ(l->Body(), c.body);
    EXPECT_EQ(std::tuple(l->ws.cases.NumGroups, l->ws.cases.counters.total, l->ws.cases.DeathsByCause[0][1]),
              std::tuple(c.groups, c.groups, c.groups == 0 ? 0 : 1));
    EXPECT_EQ(l->report.Runs().front(), (ColourRun{kBlue, c.path + "\t\r\n\r\n"}));
    const std::vector<RecordedBox> box = {{TooLargeText(c.limit), "データの確認！", BoxIcon::Warning}};
    EXPECT_EQ(l->boxes.boxes, c.status == FileRead::TooLarge ? box : std::vector<RecordedBox>{});
  }
}

}  // namespace
}  // namespace orv::test
