// The adjusted analyses from the command line: each bad choice of a covariate, strata,
// subgroup or level refused with its message before anything is written, and the model's
// member and files present exactly when a model is fitted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/cli_run.h"

namespace cli {
namespace {

const std::string kCovariates = ORVANTIS_SOURCE_DIR "/examples/data-sample-covariates.csv";

std::vector<std::string> Files(const std::string& dir) {
  std::vector<std::string> names;
  if (fs::exists(dir)) {
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  }
  return names;
}

// Catches a name matched in part or in the wrong code page, a continuous column taken as
// strata, a level looked up in another column, and a refusal that leaves files behind.
TEST(CliModel, BadChoicesAreRefusedBeforeAnythingIsWritten) {
  const std::string plain = ORVANTIS_SAMPLE;
  const struct { const char* name; std::string file; std::vector<std::string> args; std::string err; } cases[] = {
      {"unknown covariate", kCovariates, {"--covariates", "age,grade"}, "no covariate 'grade' in the data for --covariates (covariates: age, sex, stage)"},
      {"a name's start is not the name", kCovariates, {"--covariates", "ag"}, "no covariate 'ag' in the data"},
      {"a file without covariates", plain, {"--covariates", "age"}, "no covariate 'age' in the data for --covariates (the file has no covariate columns)"},
      {"an empty name in the list", kCovariates, {"--covariates", "age, ,sex"}, "option '--covariates' needs NAME,NAME,..., not 'age, ,sex'"},
      {"a covariate twice", kCovariates, {"--covariates", "age,sex,age"}, "the covariate 'age' is named twice in --covariates"},
      {"continuous strata", kCovariates, {"--strata", "age"}, "the covariate 'age' of --strata is continuous; it needs a categorical one"},
      {"strata also a covariate", kCovariates, {"--covariates", "stage", "--strata", "stage"}, "the covariate 'stage' cannot be both a covariate and the strata"},
      {"continuous subgroup", kCovariates, {"--subgroup", "age"}, "the covariate 'age' of --subgroup is continuous"},
      {"unknown subgroup", kCovariates, {"--subgroup", "centre"}, "no covariate 'centre' in the data for --subgroup"},
      {"unknown level", kCovariates, {"--covariates", "stage", "--level", "stage=IV"}, "no level 'IV' of the covariate 'stage' (levels: I, II, III)"},
      {"a level of another column", kCovariates, {"--covariates", "sex,stage", "--level", "sex=III"}, "no level 'III' of the covariate 'sex' (levels: M, F)"},
      {"level of a column not chosen", kCovariates, {"--covariates", "age", "--level", "sex=F"}, "the covariate 'sex' of --level is not among --covariates"},
      {"level without its reference", kCovariates, {"--level", "stage"}, "option '--level' needs NAME=REF, not 'stage'"},
      {"strata without a name", kCovariates, {"--strata="}, "option '--strata' needs a covariate's name"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string dir = TempPath("model_bad");
    fs::remove_all(dir);
    std::vector<std::string> args = {c.file, "--out", dir};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const RunResult r = Orvantis(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("orvantis: " + c.err), std::string::npos) << r.err;
    EXPECT_EQ(Files(dir), std::vector<std::string>{});
    fs::remove_all(dir);
  }
}

// Catches the file's columns reported only when a model is asked for, the member written as an
// object with nothing fitted (or null with a model asked
// for one group), the reference level not applied, the request forgotten by a reload for a
// censored cause, and model.csv or the forest plot written without a model.
TEST(CliModel, ModelMemberAndFilesFollowTheRequest) {
  const std::vector<std::string> oneGroup = {"--hide", "2", "--hide", "3", "--hide", "4"};
  const struct { const char* name; std::vector<std::string> args; std::vector<std::string> terms; } cases[] = {
      {"no covariates: the groups alone", {}, {U8(u8"標準治療群"), U8(u8"併用療法群"), U8(u8"経過観察群")}},
      {"one group, nothing asked: null", oneGroup, {}},
      {"one group with a covariate: the covariate alone", {"--hide", "2", "--hide", "3", "--hide", "4", "--covariates", "stage"}, {"stage: II", "stage: III"}},
      {"a chosen reference level, kept through the reload of a censored cause",
       {"--covariates", "stage", "--level", "stage=III", "--censor", U8(u8"他病死")},
       {U8(u8"標準治療群"), U8(u8"併用療法群"), U8(u8"経過観察群"), "stage: I", "stage: II"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string dir = TempPath("model_out");
    fs::remove_all(dir);
    std::vector<std::string> args = {kCovariates, "--json", "--out", dir};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const nlohmann::json result = nlohmann::json::parse(Succeeding(args));
    const nlohmann::json& model = result["model"];
    std::vector<std::string> terms;
    if (!model.is_null()) {
      for (const auto& t : model["terms"]) terms.push_back(t["name"]);
    }
    // The file's columns whatever is asked: stage's levels in order of first appearance.
    EXPECT_EQ(result["covariates"]["columns"][2]["levels"], nlohmann::json({"I", "II", "III"}));
    EXPECT_EQ(result["covariates"]["columns"][2]["missing"], 8);
    EXPECT_EQ(model.is_null(), c.terms.empty());
    EXPECT_EQ(terms, c.terms);
    for (const char* name : {"model.csv", "forest.pdf", "forest.svg", "forest.png"}) {
      EXPECT_EQ(fs::exists(fs::path(dir) / name), !c.terms.empty()) << name;
    }
    fs::remove_all(dir);
  }
}

}  // namespace
}  // namespace cli
