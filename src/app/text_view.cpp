// The read-only wrapping text view of the paragraphs for the paper.
#include "app/text_view.h"

#include <algorithm>
#include <string>

#include "text/cp932.h"

namespace orv::app {

namespace {

constexpr int kMargin = 2;  // left and right of the text, as the edit control leaves
constexpr UINT kCopyItem = 1, kSelectAllItem = 2;

// Never at the start of a line: closing brackets, commas, full stops, the prolonged sound mark
// and the small kana.
constexpr std::wstring_view kNoLineStart =
    L")]},.:;!?%"
    L"\x3001\x3002\xFF0C\xFF0E\xFF09\x300D\x300F\x3011\x3015\x3009\x300B\x30FB\xFF1A\xFF1B\xFF1F\xFF01\x30FC\x3005"
    L"\x3041\x3043\x3045\x3047\x3049\x3063\x3083\x3085\x3087\x308E\x30A1\x30A3\x30A5\x30A7\x30A9\x30C3\x30E3\x30E5\x30E7"
    L"\x30EE\x30F5\x30F6\xFF05";
// Never at the end of a line: opening brackets.
constexpr std::wstring_view kNoLineEnd = L"([{\xFF08\x300C\x300E\x3010\x3014\x3008\x300A";

bool IsBlank(wchar_t c) { return c == L' ' || c == 0x3000; }
// Characters set one by one, between which Japanese breaks: CJK, kana, full-width forms.
bool IsWide(wchar_t c) { return c >= 0x2E80 && !(c >= 0xFF61 && c <= 0xFF9F); }

std::wstring Wide(const char* bytes) {
  const int length = bytes ? lstrlenA(bytes) : 0;
  std::wstring wide(static_cast<std::size_t>(std::max(MultiByteToWideChar(932, 0, bytes, length, nullptr, 0), 0)), L'\0');
  MultiByteToWideChar(932, 0, bytes, length, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

struct View {
  HWND hwnd = nullptr;
  std::wstring text;
  HFONT font = nullptr;
  int lineHeight = 16;
  std::vector<WrappedLine> lines;
  bool dirty = true;
  int laidOutWidth = -1;
  int top = 0;  // the first line shown
  int anchor = 0, caret = 0;
  bool focused = false;
  bool dragging = false;
  int wheel = 0;

  int Length() const { return static_cast<int>(text.size()); }
  wchar_t At(int i) const { return text[static_cast<std::size_t>(i)]; }
  int LineCount() const { return static_cast<int>(lines.size()); }
  const WrappedLine& LineAt(int i) const { return lines[static_cast<std::size_t>(i)]; }
  int SelStart() const { return std::min(anchor, caret); }
  int SelEnd() const { return std::max(anchor, caret); }

  RECT Client() const {
    RECT r{};
    GetClientRect(hwnd, &r);
    return r;
  }
  int VisibleLines() const { return std::max<int>((Client().bottom) / std::max(lineHeight, 1), 1); }

  HDC FontDC() const {
    HDC dc = GetDC(hwnd);
    if (font) SelectObject(dc, font);
    return dc;
  }

  void LayOut() {
    const int width = std::max<int>(Client().right - 2 * kMargin, 1);
    if (!dirty && width == laidOutWidth) return;
    const int topChar = lines.empty() ? 0 : LineAt(std::min<int>(top, LineCount() - 1)).start;
    dirty = false;
    laidOutWidth = width;
    lines.clear();
    HDC dc = FontDC();
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    lineHeight = std::max<int>(tm.tmHeight, 1);
    std::vector<int> advance;
    for (int start = 0;;) {
      int end = start;
      while (end < Length() && At(end) != L'\r' && At(end) != L'\n') ++end;
      int after = end;
      if (after < Length() && At(after) == L'\r') ++after;
      if (after < Length() && At(after) == L'\n') ++after;
      if (end == start) {
        lines.push_back({start, start, after});
      } else {
        advance.assign(static_cast<std::size_t>(end - start), 0);
        SIZE size{};
        GetTextExtentExPointW(dc, text.data() + start, end - start, 0, nullptr, advance.data(), &size);
        const std::wstring_view paragraph(text.data() + start, static_cast<std::size_t>(end - start));
        for (const WrappedLine& l : WrapParagraph(paragraph, advance, width)) {
          lines.push_back({start + l.start, start + l.end, start + l.next});
        }
        lines.back().next = after;
      }
      if (after == end) break;  // the text's end
      start = after;
    }
    ReleaseDC(hwnd, dc);
    top = LineOf(topChar);
    ClampTop();
  }

  int LineOf(int pos) const {
    auto it = std::upper_bound(lines.begin(), lines.end(), pos, [](int p, const WrappedLine& l) { return p < l.start; });
    return std::max<int>(static_cast<int>(it - lines.begin()) - 1, 0);
  }

  void ClampTop() {
    top = std::clamp(top, 0, std::max<int>(LineCount() - VisibleLines(), 0));
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMax = LineCount() - 1;
    si.nPage = static_cast<UINT>(VisibleLines());
    si.nPos = top;
    SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
  }

  int Extent(HDC dc, int from, int to) const {
    if (to <= from) return 0;
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data() + from, to - from, &size);
    return size.cx;
  }

  POINT PositionOf(int pos) {
    LayOut();
    const int line = LineOf(pos);
    const WrappedLine& l = LineAt(line);
    HDC dc = FontDC();
    const int x = kMargin + Extent(dc, l.start, std::min(pos, l.end));
    ReleaseDC(hwnd, dc);
    return {x, (line - top) * lineHeight};
  }

  int HitTest(int x, int y) {
    LayOut();
    const int row = y >= 0 ? y / lineHeight : (y - lineHeight + 1) / lineHeight;
    return HitTestLine(top + row, x);
  }

  // The character nearest to x on a line (clamped to the text's lines).
  int HitTestLine(int target, int x) {
    LayOut();
    const int line = std::clamp(target, 0, LineCount() - 1);
    const WrappedLine& l = LineAt(line);
    if (l.end == l.start) return l.start;
    std::vector<int> advance(static_cast<std::size_t>(l.end - l.start));
    HDC dc = FontDC();
    SIZE size{};
    GetTextExtentExPointW(dc, text.data() + l.start, l.end - l.start, 0, nullptr, advance.data(), &size);
    ReleaseDC(hwnd, dc);
    const int within = x - kMargin;
    for (std::size_t i = 0; i < advance.size(); ++i) {
      const int left = i == 0 ? 0 : advance[i - 1];
      if (within < (left + advance[i]) / 2) return l.start + static_cast<int>(i);
    }
    return l.end;
  }

  void PlaceCaret() {
    if (!focused) return;
    const POINT p = PositionOf(caret);
    SetCaretPos(p.x, p.y);
  }

  void ScrollTo(int line) {
    LayOut();
    const int before = top;
    top = line;
    ClampTop();
    if (top != before) {
      InvalidateRect(hwnd, nullptr, FALSE);
      PlaceCaret();
    }
  }

  void ScrollToCaret() {
    LayOut();
    const int line = LineOf(caret);
    if (line < top) {
      ScrollTo(line);
    } else if (line >= top + VisibleLines()) {
      ScrollTo(line - VisibleLines() + 1);
    }
  }

  void Select(int newAnchor, int newCaret) {
    anchor = std::clamp(newAnchor, 0, Length());
    caret = std::clamp(newCaret, 0, Length());
    InvalidateRect(hwnd, nullptr, FALSE);
    PlaceCaret();
  }

  void SetText(std::wstring value) {
    text = std::move(value);
    dirty = true;
    top = 0;
    anchor = caret = 0;
    // Laid out when next drawn or asked about: a hidden view's text waits until it is shown.
    lines.clear();
    if (IsWindowVisible(hwnd)) {
      InvalidateRect(hwnd, nullptr, FALSE);
      PlaceCaret();
    }
  }

  std::string Bytes(int from, int to) const {
    const int n = WideCharToMultiByte(932, 0, text.data() + from, to - from, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(n, 0)), '\0');
    WideCharToMultiByte(932, 0, text.data() + from, to - from, out.data(), n, nullptr, nullptr);
    return out;
  }

  void Copy() const {
    if (SelStart() == SelEnd() || !OpenClipboard(hwnd)) return;
    EmptyClipboard();
    const std::size_t chars = static_cast<std::size_t>(SelEnd() - SelStart());
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (chars + 1) * sizeof(wchar_t))) {
      auto* out = static_cast<wchar_t*>(GlobalLock(memory));
      std::copy_n(text.data() + SelStart(), chars, out);
      out[chars] = L'\0';
      GlobalUnlock(memory);
      if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
  }

