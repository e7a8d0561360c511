// Running the built batch command and reading what it prints and writes.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/data_files.h"
#include "support/test_support.h"

namespace cli {

namespace fs = std::filesystem;

// Names of this process, so that test runs in other build trees at the same time share no file.
inline std::string TempName(const std::string& name) { return "orvantis_cli_" + std::to_string(getpid()) + "_" + name; }
inline std::string TempPath(const std::string& name) { return (fs::temp_directory_path() / TempName(name)).string(); }
inline std::string WriteData(const std::string& name, const std::string& rows) { return orv::test::WriteTempFile(TempName(name), rows); }

inline std::string ReadFile(const fs::path& path) {
  return (std::stringstream() << std::ifstream(path, std::ios::binary).rdbuf()).str();
}

inline std::string Quote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// A text the command wrote once, checked by a reader and kept in tests/cli/golden.
inline std::string GoldenText(const std::string& name) {
  return ReadFile(fs::path(ORVANTIS_SOURCE_DIR) / "tests/cli/golden" / name);
}

// A figure of the JSON output: R's value within a relative tolerance, or NAN where the
// member is null.
struct JsonFigure {
  const char* name;
  const char* pointer;
  double expected, tolerance = 1e-9;
};

inline void ExpectFigures(const nlohmann::ordered_json& doc, const std::vector<JsonFigure>& figures) {
  for (const JsonFigure& f : figures) {
    const nlohmann::ordered_json::json_pointer pointer(f.pointer);
    const nlohmann::ordered_json* value = doc.contains(pointer) ? &doc[pointer] : nullptr;
    if (std::isnan(f.expected)) {
      EXPECT_TRUE(value != nullptr && value->is_null()) << f.name << " " << f.pointer;
    } else if (value == nullptr || !value->is_number()) {
      ADD_FAILURE() << f.name << " " << f.pointer << ": no figure";
    } else {
      EXPECT_NEAR(value->get<double>(), f.expected, f.tolerance * std::abs(f.expected)) << f.name << " " << f.pointer;
    }
  }
}

struct RunResult { int status; std::string out, err; };

// Runs a bash script in which $ORV is the command; a run that hangs ends after 60 seconds
// with status 124.
inline RunResult RunScript(const std::string& script) {
  const std::string out = TempPath("stdout"), err = TempPath("stderr");
  const std::string command = "ORV=" + Quote(ORVANTIS_COMMAND) + " timeout 60 bash -c " + Quote(script) + " >" + Quote(out) +
                              " 2>" + Quote(err);
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(out), ReadFile(err)};
}

inline RunResult Orvantis(const std::vector<std::string>& args) {
  std::string script = "\"$ORV\"";
  for (const std::string& a : args) script += " " + Quote(a);
  return RunScript(script);
}

// Standard output of a run that succeeds.
inline std::string Succeeding(const std::vector<std::string>& args) {
  const RunResult r = Orvantis(args);
  EXPECT_EQ(r.status, 0) << r.err;
  return r.out;
}

}  // namespace cli
