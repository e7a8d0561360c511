// The batch command's number-at-risk view: number-at-risk.txt and .png among the files of
// --out, for the sample and for its whole range, where the columns thin out to every fourth
// year.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  return (std::stringstream() << std::ifstream(path, std::ios::binary).rdbuf()).str();
}

// The files of --out for the sample with the given options.
fs::path Outputs(const std::string& name, const std::string& options) {
  const fs::path dir = fs::temp_directory_path() / ("orvantis_at_risk_" + std::to_string(getpid()) + "_" + name);
  const std::string command = std::string(ORVANTIS_COMMAND) + " " + ORVANTIS_SAMPLE + " " + options + " --out " +
                              dir.string() + " >/dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return dir;
}

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

TEST(CliNumberAtRisk, TextAndImageOfTheView) {
  const fs::path dir = Outputs("sample", "");
  // The same numbers as the figures section's "at risk" lines; the totals are the pooled group's.
  EXPECT_EQ(ReadFile(dir / "number-at-risk.txt"),
            Utf8(u8"\t  0\t  1\t  2\t  3\t  4\t  5\n"
                 u8"新規治療群 ( n = 96 )  \t  96\t  71\t  54\t  32\t  20\t  16\n"
                 u8"標準治療群 ( n = 111 )  \t 111\t  80\t  49\t  29\t  17\t  9\n"
                 u8"併用療法群 ( n = 60 )  \t  60\t  44\t  32\t  27\t  16\t  7\n"
                 u8"経過観察群 ( n = 40 )  \t  40\t  22\t  14\t  7\t  3\t  2\n"
                 u8" 累計 \t 307\t 217\t 149\t  95\t  56\t  34\n"));
  // A PNG of the window's client area: 1220 x (4 groups + 5) rows less the frame.
  const std::string png = ReadFile(dir / "number-at-risk.png");
  ASSERT_GE(png.size(), 24u);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(png.substr(16, 8), std::string("\0\0\x04\xB4\0\0\x01\x41", 8)) << "1204 x 321";
  fs::remove_all(dir);

  const fs::path longest = Outputs("longest", "--range longest");
  const std::string text = ReadFile(longest / "number-at-risk.txt");
  EXPECT_EQ(text.substr(0, text.find('\n')), "\t  0\t  4\t  8\t  12\t  16\t  20\t  24\t  28\t  32\t  36\t  40");
  fs::remove_all(longest);
}

}  // namespace
