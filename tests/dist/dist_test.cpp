// Tests of the unpacked release package under Wine: the read-me, the program started from
// the package with the sample, and the help opened from the program's menu.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/app_ids.h"
#include "app/test_hooks.h"
#include "help_storage.h"

namespace orv::dist {
namespace {

// The test runs in the folder the package was unpacked into.
constexpr DWORD kTimeoutMs = 30000;

// A started process, ended at the end of the test if it is still running.
struct Process {
  HANDLE handle = nullptr;
  DWORD pid = 0;
  ~Process() {
    if (!handle) return;
    if (WaitForSingleObject(handle, 0) == WAIT_TIMEOUT) TerminateProcess(handle, 1);
    CloseHandle(handle);
  }
};

// A visible top-level window of the class, of the process pid or of any but notPid when pid is 0.
HWND Find(const char* className, DWORD pid, DWORD notPid = 0) {
  struct Search { const char* cls; DWORD pid, notPid; HWND found; } s{className, pid, notPid, nullptr};
  const WNDENUMPROC match = [](HWND hwnd, LPARAM param) -> BOOL {
    auto& search = *reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    const bool found = (search.pid == 0 || owner == search.pid) && owner != search.notPid &&
                       lstrcmpA(cls, search.cls) == 0 && IsWindowVisible(hwnd);
    if (found) search.found = hwnd;
    return !found;
  };
  EnumWindows(match, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

std::string CaptionOf(HWND hwnd) {
  char text[512] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

// Polls `done` until it holds, confirming the message boxes of process pid met on the way and
// keeping their captions.
template <typename Done>
bool WaitFor(DWORD pid, std::vector<std::string>& boxes, Done done) {
  for (DWORD waited = 0; waited < kTimeoutMs; waited += 100, Sleep(100)) {
    if (done()) return true;
    if (HWND box = Find("#32770", pid)) {
      boxes.push_back(CaptionOf(box));
      SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    }
  }
  return false;
}

// Closes the window and returns the exit code of its process, -1 when it does not end.
long CloseAndWait(HWND window, HANDLE process) {
  DWORD code = 0;
  PostMessageA(window, WM_CLOSE, 0, 0);
  if (!process || WaitForSingleObject(process, 15000) != WAIT_OBJECT_0 || !GetExitCodeProcess(process, &code)) return -1;
  return static_cast<long>(code);
}

TEST(ReleasePackage, ReadMeIsShiftJisWithCrLf) {
  std::ifstream in("README-ja.txt", std::ios::binary);
  const std::string readMe{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string bare = readMe;
  for (std::size_t at; (at = bare.find("\r\n")) != std::string::npos;) bare.erase(at, 2);
  EXPECT_EQ(bare.find_first_of("\r\n"), std::string::npos) << "every line ends with CR LF";
  // The four fields in code page 932 (a character that it cannot hold fails the build).
  EXPECT_NE(readMe.find("群名,生存日数,転帰,死因"), std::string::npos) << "the four fields, in code page 932";
}

// The program started from the package with the sample: the load goes through (its warning
// about the over-long row of the sample answered); the program is the released one, which
// answers none of the messages through which the GUI tests drive their build of it; and its
// help opens from the menu.
TEST(ReleasePackage, RunsTheSampleAnswersNoTestHookAndOpensItsHelp) {
  STARTUPINFOA si{sizeof si};
  PROCESS_INFORMATION info{};
  char line[] = "Orvantis.exe data-sample.csv";
  ASSERT_TRUE(CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info));
  CloseHandle(info.hThread);
  Process program{info.hProcess, info.dwProcessId};
  std::vector<std::string> boxes;
  HWND main = nullptr;
  ASSERT_TRUE(WaitFor(program.pid, boxes, [&] { return (main = Find("NORMAL0", program.pid)) != nullptr; }));
  EXPECT_TRUE(WaitFor(program.pid, boxes, [&] { return !boxes.empty(); }));
  EXPECT_EQ(boxes, std::vector<std::string>{"データの確認！"}) << "the sample holds one row beyond 40 years";

  // A pixel of the graph bitmap: the test build gives its colour. The hooks are linked in or
  // left out together, so one unanswered is enough.
  std::int32_t xy[2] = {5, 5};
  COPYDATASTRUCT pixel{orv::app::kCopyDataGraphPixel, sizeof xy, xy};
  EXPECT_EQ(SendMessageA(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&pixel)), 0);

  PostMessageA(main, WM_COMMAND, orv::app::kCmdHelp, 0);
  // The shell hands the help file of the program's folder to the help viewer, a process of
  // its own (its pages are checked in test_help).
  HWND viewer = nullptr;
  ASSERT_TRUE(WaitFor(program.pid, boxes, [&] { return (viewer = Find("HH Parent", 0, program.pid)) != nullptr; }))
      << "no help viewer appeared";
  // The viewer shares the test's output: it must not outlive the test, or the run waits for it.
  Process viewerProcess;
  GetWindowThreadProcessId(viewer, &viewerProcess.pid);
  viewerProcess.handle = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                     viewerProcess.pid);
  EXPECT_EQ(CaptionOf(viewer), "Orvantis ヘルプ");
  EXPECT_EQ(boxes.size(), 1u) << "no box since the load's";
  EXPECT_NE(CloseAndWait(viewer, viewerProcess.handle), -1) << "the viewer did not close";
  EXPECT_EQ(CloseAndWait(main, program.handle), 0);
}

}  // namespace
}  // namespace orv::dist
