// The hooks of the test build: drops built as a shell builds them, the graph bitmap's pixels,
// the character set of a range of a rich edit control, the scroll range of a view window, and
// the ping that tells the tests when the program is idle. Another process cannot read these.
#include "app/program.h"

#include <richedit.h>
#include <shlobj.h>

#include <cstdint>
#include <vector>

#include "app/test_hooks.h"
#include "app/text_view.h"

namespace orv::app {

namespace {

LRESULT Drop(HWND main, const COPYDATASTRUCT& data) {
  // Built as a shell builds a drop: a DROPFILES header followed by the ANSI paths.
  const char* bytes = static_cast<const char*>(data.lpData);
  std::vector<char> paths(bytes, bytes + data.cbData);
  paths.push_back('\0');
  paths.push_back('\0');
  HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + paths.size());
  if (!drop) return 0;
  auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = FALSE;
  CopyMemory(reinterpret_cast<char*>(header) + sizeof(DROPFILES), paths.data(), paths.size());
  GlobalUnlock(drop);
  PostMessageA(main, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  return 1;
}

LRESULT CharSet(const CharFormatQuery& q) {
  HWND control = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(q.control));
  if (!IsWindow(control)) return -1;
  char className[32] = {};
  GetClassNameA(control, className, sizeof className);
  if (lstrcmpiA(className, kTextViewClass) == 0) {
    // The text view has one font for all its text.
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfCharSet;
  }
  CHARRANGE kept{};
  SendMessageA(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
  CHARRANGE range{q.first, q.last};
  SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  CHARFORMATA cf{};
  cf.cbSize = sizeof cf;
  SendMessageA(control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
  return cf.bCharSet | ((cf.dwMask & CFM_CHARSET) ? 0 : kMixedCharSet);
}

LRESULT Scroll(const ScrollQuery& q) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(q.window));
  if (!GetScrollInfo(window, q.bar, &si) || si.nMax < si.nMin) return 0;
  return static_cast<LRESULT>((static_cast<std::uint64_t>(si.nPos) << 32) |
                              (static_cast<std::uint64_t>(si.nPage & 0xFFFF) << 16) |
                              static_cast<std::uint64_t>((si.nMax + 1) & 0xFFFF));
}

}  // namespace

LRESULT Program::OnTestHook(UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
  handled = true;
  if (msg == kPing) {
    PostMessageA(reinterpret_cast<HWND>(lp), kPong, wp, report_ && report_->Pending());
    return 0;
  }
  if (msg == kCpuMilliseconds) {
    FILETIME created{}, ended{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    const auto ticks = [](FILETIME t) { return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<LRESULT>((ticks(kernel) + ticks(user)) / 10000);
  }
  if (msg == WM_COPYDATA) {
    const auto& data = *reinterpret_cast<const COPYDATASTRUCT*>(lp);
    if (data.dwData == kCopyDataDrop) return Drop(main_, data);
    if (data.dwData == kCopyDataGraphPixel && data.cbData == 2 * sizeof(std::int32_t)) {
      const auto* xy = static_cast<const std::int32_t*>(data.lpData);
      return static_cast<LRESULT>(GetPixel(graphDC_, xy[0], xy[1]));
    }
    if (data.dwData == kCopyDataCharSet && data.cbData == sizeof(CharFormatQuery)) {
      return CharSet(*static_cast<const CharFormatQuery*>(data.lpData));
    }
    if (data.dwData == kCopyDataScroll && data.cbData == sizeof(ScrollQuery)) {
      return Scroll(*static_cast<const ScrollQuery*>(data.lpData));
    }
    return 0;
  }
  handled = false;
  return 0;
}

}  // namespace orv::app
