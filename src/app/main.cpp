// Entry of the Windows program Orvantis.exe.
#include "app/win32.h"

#include "app/program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  int code = 0;
  {
    orv::app::Program program(instance);
    code = program.Run();
  }
  ExitProcess(static_cast<UINT>(code));
}
