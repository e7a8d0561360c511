// Drives the real Orvantis.exe from outside, as a user and the shell would: starts it, finds
// its windows, sends menu commands, reads texts, answers message boxes, drops files.
#pragma once

#include "app/win32.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_ids.h"
#include "platform/recording.h"
#include "platform/surfaces.h"
#include "session/workspace.h"

namespace orv::guitest {

// A folder of this test run and a file written into it.
const std::string& TempDir();
std::string WriteDataFile(std::string_view name, std::string_view bytes);

// Two groups of 10 and 12 cases: deaths of two causes, one without a cause, a comment, an
// excluded row.
inline constexpr char kTwoGroups[] =
    "'group,days,outcome,cause\r\nA,35,死亡,癌\r\nA,120,死亡,肺炎\r\nA,300,生存\r\nA,410,死亡,癌\r\nA,700,死亡\r\n"
    "A,820,生存\r\nA,1000,死亡,癌\r\nA,1500,生存\r\nA,1800,死亡,肺炎\r\nA,2100,生存\r\nB,60,死亡,肺炎\r\n"
    "B,90,死亡,癌\r\nB,150,死亡,癌\r\nB,200,生存\r\nB,260,死亡,肺炎\r\nB,380,死亡,癌\r\nB,500,生存\r\n"
    "B,640,死亡,癌\r\nB,900,死亡,肺炎\r\nB,1100,生存\r\nB,1300,死亡,癌\r\nB,1600,生存\r\nC,abc,死亡\r\n";

// 21 groups of 9 cases with names of 58 bytes, as a multi-centre study names them, and two
// causes of long names: 19 named groups and "20 over" are kept.
std::string LongNamesFile();

// The bundled sample as the program under Wine reaches it, and a path quoted for a command line.
std::string SamplePath();
std::string Quoted(const std::string& path);

// Handles this process's messages until done() holds or the time is up; returns done().
bool WaitFor(const std::function<bool()>& done, DWORD ms = 5000);

struct Box {
  std::string text;
  std::string caption;
  bool operator==(const Box&) const = default;
};

class App {
 public:
  // Starts the program with the given arguments after its quoted path and waits until it is
  // idle; expects it to end without an error when the object goes.
  explicit App(const std::string& arguments = "");
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  HWND Main() const { return main_; }
  // A top-level window of the program with this class, hidden or not, for which also() holds.
  HWND Find(const char* className, const std::function<bool(HWND)>& also = nullptr) const;
  // The child control with the id of the window of this class.
  HWND Control(const char* className, int id) const { return GetDlgItem(Find(className), id); }

  // Waits until the program has handled everything posted to it so far (also when a message
  // box now waits for the user); returns whether the report control was still being filled.
  bool Settle() const;
  // A menu command; returns once it is handled or has opened a message box.
  void Command(int id) const;
  // Presses OK (or the button given) on every box the program opens, one after the other, and
  // returns them.
  std::vector<Box> DismissAllBoxes(int button = IDOK) const;
  // Opens the setting window of the command, sets its check boxes of these ids and presses ＯＫ.
  void Tick(int command, const std::vector<int>& boxes, bool ticked) const;

  // The drop is posted; with `settle` the call returns once it is handled.
  void Drop(const std::vector<std::string>& paths, bool settle = true) const;
  COLORREF GraphPixel(int x, int y) const;
  // The character set of the first occurrence of the text in a rich edit control of the
  // program, with app::kMixedCharSet added when it holds more than one; -1 when it is absent.
  long CharSetOf(HWND control, std::string_view text) const;
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
  // A test hook: the data sent to the main window with WM_COPYDATA.
  LRESULT Hook(ULONG_PTR kind, const void* data, std::size_t size) const;

  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
  bool closed_ = false;
};

// The rich edit controls of the report and the result windows.
inline HWND ReportControl(const App& app) { return app.Control("NORMAL5", app::kReportControlId); }
inline HWND LogRankControl(const App& app) { return app.Control("NORMAL9", app::kLogRankControlId); }
inline HWND WilcoxonControl(const App& app) { return app.Control("NORMAL10", app::kWilcoxonControlId); }
inline HWND IntervalsControl(const App& app) { return app.Control("NORMAL11", app::kIntervalsControlId); }
inline HWND PaperControl(const App& app) { return app.Control("NORMAL12", app::kPaperControlId); }

std::string WindowText(HWND window);
// The text of a rich edit control of another process, byte for byte.
std::string ControlText(HWND control);
// The file name field of a file dialog, as the dialog's template numbers it.
inline HWND FileNameField(HWND dialog) { return GetDlgItem(dialog, 0x47C) ? GetDlgItem(dialog, 0x47C) : GetDlgItem(dialog, 0x480); }
inline bool Visible(HWND window) { return IsWindowVisible(window) != FALSE; }
// The client size of a window.
SIZE ClientSize(HWND window);
// Left, top, width and height: of a top-level window on the screen, of a child in its parent.
using Rect = std::vector<LONG>;
Rect Place(HWND window);
// The whole screen as a 24-bit BMP file, for a person to look at.
void SaveScreen(const std::string& path);
// The x where the longest line of a rich edit control of the program ends.
long LongestLineEnd(HWND control);
// Whether top-level window a is above b in the z-order.
bool Above(HWND a, HWND b);
// Expects every cell after a tab of a rich edit control to start at the x of the cells after
// as many tabs in the other rows; returns the number of such columns.
std::size_t ExpectColumnsLineUp(HWND control);

// What the core gives for a file: the report, the pairwise tables, the boxes and the drawing.
struct Model {
  Workspace ws;
  RecordingRichText report;
  RecordingResultText logRank{"log-rank\r\n"};
  RecordingResultText wilcoxon{"General Wilcoxon\r\n"};
  RecordingCanvas graph, screen, legend, cumulative, byCause, rate, numberAtRisk;
  RecordingResultText intervals{"信頼区間・ハザード比\r\n"};
  RecordingResultText paper{"論文用の記述\r\n"};
  RecordingMessageBoxes boxes;
  RecordingViewWindows views;
  Surfaces surfaces;

  // Loaded from the file in a main window of the program's client size.
  Model(const App& app, const std::string& path);
  void Load(const std::string& path);
};

// One program for a whole suite, started on the file Path() writes, its boxes answered: each
// start of Wine costs seconds. The suite's tests run in the order written.
template <std::string (*Path)()>
class SharedApp : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    app_ = std::make_unique<App>(Quoted(Path()));
    app_->DismissAllBoxes();
  }
  static void TearDownTestSuite() { app_.reset(); }
  static inline std::unique_ptr<App> app_;
};
using Sample = SharedApp<SamplePath>;

}  // namespace orv::guitest
