// Start-up values of the whole workspace.
#include "workspace/workspace.h"

namespace orv {

Workspace::Workspace() { InitLineStyles(styles); }

}  // namespace orv
