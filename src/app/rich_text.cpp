// RichEdit20A sinks for the raw data report and the pairwise tables.
#include "app/rich_text.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "text/cp932.h"

namespace orv::app {

namespace {

// The first slice, about 800 report lines. Later slices are sized from the time the one
// before took, aiming at kSliceSeconds: Wine's control takes longer per line as it grows and
// on a busy machine, and the program answers the user only between two slices.
constexpr std::size_t kFirstSliceBytes = 16 * 1024;
constexpr std::size_t kLeastSliceBytes = 16 * 1024;
constexpr std::size_t kMostSliceBytes = 512 * 1024;
constexpr double kSliceSeconds = 0.08;
// The undo records a result control keeps for what the user types: the control's own default.
constexpr WPARAM kUndoLimit = 100;

double Seconds() {
  LARGE_INTEGER frequency{}, now{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The end of a slice of about `budget` bytes from `from`: never inside a Shift-JIS pair or
// between CR and LF.
std::size_t SliceEnd(std::string_view text, std::size_t from, std::size_t budget) {
  std::size_t i = from;
  while (i < text.size() && i - from < budget) {
    i += (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
  }
  if (i < text.size() && i > from && text[i - 1] == '\r' && text[i] == '\n') ++i;
  return i;
}

void AppendEscaped(std::string& out, std::string_view text) {
  char hex[8];
  bool trail = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (trail || b >= 0x80) {
      // A trail byte may look like a backslash or a brace: escaped, it stays with its lead.
      std::snprintf(hex, sizeof hex, "\\'%02x", b);
      out += hex;
      trail = !trail && IsLeadByte(b);
    } else if (b == '\r' || b == '\n') {
      if (b == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\\par\n";
    } else if (b == '\t') {
      out += "\\tab ";
    } else if (b == '\\' || b == '{' || b == '}') {
      out += '\\';
      out += static_cast<char>(b);
    } else {
      out += static_cast<char>(b);
    }
  }
}

// RTF of coloured pieces: Shift-JIS bytes as escapes of a charset-128 font, one colour table
// entry per colour, the height in half points.
std::string SliceRtf(const std::vector<std::pair<Rgb, std::string_view>>& pieces, int heightTwips) {
  std::vector<Rgb> colours;
  std::size_t total = 0;
  for (const auto& [colour, text] : pieces) {
    if (std::find(colours.begin(), colours.end(), colour) == colours.end()) colours.push_back(colour);
    total += text.size();
  }
  std::string out = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 System;}}{\\colortbl ;";
  out.reserve(out.size() + total * 3 + 256);
  char entry[64];
  for (Rgb c : colours) {
    std::snprintf(entry, sizeof entry, "\\red%u\\green%u\\blue%u;", RedOf(c), GreenOf(c), BlueOf(c));
    out += entry;
  }
  std::snprintf(entry, sizeof entry, "}\\plain\\f0\\fs%d\n", heightTwips / 10);
  out += entry;
  for (const auto& [colour, text] : pieces) {
    auto index = std::find(colours.begin(), colours.end(), colour) - colours.begin() + 1;
    std::snprintf(entry, sizeof entry, "\\cf%d ", static_cast<int>(index));
    out += entry;
    AppendEscaped(out, text);
  }
  out += "}";
  return out;
}

// RTF of a result table: Shift-JIS bytes as escapes of the report's font (ReportCharFormat)
// with these tab stops. The control takes the last paragraph mark of a stream that replaces its
// text as its own closing mark, so a text that ends a line gets one more.
std::string TableRtf(std::string_view text, std::span<const LONG> tabStops) {
  const CHARFORMATA cf = ReportCharFormat();
  std::string out = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 ";
  out += cf.szFaceName;
  out += ";}}\\pard";
  out.reserve(out.size() + text.size() * 3 + 256);
  for (std::size_t i = 0; i < tabStops.size() && i < MAX_TAB_STOPS; ++i) out += "\\tx" + std::to_string(tabStops[i]);
  out += "\\plain\\f0\\fs" + std::to_string(cf.yHeight / 10) + "\n";
  AppendEscaped(out, text);
  if (!text.empty() && (text.back() == '\n' || text.back() == '\r')) out += "\\par\n";
  out += "}";
  return out;
}

struct StreamSource {
  const std::string* text;
  std::size_t pos;
};

DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read) {
  auto* src = reinterpret_cast<StreamSource*>(cookie);
  std::size_t n = std::min(static_cast<std::size_t>(size), src->text->size() - src->pos);
  std::copy_n(src->text->data() + src->pos, n, buffer);
  src->pos += n;
  *read = static_cast<LONG>(n);
  return 0;
}

// The control counts characters: a Shift-JIS pair is one, and so is a CR LF paragraph end.
LPARAM CharPosition(std::string_view text, std::size_t byteOffset) {
  LPARAM chars = 0;
  for (std::size_t i = 0; i < byteOffset && i < text.size(); ++i, ++chars) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (IsLeadByte(b) || (b == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) ++i;
  }
  return chars;
}

void ApplyColour(HWND control, Rgb colour, int heightTwips) {
  CHARFORMATA cf = ReportCharFormat();
  cf.crTextColor = colour;
  cf.yHeight = heightTwips;
  SendMessageA(control, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
}

}  // namespace

CHARFORMATA ReportCharFormat() {
  CHARFORMATA cf{};
  cf.cbSize = sizeof cf;
  cf.dwMask = CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_CHARSET;
  cf.yHeight = 280;
  cf.crTextColor = 0;
  cf.bCharSet = SHIFTJIS_CHARSET;
  lstrcpynA(cf.szFaceName, "System", LF_FACESIZE);
  return cf;
}

void SetUpRichEdit(HWND control) {
  // Without a raised limit a control takes 32,767 characters, and a large file's report
  // would be cut off.
  SendMessageA(control, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  CHARFORMATA cf = ReportCharFormat();
  SendMessageA(control, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
  SendMessageA(control, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
}

void SetUpResultControl(HWND control, std::span<const LONG> tabStops) {
  CHARRANGE kept{};
  SendMessageA(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
  CHARRANGE all{0, -1};
  SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
  PARAFORMAT pf{};
  pf.cbSize = sizeof pf;
  pf.dwMask = PFM_TABSTOPS;
  pf.cTabCount = static_cast<SHORT>(std::min<std::size_t>(tabStops.size(), MAX_TAB_STOPS));
  std::copy_n(tabStops.begin(), pf.cTabCount, pf.rgxTabs);
  SendMessageA(control, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  // The character set alone: what the user typed keeps its other attributes until the next table.
  CHARFORMATA cf{};
  cf.cbSize = sizeof cf;
  cf.dwMask = CFM_CHARSET;
  cf.bCharSet = SHIFTJIS_CHARSET;
  SendMessageA(control, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
  SendMessageA(control, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
  SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
}

RichEditReport::RichEditReport(HWND control, std::string_view initial) : control_(control) { model_.Insert(initial); }

// Wine's RichEdit empties itself in a time that grows faster than the square of its lines
// (1 s for 2,000 lines, 6 s for 4,000: hours for a large report, which then looks like a
// hang), yet is destroyed in milliseconds. So the control is replaced by an empty one of the
// same class, id, style, place, limit and character format.
void RichEditReport::Renew() {
  HWND parent = GetParent(control_);
  RECT r{};
  GetWindowRect(control_, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  char className[32] = {};
  GetClassNameA(control_, className, sizeof className);
  // The control takes its bars out of its style while its text fits, and one created without
  // them never shows them.
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(control_, GWL_STYLE)) | WS_HSCROLL | WS_VSCROLL;
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(control_, GWL_EXSTYLE));
  const auto id = static_cast<INT_PTR>(GetDlgCtrlID(control_));
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(control_, GWLP_HINSTANCE));
  DestroyWindow(control_);
  control_ = CreateWindowExA(exStyle, className, "", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                             reinterpret_cast<HMENU>(id), instance, nullptr);
  if (!control_) return;
  SetUpRichEdit(control_);
  // Wine's control keeps an undo record of every run inserted and, past its hundredth
  // insertion, spends half a second on each to drop the oldest: a report is not undone.
  SendMessageA(control_, EM_SETUNDOLIMIT, 0, 0);
}

void RichEditReport::FocusIfShown() {
  // Focusing a control of a hidden window would activate that window and take the keyboard
  // from the main window; the focus only moves when the report is on screen.
  if (IsWindowVisible(GetAncestor(control_, GA_ROOT))) SetFocus(control_);
}

void RichEditReport::Clear() {
  // A hand-over still under way is abandoned: the model it reads changes now.
  pending_ = false;
  model_.Clear();
  if (direct_) {
    FocusIfShown();
    SetWindowTextA(control_, "");
  } else {
    dirty_ = true;
  }
}

void RichEditReport::Insert(std::string_view bytes) {
  pending_ = false;
  model_.Insert(bytes);
  if (direct_) {
    ApplyColour(control_, model_.Colour(), model_.Height());
    std::string text(bytes);
    SendMessageA(control_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  } else {
    dirty_ = true;
  }
}

void RichEditReport::CaretToStart() {
  pending_ = false;
  model_.CaretToStart();
  if (direct_) {
    FocusIfShown();
    SendMessageA(control_, EM_SETSEL, 0, 0);
  } else {
    dirty_ = true;
  }
}

void RichEditReport::Flush() {
  if (!control_ || !dirty_) return;
  dirty_ = false;
  Renew();
  if (!control_) return;
  run_ = 0;
  offset_ = 0;
  sliceBytes_ = kFirstSliceBytes;
  pending_ = true;
  // A small report is in the control when Flush returns.
  FillSlice();
}

void RichEditReport::FillSome() {
  if (pending_) FillSlice();
}

void RichEditReport::FillSlice() {
  const double start = Seconds();
  std::size_t budget = sliceBytes_;
  const auto& runs = model_.Runs();
  std::vector<std::pair<Rgb, std::string_view>> pieces;
  while (run_ < runs.size() && budget > 0) {
    const std::string& text = runs[run_].text;
    std::size_t end = SliceEnd(text, offset_, budget);
    pieces.emplace_back(runs[run_].colour, std::string_view(text).substr(offset_, end - offset_));
    budget -= std::min(budget, end - offset_);
    offset_ = end;
    if (offset_ >= text.size()) {
      ++run_;
      offset_ = 0;
    }
  }
  // Streamed into the selection, the control keeps every paragraph mark of the slice; one
  // insertion per slice is what keeps a large report fast. The control holds what went before,
  // so the slice goes at its end, which the control finds without counting its characters.
  std::string rtf = SliceRtf(pieces, model_.Height());
  StreamSource src{&rtf, 0};
  EDITSTREAM es{};
  es.dwCookie = reinterpret_cast<DWORD_PTR>(&src);
  es.pfnCallback = ReadStream;
  // The view stays where it was, at the report's start or where the user scrolled: following
  // the caret to the end of each slice scrolled the lines' beginnings out of sight whenever a
  // slice ended far into a long line.
  POINT view{};
  SendMessageA(control_, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&view));
  SendMessageA(control_, EM_SETSEL, static_cast<WPARAM>(-1), -1);
  SendMessageA(control_, EM_STREAMIN, SF_RTF | SFF_SELECTION, reinterpret_cast<LPARAM>(&es));
  SendMessageA(control_, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&view));
  if (run_ >= runs.size()) return Finish();
  const double took = std::max(Seconds() - start, 1e-4);
  const auto scaled = static_cast<std::size_t>(static_cast<double>(sliceBytes_) * std::min(kSliceSeconds / took, 2.0));
  sliceBytes_ = std::clamp(scaled, kLeastSliceBytes, kMostSliceBytes);
}

void RichEditReport::Finish() {
  pending_ = false;
  // The caret as the writes left it; later insertions go there in the colour in force.
  LPARAM caret = CharPosition(model_.Text(), model_.Caret());
  FocusIfShown();
  SendMessageA(control_, EM_SETSEL, static_cast<WPARAM>(caret), caret);
  ApplyColour(control_, model_.Colour(), model_.Height());
}

std::vector<LONG> FittedTabStops(HWND control, std::string_view text, std::span<const LONG> least) {
  std::vector<LONG> stops(least.begin(), least.end());
  HDC dc = GetDC(control);
  if (!dc) return stops;
  const int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
  const CHARFORMATA cf = ReportCharFormat();
  HFONT font = CreateFontA(-MulDiv(cf.yHeight, dpiY, 1440), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, cf.bCharSet,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, cf.szFaceName);
  HGDIOBJ old = SelectObject(dc, font);
  // The widest cell of each column but the last of its line, in twips.
  std::vector<LONG> widest;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
    std::string_view line = text.substr(start, end - start);
    for (std::size_t column = 0, tab; (tab = line.find('\t')) != std::string_view::npos; ++column) {
      SIZE size{};
      GetTextExtentPoint32A(dc, line.data(), static_cast<int>(tab), &size);
      if (widest.size() <= column) widest.resize(column + 1, 0);
      widest[column] = std::max(widest[column], static_cast<LONG>(MulDiv(size.cx, 1440, dpiX)));
      line.remove_prefix(tab + 1);
    }
    start = end + 1;
  }
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(control, dc);
  // Room between a column's widest text and the next column: about a blank of the font.
  constexpr LONG kGap = 150;
  LONG columnStart = 0;
  for (std::size_t column = 0; column < widest.size() && column < MAX_TAB_STOPS; ++column) {
    const LONG needed = columnStart + widest[column] + kGap;
    if (column < stops.size()) {
      stops[column] = std::max(stops[column], needed);
    } else {
      stops.push_back(needed);
    }
    columnStart = stops[column];
  }
  // Later stops keep their distances from the one before, moved with it.
  for (std::size_t i = 1; i < stops.size(); ++i) {
    const LONG leastGap = least.size() > i ? least[i] - least[i - 1] : kGap;
    stops[i] = std::max(stops[i], stops[i - 1] + leastGap);
  }
  return stops;
}

int TextRight(HWND control) {
  if (!control) return 0;
  const auto lines = static_cast<int>(SendMessageA(control, EM_GETLINECOUNT, 0, 0));
  const int scrolled = GetScrollPos(control, SB_HORZ);
  int right = 0;
  for (int line = 0; line < lines; ++line) {
    const LRESULT start = SendMessageA(control, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    const LRESULT length = SendMessageA(control, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    const LRESULT end = SendMessageA(control, EM_POSFROMCHAR, static_cast<WPARAM>(start + length), 0);
    right = std::max(right, static_cast<short>(LOWORD(end)) + scrolled);
  }
  return right;
}

RichEditResult::RichEditResult(HWND control, std::span<const LONG> tabStops, bool fitText)
    : control_(control), tabStops_(tabStops), fitText_(fitText) {
  if (!control_) return;
  SetUpResultControl(control_, tabStops_);
  SetWindowSubclass(control_, ControlProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

RichEditResult::~RichEditResult() {
  if (control_ && IsWindow(control_)) RemoveWindowSubclass(control_, ControlProc, 0);
}

LRESULT CALLBACK RichEditResult::ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
  auto* sink = reinterpret_cast<RichEditResult*>(self);
  switch (msg) {
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
    case WM_MOVE:
    case WM_SIZE:
    case WM_NCCALCSIZE:
    case WM_GETMINMAXINFO:
    case WM_DESTROY:
    case WM_NCDESTROY:
      break;
    default:
      if (sink->pending_) sink->WritePending();
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

void RichEditResult::WritePending() {
  // Taken out first: the writing's own messages pass through ControlProc.
  const std::string text = std::move(*pending_);
  pending_.reset();
  Write(text, false);
}

void RichEditResult::LayOut() {
  if (!fitText_) return SetUpResultControl(control_, tabStops_);
  // The control's own text in code page 932; the window-text calls read nothing from it.
  GETTEXTLENGTHEX length{GTL_NUMBYTES | GTL_PRECISE, 932};
  const auto bytes = SendMessageA(control_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
  std::string text(static_cast<std::size_t>(std::max<LRESULT>(bytes, 0)) + 1, '\0');
  GETTEXTEX get{static_cast<DWORD>(text.size()), GT_DEFAULT, 932, nullptr, nullptr};
  const auto got = SendMessageA(control_, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(got, 0, static_cast<LRESULT>(text.size()) - 1)));
  SetUpResultControl(control_, FittedTabStops(control_, text, tabStops_));
}

void RichEditResult::FocusIfShown() {
  if (IsWindowVisible(GetAncestor(control_, GA_ROOT))) SetFocus(control_);
}

void RichEditResult::Command(std::string_view command) {
  if (!control_) return;
  // Emptied, the control needs no text that waits.
  if (command == "CLEAR") pending_.reset();
  if (command != "COPY" && command != "ALLSELECT") written_.reset();
  if (command == "CLEAR") {
    FocusIfShown();
    SetWindowTextA(control_, "");
    LayOut();
  } else if (command == "CUT") {
    SendMessageA(control_, WM_CUT, 0, 0);
  } else if (command == "COPY") {
    SendMessageA(control_, WM_COPY, 0, 0);
  } else if (command == "PASTE") {
    SendMessageA(control_, WM_PASTE, 0, 0);
  } else if (command == "ALLSELECT") {
    LRESULT length = SendMessageA(control_, WM_GETTEXTLENGTH, 0, 0);
    SendMessageA(control_, EM_SETSEL, 0, length);
  }
}

void RichEditResult::Append(std::string_view text) {
  if (!control_) return;
  written_.reset();
  std::string copy(text);
  CHARFORMATA cf{};
  cf.cbSize = sizeof cf;
  cf.dwMask = CFM_CHARSET;
  cf.bCharSet = SHIFTJIS_CHARSET;
  SendMessageA(control_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  SendMessageA(control_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(copy.c_str()));
}

void RichEditResult::CaretToStart() {
  if (!control_) return;
  // Lines typed or pasted by the user since may have paragraphs of another layout.
  LayOut();
  FocusIfShown();
  SendMessageA(control_, EM_SETSEL, 0, 0);
}

void RichEditResult::Replace(std::string_view text) {
  if (!control_) return;
  const bool shown = IsWindowVisible(GetAncestor(control_, GA_ROOT));
  if (!shown && pending_) {
    *pending_ = text;
    return;
  }
  // A shown window takes its text now, with the focus.
  pending_.reset();
  const bool untouched = written_ && SendMessageA(control_, EM_GETMODIFY, 0, 0) == 0;
  if (untouched && *written_ == text) {
    // Where a rewrite leaves the view: at the start of the text.
    FocusIfShown();
    POINT top{0, 0};
    SendMessageA(control_, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&top));
    SendMessageA(control_, EM_SETSEL, 0, 0);
    return;
  }
  // A hidden table costs nothing until it is seen or read: a range command rewrites every
  // table, and most windows are closed.
  if (!shown) {
    pending_ = std::string(text);
    return;
  }
  Write(text, true);
}

void RichEditResult::Write(std::string_view text, bool focus) {
  // Wine's control keeps an undo record of every paragraph inserted, even by an insertion that
  // cannot be undone, and drops the oldest past its hundredth at a cost that made the insertion
  // of a table of 200 rows five times slower: nothing of a rewrite is undone.
  SendMessageA(control_, EM_SETUNDOLIMIT, 0, 0);
  if (focus) FocusIfShown();
  // The whole table streamed in as RTF, its tab stops in every paragraph: one replacement laid
  // out once, three times faster under Wine than emptying the control, setting the stops and
  // inserting the text.
  const std::vector<LONG> stops =
      fitText_ ? FittedTabStops(control_, text, tabStops_) : std::vector<LONG>(tabStops_.begin(), tabStops_.end());
  std::string rtf = TableRtf(text, stops);
  StreamSource src{&rtf, 0};
  EDITSTREAM es{};
  es.dwCookie = reinterpret_cast<DWORD_PTR>(&src);
  es.pfnCallback = ReadStream;
  SendMessageA(control_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
  // A stream without text leaves the paragraph without its stops.
  if (text.empty()) SetUpResultControl(control_, stops);
  if (focus) FocusIfShown();
  SendMessageA(control_, EM_SETSEL, 0, 0);
  POINT top{0, 0};
  SendMessageA(control_, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&top));
  SendMessageA(control_, EM_SETUNDOLIMIT, kUndoLimit, 0);
  SendMessageA(control_, EM_SETMODIFY, FALSE, 0);
  written_ = std::string(text);
}

}  // namespace orv::app
