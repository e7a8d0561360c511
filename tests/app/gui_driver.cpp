// The driver of the real program under Wine, and the main of the tests that use it:
// test_x ORVANTIS_EXE [gtest options].
#include "gui_driver.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <stdexcept>

#include "app/test_hooks.h"
#include "session/analysis.h"

namespace orv::guitest {

namespace {

std::string exePath;
// The program answers a ping with a pong once it has handled everything posted before: the
// number of the last pong come back, and whether a report was still being filled then.
WPARAM lastPong = 0;
bool lastPongFilling = false;

HWND PongWindow() {
  static const HWND window = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = [](HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
      if (msg == app::kPong) lastPong = wp, lastPongFilling = lp != 0;
      return DefWindowProcA(hwnd, msg, wp, lp);
    };
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OrvantisTestPong";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  }();
  return window;
}

// The position a rich edit control gives the character at this byte of its text: a Shift-JIS
// pair is one character, and so is a CR LF paragraph end.
long CharIndex(std::string_view text, std::size_t byteOffset) {
  long chars = 0;
  for (std::size_t i = 0; i < byteOffset && i < text.size(); ++i, ++chars) {
    const auto b = static_cast<unsigned char>(text[i]);
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    if (lead || (b == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) ++i;
  }
  return chars;
}

// The x at which a rich edit control of the program shows the character at this byte.
int XOf(HWND control, const std::string& text, std::size_t byteOffset) {
  const auto at = static_cast<WPARAM>(CharIndex(text, byteOffset));
  return static_cast<short>(LOWORD(SendMessageA(control, EM_POSFROMCHAR, at, 0)));
}

}  // namespace

bool WaitFor(const std::function<bool()>& done, DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  for (MSG msg; !done() && static_cast<int>(end - GetTickCount()) > 0;) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return done();
}

std::string SamplePath() {
  std::string sample = "Z:" ORVANTIS_SOURCE_DIR "/examples/data-sample.csv";
  std::replace(sample.begin(), sample.end(), '/', '\\');
  return sample;
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::string LongNamesFile() {
  std::string bytes;
  for (int g = 1; g <= 21; ++g) {
    std::string name = "多施設共同研究・長期経過観察コホート・第" + std::to_string(100 + g) + "施設群";
    name.resize(58, 'x');
    for (int i = 1; i <= 9; ++i) {
      bytes += name + "," + std::to_string(100 * i + g) + (i % 3 ? ",死亡," : ",生存\r\n");
      if (i % 3) bytes += i % 2 ? "悪性新生物（癌）による死亡\r\n" : "心疾患・脳血管疾患による死亡\r\n";
    }
  }
  return WriteDataFile("long-names.csv", bytes);
}

const std::string& TempDir() {
  static const std::string dir = [] {
    char base[MAX_PATH] = {}, name[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    // A name the system makes unique, never one of an earlier run (Wine gives a later run the
    // same process id), so that its files (a saved table that would raise the overwrite
    // question) are never met.
    GetTempFileNameA(base, "orv", 0, name);
    DeleteFileA(name);
    if (!CreateDirectoryA(name, nullptr)) throw std::runtime_error(std::string("no new folder ") + name);
    return std::string(name);
  }();
  return dir;
}

std::string WriteDataFile(std::string_view name, std::string_view bytes) {
  std::string path = TempDir() + "\\" + std::string(name);
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

App::App(const std::string& arguments) {
  std::string line = Quoted(exePath).append(arguments.empty() ? "" : " ").append(arguments);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_)) {
    throw std::runtime_error("cannot start " + line);
  }
  if (!WaitFor([&] { return (main_ = Find("NORMAL0")) != nullptr; }, 20000)) throw std::runtime_error("no main window");
  Settle();
}

App::~App() {
  if (!closed_) {
    EXPECT_EQ(Close(), 0u) << "the program ended with an error";
  }
  CloseHandle(pi_.hThread);
  CloseHandle(pi_.hProcess);
}

HWND App::Find(const char* className, const std::function<bool(HWND)>& also) const {
  struct Search { DWORD pid; const char* className; const std::function<bool(HWND)>& also; HWND found; };
  Search s{pi_.dwProcessId, className, also, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* search = reinterpret_cast<Search*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        char name[64] = {};
        GetClassNameA(hwnd, name, sizeof name);
        if (owner != search->pid || lstrcmpA(name, search->className) != 0 || (search->also && !search->also(hwnd))) return TRUE;
        search->found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

bool App::Settle() const {
  static WPARAM next = 0;
  const WPARAM seq = ++next;
  PostMessageA(main_, app::kPing, seq, reinterpret_cast<LPARAM>(PongWindow()));
  WaitFor([&] { return lastPong == seq || !Running(); }, 60000);
  return lastPongFilling;
}

void App::Command(int id) const {
  PostMessageA(main_, WM_COMMAND, static_cast<WPARAM>(id), 0);
  Settle();
}

std::vector<Box> App::DismissAllBoxes(int button) const {
  std::vector<Box> boxes;
  for (HWND box; (box = Find("#32770")) != nullptr;) {
    boxes.push_back({WindowText(GetDlgItem(box, 0xFFFF)), WindowText(box)});
    SendMessageA(GetDlgItem(box, button), BM_CLICK, 0, 0);
    WaitFor([&] { return !IsWindow(box); }, 2500);
    Settle();
  }
  return boxes;
}

void App::Tick(int command, const std::vector<int>& boxes, bool ticked) const {
  Command(command);
  HWND window = Find("NORMALDLG");
  EXPECT_NE(window, nullptr) << "no setting window";
  for (int id : boxes) SendMessageA(GetDlgItem(window, id), BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
  SendMessageA(GetDlgItem(window, 1000), BM_CLICK, 0, 0);
  Settle();
}

LRESULT App::Hook(ULONG_PTR kind, const void* data, std::size_t size) const {
  COPYDATASTRUCT cds{kind, static_cast<DWORD>(size), const_cast<void*>(data)};
  return SendMessageA(main_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
}

void App::Drop(const std::vector<std::string>& paths, bool settle) const {
  std::string bytes;
  for (const std::string& p : paths) bytes.append(p).push_back('\0');
  Hook(app::kCopyDataDrop, bytes.data(), bytes.size());
  if (settle) Settle();
}

COLORREF App::GraphPixel(int x, int y) const {
  const std::int32_t xy[2] = {x, y};
  return static_cast<COLORREF>(Hook(app::kCopyDataGraphPixel, xy, sizeof xy));
}

long App::CharSetOf(HWND control, std::string_view text) const {
  const std::string held = ControlText(control);
  const std::size_t at = held.find(text);
  if (at == std::string::npos) return -1;
  const app::CharFormatQuery q{reinterpret_cast<std::uintptr_t>(control), static_cast<std::int32_t>(CharIndex(held, at)),
                               static_cast<std::int32_t>(CharIndex(held, at + text.size()))};
  return static_cast<long>(Hook(app::kCopyDataCharSet, &q, sizeof q));
}

App::Scroll App::ScrollOf(HWND window, int bar) const {
  const app::ScrollQuery q{reinterpret_cast<std::uintptr_t>(window), bar};
  const auto r = static_cast<std::uint64_t>(Hook(app::kCopyDataScroll, &q, sizeof q));
  return {static_cast<long>(r & 0xFFFF), static_cast<long>((r >> 16) & 0xFFFF), static_cast<long>(r >> 32)};
}

DWORD App::Close() {
  closed_ = true;
  DismissAllBoxes();
  PostMessageA(main_, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi_.hProcess, 20000) != WAIT_OBJECT_0) {
    TerminateProcess(pi_.hProcess, 99);
    WaitForSingleObject(pi_.hProcess, 5000);
  }
  DWORD code = 0;
  GetExitCodeProcess(pi_.hProcess, &code);
  return code;
}

std::string WindowText(HWND window) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthW(window)) * 2 + 2, '\0');
  text.resize(static_cast<std::size_t>(std::max(GetWindowTextA(window, text.data(), static_cast<int>(text.size())), 0)));
  return text;
}

std::string ControlText(HWND control) {
  // An ANSI length from another process reads 0: size the buffer from the Unicode length.
  std::string text(static_cast<std::size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0)) * 2 + 2, '\0');
  const LRESULT n = SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(std::max<LRESULT>(n, 0)));
  return text;
}

