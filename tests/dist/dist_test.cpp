// Tests of the unpacked release package under Wine: the read-me, the program started from
// the package with the sample, and the help opened from the program's menu.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/app_ids.h"
#include "help_storage.h"

namespace orv::dist {
namespace {

// The test runs in the folder the package was unpacked into.
constexpr DWORD kStartTimeoutMs = 30000;

struct Started {
  PROCESS_INFORMATION info{};
  ~Started() {
    if (info.hProcess) {
      if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 1);
      CloseHandle(info.hProcess);
      if (info.hThread) CloseHandle(info.hThread);
    }
  }
};

bool Start(const std::string& commandLine, Started& started) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  std::string line = commandLine;
  return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &started.info) != 0;
}

struct Search {
  DWORD pid = 0;         // 0: any process
  DWORD notPid = 0;      // a process to leave out
  const char* className;
  bool visibleOnly = true;
  HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param) {
  auto& s = *reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if ((s.pid == 0 || pid == s.pid) && pid != s.notPid && lstrcmpA(cls, s.className) == 0 &&
      (!s.visibleOnly || IsWindowVisible(hwnd))) {
    s.found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND FindTopLevel(Search s) {
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND FindChild(HWND parent, const char* className) {
  Search s{0, 0, className, false};
  EnumChildWindows(parent, MatchWindow, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

std::string TextOf(HWND hwnd) {
  // Another process's rich edit control answers an ANSI length query with 0: size the buffer
  // from the Unicode length, then read the bytes in the program's code page.
  const auto units = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
  std::string text(static_cast<std::size_t>(units) * 2 + 2, '\0');
  const auto got = SendMessageA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(got));
  return text;
}

std::string CaptionOf(HWND hwnd) {
  char text[512] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

// Waits for a visible top-level window of the class; the program's message boxes met on the
// way are confirmed and their captions kept.
HWND WaitForWindow(Search s, DWORD pidOfBoxes, std::vector<std::string>& boxCaptions) {
  for (DWORD waited = 0; waited < kStartTimeoutMs; waited += 100) {
    if (HWND hwnd = FindTopLevel(s)) return hwnd;
    if (pidOfBoxes) {
      if (HWND box = FindTopLevel({pidOfBoxes, 0, "#32770"})) {
        boxCaptions.push_back(CaptionOf(box));
        SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
      }
    }
    Sleep(100);
  }
  return nullptr;
}

bool CloseAndWait(HWND window, HANDLE process, DWORD& exitCode) {
  PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process, 15000) != WAIT_OBJECT_0) return false;
  return GetExitCodeProcess(process, &exitCode) != 0;
}

TEST(ReleasePackage, ReadMeIsShiftJisWithCrLf) {
  const auto readMe = ReadWholeFile("README-ja.txt");
  ASSERT_TRUE(readMe);
  EXPECT_TRUE(IsShiftJis(*readMe));
  std::size_t bareBreaks = 0;
  for (std::size_t i = 0; i < readMe->size(); ++i) {
    if ((*readMe)[i] == '\n' && (i == 0 || (*readMe)[i - 1] != '\r')) ++bareBreaks;
    if ((*readMe)[i] == '\r' && (i + 1 == readMe->size() || (*readMe)[i + 1] != '\n')) ++bareBreaks;
  }
  EXPECT_EQ(bareBreaks, 0u) << "every line ends with CR LF";
  struct Case {
    const char* what;
    const char* text;
  };
  const Case cases[] = {
      {"what it is", "Kaplan-Meier"},
      {"how to start", "Orvantis.exe をダブルクリック"},
      {"the sample", "data-sample.csv"},
      {"the four fields", "群名,生存日数,転帰,死因"},
      {"comment lines", "アポストロフィ（'）"},
      {"the help file", "「ＨＥＬＰ」→「Help」で Orvantis.chm"},
  };
  for (const Case& c : cases) EXPECT_NE(readMe->find(c.text), std::string::npos) << c.what;
}

TEST(ReleasePackage, StartsFromThePackageAndLoadsTheSample) {
  Started program;
  ASSERT_TRUE(Start("Orvantis.exe data-sample.csv", program));
  const DWORD pid = program.info.dwProcessId;
  std::vector<std::string> boxes;
  HWND main = WaitForWindow({pid, 0, "NORMAL0"}, pid, boxes);
  ASSERT_NE(main, nullptr) << "no main window";
  EXPECT_EQ(CaptionOf(main), "Orvantis") << "a file from the command line leaves the title alone";

  // The report window exists hidden from the start; its control holds the loaded report
  // once the load (and its warning about the over-long row of the sample) is through.
  std::string report;
  for (DWORD waited = 0; waited < kStartTimeoutMs; waited += 100) {
    if (HWND box = FindTopLevel({pid, 0, "#32770"})) {
      boxes.push_back(CaptionOf(box));
      SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    }
    if (HWND log = FindTopLevel({pid, 0, "NORMAL5", false})) {
      report = TextOf(GetDlgItem(log, orv::app::kReportControlId));
      if (report.find(" ---.--- END ---.--- ") != std::string::npos) break;
    }
    Sleep(100);
  }
  EXPECT_NE(report.find("--- Raw data --- "), std::string::npos) << report.substr(0, 200);
  EXPECT_NE(report.find("data-sample.csv"), std::string::npos) << "the path heads the report";
  EXPECT_NE(report.find("総データ数 : "), std::string::npos);
  EXPECT_EQ(boxes, std::vector<std::string>{"データの確認！"}) << "the sample holds one row beyond 40 years";

  DWORD exitCode = 1;
  ASSERT_TRUE(CloseAndWait(main, program.info.hProcess, exitCode));
  EXPECT_EQ(exitCode, 0u);
}

TEST(ReleasePackage, HelpOpensFromTheMenu) {
  Started program;
  ASSERT_TRUE(Start("Orvantis.exe", program));
  const DWORD pid = program.info.dwProcessId;
  std::vector<std::string> boxes;
  HWND main = WaitForWindow({pid, 0, "NORMAL0"}, 0, boxes);
  ASSERT_NE(main, nullptr);

  PostMessageA(main, WM_COMMAND, orv::app::kCmdHelp, 0);
  // The shell hands the help file of the program's folder to the help viewer, a process of
  // its own; its contents tree lists the fifteen entries of the table of contents.
  HWND viewer = WaitForWindow({0, pid, "HH Parent"}, pid, boxes);
  ASSERT_NE(viewer, nullptr) << "no help viewer appeared";
  // The viewer shares the test's output: it must not outlive the test, or the run waits for it.
  Started viewerProcess;
  DWORD viewerPid = 0;
  GetWindowThreadProcessId(viewer, &viewerPid);
  viewerProcess.info.hProcess = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION,
                                            FALSE, viewerPid);

  EXPECT_EQ(CaptionOf(viewer), "Orvantis ヘルプ");
  // The contents pane is filled after the frame shows.
  HWND tree = nullptr;
  for (DWORD waited = 0; waited < kStartTimeoutMs; waited += 100) {
    tree = FindChild(viewer, "SysTreeView32");
    if (tree && SendMessageA(tree, TVM_GETCOUNT, 0, 0) > 0) break;
    Sleep(100);
  }
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 15);
  EXPECT_TRUE(boxes.empty()) << boxes.front();

  DWORD viewerExit = 1;
  EXPECT_TRUE(viewerProcess.info.hProcess && CloseAndWait(viewer, viewerProcess.info.hProcess, viewerExit))
      << "the viewer did not close";

  DWORD exitCode = 1;
  ASSERT_TRUE(CloseAndWait(main, program.info.hProcess, exitCode));
  EXPECT_EQ(exitCode, 0u);
}

}  // namespace
}  // namespace orv::dist
