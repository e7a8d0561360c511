// Drives a running Orvantis.exe from outside: windows, commands, clicks, texts and pixels.
#include "dialogs/gui_driver.h"

#include <cstring>
#include <utility>

namespace orv::test {

namespace {

std::string g_programPath;

constexpr DWORD kPollMs = 20;

struct Search {
  DWORD pid;
  const char* windowClass;
  const char* title;
  HWND owner;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != s->pid || !IsWindowVisible(window)) return TRUE;
  char cls[64] = {};
  GetClassNameA(window, cls, sizeof cls);
  if (std::strcmp(cls, s->windowClass) != 0) return TRUE;
  if (s->title != nullptr && WindowTitle(window) != s->title) return TRUE;
  if (s->owner != nullptr && GetWindow(window, GW_OWNER) != s->owner) return TRUE;
  s->found = window;
  return FALSE;
}

BOOL CALLBACK MatchAnyWindow(HWND window, LPARAM param) {
  // Hidden view windows count too: they are looked up by class only.
  auto* s = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != s->pid) return TRUE;
  char cls[64] = {};
  GetClassNameA(window, cls, sizeof cls);
  if (std::strcmp(cls, s->windowClass) != 0) return TRUE;
  s->found = window;
  return FALSE;
}

HWND FindResultControl(DWORD pid, const char* viewClass) {
  Search s{pid, viewClass, nullptr, nullptr, nullptr};
  EnumWindows(MatchAnyWindow, reinterpret_cast<LPARAM>(&s));
  if (s.found == nullptr) return nullptr;
  return FindWindowExA(s.found, nullptr, nullptr, nullptr);
}

}  // namespace

void SetProgramPath(std::string path) { g_programPath = std::move(path); }

RunningProgram::RunningProgram(const std::string& dataFile) {
  std::string commandLine = "\"" + g_programPath + "\" \"" + dataFile + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  if (!CreateProcessA(g_programPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &process_)) {
    return;
  }
  WaitForInputIdle(process_.hProcess, 10000);
  main_ = WaitForWindow("NORMAL0", nullptr, 15000);
  if (main_ != nullptr) Sync();
}

RunningProgram::~RunningProgram() {
  if (process_.hProcess == nullptr) return;
  if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
    if (main_ != nullptr) PostMessageA(main_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, 5000) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

HWND RunningProgram::FindWindowOf(const char* windowClass, const char* title) const {
  Search s{process_.dwProcessId, windowClass, title, nullptr, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND RunningProgram::WaitForWindow(const char* windowClass, const char* title, DWORD ms) const {
  for (DWORD waited = 0; waited <= ms; waited += kPollMs) {
    if (HWND w = FindWindowOf(windowClass, title)) return w;
    Sleep(kPollMs);
  }
  return nullptr;
}

HWND RunningProgram::WaitForOwned(HWND owner, const char* windowClass, DWORD ms) const {
  for (DWORD waited = 0; waited <= ms; waited += kPollMs) {
    Search s{process_.dwProcessId, windowClass, nullptr, owner, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&s));
    if (s.found != nullptr) return SyncWindow(s.found) ? s.found : nullptr;
    Sleep(kPollMs);
  }
  return nullptr;
}

bool RunningProgram::Sync(DWORD ms) const {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL, ms, &result) != 0;
}

void RunningProgram::Command(int id) const { PostMessageA(main_, WM_COMMAND, static_cast<WPARAM>(id), 0); }

HWND RunningProgram::OpenSettingWindow(int command, const char* title) const {
  Command(command);
  HWND window = WaitForWindow("NORMALDLG", title);
  return window != nullptr && SyncWindow(window) ? window : nullptr;
}

bool RunningProgram::PressAndWaitGone(HWND window, int buttonId) const {
  PostMessageA(GetDlgItem(window, buttonId), BM_CLICK, 0, 0);
  return WaitGone(window) && Sync();
}

bool RunningProgram::CloseAndWaitGone(HWND window) const {
  PostMessageA(window, WM_CLOSE, 0, 0);
  return WaitGone(window) && Sync();
}

std::string RunningProgram::ResultText(const char* viewClass) const {
  HWND control = FindResultControl(process_.dwProcessId, viewClass);
  if (control == nullptr) return "(no control)";
  // Across processes the ANSI length reads 0; the wide length bounds the ANSI bytes.
  LRESULT wide = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
  std::string text(static_cast<std::size_t>(wide) * 2 + 2, '\0');
  LRESULT got = SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(got));
  return text;
}

void RunningProgram::SetResultText(const char* viewClass, const char* text) const {
  HWND control = FindResultControl(process_.dwProcessId, viewClass);
  if (control != nullptr) SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

long RunningProgram::CloseAndExitCode(DWORD ms) {
  PostMessageA(main_, WM_CLOSE, 0, 0);
  return WaitForExitCode(ms);
}

long RunningProgram::WaitForExitCode(DWORD ms) {
  if (WaitForSingleObject(process_.hProcess, ms) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return static_cast<long>(code);
}

std::string WindowTitle(HWND window) {
  char title[256] = {};
  GetWindowTextA(window, title, sizeof title);
  return title;
}

bool SyncWindow(HWND window, DWORD ms) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, ms, &result) != 0;
}

bool WaitGone(HWND window, DWORD ms) {
  for (DWORD waited = 0; waited <= ms; waited += kPollMs) {
    if (!IsWindow(window)) return true;
    Sleep(kPollMs);
  }
  return false;
}

RECT WindowRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

RECT ChildRect(HWND child) {
  RECT r = WindowRect(child);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool IsTicked(HWND parent, int id) { return SendMessageA(GetDlgItem(parent, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Click(HWND parent, int id) { SendMessageA(GetDlgItem(parent, id), BM_CLICK, 0, 0); }

int CountPixels(HWND window, int y, int x1, int x2, COLORREF colour) {
  HDC dc = GetDC(window);
  int count = 0;
  for (int x = x1; x <= x2; ++x) {
    if (GetPixel(dc, x, y) == colour) ++count;
  }
  ReleaseDC(window, dc);
  return count;
}

bool WaitForColour(HWND window, int y, int x1, int x2, COLORREF colour, DWORD ms) {
  for (DWORD waited = 0; waited <= ms; waited += kPollMs) {
    if (CountPixels(window, y, x1, x2, colour) > 0) return true;
    Sleep(kPollMs);
  }
  return false;
}

}  // namespace orv::test
