// The whole raw data report of a load, byte for byte and colour run for colour run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/loader.h"
#include "data/report.h"
#include "load_helpers.h"
#include "support/test_support.h"

namespace orv::test {
namespace {

// A control that takes the report at once: it notes what it held when Flush came.
class BatchedRichText : public RecordingRichText {
 public:
  void Flush() override {
    ++flushes;
    textAtFlush = Text();
  }
  int flushes = 0;
  std::string textAtFlush;
};

const std::string kSeparator = " ---.------------.--- ";

struct ReportCase {
  const char* name;
  std::string file;
  std::vector<ColourRun> runs;
};

TEST(RawDataReport, LayoutAndColoursOfWholeReports) {
  const std::string head = kSeparator + "\t\r\n";
  const std::string raw = kSeparator + "\t\r\n\r\n--- Raw data --- \t\r\n\r\n";
  const std::string end = " ---.--- END ---.--- \t\r\n\r\n";
  const ReportCase cases[] = {
      {"two accepted rows",
       "A,100,生存\r\nA,262,生存\r\n",
       {{kBlue, "case.csv\t\r\n\r\n"},
        {kBlack, head + "総データ数 : 2\t\r\n修正データ数 : 0\t\r\n除外データ数 : 0\t\r\n\r\n"
                        "データ最長期間 = 37 週  (  0y 8m ) \r\n" + raw + "A,100,生存\t\t\r\nA,262,生存\t\t\r\n" + end}}},
      {"empty file",
       "",
       {{kBlue, "case.csv\t\r\n\r\n"},
        {kBlack, head + "総データ数 : 0\t\r\n修正データ数 : 0\t\r\n除外データ数 : 0\t\r\n\r\n"
                        "データ最長期間 = 0 週  ( 0.0m ) \r\n" + raw + end}}},
      {"comments, empty lines, notes",
       "'群,日数,転帰,死因\r\n\r\nA,70,死亡\r\n\r\nB,x,生存\r\n,5,生存\r\nA,99999,生存\r\n\r\nB,7,死亡,癌\r\n",
       {{kBlue, "case.csv\t\r\n\r\n"},
        {kBlack, head + "総データ数 : 5\t\r\n修正データ数 : 2\t\r\n除外データ数 : 2\t\r\n\r\n"
                        "データ最長期間 = 2080 週  ( 40y 0m ) \r\n" + raw},
        {kBlue, "'群,日数,転帰,死因\t\r\n\t\r\n"},
        {kBlack, "A,70,死亡\t"},
        {kOrange, "\t死因が未入力の為、不明で計算\t\t\r\n\t\r\n"},
        {kBlack, "B,x,生存\t"},
        {kRed, "\t　生存日数は　半角数値　除外データ\t\r\n\r\n"},
        {kBlack, ",5,生存\t"},
        {kRed, " ＊ グループ名が未入力 除外データ\t\r\n\r\n"},
        {kBlack, "A,99999,生存\t"},
        {kRed, "\t＊生存日数 を　14,560日（40年）、生存　に修正\t\r\n\r\n\t\r\n\t\r\n"},
        {kBlack, "B,7,死亡,癌\t\t\r\n" + end}}},
  };
  for (const ReportCase& c : cases) {
    SCOPED_TRACE(c.name);
    Workspace ws;
    BatchedRichText report;
    RecordingMessageBoxes boxes;
    LoadDataBytes("case.csv", c.file, ws, report, boxes);
    std::string text;
    for (const ColourRun& r : c.runs) text += r.text;
    EXPECT_EQ(report.Text(), text);
    EXPECT_EQ(report.Runs(), c.runs);
    EXPECT_EQ(report.Height(), 240);
    EXPECT_EQ(report.Caret(), 0u);
    EXPECT_EQ(report.Colour(), kBlack);
    EXPECT_EQ(report.flushes, 1);
    EXPECT_EQ(report.textAtFlush, text);
  }
}

TEST(RawDataReport, WritesAddTabAndBreaks) {
  const struct {
    const char* name;
    int breaks;  // -1: ReportWriteLine
    std::string out;
  } cases[] = {
      {"no break", 0, "x\t"}, {"two breaks", 2, "x\t\r\n\r\n"}, {"three breaks", 3, "x\t\r\n\r\n\r\n"},
      {"more counts as three", 9, "x\t\r\n\r\n\r\n"}, {"negative counts as none", -3, "x\t"}, {"line", -1, "x\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingRichText sink;
    if (c.breaks == -1) {
      ReportWriteLine(sink, "x");
    } else {
      ReportWrite(sink, "x", c.breaks);
    }
    EXPECT_EQ(sink.Text(), c.out);
  }
}

TEST(RawDataReport, UnreadableFileReadsAsEmpty) {
  const std::string missing = WriteTempFile("orvantis-data-missing-dir", "") + ".none";
  auto l = Load("A,7,死亡,癌\r\n");
  LoadDataFile(missing, l->ws, l->report, l->boxes);
  EXPECT_EQ(l->ws.cases.NumGroups, 0);
  EXPECT_EQ(l->ws.cases.counters.total, 0);
  EXPECT_EQ(l->ws.cases.DeathsByCause[0][1], 0);
  EXPECT_EQ(l->Body(), "");
  EXPECT_EQ(l->report.Runs().front(), (ColourRun{kBlue, missing + "\t\r\n\r\n"}));
}

TEST(RawDataReport, FileIsReadAsBytes) {
  const std::string bytes = "'表\r\nA,7,死亡,癌\r\nB,14,生存";
  const std::string path = WriteTempFile("orvantis-data-file.csv", bytes);
  auto l = std::make_unique<Loaded>();
  LoadDataFile(path, l->ws, l->report, l->boxes);
  EXPECT_EQ(l->Body(), "'表\t\r\nA,7,死亡,癌\t\t\r\nB,14,生存\t\t\r\n");
  EXPECT_EQ(l->ws.cases.NumGroups, 2);
}

}  // namespace
}  // namespace orv::test
