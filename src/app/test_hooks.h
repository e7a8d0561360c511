// The messages through which the GUI tests act as the shell would and read what another
// process cannot. Only the test build of the program (OrvantisTestHooks.exe, built from the
// same sources) answers them; the released Orvantis.exe leaves every one to the platform.
#pragma once

#include <cstdint>

namespace orv::app {

// WM_COPYDATA kinds understood by the main window of the test build.
// A drop carries the paths, each ended by a zero byte; the program builds the drop itself and
// posts it to itself, as a shell would.
inline constexpr unsigned long kCopyDataDrop = 0x4F520001;
// A pixel read carries two 32-bit ints (x, y) and returns the colour of the graph bitmap.
inline constexpr unsigned long kCopyDataGraphPixel = 0x4F520002;
// A character format read carries a CharFormatQuery and returns the character set of that
// range of the rich edit control, plus kMixedCharSet when the range holds more than one (of a
// text view: its font's).
inline constexpr unsigned long kCopyDataCharSet = 0x4F520003;
// A scroll read carries a ScrollQuery and returns the bar's range end (nMax + 1) in bits 0-15,
// its page in bits 16-31 and its position from bit 32; 0 for a window without that bar.
inline constexpr unsigned long kCopyDataScroll = 0x4F520004;
inline constexpr long kMixedCharSet = 0x100;

struct CharFormatQuery {
  std::uint64_t control;  // the HWND of the control
  std::int32_t first, last;  // character positions
};

struct ScrollQuery {
  std::uint64_t window;  // the HWND of a view window
  std::int32_t bar;      // SB_HORZ or SB_VERT
};

// Posted with a window handle in lParam: the program posts kPong back with the same wParam
// once it has handled every message posted before, and an lParam of 1 while the report
// control is still being filled, else 0.
inline constexpr unsigned kPing = 0x8000 + 0x150;  // WM_APP + 0x150
inline constexpr unsigned kPong = 0x8000 + 0x151;
// Sent: returns the program's processor time so far (user and kernel), in milliseconds; Wine
// tells another process's times as 0.
inline constexpr unsigned kCpuMilliseconds = 0x8000 + 0x152;

}  // namespace orv::app
