// The main menu of the program.
#pragma once

#include "app/win32.h"

namespace orv::app {

// The menu bar and its five popups, built by inserting every item at position 0 from the
// last to the first, so that each menu reads in the order of its table.
HMENU BuildMainMenu();
// The figure window's bar: save, copy, print, the choice of the incidence figure and the
// figure's settings.
HMENU BuildFigureMenu();

}  // namespace orv::app