  // One character left or right; a line end counts as one.
  int Step(int pos, int direction) const {
    if (direction < 0) {
      if (pos >= 2 && At(pos - 1) == L'\n' && At(pos - 2) == L'\r') return pos - 2;
      return std::max(pos - 1, 0);
    }
    if (pos + 1 < Length() && At(pos) == L'\r' && At(pos + 1) == L'\n') return pos + 2;
    return std::min(pos + 1, Length());
  }

  void OnKey(WPARAM key) {
    LayOut();
    const bool shift = GetKeyState(VK_SHIFT) < 0, control = GetKeyState(VK_CONTROL) < 0;
    if (control && (key == 'A')) return Select(0, Length());
    if (control && (key == 'C' || key == VK_INSERT)) return Copy();
    const int line = LineOf(caret);
    const WrappedLine& l = LineAt(line);
    int to = caret;
    const auto sameX = [&](int target) { return HitTestLine(target, PositionOf(caret).x); };
    switch (key) {
      case VK_LEFT: to = !shift && anchor != caret ? SelStart() : Step(caret, -1); break;
      case VK_RIGHT: to = !shift && anchor != caret ? SelEnd() : Step(caret, 1); break;
      case VK_UP: to = sameX(line - 1); break;
      case VK_DOWN: to = sameX(line + 1); break;
      case VK_PRIOR: to = sameX(line - VisibleLines()); break;
      case VK_NEXT: to = sameX(line + VisibleLines()); break;
      case VK_HOME: to = control ? 0 : l.start; break;
      case VK_END: to = control ? Length() : l.end; break;
      default: return;
    }
    Select(shift ? anchor : to, to);
    ScrollToCaret();
  }

