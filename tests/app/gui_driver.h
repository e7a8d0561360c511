// Drives the real Orvantis.exe from outside, as a user and the shell would: starts it, finds
// its windows, sends menu commands, reads texts, answers message boxes, drops files.
#pragma once

#include "app/win32.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "workspace/workspace.h"
#include "platform/recording.h"
#include "platform/surfaces.h"

namespace orv::guitest {

// The program under test, set by main from its first argument.
const std::string& ExePath();

// A folder of this test run and a file written into it.
const std::string& TempDir();
std::string WriteDataFile(std::string_view name, std::string_view bytes);

// Files larger than the screen: 25 groups of 9 cases (19 named groups and "20 over" are
// kept), and two groups whose deaths have 25 causes; every name is long.
std::string ManyGroupsFile();
std::string ManyCausesFile();

struct Box {
  std::string text;
  std::string caption;
  bool operator==(const Box&) const = default;
};

class App {
 public:
  // Starts the program with the given arguments after its quoted path and waits until it is
  // idle.
  explicit App(const std::string& arguments = "");
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  HWND Main() const { return main_; }
  DWORD ProcessId() const { return pi_.dwProcessId; }
  // A top-level window of the program with this class, hidden or not.
  HWND Find(const char* className) const;
  // The child control with the id of the window of this class.
  HWND Control(const char* className, int id) const { return GetDlgItem(Find(className), id); }

  // Waits until the program has handled everything posted to it so far (also when a message
  // box now waits for the user).
  void Settle() const;
  // A menu command; returns once it is handled or has opened a message box.
  void Command(int id) const;
  // Presses OK on every box the program opens, one after the other, and returns them.
  std::vector<Box> DismissAllBoxes() const;

  void Drop(const std::vector<std::string>& paths) const;
  COLORREF GraphPixel(int x, int y) const;
  // The character set of characters first..last of a rich edit control of the program, with
  // app::kMixedCharSet added when the range holds more than one.
  long CharSet(HWND control, long first, long last) const;
  // A scroll bar of a view window: the end of its range (0 when the window has none), its page
  // and its position.
  struct Scroll {
    long extent, page, pos;
    bool operator==(const Scroll&) const = default;
  };
  Scroll ScrollOf(HWND window, int bar) const;
  DWORD Close();
  bool Running() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

 private:
  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
  bool closed_ = false;
};

std::string WindowText(HWND window);
// The position a rich edit control gives the character at this byte of its text: a Shift-JIS
// pair is one character, and so is a CR LF paragraph end.
long CharIndex(std::string_view text, std::size_t byteOffset);
// The screen's work area, as the program's monitor has it.
RECT WorkArea();
// The text of a rich edit control of another process, byte for byte.
std::string ControlText(HWND control);
inline bool Visible(HWND window) { return IsWindowVisible(window) != FALSE; }
// The client size of a window.
SIZE ClientSize(HWND window);
// Left, top, width and height: of a top-level window on the screen, of a child in its parent.
using Rect = std::vector<LONG>;
Rect Place(HWND window);

// What the core gives for a file: the report, the pairwise tables, the boxes and the drawing.
struct Model {
  Workspace ws;
  RecordingRichText report;
  RecordingResultText logRank{"log-rank\r\n"};
  RecordingResultText wilcoxon{"General Wilcoxon\r\n"};
  RecordingCanvas graph, screen, legend, cumulative, byCause, rate, numberAtRisk;
  RecordingResultText intervals{"信頼区間・ハザード比\r\n"};
  RecordingMessageBoxes boxes;
  RecordingViewWindows views;
  Surfaces surfaces;

  // The main window's client size as the program has it.
  Model(int clientWidth, int clientHeight);
  void Load(const std::string& path);
};

}  // namespace orv::guitest
