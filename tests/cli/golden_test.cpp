// The batch command's output against goldens saved from an earlier build: the text byte for
// byte (sections added since may follow it), and the JSON value for value (every field of
// the golden present with the same type and number; fields added since are allowed).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace {

using json = nlohmann::ordered_json;

const std::string kSample = "examples/data-sample.csv";
const std::string kGenerated = "tests/cli/golden/generated-300.csv";

std::string Quote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Standard output of a shell command run in the source tree (the report's first line is the
// path as given, as when the goldens were made); a failing command fails the test.
std::string Capture(const std::string& command) {
  std::string out;
  std::FILE* pipe = popen(("cd " + Quote(ORVANTIS_SOURCE_DIR) + " && " + command + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[65536];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int raw = pclose(pipe);
  EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << command;
  return out;
}

std::string Golden(const char* name) { return Capture("gzip -dc " + Quote(std::string("tests/cli/golden/") + name)); }

std::string Orvantis(const std::vector<std::string>& args) {
  std::string command = ORVANTIS_COMMAND;
  for (const std::string& a : args) command += " " + Quote(a);
  return Capture(command);
}

// Adds a failure for every field of `golden` that `actual` lacks or holds otherwise. Integers
// compare whatever their sign type; a float never equals an integer ("1" is not "1.0").
void ExpectHolds(const json& golden, const json& actual, const std::string& where, int& failures) {
  auto fail = [&](const std::string& what) {
    if (++failures <= 20) ADD_FAILURE() << where << ": " << what.substr(0, 300);
  };
  const bool integers = golden.is_number_integer() && actual.is_number_integer();
  if (!integers && golden.type() != actual.type()) return fail("golden " + golden.dump() + ", now " + actual.dump());
  if (golden.is_object()) {
    for (const auto& [key, value] : golden.items()) {
      actual.contains(key) ? ExpectHolds(value, actual[key], where + "." + key, failures) : fail("no field " + key);
    }
  } else if (golden.is_array()) {
    if (golden.size() != actual.size()) return fail("length now " + std::to_string(actual.size()));
    for (std::size_t i = 0; i < golden.size(); ++i) {
      ExpectHolds(golden[i], actual[i], where + "[" + std::to_string(i) + "]", failures);
    }
  } else if (integers ? golden.get<std::int64_t>() != actual.get<std::int64_t>() : golden != actual) {
    fail("golden " + golden.dump() + ", now " + actual.dump());
  }
}

TEST(Golden, JsonHoldsEveryFieldOfTheGolden) {
  const std::vector<std::pair<std::vector<std::string>, const char*>> cases = {
      {{kSample, "--json"}, "sample.json.gz"},
      // One shown group (no tests) and two range commands.
      {{kSample, "--json", "--hide", "1", "--hide", "2", "--hide", "3", "--range", "10y", "--range", "-1y"},
       "sample-one-group.json.gz"},
      // 20 groups, the last one the overflow group.
      {{kGenerated, "--json"}, "generated-300.json.gz"},
  };
  for (const auto& [args, golden] : cases) {
    const std::string text = Orvantis(args);
    const json actual = json::parse(text, nullptr, false);
    ASSERT_FALSE(actual.is_discarded()) << golden << ": not JSON";
    // Catches a change of layout, escaping or number text that leaves the value alone.
    EXPECT_TRUE(text == actual.dump(2) + "\n") << golden << ": not laid out as dump(2)";
    int failures = 0;
    ExpectHolds(json::parse(Golden(golden)), actual, golden, failures);
    EXPECT_EQ(failures, 0) << golden;
  }
}

TEST(Golden, TextStartsWithTheGoldenByteForByte) {
  const std::vector<std::pair<std::vector<std::string>, const char*>> cases = {
      {{kSample}, "sample.txt.gz"},
      // 20 groups with a censored cause and the longest range.
      {{kGenerated, "--censor", "\xE5\xBF\x83\xE7\x96\xBE\xE6\x82\xA3", "--range", "longest"},
       "generated-300-censored.txt.gz"},
  };
  for (const auto& [args, name] : cases) {
    const std::string text = Orvantis(args);
    const std::string golden = Golden(name);
    // Sections added since stand after the golden's last one, after an empty line.
    EXPECT_TRUE(text.compare(0, golden.size(), golden) == 0) << name;
    EXPECT_TRUE(text.size() == golden.size() || text[golden.size()] == '\n') << name;
  }
}

}  // namespace