  void OnScroll(WPARAM code) {
    LayOut();
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(hwnd, SB_VERT, &si);
    switch (LOWORD(code)) {
      case SB_LINEUP: ScrollTo(top - 1); break;
      case SB_LINEDOWN: ScrollTo(top + 1); break;
      case SB_PAGEUP: ScrollTo(top - VisibleLines()); break;
      case SB_PAGEDOWN: ScrollTo(top + VisibleLines()); break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: ScrollTo(si.nTrackPos); break;
      case SB_TOP: ScrollTo(0); break;
      case SB_BOTTOM: ScrollTo(LineCount()); break;
      default: break;
    }
  }

  void Paint() {
    LayOut();
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    const RECT client = Client();
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT), paper = GetSysColor(COLOR_WINDOW);
    const COLORREF markInk = GetSysColor(COLOR_HIGHLIGHTTEXT), mark = GetSysColor(COLOR_HIGHLIGHT);
    const int selStart = focused ? SelStart() : 0, selEnd = focused ? SelEnd() : 0;
    int y = 0;
    for (int i = top; i < LineCount() && y < client.bottom; ++i, y += lineHeight) {
      const WrappedLine& l = LineAt(i);
      RECT row{client.left, y, client.right, y + lineHeight};
      SetTextColor(dc, ink);
      SetBkColor(dc, paper);
      ExtTextOutW(dc, kMargin, y, ETO_OPAQUE | ETO_CLIPPED, &row, text.data() + l.start, static_cast<UINT>(l.end - l.start), nullptr);
      const int from = std::max(l.start, selStart), to = std::min(l.end, selEnd);
      if (from < to) {
        const int x0 = kMargin + Extent(dc, l.start, from), x1 = kMargin + Extent(dc, l.start, to);
        RECT marked{x0, y, x1, y + lineHeight};
        SetTextColor(dc, markInk);
        SetBkColor(dc, mark);
        ExtTextOutW(dc, x0, y, ETO_OPAQUE | ETO_CLIPPED, &marked, text.data() + from, static_cast<UINT>(to - from), nullptr);
      }
    }
    if (y < client.bottom) {
      RECT rest{client.left, y, client.right, client.bottom};
      FillRect(dc, &rest, GetSysColorBrush(COLOR_WINDOW));
    }
    if (oldFont) SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
  }

