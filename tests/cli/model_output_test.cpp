// The adjusted model's outputs against goldens: the text section, model.csv, the JSON member
// and the forest plot's shapes, for the sample with covariates fitted by age, sex and stage,
// with the parts fitted elsewhere (the factors' tests, the stratified log-rank test, the
// subgroups, the adjusted Fine-Gray model) set to given figures, so that every part is shown.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/json_result.h"
#include "cli/json_writer.h"
#include "cli/model_output.h"
#include "cli/options.h"
#include "cli/session.h"
#include "graph/forest_plot.h"
#include "words/paper_text.h"
#include "words/model_text.h"

namespace orv::cli {
namespace {

std::string Golden(const std::string& name) {
  std::ifstream in(std::filesystem::path(ORVANTIS_SOURCE_DIR) / "tests/cli/golden" / name, std::ios::binary);
  return (std::stringstream() << in.rdbuf()).str();
}

// The text with every number within a relative 1e-9 of the golden's and all else byte for
// byte: the CSV and JSON hold every digit of a double, whose last ones differ between an
// optimised and a sanitizer build.
void ExpectDigitsHold(const std::string& text, const std::string& golden) {
  const std::regex number(R"(-?\d+(\.\d+)?(e[-+]?\d+)?)");
  auto a = std::sregex_token_iterator(text.begin(), text.end(), number, {-1, 0});
  auto b = std::sregex_token_iterator(golden.begin(), golden.end(), number, {-1, 0});
  const std::sregex_token_iterator end;
  for (int i = 0; a != end && b != end; ++a, ++b, ++i) {
    const std::string x = *a, y = *b;
    if (i % 2 == 0 || x == y) {
      EXPECT_EQ(x, y);
      continue;
    }
    EXPECT_NEAR(std::stod(x), std::stod(y), 1e-9 * std::abs(std::stod(y))) << x << " against " << y;
  }
  EXPECT_TRUE(a == end && b == end) << "lengths differ";
}

CoxTerm Term(const char* name, double hr, double lower, double upper, double p, bool estimated = true) {
  return {.name = name, .estimated = estimated, .beta = std::log(hr), .se = 0.2, .hr = hr, .lower = lower, .upper = upper, .z = 1.5, .p = p};
}

CoxModel GroupTerms(double a, double b, double c) {
  CoxModel m;
  m.terms = {Term("標準治療群", a, a / 2, a * 2, 0.21), Term("併用療法群", b, b / 3, b * 3, 0.0004), Term("経過観察群", c, 0, 0, 1, false)};
  return m;
}

class ModelOutputs : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string path = ORVANTIS_SOURCE_DIR "/examples/data-sample-covariates.csv";
    std::ifstream in(path, std::ios::binary);
    session_.Load(path, (std::stringstream() << in.rdbuf()).str());
    const auto options = std::get<CliOptions>(ParseOptions({path, "--covariates", "age,stage", "--strata", "sex", "--subgroup", "sex", "--level", "stage=II"}));
    ASSERT_EQ(session_.RunChoices(options), "");
    AdjustedAnalysis& a = session_.ws.run.adjusted;
    ASSERT_TRUE(a.fitted);
    a.factorTests = {{"群", {9.87, 3, 0.0197}, {9.5, 3, 0.0233}}, {"stage", {14.2, 2, 0.00082}, {13.9, 2, 0.00096}}};
    a.stratifiedLogRank = StratifiedLogRank{.chiSquare = 8.25, .df = 3, .p = 0.0411};
    a.fineGray = AdjustedFineGray{.terms = {Term("age", 1.02, 1.01, 1.03, 0.003), Term("stage: III", 2.5, 1.5, 4.2, 0.0006)},
                                  .n = 294, .events = 120, .competing = 38, .dropped = 13, .note = "note line"};
    a.subgroups = Subgroups{.name = "sex",
                            .levels = {{"M", 163, 88, GroupTerms(1.2, 0.8, 2.0)}, {"F", 131, 70, GroupTerms(1.5, 1.1, 1.7)}},
                            .interaction = {4.4, 3, 0.22}};
  }

  std::FILE* err_ = std::tmpfile();
  BatchSession session_{err_};
};

