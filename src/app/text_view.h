// A read-only view of running text that wraps at the window's edge: the paragraphs for the paper.
//
// The view keeps its text and lays it out itself, in time linear in the text: the platform's
// edit control under Wine shaped the rest of a paragraph again for every line it wrapped, so a
// rewrite of the paragraphs took a third of a second. Japanese breaks between any two characters
// the language allows (never before a closing bracket, a comma or a full stop, never after an
// opening bracket), Latin text at blanks, which hang at a line's end. The text is laid out only
// when it is drawn or asked about, so a hidden view costs nothing to write.
//
// The view answers the edit control's messages that read it as a user and a test do: the
// window text (Shift-JIS), the selection (EM_GETSEL, EM_SETSEL, EM_SCROLLCARET), the lines
// (EM_GETLINECOUNT, EM_LINEINDEX, EM_LINELENGTH, EM_POSFROMCHAR, EM_GETFIRSTVISIBLELINE),
// WM_SETFONT and WM_COPY, with positions in UTF-16 characters as the edit control counts them.
// The user selects with the mouse and the keyboard, and copies with Ctrl+C or the context menu;
// typing changes nothing.
#pragma once

#include "app/win32.h"

#include <span>
#include <string_view>
#include <vector>

namespace orv::app {

inline constexpr char kTextViewClass[] = "OrvantisTextView";

// Registers the window class once per process.
void RegisterTextViewClass(HINSTANCE instance);

// One line of a wrapped paragraph: the characters [start, end) are drawn, and the next line
// starts at `next` (after the blanks that hang at this one's end).
struct WrappedLine {
  int start, end, next;
};

// Where a break may go between the characters `before` and `after`.
bool CanBreakBetween(wchar_t before, wchar_t after);

// The lines of one paragraph (no line ends in it) at `width` pixels, where `advance[i]` is the
// x after character i from the paragraph's start. A character wider than the line stands alone.
std::vector<WrappedLine> WrapParagraph(std::wstring_view text, std::span<const int> advance, int width);

}  // namespace orv::app
