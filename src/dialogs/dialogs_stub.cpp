// Placeholder setting windows until the real ones exist (delete this file then).
#include "dialogs/dialogs.h"

namespace orv {

void RegisterDialogClass(HINSTANCE, HBRUSH) {}
int RunModalWindow(DialogContext&, HWND, const char*) { return 0; }
void EndModalWindow(HWND, int) {}
void ChooseGroups(DialogContext&, bool) {}
void ChooseCensoredCauses(DialogContext&) {}

}  // namespace orv
