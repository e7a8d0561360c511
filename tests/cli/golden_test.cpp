// The batch command's output against goldens saved from an earlier build: the text byte for
// byte (sections added since may follow it), and the JSON value for value (every field of
// the golden present with the same type and the same number; fields added since are
// allowed).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

// The report's first line is the path as given, so the command runs in the source tree with
// the paths the goldens were made with.
const fs::path kSourceDir = ORVANTIS_SOURCE_DIR;
const std::string kSample = "examples/data-sample.csv";
const std::string kGenerated = "tests/cli/golden/generated-300.csv";

std::string Quote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Standard output of a shell command; the exit status goes to `status`.
std::string Capture(const std::string& command, int& status) {
  std::string out;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[65536];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int raw = pclose(pipe);
  status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return out;
}

std::string Golden(const std::string& name) {
  int status = -1;
  std::string text = Capture("gzip -dc " + Quote((kSourceDir / "tests/cli/golden" / name).string()), status);
  EXPECT_EQ(status, 0) << name;
  return text;
}

std::string Orvantis(const std::vector<std::string>& args) {
  std::string command = "cd " + Quote(kSourceDir.string()) + " && " + ORVANTIS_COMMAND;
  for (const std::string& a : args) command += " " + Quote(a);
  int status = -1;
  std::string out = Capture(command + " 2>/dev/null", status);
  EXPECT_EQ(status, 0) << command;
  return out;
}

// Integers compare as integers whatever their sign type; a float never equals an integer,
// since "1" and "1.0" are different texts of the result.
bool SameKind(const json& a, const json& b) {
  if (a.is_number_integer() && b.is_number_integer()) return true;
  return a.type() == b.type();
}

// Adds a failure for every field of `golden` that `actual` lacks or holds otherwise.
void ExpectHolds(const json& golden, const json& actual, const std::string& where, int& failures) {
  auto fail = [&](const std::string& what) {
    if (++failures <= 20) ADD_FAILURE() << where << ": " << what.substr(0, 300);
  };
  if (!SameKind(golden, actual)) return fail("golden " + golden.dump() + ", now " + actual.dump());
  if (golden.is_object()) {
    for (const auto& [key, value] : golden.items()) {
      if (!actual.contains(key)) {
        fail("field missing: " + key);
        continue;
      }
      ExpectHolds(value, actual[key], where + "." + key, failures);
    }
  } else if (golden.is_array()) {
    if (golden.size() != actual.size()) {
      return fail("length " + std::to_string(golden.size()) + ", now " + std::to_string(actual.size()));
    }
    for (std::size_t i = 0; i < golden.size(); ++i) {
      ExpectHolds(golden[i], actual[i], where + "[" + std::to_string(i) + "]", failures);
    }
  } else if (golden.is_number_integer()) {
    if (golden.get<std::int64_t>() != actual.get<std::int64_t>()) fail(golden.dump() + " != " + actual.dump());
  } else if (golden != actual) {
    fail("golden " + golden.dump() + ", now " + actual.dump());
  }
}

TEST(Golden, JsonHoldsEveryFieldOfTheGolden) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    const char* golden;
  };
  const Case cases[] = {
      {"the sample", {kSample, "--json"}, "sample.json.gz"},
      {"the sample with one shown group (no tests) and two range commands",
       {kSample, "--json", "--hide", "1", "--hide", "2", "--hide", "3", "--range", "10y", "--range", "-1y"},
       "sample-one-group.json.gz"},
      {"20 groups, the last one the overflow group", {kGenerated, "--json"}, "generated-300.json.gz"},
  };
  for (const Case& c : cases) {
    const json golden = json::parse(Golden(c.golden));
    const json actual = json::parse(Orvantis(c.args), nullptr, false);
    ASSERT_FALSE(actual.is_discarded()) << c.name << ": not JSON";
    int failures = 0;
    ExpectHolds(golden, actual, c.name, failures);
    EXPECT_EQ(failures, 0) << c.name;
  }
}

TEST(Golden, TextStartsWithTheGoldenByteForByte) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    const char* golden;
  };
  const Case cases[] = {
      {"the sample", {kSample}, "sample.txt.gz"},
      {"20 groups with a censored cause and the longest range",
       {kGenerated, "--censor", "\xE5\xBF\x83\xE7\x96\xBE\xE6\x82\xA3", "--range", "longest"},
       "generated-300-censored.txt.gz"},
  };
  for (const Case& c : cases) {
    const std::string text = Orvantis(c.args);
    const std::string golden = Golden(c.golden);
    // Sections added since stand after the golden's last one, after an empty line.
    EXPECT_TRUE(text.compare(0, golden.size(), golden) == 0) << c.name;
    EXPECT_TRUE(text.size() == golden.size() || text[golden.size()] == '\n') << c.name;
  }
}

}  // namespace
