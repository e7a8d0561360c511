// Reading a data file: as bytes, a missing one as empty, the size limit (where it falls, how
// an input that never ends is stopped) and what the load then shows.
#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>
#include <tuple>
#include <vector>

#include "data/load_helpers.h"
#include "support/test_support.h"

namespace orv::test {
namespace {

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
  struct { const char* name; std::string bytes; FileRead status; std::size_t kept; } cases[] = {
      {"exactly the limit", atLimit, FileRead::Read, kLimit},
      {"one byte more", atLimit + "x", FileRead::TooLarge, 0},
      {"empty", "", FileRead::Read, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::istringstream stream(c.bytes);
    const DataFileBytes streamed = ReadDataStream(stream, kLimit);
    EXPECT_EQ(streamed.status, c.status);
    EXPECT_EQ(streamed.bytes.size(), c.kept);
    // A file of known size is judged by that size, and with the same boundary.
    const DataFileBytes file = ReadDataFile(WriteTempFile("orvantis-size-limit.csv", c.bytes), kLimit);
    EXPECT_EQ(file.status, c.status);
    EXPECT_EQ(file.bytes == c.bytes, c.status == FileRead::Read);
  }
}

TEST(DataFile, ReadAsBytesAndATooLargeOneWarnsAndLoadsNothing) {
  EXPECT_EQ(TooLargeText(999), "データファイルが 999 バイトを超えるため読み込みません");
  EXPECT_EQ(TooLargeText(1000), "データファイルが 1,000 バイトを超えるため読み込みません");
  EXPECT_EQ(TooLargeText(kMaxDataFileBytes), "データファイルが 2,147,483,648 バイトを超えるため読み込みません");

  const std::string rows = "'表\r\nA,7,死亡,癌\r\nB,14,生存", body = "'表\t\r\nA,7,死亡,癌\t\t\r\nB,14,生存\t\t\r\n";
  const std::string file = WriteTempFile("orvantis-data-file.csv", rows);
  const std::string missing = WriteTempFile("orvantis-data-missing-dir", "") + ".none";
  struct { const char* name; std::string path; std::uint64_t limit; FileRead status; std::string body; int groups; } cases[] = {
      {"file", file, kMaxDataFileBytes, FileRead::Read, body, 2},
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
