// GDI drawing surfaces.
#include "app/gdi_canvas.h"

namespace orv::app {

namespace {

int GdiPenStyle(int style) {
  switch (style) {
    case 1: return PS_DASH;
    case 2: return PS_DOT;
    case 3: return PS_DASHDOT;
    case 4: return PS_DASHDOTDOT;
    case 5: return PS_NULL;
    default: return PS_SOLID;
  }
}

}  // namespace

GdiCanvas::GdiCanvas(HDC dc, HWND clientOf, HWND invalidate) : dc_(dc), clientOf_(clientOf), invalidate_(invalidate) {}

GdiCanvas::~GdiCanvas() {
  if (originalPen_) SelectObject(dc_, originalPen_);
  if (originalFont_) SelectObject(dc_, originalFont_);
  for (auto& [key, pen] : pens_) DeleteObject(pen);
  if (font_) DeleteObject(font_);
}

void GdiCanvas::SelectPen(const Pen& pen) {
  auto key = std::make_pair(pen.style, pen.colour);
  auto it = pens_.find(key);
  if (it == pens_.end()) {
    // Width 0: one pixel whatever the mapping, as the curves and axes are drawn.
    it = pens_.emplace(key, CreatePen(GdiPenStyle(pen.style), 0, pen.colour)).first;
  }
  HGDIOBJ previous = SelectObject(dc_, it->second);
  if (!originalPen_) originalPen_ = previous;
}

void GdiCanvas::SelectFont(const FontSpec* font) {
  HFONT created = nullptr;
  if (font) {
    LOGFONTA lf{};
    lf.lfHeight = font->height;
    lf.lfWeight = font->weight;
    lf.lfCharSet = static_cast<BYTE>(font->charset);
    lstrcpynA(lf.lfFaceName, font->face.c_str(), LF_FACESIZE);
    created = CreateFontIndirectA(&lf);
  }
  HGDIOBJ previous = SelectObject(dc_, created ? static_cast<HGDIOBJ>(created)
                                               : (originalFont_ ? originalFont_ : GetStockObject(SYSTEM_FONT)));
  if (!originalFont_) originalFont_ = previous;
  if (font_) DeleteObject(font_);
  font_ = created;
}

void GdiCanvas::SetTextColour(Rgb colour) { SetTextColor(dc_, colour); }

void GdiCanvas::SetBkColour(Rgb colour) { SetBkColor(dc_, colour); }

void GdiCanvas::SetBkMode(BkMode mode) { ::SetBkMode(dc_, mode == BkMode::Transparent ? TRANSPARENT : OPAQUE); }

void GdiCanvas::MoveTo(int x, int y) { MoveToEx(dc_, x, y, nullptr); }

void GdiCanvas::LineTo(int x, int y) { ::LineTo(dc_, x, y); }

void GdiCanvas::TextOut(int x, int y, std::string_view bytes) {
  ::TextOutA(dc_, x, y, bytes.data(), static_cast<int>(bytes.size()));
}

int GdiCanvas::TextWidth(std::string_view bytes) const {
  SIZE size{};
  GetTextExtentPoint32A(dc_, bytes.data(), static_cast<int>(bytes.size()), &size);
  return size.cx;
}

void GdiCanvas::FillRect(const Rect& rect, Rgb colour) {
  RECT r{rect.left, rect.top, rect.right, rect.bottom};
  COLORREF previous = SetDCBrushColor(dc_, colour);
  ::FillRect(dc_, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  SetDCBrushColor(dc_, previous);
}

Rect GdiCanvas::ClientRect() const {
  RECT r{};
  GetClientRect(clientOf_, &r);
  // A scrolled view draws with its origin moved: the visible area in drawing coordinates.
  DPtoLP(dc_, reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right, r.bottom};
}

void GdiCanvas::Invalidate() {
  if (invalidate_) InvalidateRect(invalidate_, nullptr, FALSE);
}

}  // namespace orv::app