  void ContextMenu(LPARAM lp) {
    POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    if (at.x == -1 && at.y == -1) {
      at = PositionOf(caret);
      ClientToScreen(hwnd, &at);
    }
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING | (SelStart() == SelEnd() ? MF_GRAYED : 0), kCopyItem, "コピー(&C)");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING | (Length() == 0 ? MF_GRAYED : 0), kSelectAllItem, "すべて選択(&A)");
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd, nullptr));
    DestroyMenu(menu);
    if (chosen == kCopyItem) Copy();
    if (chosen == kSelectAllItem) Select(0, Length());
  }

  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
      case WM_SETTEXT: SetText(Wide(reinterpret_cast<const char*>(lp))); return TRUE;
      case WM_GETTEXTLENGTH: return static_cast<LRESULT>(Bytes(0, Length()).size());
      case WM_GETTEXT: {
        if (wp == 0) return 0;
        const std::string bytes = Bytes(0, Length());
        // As much as the buffer takes, never half of a Shift-JIS pair.
        std::size_t n = 0;
        while (n < bytes.size()) {
          const std::size_t step = IsLeadByte(static_cast<unsigned char>(bytes[n])) ? 2 : 1;
          if (n + step > wp - 1) break;
          n += step;
        }
        n = std::min(n, bytes.size());
        std::copy_n(bytes.data(), n, reinterpret_cast<char*>(lp));
        reinterpret_cast<char*>(lp)[n] = '\0';
        return static_cast<LRESULT>(n);
      }
      case WM_SETFONT:
        font = reinterpret_cast<HFONT>(wp);
        dirty = true;
        if (LOWORD(lp)) InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
      case WM_GETFONT: return reinterpret_cast<LRESULT>(font);
      case WM_SIZE:
        // Laid out again when next drawn: the width wraps the lines, the height pages them.
        dirty = true;
        InvalidateRect(hwnd, nullptr, FALSE);
        PlaceCaret();
        return 0;
      case WM_PAINT: Paint(); return 0;
      case WM_ERASEBKGND: return 1;
      case WM_SETFOCUS:
        focused = true;
        LayOut();
        CreateCaret(hwnd, nullptr, 1, lineHeight);
        PlaceCaret();
        ShowCaret(hwnd);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
      case WM_KILLFOCUS:
        focused = false;
        DestroyCaret();
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
      case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
      case WM_KEYDOWN: OnKey(wp); return 0;
      case WM_CHAR: return 0;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK: {
        SetFocus(hwnd);
        const int at = HitTest(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
        if (msg == WM_LBUTTONDBLCLK) {
          // A word: as far as the breaks on either side.
          int from = at, to = at;
          while (from > 0 && !CanBreakBetween(At(from - 1), At(from)) &&
                 At(from - 1) != L'\n') --from;
          while (to < Length() && At(to) != L'\r' &&
                 (to == from || !CanBreakBetween(At(to - 1), At(to)))) ++to;
          Select(from, to);
          return 0;
        }
        Select((wp & MK_SHIFT) ? anchor : at, at);
        dragging = true;
        SetCapture(hwnd);
        return 0;
      }
      case WM_MOUSEMOVE:
        if (dragging) {
          const int y = static_cast<short>(HIWORD(lp));
          if (y < 0) ScrollTo(top - 1);
          if (y >= Client().bottom) ScrollTo(top + 1);
          Select(anchor, HitTest(static_cast<short>(LOWORD(lp)), y));
        }
        return 0;
      case WM_LBUTTONUP:
      case WM_CAPTURECHANGED:
        if (dragging) {
          dragging = false;
          if (msg == WM_LBUTTONUP) ReleaseCapture();
        }
        return 0;
      case WM_MOUSEWHEEL: {
        UINT perNotch = 3;
        SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
        wheel += GET_WHEEL_DELTA_WPARAM(wp);
        const int notches = wheel / WHEEL_DELTA;
        wheel -= notches * WHEEL_DELTA;
        if (notches != 0) ScrollTo(top - notches * static_cast<int>(perNotch));
        return 0;
      }
      case WM_VSCROLL: OnScroll(wp); return 0;
      case WM_CONTEXTMENU: ContextMenu(lp); return 0;
      case WM_COPY: Copy(); return 0;
      case EM_GETSEL: {
        if (wp) *reinterpret_cast<DWORD*>(wp) = static_cast<DWORD>(SelStart());
        if (lp) *reinterpret_cast<DWORD*>(lp) = static_cast<DWORD>(SelEnd());
        return SelEnd() > 0xFFFF ? -1 : MAKELONG(SelStart(), SelEnd());
      }
      case EM_SETSEL: {
        const int from = static_cast<int>(wp), to = static_cast<int>(lp);
        if (from == -1) {
          Select(caret, caret);
        } else {
          Select(from, to < 0 ? Length() : to);
        }
        return 0;
      }
      case EM_SCROLLCARET: ScrollToCaret(); return 0;
      case EM_GETLINECOUNT: LayOut(); return static_cast<LRESULT>(lines.size());
      case EM_GETFIRSTVISIBLELINE: LayOut(); return top;
      case EM_LINEINDEX: {
        LayOut();
        const int line = static_cast<int>(wp) == -1 ? LineOf(caret) : static_cast<int>(wp);
        return line >= 0 && line < LineCount() ? LineAt(line).start : -1;
      }
      case EM_LINELENGTH: {
        LayOut();
        const WrappedLine& l = LineAt(LineOf(static_cast<int>(wp) == -1 ? caret : static_cast<int>(wp)));
        return l.end - l.start;
      }
      case EM_POSFROMCHAR: {
        if (static_cast<int>(wp) > Length()) return -1;
        const POINT p = PositionOf(static_cast<int>(wp));
        return MAKELONG(static_cast<short>(p.x), static_cast<short>(p.y));
      }
      case EM_REPLACESEL: {
        const std::wstring wide = Wide(reinterpret_cast<const char*>(lp));
        const int at = SelStart();
        text.replace(static_cast<std::size_t>(at), static_cast<std::size_t>(SelEnd() - at), wide);
        dirty = true;
        Select(at + static_cast<int>(wide.size()), at + static_cast<int>(wide.size()));
        return 0;
      }
      case EM_GETMODIFY: return 0;
      case EM_SETMODIFY:
      case EM_SETLIMITTEXT:
      case EM_EMPTYUNDOBUFFER:
        return 0;
      default: return DefWindowProcA(hwnd, msg, wp, lp);
    }
  }
};

