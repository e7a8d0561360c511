// UTF-8 input reads as its Shift-JIS twin; characters code page 932 cannot hold are noted.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "load_helpers.h"

namespace orv::test {
namespace {

// One case series, written once and compiled both as Shift-JIS and as UTF-8.
#define ORV_SERIES                                                                        \
  "'群,生存日数,転帰,死因　（～2024年）\r\n"                                              \
  "標準治療群,120,死亡,癌死\r\n新規治療群,800,生存\r\n標準治療群,365,死亡\r\n"           \
  "新規治療群,1460,死亡,他病死\r\n標準治療群,約30,生存\r\n新規治療群,15000,死亡,心疾患\r\n" \
  "\r\n　,3,生存\r\n新規治療群,2100,病死,\"　癌死 \"\r\n"

std::string U8(std::u8string_view s) { return {s.begin(), s.end()}; }

void ExpectSameLoad(const Loaded& a, const Loaded& b) {
  const CaseData& x = a.ws.cases;
  const CaseData& y = b.ws.cases;
  EXPECT_EQ(x.GroupNames, y.GroupNames);
  EXPECT_EQ(x.CauseNames, y.CauseNames);
  EXPECT_EQ(x.NumGroups, y.NumGroups);
  EXPECT_EQ(x.NumCauses, y.NumCauses);
  EXPECT_EQ(x.WeekCounts, y.WeekCounts);
  EXPECT_EQ(x.GroupTotals, y.GroupTotals);
  EXPECT_EQ(x.DeathsByCause, y.DeathsByCause);
  EXPECT_EQ(x.dataMaxWeeks, y.dataMaxWeeks);
  EXPECT_EQ(x.counters.total, y.counters.total);
  EXPECT_EQ(x.counters.corrected, y.counters.corrected);
  EXPECT_EQ(x.counters.excluded, y.counters.excluded);
  EXPECT_EQ(a.ws.survival.GroupSummaryTexts, b.ws.survival.GroupSummaryTexts);
  EXPECT_EQ(a.ws.viewSizes, b.ws.viewSizes);
  EXPECT_EQ(a.report.Runs(), b.report.Runs());
  EXPECT_EQ(a.boxes.boxes, b.boxes.boxes);
}

TEST(Utf8Input, ReadsAsItsShiftJisTwin) {
  const auto sjis = Load(ORV_SERIES);
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"UTF-8", U8(u8"" ORV_SERIES)},
      {"UTF-8 with byte-order mark", "\xEF\xBB\xBF" + U8(u8"" ORV_SERIES)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectSameLoad(*Load(c.bytes), *sjis);
  }
  // The twin is no mere agreement of two wrong readings.
  const CaseData& cd = sjis->ws.cases;
  EXPECT_EQ(cd.NumGroups, 2);
  EXPECT_EQ(cd.GroupNames[1], "標準治療群");
  EXPECT_EQ(cd.CauseNames[3], "他病死");
  EXPECT_EQ(cd.GroupTotals[2][1], 2);
  EXPECT_EQ(cd.GroupTotals[2][2], 2);
  EXPECT_EQ(cd.counters.excluded, 2);
  EXPECT_EQ(cd.counters.corrected, 2);
}

TEST(Utf8Input, UnmappableCharactersBecomeQuestionMarksWithANote) {
  const std::string note = "\t＊ 変換できない文字を ? に置換\t";
  const struct {
    const char* name;
    std::string bytes;
    std::string body;
    Count total, corrected, excluded;
    std::string group;
  } cases[] = {
      {"in the group", U8(u8"Ré,7,死亡,癌\r\n"), "R?,7,死亡,癌\t" + note + "\t\r\n", 1, 0, 0, "R?"},
      {"in the cause", U8(u8"A,7,死亡,😀\r\n"), "A,7,死亡,?\t" + note + "\t\r\n", 1, 0, 0, "A"},
      {"with a missing cause", U8(u8"é,7,死亡\r\n"),
       "?,7,死亡\t" + note + "\t死因が未入力の為、不明で計算\t\t\r\n", 1, 1, 0, "?"},
      {"in the days", U8(u8"A,7é,生存\r\n"),
       "A,7?,生存\t" + note + "\t　生存日数は　半角数値　除外データ\t\r\n\r\n", 1, 0, 1, ""},
      {"in a comment", U8(u8"'é\r\nA,7,生存"), "'?\t" + note + "\r\nA,7,生存\t\t\r\n", 1, 0, 0, "A"},
      {"only in its own row", U8(u8"A,7,生存,é\r\n死,7,生存\r\n"),
       "A,7,生存,?\t" + note + "\t\r\n死,7,生存\t\t\r\n", 2, 0, 0, "A"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto l = Load(c.bytes);
    EXPECT_EQ(l->Body(), c.body);
    EXPECT_EQ(l->ws.cases.counters.total, c.total);
    EXPECT_EQ(l->ws.cases.counters.corrected, c.corrected);
    EXPECT_EQ(l->ws.cases.counters.excluded, c.excluded);
    EXPECT_EQ(l->ws.cases.GroupNames[1], c.group);
  }
  auto l = Load(U8(u8"A,7,死亡,😀\r\n"));
  EXPECT_EQ(l->report.Runs().back(), (ColourRun{kBlack, " ---.--- END ---.--- \t\r\n\r\n"}));
  EXPECT_NE(std::find(l->report.Runs().begin(), l->report.Runs().end(), ColourRun{kOrange, note + "\t\r\n"}),
            l->report.Runs().end());
}

TEST(Utf8Input, ShiftJisIsReadAsItIs) {
  const struct {
    const char* name;
    std::string bytes;
    std::string body;
  } cases[] = {
      {"Japanese", "群,7,死亡,癌", "群,7,死亡,癌\t\t\r\n"},
      // "ﾃｽﾄ群" alone would pass for UTF-8; the rest of the row does not.
      {"half-width katakana among kanji", "ﾃｽﾄ群,7,生存", "ﾃｽﾄ群,7,生存\t\t\r\n"},
      {"bytes invalid as UTF-8", "A\x81\x40,7,生存", "A　,7,生存\t\t\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Load(c.bytes)->Body(), c.body);
  }
}

}  // namespace
}  // namespace orv::test
