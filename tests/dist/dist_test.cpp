// Tests of the unpacked release package under Wine: the read-me, the program started from
// the package with the sample, and the help opened from the program's menu.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

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

// A window of the class: top-level (of the process pid, or of any but notPid when pid is 0),
// or a child of `parent`; visible only when asked.
HWND Find(const char* className, DWORD pid, DWORD notPid = 0, bool visibleOnly = true, HWND parent = nullptr) {
  struct Search { const char* cls; DWORD pid, notPid; bool visibleOnly; HWND found; } s{className, pid, notPid, visibleOnly, nullptr};
  const WNDENUMPROC match = [](HWND hwnd, LPARAM param) -> BOOL {
    auto& search = *reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    const bool found = (search.pid == 0 || owner == search.pid) && owner != search.notPid &&
                       lstrcmpA(cls, search.cls) == 0 && (!search.visibleOnly || IsWindowVisible(hwnd));
    if (found) search.found = hwnd;
    return !found;
  };
  if (parent) EnumChildWindows(parent, match, reinterpret_cast<LPARAM>(&s));
  else EnumWindows(match, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

std::string CaptionOf(HWND hwnd) {
  char text[512] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

// Polls `done` until it holds, confirming the message boxes of process pid (none when 0) met
// on the way and keeping their captions.
template <typename Done>
bool WaitFor(DWORD pid, std::vector<std::string>& boxes, Done done) {
  for (DWORD waited = 0; waited < kTimeoutMs; waited += 100, Sleep(100)) {
    if (done()) return true;
    if (HWND box = pid ? Find("#32770", pid) : nullptr) {
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
  ASSERT_FALSE(readMe.empty());
  EXPECT_TRUE(IsShiftJis(readMe));
  std::string bare = readMe;
  for (std::size_t at; (at = bare.find("\r\n")) != std::string::npos;) bare.erase(at, 2);
  EXPECT_EQ(bare.find_first_of("\r\n"), std::string::npos) << "every line ends with CR LF";
  struct Case { const char* what; const char* text; };
  const Case cases[] = {
      {"what it is", "Kaplan-Meier"},
      {"how to start", "Orvantis.exe をダブルクリック"},
      {"the sample", "data-sample.csv"},
      {"the four fields", "群名,生存日数,転帰,死因"},
      {"comment lines", "アポストロフィ（'）"},
      {"the help file", "「ＨＥＬＰ」→「Help」で Orvantis.chm"},
  };
  for (const Case& c : cases) EXPECT_NE(readMe.find(c.text), std::string::npos) << c.what;
}

// The program started from the package with the sample: the load goes through (its warning
// about the over-long row of the sample answered); the program is the released one, which
// answers none of the messages through which the GUI tests drive their build of it (the same
// messages do answer there, see test_gui); and its help opens from the menu.
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
  // The report window exists hidden from the start; its control holds the loaded report
  // once the load is through.
  EXPECT_TRUE(WaitFor(program.pid, boxes, [&] {
    HWND control = GetDlgItem(Find("NORMAL5", program.pid, 0, false), orv::app::kReportControlId);
    // Another process's rich edit control answers an ANSI length query with 0: size the
    // buffer from the Unicode length, then read the bytes in the program's code page.
    std::string report(static_cast<std::size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0)) * 2 + 2, '\0');
    report.resize(static_cast<std::size_t>(SendMessageA(control, WM_GETTEXT, report.size(), reinterpret_cast<LPARAM>(report.data()))));
    return report.find(" ---.--- END ---.--- ") != std::string::npos;
  }));
  EXPECT_EQ(boxes, std::vector<std::string>{"データの確認！"}) << "the sample holds one row beyond 40 years";

  // A pixel of the graph bitmap: the test build gives its colour.
  std::int32_t xy[2] = {5, 5};
  COPYDATASTRUCT pixel{orv::app::kCopyDataGraphPixel, sizeof xy, xy};
  EXPECT_EQ(SendMessageA(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&pixel)), 0);
  // A drop of the sample: the test build loads it, names it in the title and warns again.
  char path[] = "data-sample.csv";
  COPYDATASTRUCT drop{orv::app::kCopyDataDrop, sizeof path, path};
  EXPECT_EQ(SendMessageA(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&drop)), 0);
  // A ping: the test build posts a pong back to the window named, once it has handled what
  // was posted before; a message sent after the ping and answered leaves time for that.
  HWND pong = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  PostMessageA(main, orv::app::kPing, 1, reinterpret_cast<LPARAM>(pong));
  DWORD_PTR result = 0;
  EXPECT_TRUE(SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result));
  Sleep(500);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, pong, orv::app::kPong, orv::app::kPong, PM_REMOVE)) << "a pong came back";
  DestroyWindow(pong);
  EXPECT_EQ(CaptionOf(main), "Orvantis") << "a file from the command line leaves the title, and no drop loaded";
  EXPECT_EQ(Find("#32770", program.pid), nullptr);

  PostMessageA(main, WM_COMMAND, orv::app::kCmdHelp, 0);
  // The shell hands the help file of the program's folder to the help viewer, a process of
  // its own; its contents tree lists the fifteen entries of the table of contents.
  HWND viewer = nullptr;
  ASSERT_TRUE(WaitFor(program.pid, boxes, [&] { return (viewer = Find("HH Parent", 0, program.pid)) != nullptr; }))
      << "no help viewer appeared";
  // The viewer shares the test's output: it must not outlive the test, or the run waits for it.
  Process viewerProcess;
  GetWindowThreadProcessId(viewer, &viewerProcess.pid);
  viewerProcess.handle = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                     viewerProcess.pid);
  EXPECT_EQ(CaptionOf(viewer), "Orvantis ヘルプ");
  // The contents pane is filled after the frame shows.
  HWND tree = nullptr;
  WaitFor(0, boxes, [&] {
    tree = Find("SysTreeView32", 0, 0, false, viewer);
    return tree && SendMessageA(tree, TVM_GETCOUNT, 0, 0) > 0;
  });
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 16);
  EXPECT_EQ(boxes.size(), 1u) << "no box since the load's";
  EXPECT_NE(CloseAndWait(viewer, viewerProcess.handle), -1) << "the viewer did not close";
  EXPECT_EQ(CloseAndWait(main, program.handle), 0);
}

}  // namespace
}  // namespace orv::dist
