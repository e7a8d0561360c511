// Start-up values of the whole workspace.
#include "session/workspace.h"

namespace orv {

Workspace::Workspace() { InitLineStyles(styles); }

}  // namespace orv
