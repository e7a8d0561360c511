// A drawing surface on a setting window's device context.
#include "dialogs/dc_canvas.h"

namespace orv {

DcCanvas::DcCanvas(HWND window, HDC dc) : window_(window), dc_(dc) {}

DcCanvas::~DcCanvas() {
  if (originalPen_ != nullptr) SelectObject(dc_, originalPen_);
  if (pen_ != nullptr) DeleteObject(pen_);
}

void DcCanvas::SelectPen(const Pen& pen) {
  // GDI's pen styles 0 to 5 are the same numbers as ours; the pen is always one pixel wide.
  HPEN made = CreatePen(pen.style, 0, pen.colour);
  HGDIOBJ previous = SelectObject(dc_, made);
  if (originalPen_ == nullptr) originalPen_ = previous;
  if (pen_ != nullptr) DeleteObject(pen_);
  pen_ = made;
}

void DcCanvas::SetTextColour(Rgb colour) { SetTextColor(dc_, colour); }

void DcCanvas::SetBkColour(Rgb colour) { SetBkColor(dc_, colour); }

void DcCanvas::SetBkMode(BkMode mode) { ::SetBkMode(dc_, static_cast<int>(mode)); }

void DcCanvas::MoveTo(int x, int y) { MoveToEx(dc_, x, y, nullptr); }

void DcCanvas::LineTo(int x, int y) { ::LineTo(dc_, x, y); }

void DcCanvas::TextOut(int x, int y, std::string_view bytes) {
  ::TextOutA(dc_, x, y, bytes.data(), static_cast<int>(bytes.size()));
}

void DcCanvas::FillRect(const Rect& rect, Rgb colour) {
  RECT r{rect.left, rect.top, rect.right, rect.bottom};
  HBRUSH brush = CreateSolidBrush(colour);
  ::FillRect(dc_, &r, brush);
  DeleteObject(brush);
}

Rect DcCanvas::ClientRect() const {
  RECT r{};
  GetClientRect(window_, &r);
  return Rect{r.left, r.top, r.right, r.bottom};
}

}  // namespace orv
