// The user's commands after a load, each written once for the Windows program and the batch
// command: the X range, the shown groups, the censored causes and a group's line.
#pragma once

#include <string>
#include <vector>

#include "data/case_data.h"
#include "data/group_set.h"
#include "platform/colour.h"
#include "platform/surfaces.h"
#include "session/paper_choices.h"
#include "session/workspace.h"

namespace orv {

enum class RangeCommand { FiveYears, TenYears, PlusOneYear, PlusFiveYears, MinusOneYear, MinusFiveYears, Longest };

// Whether the command changes the range: a step down that would leave less than one year
// does nothing.
bool RangeCommandApplies(const Workspace& ws, RangeCommand command);
// One X range command of the menu, then the analysis run; false when it does not apply.
bool ApplyRange(Workspace& ws, Surfaces& surfaces, RangeCommand command);

// The group selection's OK: the analysis run again when a group 1..20 changed, presented with
// the curves over the axis's range; a change of group 0's flag alone (it is built from the
// others) draws the graph and the views again.
void SetShownGroups(Workspace& ws, Surfaces& surfaces, const GroupSet& shown);

// The censored-case selection's OK: the flags of causes 1..NumCauses stored. True when one
// changed: the causes are classified while loading, so the shown file must be loaded again.
bool SetCensoredCauses(Workspace& ws, const CauseFlags& censored);
// The same, then, when a flag changed, the shown file loaded again into the surfaces given:
// its bytes when the caller kept them (a pipe reads once), else the file at shownPath. Nothing
// is loaded while no file is shown. True when it loaded.
bool CensorAndReload(Workspace& ws, Surfaces& surfaces, const CauseFlags& censored, const std::string& shownPath,
                     const std::string* bytes = nullptr);

// A data file other than the shown one is about to be loaded: the choices made for the shown
// file (its censored causes, the reference group, the paragraphs' unit and labels) do not carry
// over to it.
void StartNewFile(Workspace& ws);

// The reference group's choice: group g (1..NumGroups; 0 for the first shown group) becomes
// the reference of the hazard ratios, and the reviewer's figures are computed again. A
// hidden group stands as the choice; the first shown group is used while it is hidden.
void SetReferenceGroup(Workspace& ws, int g);
// The same, then the texts of the interval and paper windows written again with the new ratios.
void SetReferenceGroup(Workspace& ws, Surfaces& surfaces, int g);

// The paragraphs' time unit and English labels (the program's window, or a file's remembered
// choices): set, and the paper's text written again; the figures read them when next drawn.
void SetPaperChoices(Workspace& ws, Surfaces& surfaces, const PaperChoices& choices);
// The covariate window's OK: the adjusted analyses asked for with the request, the run made
// again over the last run's window and every output presented once. Nothing runs before a load.
void SetModel(Workspace& ws, Surfaces& surfaces, const ModelRequest& request);
// The names of the file's covariate columns, in order: what a kept request is matched by.
std::vector<std::string> CovariateNames(const Covariates& covariates);
// Whether every column of the request is one of the file's, of the kind it is used as (the
// strata and the subgroup categorical), with each reference level among the column's levels.
bool ModelRequestFits(const ModelRequest& request, const Covariates& covariates);

// The graph settings' OK: group g's line style, width and pen, then the graph and every view.
void SetGroupLine(Workspace& ws, Surfaces& surfaces, int g, int style, int width, Rgb colour);

}  // namespace orv
