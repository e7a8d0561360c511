// The adjusted analyses of the batch command: the JSON members model and competingRisks.adjusted,
// and the forest plot of --out (forest.pdf, .svg and .png).
#pragma once

#include <string>

#include "cli/json_writer.h"
#include "session/workspace.h"

namespace orv::cli {

// The value of model: null when no model was fitted (nothing asked and fewer than two groups
// shown). Its terms in the order of the model's table rows, the reference rows included.
void WriteModelJson(JsonWriter& json, const Workspace& ws);
// The value of covariates: the file's covariate columns (name, type, levels, missing values),
// the limit refused and the loader's note; null when its rows have no field after the fourth.
void WriteCovariatesJson(JsonWriter& json, const Workspace& ws);
// The value of competingRisks.adjusted: null without the adjusted Fine-Gray model.
void WriteAdjustedFineGrayJson(JsonWriter& json, const Workspace& ws);

// forest.pdf, forest.svg and forest.png into `dir` when a model was fitted with a term to
// show. Empty on success, else the error line.
std::string WriteForestFiles(const Workspace& ws, const std::string& dir);

}  // namespace orv::cli
