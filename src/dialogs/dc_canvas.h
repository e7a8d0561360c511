// A drawing surface on a device context that a setting window owns, so that the core's
// drawing primitives (DrawHBar) draw the line samples exactly as they draw the curves.
#pragma once

#include <windows.h>
#undef TextOut  // keeps the name Canvas::TextOut the same in every file

#include "platform/canvas.h"

namespace orv {

class DcCanvas : public Canvas {
 public:
  // The context stays the caller's; the canvas only selects its own pen into it and puts
  // the context's original pen back when it is destroyed.
  DcCanvas(HWND window, HDC dc);
  ~DcCanvas() override;
  DcCanvas(const DcCanvas&) = delete;
  DcCanvas& operator=(const DcCanvas&) = delete;

  void SelectPen(const Pen& pen) override;
  void SelectFont(const FontSpec*) override {}
  void SetTextColour(Rgb colour) override;
  void SetBkColour(Rgb colour) override;
  void SetBkMode(BkMode mode) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void TextOut(int x, int y, std::string_view bytes) override;
  void FillRect(const Rect& rect, Rgb colour) override;
  Rect ClientRect() const override;

 private:
  HWND window_;
  HDC dc_;
  HPEN pen_ = nullptr;
  HGDIOBJ originalPen_ = nullptr;
};

}  // namespace orv
