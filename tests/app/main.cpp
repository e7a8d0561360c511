// The GUI tests: test_gui ORVANTIS_EXE SAMPLE_CSV [gtest options].
#include "app/win32.h"

#include <gtest/gtest.h>

#include <string>

#include "gui_driver.h"

namespace {

// Wine hands the test the build's own paths; the program needs them as Windows paths.
std::string WindowsPath(const char* path) {
  if (path[0] != '/') {
    char full[MAX_PATH] = {};
    DWORD n = GetFullPathNameA(path, MAX_PATH, full, nullptr);
    return n > 0 && n < MAX_PATH ? std::string(full) : std::string(path);
  }
  using ToDos = WCHAR*(CDECL*)(const char*);
  auto toDos = reinterpret_cast<ToDos>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
  if (!toDos) return path;
  WCHAR* wide = toDos(path);
  if (!wide) return path;
  char out[MAX_PATH * 2] = {};
  WideCharToMultiByte(CP_ACP, 0, wide, -1, out, sizeof out, nullptr, nullptr);
  HeapFree(GetProcessHeap(), 0, wide);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: test_gui ORVANTIS_EXE SAMPLE_CSV\n");
    return 2;
  }
  orv::guitest::SetPaths(WindowsPath(argv[1]), WindowsPath(argv[2]));
  return RUN_ALL_TESTS();
}
