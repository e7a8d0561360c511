// One line at a time through the loader: line ends, UTF-8 converted line by line, and the
// checks of each row with their notes, counters, warning boxes and where the row is counted.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "data/loader.h"
#include "load_helpers.h"

namespace orv::test {
namespace {

// What the report shows after a row's own bytes and its tab.
const std::string kOk = "\t\r\n";
const std::string kNoCause = "\t死因が未入力の為、不明で計算\t";
const std::string kCap = "\t＊生存日数 を　14,560日（40年）、生存　に修正\t\r\n\r\n";
std::string Ex(const std::string& note) { return "\t" + note + "\t\r\n\r\n"; }
const std::string kNoComma = Ex("＊ データ形式はカンマ区切りです ");
const std::string kNoGroup = " ＊ グループ名が未入力 除外データ\t\r\n\r\n";
const std::string kNoDays = Ex("＊　生存日数が未入力 除外データ");
const std::string kBadDays = Ex("　生存日数は　半角数値　除外データ");
const std::string kNoOutcome = Ex("＊　転帰が未入力 除外データ");

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
      {"death without cause gets unknown", "A,100,死亡", kNoCause + kOk, 1, 14, true, "不明"},
      {"cause of a survivor is ignored", "A,100,生存,癌", kOk, 0, 14, false, ""},
      {"outcome containing death mark", "A,100,死因不明", kNoCause + kOk, 1, 14, true, "不明"},
      {"outcome of one blank is alive", "A,100, ", kOk, 0, 14, false, ""},
      {"cause trimmed", "A,13,病死,\"　癌 \"", kOk, 0, 1, true, "癌"},
      {"fields past the fourth ignored", "A,7,死亡,癌,x,y", kOk, 0, 1, true, "癌"},
      {"14560 days is the last week", "A,14560,死亡,癌", kOk, 0, 2080, true, "癌"},
      {"14561 days capped to alive", "A,14561,死亡,癌", kCap + kOk, 1, 2080, false, "", {Capped("14561", "40y 0m")}},
      {"capped and without cause", "A,14561,死亡", kCap + kNoCause + kOk, 2, 2080, false, "", {Capped("14561", "40y 0m")}},
      {"period beyond 255 years", "A,93184,生存", kCap + kOk, 1, 2080, false, "", {Capped("93184", "256y 0m")}},
      {"period beyond 32-bit weeks", "A,100000000000000000000,生存", kCap + kOk, 1, 2080, false, "",
       {Capped("100000000000000000000", "2.74725274725275e+017y")}},
      {"400 digits are infinite", "A," + d400 + ",死亡,癌", kCap + kOk, 1, 2080, false, "", {Capped(d400, "∞")}},
      {"zero among digits beyond a double", "A," + zeroInside + ",生存", kCap + kOk, 1, 2080, false, "", {Capped(zeroInside, "∞")}},
      {"many leading zeros", "A," + zeros + ",生存", kOk, 0, 1763, false, ""},
      {"quoted days", "A,\"12\",生存", kOk, 0, 1, false, ""},
      {"days of one blank are zero", "A, ,生存", kOk, 0, 0, false, ""},
      {"fractional days", "A,13.99,死亡,癌", kOk, 0, 1, true, "癌"},
      {"no comma", "12", kNoComma, 0, kRefused}, {"empty group", ",12,死亡", kNoGroup, 0, kRefused},
      {"group of blanks and quotes", " \"　\",12,死亡", kNoGroup, 0, kRefused}, {"empty days", "A,,死亡", kNoDays, 0, kRefused},
      {"nothing after group", "A,", kNoDays, 0, kRefused}, {"negative days", "A,-5,生存", kBadDays, 0, kRefused},
      {"exponent days", "A,1e3,生存", kBadDays, 0, kRefused}, {"full-width digits", "A,１２,生存", kBadDays, 0, kRefused},
      {"header without apostrophe", "群,日数,転帰,死因", kBadDays, 0, kRefused}, {"no outcome", "A,12", kNoOutcome, 0, kRefused},
      {"empty outcome", "A,12,,癌", kNoOutcome, 0, kRefused},
      {"capped then without outcome", "A,14561", kNoOutcome, 1, kRefused, false, "", {Capped("14561", "40y 0m")}},
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
    if (refused) {
      EXPECT_EQ(std::tuple(cd.dataMaxWeeks, cd.DeathsByCause[0][0]), std::tuple(0, 0));
      continue;
    }
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
      // The first and last lead bytes of both ranges take 0x81 as their trail byte; the bytes
      // beside the ranges stand alone, so 0x81 0x40 after them is a blank.
      {"lead 0x81", "x\x81\x81\x40", "x\x81\x81\x40"}, {"lead 0x9F", "x\x9F\x81\x40", "x\x9F\x81\x40"},
      {"lead 0xE0", "x\xE0\x81\x40", "x\xE0\x81\x40"}, {"lead 0xFC", "x\xFC\x81\x40", "x\xFC\x81\x40"},
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
      {"comment looking like a row", "'A,7,生存\r\n", "'A,7,生存\t\r\n", 0, 0, ""},
      {"unmappable in the group", U8(u8"Ré,7,死亡,癌\r\n"), "R?,7,死亡,癌\t" + note + "\t\r\n", 0, 0, "R?"},
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
  EXPECT_EQ(runs.back(), (ColourRun{kBlack, " ---.--- END ---.--- \t\r\n\r\n"}));
  EXPECT_NE(std::find(runs.begin(), runs.end(), ColourRun{kOrange, note + "\t\r\n"}), runs.end());
}

}  // namespace
}  // namespace orv::test
