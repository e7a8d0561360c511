// The batch command on inputs a plain file test never gives it: pipes, a file above the size
// limit, cause names that are not UTF-8.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::string TempPath(const std::string& name) {
  return (fs::temp_directory_path() / ("orvantis_rel_" + std::to_string(getpid()) + "_" + name)).string();
}

std::string ReadFile(const std::string& path) {
  return (std::stringstream() << std::ifstream(path, std::ios::binary).rdbuf()).str();
}

std::string Quote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

struct RunResult { int status; std::string out, err; };

// Runs a bash script in which $ORV is the command; a run that hangs ends after 60 seconds
// with status 124.
RunResult RunScript(const std::string& script) {
  const std::string out = TempPath("stdout"), err = TempPath("stderr");
  const std::string command = "ORV=" + Quote(ORVANTIS_COMMAND) + " timeout 60 bash -c " + Quote(script) +
                              " >" + Quote(out) + " 2>" + Quote(err);
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(out), ReadFile(err)};
}

// Two groups of ten rows with deaths of two causes: both pairwise tables are written, and
// censoring a cause changes them.
std::string CasesFile() {
  std::string rows = "'pipe\r\n";
  for (int k = 1; k <= 10; ++k) rows += "A," + std::to_string(60 * k) + (k % 3 ? ",死亡,癌\r\n" : ",生存\r\n");
  for (int k = 1; k <= 10; ++k) rows += "B," + std::to_string(200 * k) + (k % 2 ? ",死亡,肺炎\r\n" : ",死亡,癌\r\n");
  return orv::test::WriteTempFile("orvantis_rel_" + std::to_string(getpid()) + "_cases.csv", rows);
}

// The path heads the report, so a pipe's output is the file's with the path replaced.
std::string WithPath(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(CliReliability, PipeIsReadOnceAndReloadedFromItsBytes) {
  const std::string file = CasesFile();
  const std::string fifo = TempPath("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  struct { const char* name; std::string args; } cases[] = {
      {"load", ""},
      {"censored cause: a second load", " --censor " + Quote(U8(u8"癌"))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const RunResult plain = RunScript("\"$ORV\" " + Quote(file) + c.args);
    ASSERT_EQ(plain.status, 0) << plain.err;
    const RunResult substituted = RunScript("exec 3< <(cat " + Quote(file) + "); \"$ORV\" /dev/fd/3" + c.args);
    EXPECT_EQ(substituted.status, 0) << substituted.err;
    EXPECT_EQ(substituted.out, WithPath(plain.out, file, "/dev/fd/3"));
    const RunResult named = RunScript("cat " + Quote(file) + " >" + Quote(fifo) + " & \"$ORV\" " + Quote(fifo) + c.args);
    EXPECT_EQ(named.status, 0) << named.err;
    EXPECT_EQ(named.out, WithPath(plain.out, file, fifo));
  }
  fs::remove(fifo);
}

TEST(CliReliability, FileAboveTwoGibibytesIsRefusedUnread) {
  const std::string big = TempPath("big.csv");
  std::ofstream(big).close();
  fs::resize_file(big, (std::uintmax_t{1} << 31) + 1);  // sparse: nothing is written
  const RunResult r = RunScript("\"$ORV\" " + Quote(big));
  fs::remove(big);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "orvantis: " + big + ": larger than 2147483648 bytes (2 GiB), the limit of a data file\n");
}

TEST(CliReliability, CauseNameThatIsNotUtf8IsEscaped) {
  const std::string file = CasesFile();
  const std::string known = U8(u8" in the data (causes: 癌, 肺炎)\n");
  struct { const char* name; std::string cause, shown; } cases[] = {
      {"lone high byte", "\xFF", "\\xFF"},
      {"Shift-JIS bytes", "\x8A\xE0", "\\x8A\\xE0"},
      {"cut sequence before valid text", std::string("\xE7\x99") + U8(u8"癌"), "\\xE7\\x99" + U8(u8"癌")},
      {"overlong slash", "\xC0\xAF", "\\xC0\\xAF"},
      {"surrogate", "\xED\xA0\x80", "\\xED\\xA0\\x80"},
      {"valid but unknown", U8(u8"心疾患"), U8(u8"心疾患")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const RunResult r = RunScript("\"$ORV\" " + Quote(file) + " --censor " + Quote(c.cause));
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "orvantis: no cause of death '" + c.shown + "'" + known);
  }
}

}  // namespace
