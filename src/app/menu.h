// The main menu of the program.
#pragma once

#include "app/win32.h"

namespace orv::app {

// The menu bar and its five popups, built by inserting every item at position 0 from the
// last to the first, so that each menu reads in the order of its table.
HMENU BuildMainMenu();
// The figure window's bar: save, copy, print and the choice of the incidence figure.
HMENU BuildFigureMenu();

}  // namespace orv::app
