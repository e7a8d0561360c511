// The figure window's settings kept in the program's settings file (the program's path with
// ".ini" for its last four bytes), section [figure], so that a restart draws the figure as the
// user left it. The seven keys of the settings table stay as they are.
#pragma once

#include <string>

#include "graph/publication_figure.h"

namespace orv::app {

std::string ProgramSettingsPath();

// The settings the file holds; a key missing or not understood keeps its default.
FigureSettings ReadFigureSettings(const std::string& path);
// False when the file could not be written.
bool WriteFigureSettings(const std::string& path, const FigureSettings& settings);

}  // namespace orv::app
