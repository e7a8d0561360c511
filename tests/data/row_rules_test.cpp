// One row at a time through the checks of the loader: notes, counters, warning boxes and
// where the row is counted.
#include <gtest/gtest.h>

#include <string>

#include "data/loader.h"
#include "load_helpers.h"

namespace orv::test {
namespace {

const std::string kCapNote = "\t＊生存日数 を　14,560日（40年）、生存　に修正\t\r\n\r\n";
const std::string kNoCauseNote = "\t死因が未入力の為、不明で計算\t";

struct RowCase {
  const char* name;
  std::string row;
  std::string body;      // the report lines of the row
  Count corrected;
  Count excluded;
  int week;              // where an accepted row is counted (-1: excluded)
  int code;              // 1 censored, 2 death
  std::string cause;     // CauseNames[1] after the load
  std::string box;       // the warning text, if any
};

std::string Excluded(const std::string& row, const std::string& note) { return row + "\t\t" + note + "\t\r\n\r\n"; }

TEST(RowRules, EachRowIsCheckedCorrectedOrExcluded) {
  const std::string digits400(400, '9');
  const std::string zeroInside = "10" + std::string(398, '5');
  const RowCase cases[] = {
      {"death without cause gets unknown", "A,100,死亡", "A,100,死亡\t" + kNoCauseNote + "\t\r\n", 1, 0, 14, 2, "不明", ""},
      {"cause of a survivor is ignored", "A,100,生存,癌", "A,100,生存,癌\t\t\r\n", 0, 0, 14, 1, "", ""},
      {"outcome containing death mark", "A,100,死因不明", "A,100,死因不明\t" + kNoCauseNote + "\t\r\n", 1, 0, 14, 2, "不明", ""},
      {"outcome of one blank is alive", "A,100, ", "A,100, \t\t\r\n", 0, 0, 14, 1, "", ""},
      {"cause trimmed", "A,13,病死,\"　癌 \"", "A,13,病死,\"　癌 \"\t\t\r\n", 0, 0, 1, 2, "癌", ""},
      {"fields past the fourth ignored", "A,7,死亡,癌,x,y", "A,7,死亡,癌,x,y\t\t\r\n", 0, 0, 1, 2, "癌", ""},
      {"14560 days is the last week", "A,14560,死亡,癌", "A,14560,死亡,癌\t\t\r\n", 0, 0, 2080, 2, "癌", ""},
      {"14561 days capped to alive", "A,14561,死亡,癌", "A,14561,死亡,癌\t" + kCapNote + "\t\r\n", 1, 0, 2080, 1, "",
       "生存日数 14561 日  ( 40y 0m )"},
      {"capped and without cause", "A,14561,死亡", "A,14561,死亡\t" + kCapNote + kNoCauseNote + "\t\r\n", 2, 0, 2080, 1,
       "", "生存日数 14561 日  ( 40y 0m )"},
      {"capped then without outcome", "A,14561", Excluded("A,14561", "＊　転帰が未入力 除外データ"), 1, 1, -1, 0, "",
       "生存日数 14561 日  ( 40y 0m )"},
      {"period beyond 255 years", "A,93184,生存", "A,93184,生存\t" + kCapNote + "\t\r\n", 1, 0, 2080, 1, "",
       "生存日数 93184 日  ( 256y 0m )"},
      {"period beyond 32-bit weeks", "A,100000000000000000000,生存",
       "A,100000000000000000000,生存\t" + kCapNote + "\t\r\n", 1, 0, 2080, 1, "",
       "生存日数 100000000000000000000 日  ( 2.74725274725275e+017y )"},
      {"400 digits are infinite", "A," + digits400 + ",死亡,癌", "A," + digits400 + ",死亡,癌\t" + kCapNote + "\t\r\n", 1,
       0, 2080, 1, "", "生存日数 " + digits400 + " 日  ( ∞ )"},
      {"zero among digits beyond a double", "A," + zeroInside + ",生存", "A," + zeroInside + ",生存\t" + kCapNote + "\t\r\n",
       1, 0, 2080, 1, "", "生存日数 " + zeroInside + " 日  ( ∞ )"},
      {"many leading zeros", "A," + std::string(395, '0') + "12345,生存",
       "A," + std::string(395, '0') + "12345,生存\t\t\r\n", 0, 0, 1763, 1, "", ""},
      {"quoted days", "A,\"12\",生存", "A,\"12\",生存\t\t\r\n", 0, 0, 1, 1, "", ""},
      {"days of one blank are zero", "A, ,生存", "A, ,生存\t\t\r\n", 0, 0, 0, 1, "", ""},
      {"fractional days", "A,13.99,死亡,癌", "A,13.99,死亡,癌\t\t\r\n", 0, 0, 1, 2, "癌", ""},
      {"no comma", "12", Excluded("12", "＊ データ形式はカンマ区切りです "), 0, 1, -1, 0, "", ""},
      {"empty group", ",12,死亡", ",12,死亡\t ＊ グループ名が未入力 除外データ\t\r\n\r\n", 0, 1, -1, 0, "", ""},
      {"group of half-width blanks", "  ,12,死亡", "  ,12,死亡\t ＊ グループ名が未入力 除外データ\t\r\n\r\n", 0, 1, -1, 0,
       "", ""},
      {"group of full-width blanks and quotes", "\"　\",12,死亡",
       "\"　\",12,死亡\t ＊ グループ名が未入力 除外データ\t\r\n\r\n", 0, 1, -1, 0, "", ""},
      {"empty days", "A,,死亡", Excluded("A,,死亡", "＊　生存日数が未入力 除外データ"), 0, 1, -1, 0, "", ""},
      {"nothing after group", "A,", Excluded("A,", "＊　生存日数が未入力 除外データ"), 0, 1, -1, 0, "", ""},
      {"negative days", "A,-5,生存", Excluded("A,-5,生存", "　生存日数は　半角数値　除外データ"), 0, 1, -1, 0, "", ""},
      {"exponent days", "A,1e3,生存", Excluded("A,1e3,生存", "　生存日数は　半角数値　除外データ"), 0, 1, -1, 0, "", ""},
      {"full-width digits", "A,１２,生存", Excluded("A,１２,生存", "　生存日数は　半角数値　除外データ"), 0, 1, -1, 0, "", ""},
      {"header without apostrophe", "群,日数,転帰,死因", Excluded("群,日数,転帰,死因", "　生存日数は　半角数値　除外データ"), 0,
       1, -1, 0, "", ""},
      {"no outcome", "A,12", Excluded("A,12", "＊　転帰が未入力 除外データ"), 0, 1, -1, 0, "", ""},
      {"empty outcome", "A,12,,癌", Excluded("A,12,,癌", "＊　転帰が未入力 除外データ"), 0, 1, -1, 0, "", ""},
  };
  for (const RowCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto l = Load(c.row);
    const CaseData& cd = l->ws.cases;
    EXPECT_EQ(l->Body(), c.body);
    EXPECT_EQ(cd.counters.total, 1);
    EXPECT_EQ(cd.counters.corrected, c.corrected);
    EXPECT_EQ(cd.counters.excluded, c.excluded);
    EXPECT_EQ(cd.CauseNames[1], c.cause);
    EXPECT_EQ(cd.NumCauses, c.cause.empty() ? 0 : 1);
    if (c.box.empty()) {
      EXPECT_TRUE(l->boxes.boxes.empty());
    } else {
      ASSERT_EQ(l->boxes.boxes.size(), 1u);
      EXPECT_EQ(l->boxes.boxes[0], (RecordedBox{c.box, "データの確認！", BoxIcon::Warning}));
    }
    if (c.week < 0) {
      EXPECT_EQ(cd.NumGroups, 0);
      continue;
    }
    ASSERT_EQ(cd.NumGroups, 1);
    EXPECT_EQ(cd.WeekCounts[static_cast<std::size_t>(c.week)][static_cast<std::size_t>(c.code)][1], 1);
    EXPECT_EQ(cd.GroupTotals[static_cast<std::size_t>(c.code)][1], 1);
    EXPECT_EQ(cd.DeathsByCause[1][c.code == 2 ? 1 : 0], 1);
    EXPECT_EQ(cd.dataMaxWeeks, c.week);
  }
}

TEST(RowRules, TrimFieldRemovesBlanksAndQuotesFromBothEnds) {
  const struct {
    const char* name;
    std::string in, out;
  } cases[] = {
      {"blank quote letter quote blank", " \"A\" ", "A"},
      {"full-width blanks", "　　A　", "A"},
      {"mixed repeatedly", "\" 　\"A B\"　 \"", "A B"},
      {"inner blanks kept", "A　B", "A　B"},
      {"only blanks", " 　\" ", ""},
      {"tab is not a blank", "\tA\t", "\tA\t"},
      // The last two bytes look like a full-width blank but are the end of "＝" and "@".
      {"trail byte before at sign", "＝@", "＝@"},
      {"full-width blank after a character", "表　", "表"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TrimField(c.in), c.out);
  }
}

}  // namespace
}  // namespace orv::test
