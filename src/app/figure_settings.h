// The figure window's settings kept in the user's registry key of the program (values of
// Software\Orvantis\Figure), so that a restart draws the figure as the user left it. The
// settings file beside the program stays unread and unwritten, as every other setting.
#pragma once

#include <string>

#include "graph/publication_figure.h"

namespace orv::app {

inline constexpr char kFigureSettingsKey[] = "Software\\Orvantis\\Figure";

// The settings kept; a value missing or not understood keeps its default.
FigureSettings ReadFigureSettings();
// False when they could not be kept.
bool WriteFigureSettings(const FigureSettings& settings);

}  // namespace orv::app
