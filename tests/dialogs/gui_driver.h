// Drives a running Orvantis.exe from outside, as a user would: finds its windows, sends menu
// commands and clicks, and reads back what the windows show.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace orv::test {

// The program under test, given on the test program's command line.
void SetProgramPath(std::string path);

class RunningProgram {
 public:
  // Starts the program with the data file and waits for its main window.
  explicit RunningProgram(const std::string& dataFile);
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  HWND Main() const { return main_; }
  bool Started() const { return main_ != nullptr; }

  // A visible top-level window of the program by class and, when given, exact title.
  HWND FindWindowOf(const char* windowClass, const char* title = nullptr) const;
  HWND WaitForWindow(const char* windowClass, const char* title = nullptr, DWORD ms = 5000) const;
  // A visible top-level window of the program owned by the given window, once its run has
  // started (its message loop answers).
  HWND WaitForOwned(HWND owner, const char* windowClass, DWORD ms = 5000) const;

  // Returns once the main window has handled everything before this call.
  bool Sync(DWORD ms = 10000) const;
  // Posts a menu command to the main window.
  void Command(int id) const;
  // Opens a setting window from the menu and returns it (null when it did not open).
  HWND OpenSettingWindow(int command, const char* title) const;
  // Presses the window's button and waits until the window is gone and the command that
  // opened it has finished.
  bool PressAndWaitGone(HWND window, int buttonId) const;
  bool CloseAndWaitGone(HWND window) const;

  // The text of the result control of a view window ("NORMAL9", "NORMAL10").
  std::string ResultText(const char* viewClass) const;
  void SetResultText(const char* viewClass, const char* text) const;

  // Posts a close to the main window and returns the exit code (-1 when it does not end).
  long CloseAndExitCode(DWORD ms = 10000);
  long WaitForExitCode(DWORD ms);

 private:
  PROCESS_INFORMATION process_{};
  HWND main_ = nullptr;
};

std::string WindowTitle(HWND window);
// Returns once the window's thread has handled everything sent before (false on timeout).
bool SyncWindow(HWND window, DWORD ms = 5000);
bool WaitGone(HWND window, DWORD ms = 5000);
RECT WindowRect(HWND window);
// A child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child);
bool IsTicked(HWND parent, int id);
void Click(HWND parent, int id);
// Pixels of one row of a window's client area that have the colour, read from the screen.
int CountPixels(HWND window, int y, int x1, int x2, COLORREF colour);
// Polls until the count is at least one (true) or the time is up (false).
bool WaitForColour(HWND window, int y, int x1, int x2, COLORREF colour, DWORD ms = 3000);

}  // namespace orv::test