// Catches a row given another's term or cases, the reference rows left out or given an
// estimate, a test's df or p taken from another test, a CSV row one field short, a part left
// out of one output, and a figure written with other decimals.
TEST_F(ModelOutputs, TextCsvAndJsonHoldTheirGoldens) {
  const Workspace& ws = session_.ws;
  EXPECT_EQ(ModelText(ws), Golden("model-section.txt"));
  ExpectDigitsHold(ModelCsv(ws), Golden("model.csv"));
  std::string json;
  {
    OutputStream out(json);
    JsonWriter writer(out);
    writer.BeginObject();
    writer.Key("model");
    WriteModelJson(writer, ws);
    writer.Key("adjusted");
    WriteAdjustedFineGrayJson(writer, ws);
    writer.EndObject();
  }
  ExpectDigitsHold(json, Golden("model.json"));
}

// Catches a sentence of the parts fitted elsewhere left out of the paragraphs, or traced to a
// member the JSON does not have.
TEST_F(ModelOutputs, ParagraphsTraceEveryPartToTheJson) {
  const nlohmann::json result = nlohmann::json::parse(ResultJson(session_));
  std::vector<std::string> modelPaths;
  for (const PaperFigure& f : BuildPaperText(session_.ws.PaperInput()).trace) {
    std::string pointer = "/";
    for (char c : f.jsonPath) {
      if (c != ']') pointer += c == '.' || c == '[' ? '/' : c;
    }
    const nlohmann::json::json_pointer at(pointer);
    EXPECT_TRUE(result.contains(at) && result.at(at).is_number()) << f.jsonPath;
    if (f.language == PaperLanguage::English && f.jsonPath.starts_with("model.") && f.jsonPath.ends_with(".p")) {
      modelPaths.push_back(f.jsonPath);
    }
  }
  EXPECT_EQ(modelPaths, (std::vector<std::string>{"model.tests.likelihoodRatio.p", "model.factorTests[0].likelihoodRatio.p",
                                                  "model.stratifiedLogRank.p", "model.subgroups.interaction.p", "model.terms[0].p",
                                                  "model.terms[1].p", "model.terms[2].p"}));
}

std::string Shapes(const FigureLayout& l) {
  char line[200];
  std::string out;
  std::snprintf(line, sizeof line, "size %.2f %.2f axis %.2f %.2f rows %.2f %.2f\n", l.width, l.height, l.plotLeft, l.plotRight, l.plotTop, l.plotBottom);
  out += line;
  for (const FigureFill& f : l.fills) {
    out += "fill";
    for (const FigurePoint& p : f.points) out += (std::snprintf(line, sizeof line, " %.2f,%.2f", p.x, p.y), line);
    out += "\n";
  }
  for (const FigureLine& f : l.lines) {
    out += (std::snprintf(line, sizeof line, "line style %d width %.1f colour %06x", f.style, f.width, f.colour), line);
    for (const FigurePoint& p : f.points) out += (std::snprintf(line, sizeof line, " %.2f,%.2f", p.x, p.y), line);
    out += "\n";
  }
  for (const FigureText& t : l.texts) {
    out += (std::snprintf(line, sizeof line, "text %.2f,%.2f size %.2f anchor %d ", t.x, t.y, t.size, static_cast<int>(t.anchor)), line);
    out += t.text + "\n";
  }
  return out;
}

// Catches a column placed by another's width, a square off its ratio on the log axis, an
// interval not clipped to the axis, the reference line off 1, a tick dropped or its label's
// decimals changed, a heading given figures, an indent lost, and the figure's height not
// following its rows.
TEST_F(ModelOutputs, ForestPlotShapesHoldTheirGolden) {
  EXPECT_EQ(Shapes(LayoutForestPlot(ForestInputOf(session_.ws), EstimatedTextWidth)), Golden("forest-layout.txt"));
  const struct { const char* name; double lower, upper; std::vector<double> ticks; } axes[] = {
      {"one side of 1", 1.1, 1.9, {1, 2}},
      {"both sides", 0.3, 3.5, {0.2, 0.5, 1, 2, 5}},
      {"wide: the 2s go, then the 5s but at the ends", 0.03, 40, {0.02, 0.1, 1, 10, 50}},
      {"eight: the 2s go", 0.15, 12, {0.1, 0.5, 1, 5, 10, 20}},
      {"wider: the 5s go too", 0.011, 99, {0.01, 0.1, 1, 10, 100}},
      {"beyond the axis's ends", 0.0001, 1e6, {0.01, 0.1, 1, 10, 100}},
  };
  for (const auto& c : axes) EXPECT_EQ(ForestTicks(c.lower, c.upper), c.ticks) << c.name;
}

}  // namespace
}  // namespace orv::cli