SIZE ClientSize(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.right, r.bottom};
}

Rect Place(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  if (GetWindowLongA(w, GWL_STYLE) & WS_CHILD) MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}


void SaveScreen(const std::string& path) {
  const SIZE screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  HDC source = GetDC(nullptr), copy = CreateCompatibleDC(source);
  HBITMAP bitmap = CreateCompatibleBitmap(source, screen.cx, screen.cy);
  HGDIOBJ previous = SelectObject(copy, bitmap);
  BitBlt(copy, 0, 0, screen.cx, screen.cy, source, 0, 0, SRCCOPY);
  SelectObject(copy, previous);
  BITMAPINFOHEADER info{sizeof info, screen.cx, screen.cy, 1, 24};
  std::vector<char> pixels(static_cast<std::size_t>(screen.cx * 3 + 3) / 4 * 4 * static_cast<std::size_t>(screen.cy));
  GetDIBits(copy, bitmap, 0, static_cast<UINT>(screen.cy), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  BITMAPFILEHEADER file{0x4D42};
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(&file), sizeof file)
      .write(reinterpret_cast<const char*>(&info), sizeof info)
      .write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  DeleteObject(bitmap);
  DeleteDC(copy);
  ReleaseDC(nullptr, source);
}

long LongestLineEnd(HWND control) {
  const std::string text = ControlText(control);
  long right = 0;
  for (std::size_t end = text.find('\r'); end != std::string::npos; end = text.find('\r', end + 1)) {
    right = std::max<long>(right, XOf(control, text, end));
  }
  return right;
}

