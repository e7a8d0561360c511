// The driver of the real program under Wine.
#include "gui_driver.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "app/app_ids.h"
#include "survival/analysis.h"

namespace orv::guitest {

namespace {

std::string& ExeStore() {
  static std::string path;
  return path;
}
std::string& SampleStore() {
  static std::string path;
  return path;
}

struct PongState {
  HWND window = nullptr;
  WPARAM last = 0;
  WPARAM next = 0;
};

PongState& Pong() {
  static PongState state;
  return state;
}

LRESULT CALLBACK PongProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == app::kPong) {
    Pong().last = wp;
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND PongWindow() {
  PongState& p = Pong();
  if (!p.window) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = PongProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OrvantisTestPong";
    RegisterClassA(&wc);
    p.window = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  }
  return p.window;
}

void PumpFor(DWORD ms) {
  DWORD end = GetTickCount() + ms;
  MSG msg;
  do {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (static_cast<int>(end - GetTickCount()) > 0);
}

struct FindClass {
  DWORD pid;
  const char* className;
  HWND found;
};

BOOL CALLBACK FindByClass(HWND hwnd, LPARAM lp) {
  auto* f = reinterpret_cast<FindClass*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof name);
  if (pid == f->pid && lstrcmpA(name, f->className) == 0) {
    f->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND FindProcessWindow(DWORD pid, const char* className) {
  FindClass f{pid, className, nullptr};
  EnumWindows(FindByClass, reinterpret_cast<LPARAM>(&f));
  return f.found;
}

}  // namespace

const std::string& ExePath() { return ExeStore(); }
const std::string& SamplePath() { return SampleStore(); }
void SetPaths(std::string exe, std::string sample) {
  ExeStore() = std::move(exe);
  SampleStore() = std::move(sample);
}

const std::string& TempDir() {
  static const std::string dir = [] {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    std::string d = std::string(base) + "orvantis-gui-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(d.c_str(), nullptr);
    return d;
  }();
  return dir;
}

std::string WriteDataFile(std::string_view name, std::string_view bytes) {
  std::string path = TempDir() + "\\" + std::string(name);
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

App::App(const std::string& arguments, bool quoteProgram, bool settle) {
  std::string line = quoteProgram ? "\"" + ExePath() + "\"" : ExePath();
  if (!arguments.empty()) line += " " + arguments;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_)) {
    throw std::runtime_error("cannot start " + line);
  }
  for (int i = 0; i < 1000 && !main_; ++i) {
    main_ = FindProcessWindow(pi_.dwProcessId, "NORMAL0");
    if (!main_) PumpFor(20);
  }
  if (!main_) throw std::runtime_error("no main window");
  if (settle) Settle();
}

App::~App() {
  if (!closed_) {
    Close();
  }
  CloseHandle(pi_.hThread);
  CloseHandle(pi_.hProcess);
}

HWND App::Find(const char* className) const { return FindProcessWindow(pi_.dwProcessId, className); }

HWND App::Control(const char* className, int id) const { return GetDlgItem(Find(className), id); }

void App::Settle() const {
  PongState& p = Pong();
  WPARAM seq = ++p.next;
  PostMessageA(main_, app::kPing, seq, reinterpret_cast<LPARAM>(PongWindow()));
  DWORD end = GetTickCount() + 60000;
  MSG msg;
  while (p.last != seq && static_cast<int>(end - GetTickCount()) > 0) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (p.last == seq) break;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

void App::Command(int id) const {
  PostMessageA(main_, WM_COMMAND, static_cast<WPARAM>(id), 0);
  Settle();
}

HWND App::FindBoxWindow() const { return FindProcessWindow(pi_.dwProcessId, "#32770"); }

std::optional<Box> App::OpenBox() const {
  HWND box = FindBoxWindow();
  if (!box) return std::nullopt;
  return Box{WindowText(GetDlgItem(box, 0xFFFF)), WindowText(box)};
}

std::optional<Box> App::DismissBox() const {
  HWND box = nullptr;
  for (int i = 0; i < 250 && !box; ++i) {
    box = FindBoxWindow();
    if (!box) PumpFor(20);
  }
  if (!box) return std::nullopt;
  Box b{WindowText(GetDlgItem(box, 0xFFFF)), WindowText(box)};
  SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  for (int i = 0; i < 250 && IsWindow(box); ++i) PumpFor(10);
  Settle();
  return b;
}

std::vector<Box> App::DismissAllBoxes() const {
  std::vector<Box> boxes;
  while (FindBoxWindow()) {
    if (auto b = DismissBox()) boxes.push_back(*b);
  }
  return boxes;
}

void App::Drop(const std::vector<std::string>& paths) const {
  std::string bytes;
  for (const std::string& p : paths) {
    bytes += p;
    bytes += '\0';
  }
  COPYDATASTRUCT cds{app::kCopyDataDrop, static_cast<DWORD>(bytes.size()), bytes.data()};
  SendMessageA(main_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
  Settle();
}

COLORREF App::GraphPixel(int x, int y) const {
  std::int32_t xy[2] = {x, y};
  COPYDATASTRUCT cds{app::kCopyDataGraphPixel, sizeof xy, xy};
  return static_cast<COLORREF>(SendMessageA(main_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds)));
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
  int length = GetWindowTextLengthW(window);
  std::string text(static_cast<std::size_t>(length) * 2 + 2, '\0');
  int n = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
  return text;
}

std::string ControlText(HWND control) {
  // An ANSI length from another process reads 0: size the buffer from the Unicode length.
  auto units = static_cast<std::size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0));
  std::string text(units * 2 + 2, '\0');
  auto n = SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
  return text;
}

bool Visible(HWND window) { return IsWindowVisible(window) != FALSE; }

Model::Model(int clientWidth, int clientHeight)
    : graph({0, 0, clientWidth, clientHeight}), screen({0, 0, clientWidth, clientHeight}) {
  ws.geometry.width = static_cast<std::uint16_t>(clientWidth - 130);
  ws.geometry.height = static_cast<std::uint16_t>(clientHeight - 150);
  ws.geometry.pixelsPerWeek = static_cast<double>(ws.geometry.width) / ws.geometry.xMax;
  surfaces.graph = &graph;
  surfaces.screen = &screen;
  surfaces.legend = &legend;
  surfaces.cumulativeDeaths = &cumulative;
  surfaces.deathsByCause = &byCause;
  surfaces.survivalRate = &rate;
  surfaces.report = &report;
  surfaces.logRank = &logRank;
  surfaces.wilcoxon = &wilcoxon;
  surfaces.boxes = &boxes;
  surfaces.views = &views;
}

void Model::Load(const std::string& path) {
  ws.cases.NumGroups = 0;
  LoadAndAnalyse(path, ws, surfaces);
}

SIZE ClientSize(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.right, r.bottom};
}

bool SaveScreenshot(HWND window, const std::string& path) {
  RECT r{};
  GetClientRect(window, &r);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  const int w = r.right;
  const int h = r.bottom;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(memory, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  const DWORD stride = static_cast<DWORD>((w * 3 + 3) & ~3);
  const DWORD imageSize = stride * static_cast<DWORD>(h);
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
  fh.bfSize = fh.bfOffBits + imageSize;
  bi.bmiHeader.biSizeImage = imageSize;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&fh), sizeof fh);
  out.write(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof bi.bmiHeader);
  out.write(static_cast<const char*>(bits), imageSize);
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return out.good();
}

}  // namespace orv::guitest
