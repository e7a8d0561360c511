// The drawing surfaces of the program on GDI device contexts.
//
// A GdiCanvas draws on a device context it does not own (the kept context of a window, or
// the memory context of the graph bitmap). Each pen value gets one GDI pen, kept until the
// canvas is destroyed; a font lives until the next font is selected. The client rectangle is
// that of a window, which for the graph bitmap is the main window.
#pragma once

#include "app/win32.h"

#include <map>
#include <utility>

#include "platform/canvas.h"

namespace orv::app {

class GdiCanvas : public Canvas {
 public:
  // invalidate: the window whose client area is repainted by Invalidate (none: ignored).
  GdiCanvas(HDC dc, HWND clientOf, HWND invalidate);
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  void SelectPen(const Pen& pen) override;
  void SelectFont(const FontSpec* font) override;
  void SetTextColour(Rgb colour) override;
  void SetBkColour(Rgb colour) override;
  void SetBkMode(BkMode mode) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void TextOut(int x, int y, std::string_view bytes) override;
  void FillRect(const Rect& rect, Rgb colour) override;
  Rect ClientRect() const override;
  int TextWidth(std::string_view bytes) const override;
  void Invalidate() override;

  HDC dc() const { return dc_; }

 private:
  HDC dc_;
  HWND clientOf_;
  HWND invalidate_;
  std::map<std::pair<int, Rgb>, HPEN> pens_;
  HGDIOBJ originalPen_ = nullptr;
  HGDIOBJ originalFont_ = nullptr;
  HFONT font_ = nullptr;
};

}  // namespace orv::app