bool Above(HWND a, HWND b) {
  HWND w = a;
  while (w && w != b) w = GetWindow(w, GW_HWNDNEXT);
  return w == b;
}

std::size_t ExpectColumnsLineUp(HWND control) {
  const std::string text = ControlText(control);
  std::map<std::size_t, int> columnX;  // by the number of tabs before the column
  for (std::size_t line = 0, tabs = 0, i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') line = i + 1, tabs = 0;
    if (text[i] == '\t') ++tabs;
    if (i == line || text[i] == '\t' || text[i] == '\r' || text[i - 1] != '\t') continue;
    const int x = XOf(control, text, i);
    EXPECT_EQ(x, columnX.emplace(tabs, x).first->second)
        << "column after " << tabs << " tabs in " << text.substr(line, text.find('\r', i) - line);
  }
  return columnX.size();
}

Model::Model(const App& app, const std::string& path)
    : graph({0, 0, ClientSize(app.Main()).cx, ClientSize(app.Main()).cy}), screen(graph.ClientRect()) {
  ws.geometry.width = static_cast<std::uint16_t>(graph.ClientRect().right - 130);
  ws.geometry.height = static_cast<std::uint16_t>(graph.ClientRect().bottom - 150);
  ws.geometry.pixelsPerWeek = static_cast<double>(ws.geometry.width) / ws.geometry.xMax;
  surfaces = {&graph, &screen, &legend, &cumulative, &byCause, &rate, &report, &logRank, &wilcoxon, &boxes, &views,
              &numberAtRisk, &intervals, &paper};
  Load(path);
}

void Model::Load(const std::string& path) {
  ws.cases.NumGroups = 0;
  LoadAndAnalyse(path, ws, surfaces);
}

}  // namespace orv::guitest

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s ORVANTIS_EXE\n", argv[0]);
    return 2;
  }
  orv::guitest::exePath = argv[1];
  return RUN_ALL_TESTS();
}
