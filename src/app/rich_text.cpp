// RichEdit20A sinks for the raw data report and the pairwise tables.
#include "app/rich_text.h"

#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace orv::app {

namespace {

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

void AppendEscaped(std::string& out, std::string_view text) {
  char hex[8];
  bool trail = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (trail || b >= 0x80) {
      // A trail byte may look like "\" or "{": escaping it keeps the pair together.
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
  cf.bCharSet = 0;
  lstrcpynA(cf.szFaceName, "System", LF_FACESIZE);
  return cf;
}

std::string ReportRtf(const std::vector<ColourRun>& runs, int heightTwips) {
  std::vector<Rgb> colours;
  for (const ColourRun& r : runs) {
    if (std::find(colours.begin(), colours.end(), r.colour) == colours.end()) colours.push_back(r.colour);
  }
  std::string out = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 System;}}{\\colortbl ;";
  char entry[64];
  for (Rgb c : colours) {
    std::snprintf(entry, sizeof entry, "\\red%u\\green%u\\blue%u;", RedOf(c), GreenOf(c), BlueOf(c));
    out += entry;
  }
  std::snprintf(entry, sizeof entry, "}\\pard\\plain\\f0\\fs%d\n", heightTwips / 10);
  out += entry;
  std::size_t total = 0;
  for (const ColourRun& r : runs) total += r.text.size();
  out.reserve(out.size() + total * 3 + 64);
  for (const ColourRun& r : runs) {
    auto index = std::find(colours.begin(), colours.end(), r.colour) - colours.begin() + 1;
    std::snprintf(entry, sizeof entry, "\\cf%d ", static_cast<int>(index));
    out += entry;
    AppendEscaped(out, r.text);
  }
  out += "}";
  return out;
}

RichEditReport::RichEditReport(HWND control, std::string_view initial) : control_(control) { model_.Insert(initial); }

void RichEditReport::FocusIfShown() {
  // Focusing a control of a hidden window would activate that window and take the keyboard
  // from the main window; the focus only moves when the report is on screen.
  if (IsWindowVisible(GetAncestor(control_, GA_ROOT))) SetFocus(control_);
}

void RichEditReport::Clear() {
  model_.Clear();
  if (direct_) {
    FocusIfShown();
    SetWindowTextA(control_, "");
  } else {
    dirty_ = true;
  }
}

void RichEditReport::Insert(std::string_view bytes) {
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
  std::string rtf = ReportRtf(model_.Runs(), model_.Height());
  StreamSource src{&rtf, 0};
  EDITSTREAM es{};
  es.dwCookie = reinterpret_cast<DWORD_PTR>(&src);
  es.pfnCallback = ReadStream;
  SendMessageA(control_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(control_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
  SendMessageA(control_, WM_SETREDRAW, TRUE, 0);
  // The caret as the writes left it; later insertions go there in the colour in force.
  LPARAM caret = CharPosition(model_.Text(), model_.Caret());
  FocusIfShown();
  SendMessageA(control_, EM_SETSEL, static_cast<WPARAM>(caret), caret);
  ApplyColour(control_, model_.Colour(), model_.Height());
  InvalidateRect(control_, nullptr, TRUE);
}

void RichEditResult::FocusIfShown() {
  if (IsWindowVisible(GetAncestor(control_, GA_ROOT))) SetFocus(control_);
}

void RichEditResult::Command(std::string_view command) {
  if (!control_) return;
  if (command == "CLEAR") {
    FocusIfShown();
    SetWindowTextA(control_, "");
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
  std::string copy(text);
  SendMessageA(control_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(copy.c_str()));
}

void RichEditResult::CaretToStart() {
  if (!control_) return;
  FocusIfShown();
  SendMessageA(control_, EM_SETSEL, 0, 0);
}

}  // namespace orv::app
