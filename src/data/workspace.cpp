// Start-up values of the whole workspace.
#include "data/workspace.h"

namespace orv {

Workspace::Workspace() { InitLineStyles(styles); }

}  // namespace orv
