// The released program answers no test hook: every such message goes to the platform.
#include "app/program.h"

namespace orv::app {

LRESULT Program::OnTestHook(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

}  // namespace orv::app