LRESULT CALLBACK TextViewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* view = reinterpret_cast<View*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    view = new View;
    view->hwnd = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    // The creation text is the view's, not a caption kept by the system.
    const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lp);
    view->OnMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(cs->lpszName));
    CREATESTRUCTA untitled = *cs;
    untitled.lpszName = nullptr;
    return DefWindowProcA(hwnd, msg, wp, reinterpret_cast<LPARAM>(&untitled));
  }
  if (!view) return DefWindowProcA(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    delete view;
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
  return view->OnMessage(msg, wp, lp);
}

}  // namespace

bool CanBreakBetween(wchar_t before, wchar_t after) {
  if (IsBlank(after)) return false;
  if (IsBlank(before)) return true;
  if (kNoLineStart.find(after) != std::wstring_view::npos || kNoLineEnd.find(before) != std::wstring_view::npos) return false;
  return IsWide(before) || IsWide(after);
}

std::vector<WrappedLine> WrapParagraph(std::wstring_view text, std::span<const int> advance, int width) {
  std::vector<WrappedLine> lines;
  const int n = static_cast<int>(std::min(text.size(), advance.size()));
  int start = 0;
  while (start < n) {
    const int origin = start > 0 ? advance[static_cast<std::size_t>(start - 1)] : 0;
    int lastBreak = -1, end = start + 1;
    // The characters that fit; a blank may stand past the edge, where it hangs.
    while (end < n) {
      const wchar_t c = text[static_cast<std::size_t>(end)];
      if (CanBreakBetween(text[static_cast<std::size_t>(end - 1)], c)) lastBreak = end;
      if (!IsBlank(c) && advance[static_cast<std::size_t>(end)] - origin > width) break;
      ++end;
    }
    if (end >= n) {
      lines.push_back({start, n, n});
      break;
    }
    const int next = lastBreak > start ? lastBreak : end;
    int drawn = next;
    while (drawn > start + 1 && IsBlank(text[static_cast<std::size_t>(drawn - 1)])) --drawn;
    lines.push_back({start, drawn, next});
    start = next;
  }
  return lines;
}

void RegisterTextViewClass(HINSTANCE instance) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExA(instance, kTextViewClass, &wc)) return;
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = TextViewProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_IBEAM));
  wc.lpszClassName = kTextViewClass;
  RegisterClassExA(&wc);
}

}  // namespace orv::app
