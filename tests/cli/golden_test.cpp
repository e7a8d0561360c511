// The batch command's output against goldens saved from an earlier build: the text byte for
// byte (sections added since may follow it), and the JSON value for value (every field of
// the golden present with the same type and number; fields added since are allowed).
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/cli_run.h"

namespace cli {
namespace {

using json = nlohmann::ordered_json;

const std::string kSample = "examples/data-sample.csv";
const std::string kGenerated = "tests/cli/golden/generated-300.csv";

std::string Golden(const char* name) { return RunScript("gzip -dc " + Quote(std::string("tests/cli/golden/") + name)).out; }

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

TEST(Golden, OutputsHoldTheirGoldens) {
  const std::vector<std::pair<std::vector<std::string>, const char*>> cases = {
      {{kSample, "--json"}, "sample.json.gz"},
      // One shown group (no tests) and two range commands.
      {{kSample, "--json", "--hide", "1", "--hide", "2", "--hide", "3", "--range", "10y", "--range", "-1y"},
       "sample-one-group.json.gz"},
      // 20 groups, the last one the overflow group.
      {{kGenerated, "--json"}, "generated-300.json.gz"},
      {{kSample}, "sample.txt.gz"},
      // 20 groups with a censored cause and the longest range.
      {{kGenerated, "--censor", "\xE5\xBF\x83\xE7\x96\xBE\xE6\x82\xA3", "--range", "longest"}, "generated-300-censored.txt.gz"},
  };
  // Run in the source tree: the report's first line is the path as given, as when the goldens were made.
  fs::current_path(ORVANTIS_SOURCE_DIR);
  for (const auto& [args, name] : cases) {
    SCOPED_TRACE(name);
    const std::string text = Succeeding(args), golden = Golden(name);
    if (!std::string_view(name).ends_with(".json.gz")) {
      // The text byte for byte; sections added since stand after the golden's last one, after
      // an empty line.
      EXPECT_TRUE(text.compare(0, golden.size(), golden) == 0);
      EXPECT_TRUE(text.size() == golden.size() || text[golden.size()] == '\n');
      continue;
    }
    const json actual = json::parse(text, nullptr, false);
    ASSERT_FALSE(actual.is_discarded()) << "not JSON";
    // Catches a change of layout, escaping or number text that leaves the value alone.
    EXPECT_TRUE(text == actual.dump(2) + "\n") << "not laid out as dump(2)";
    int failures = 0;
    ExpectHolds(json::parse(golden), actual, name, failures);
    EXPECT_EQ(failures, 0);
  }
}

}  // namespace
}  // namespace cli
