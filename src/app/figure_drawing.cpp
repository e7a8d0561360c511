// The publication figure through GDI, GDI+ and as SVG text.
#include "app/figure_drawing.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <span>
#include <vector>

#include "graph/incidence_figure.h"
#include "graph/line_styles.h"
#include "text/cp932.h"
#include "text/truncate.h"

namespace orv::app {

namespace {

// The dash pattern in dots, as the batch command's figure draws it.
std::vector<double> Dashes(int style) {
  std::vector<double> dashes;
  for (double d : PenDashPattern(style)) dashes.push_back(d * kFigureDashScale);
  return dashes;
}

// Widths are measured at this many times the text's size: GDI rounds a font to whole pixels.
constexpr double kMeasureScale = 8;
constexpr char kJapaneseFace[] = "ＭＳ Ｐゴシック";

int Round(double v) { return TruncToInt32(std::floor(v + 0.5)); }

bool IsJapanese(const FigureText& t) {
  // Kana and kanji: lead bytes from 0x81 in code page 932, from 0xE3 (U+3000) in UTF-8.
  const unsigned char first = t.utf8 ? 0xE3 : 0x81;
  return std::any_of(t.text.begin(), t.text.end(), [first](char c) { return static_cast<unsigned char>(c) >= first; });
}

std::wstring Wide(const std::string& bytes, bool utf8) {
  const UINT codePage = utf8 ? CP_UTF8 : 932;
  const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(std::max(n, 0)), L'\0');
  if (n > 0) MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
  return wide;
}

HFONT CreateFigureFont(double height, bool japanese, bool vertical) {
  LOGFONTA lf{};
  lf.lfHeight = -std::max(1, Round(height));
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = japanese ? SHIFTJIS_CHARSET : ANSI_CHARSET;
  lf.lfOutPrecision = OUT_TT_PRECIS;
  lf.lfQuality = ANTIALIASED_QUALITY;
  lf.lfEscapement = lf.lfOrientation = vertical ? 900 : 0;
  lstrcpynA(lf.lfFaceName, japanese ? kJapaneseFace : "Arial", LF_FACESIZE);
  return CreateFontIndirectA(&lf);
}

COLORREF OverWhite(Rgb c, double opacity) {
  const auto mix = [opacity](int v) { return static_cast<BYTE>(Round(255 - opacity * (255 - v))); };
  return RGB(mix(RedOf(c)), mix(GreenOf(c)), mix(BlueOf(c)));
}

std::vector<POINT> Points(const std::vector<FigurePoint>& points) {
  std::vector<POINT> out;
  out.reserve(points.size());
  for (const FigurePoint& p : points) out.push_back({Round(p.x), Round(p.y)});
  return out;
}

void DrawLines(HDC dc, const FigureLayout& layout) {
  for (const FigureLine& line : layout.lines) {
    if (line.points.size() < 2 || line.style == 5) continue;
    LOGBRUSH brush{BS_SOLID, RGB(RedOf(line.colour), GreenOf(line.colour), BlueOf(line.colour)), 0};
    std::vector<DWORD> dashes;
    for (double d : Dashes(line.style)) dashes.push_back(static_cast<DWORD>(Round(d)));
    const DWORD style = PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_JOIN_MITER | (dashes.empty() ? PS_SOLID : PS_USERSTYLE);
    HPEN pen = ExtCreatePen(style, static_cast<DWORD>(std::max(1, Round(line.width))), &brush,
                            static_cast<DWORD>(dashes.size()), dashes.empty() ? nullptr : dashes.data());
    HGDIOBJ previous = SelectObject(dc, pen);
    const std::vector<POINT> points = Points(line.points);
    Polyline(dc, points.data(), static_cast<int>(points.size()));
    SelectObject(dc, previous);
    DeleteObject(pen);
  }
}

void DrawTexts(HDC dc, const FigureLayout& layout) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  for (const FigureText& t : layout.texts) {
    if (t.text.empty()) continue;
    HFONT font = CreateFigureFont(t.size, IsJapanese(t), t.vertical);
    HGDIOBJ previous = SelectObject(dc, font);
    UINT align = TA_BASELINE | TA_NOUPDATECP;
    if (t.anchor == TextAnchor::Centre) align |= TA_CENTER;
    if (t.anchor == TextAnchor::Right) align |= TA_RIGHT;
    SetTextAlign(dc, align);
    const std::wstring wide = Wide(t.text, t.utf8);
    ExtTextOutW(dc, Round(t.x), Round(t.y), 0, nullptr, wide.c_str(), static_cast<UINT>(wide.size()), nullptr);
    SelectObject(dc, previous);
    DeleteObject(font);
  }
}

// GDI+ lives while a raster is encoded.
class GdiPlus {
 public:
  GdiPlus() {
    Gdiplus::GdiplusStartupInput input;
    ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
  }
  ~GdiPlus() {
    if (ok_) Gdiplus::GdiplusShutdown(token_);
  }
  GdiPlus(const GdiPlus&) = delete;
  GdiPlus& operator=(const GdiPlus&) = delete;
  bool ok() const { return ok_; }

 private:
  ULONG_PTR token_ = 0;
  bool ok_ = false;
};

bool EncoderOf(const wchar_t* mime, CLSID& clsid) {
  UINT count = 0, bytes = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
  std::vector<BYTE> buffer(bytes);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (lstrcmpW(codecs[i].MimeType, mime) == 0) {
      clsid = codecs[i].Clsid;
      return true;
    }
  }
  return false;
}

// A white 24-bit DIB section with the figure drawn on it at dpi.
class FigureBitmap {
 public:
  FigureBitmap(const FigureLayout& layout, int dpi) : size_(FigurePixels(dpi)) {
    info_.biSize = sizeof info_;
    info_.biWidth = size_.cx;
    info_.biHeight = size_.cy;  // bottom-up, as the clipboard's DIBs are
    info_.biPlanes = 1;
    info_.biBitCount = 24;
    info_.biCompression = BI_RGB;
    info_.biSizeImage = static_cast<DWORD>(Stride() * size_.cy);
    const LONG perMetre = Round(dpi / 0.0254);
    info_.biXPelsPerMeter = info_.biYPelsPerMeter = perMetre;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, reinterpret_cast<BITMAPINFO*>(&info_), DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (!bitmap_) return;
    previous_ = SelectObject(dc_, bitmap_);
    DrawFigure(dc_, layout, 0, 0, size_.cx, size_.cy);
    GdiFlush();
  }
  ~FigureBitmap() {
    if (previous_) SelectObject(dc_, previous_);
    if (bitmap_) DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  FigureBitmap(const FigureBitmap&) = delete;
  FigureBitmap& operator=(const FigureBitmap&) = delete;

  bool ok() const { return bitmap_ != nullptr && bits_ != nullptr; }
  LONG Stride() const { return (size_.cx * 3 + 3) & ~3; }
  const BITMAPINFOHEADER& info() const { return info_; }
  const void* bits() const { return bits_; }
  HBITMAP bitmap() const { return bitmap_; }

 private:
  SIZE size_;
  BITMAPINFOHEADER info_{};
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  void* bits_ = nullptr;
};

void AppendNumber(std::string& out, double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", v);
  std::string s = text;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  if (s == "-0") s = "0";
  out += s;
}

void AppendColour(std::string& out, Rgb c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", RedOf(c), GreenOf(c), BlueOf(c));
  out += text;
}

void AppendEscaped(std::string& out, std::string_view utf8) {
  for (char c : utf8) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        // Control characters are not allowed in XML text.
        out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
  }
}

void AppendPoints(std::string& out, const std::vector<FigurePoint>& points) {
  out += " points=\"";
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i > 0) out += ' ';
    AppendNumber(out, points[i].x);
    out += ',';
    AppendNumber(out, points[i].y);
  }
  out += '"';
}

}  // namespace

FigureTextMeasure::FigureTextMeasure() : dc_(CreateCompatibleDC(nullptr)) {}

FigureTextMeasure::~FigureTextMeasure() { DeleteDC(dc_); }

double FigureTextMeasure::operator()(std::string_view bytes, double size) const {
  if (bytes.empty()) return 0;
  FigureText t{.text = std::string(bytes)};
  HFONT font = CreateFigureFont(size * kMeasureScale, IsJapanese(t), false);
  HGDIOBJ previous = SelectObject(dc_, font);
  const std::wstring wide = Wide(t.text, false);
  SIZE extent{};
  GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &extent);
  SelectObject(dc_, previous);
  DeleteObject(font);
  return extent.cx / kMeasureScale;
}

FigureInput FigureInputFor(const Workspace& ws, bool incidence, const FigureSettings& settings) {
  FigureInput input;
  if (incidence && ws.run.competing.active) {
    input = IncidenceFigureInputOf(ws, ws.run.competing, ws.styles, ws.geometry.xMax, settings.bands);
  } else {
    input = FigureInputOf(ws, ws.styles, ws.geometry.xMax, settings.bands);
    AddReviewerFigures(ws.run.reviewer, ws.cases, input);
  }
  UseEnglishLabels(ws.cases, ws.groupLabels, ws.causeLabels, input);
  ApplyFigureSettings(settings, input);
  return input;
}

FigureLayout LayoutWithGdiFonts(const FigureInput& input) {
  const FigureTextMeasure measure;
  return LayoutPublicationFigure(input, [&measure](std::string_view bytes, double size) { return measure(bytes, size); });
}

void DrawFigure(HDC dc, const FigureLayout& layout, int x, int y, int width, int height) {
  const int saved = SaveDC(dc);
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowOrgEx(dc, 0, 0, nullptr);
  SetWindowExtEx(dc, Round(layout.width), Round(layout.height), nullptr);
  SetViewportOrgEx(dc, x, y, nullptr);
  SetViewportExtEx(dc, width, height, nullptr);

  SelectObject(dc, GetStockObject(NULL_PEN));
  // Brushes of their own, not the DC brush, whose colour a metafile does not record.
  const auto fillPolygon = [dc](const std::vector<POINT>& points, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    HGDIOBJ previous = SelectObject(dc, brush);
    Polygon(dc, points.data(), static_cast<int>(points.size()));
    SelectObject(dc, previous);
    DeleteObject(brush);
  };
  const int w = Round(layout.width) + 1, h = Round(layout.height) + 1;
  fillPolygon({{0, 0}, {w, 0}, {w, h}, {0, h}}, RGB(255, 255, 255));
  // GDI has no opacity: a band is its colour over white, the later one over the earlier.
  for (const FigureFill& fill : layout.fills) {
    if (fill.points.size() >= 3) fillPolygon(Points(fill.points), OverWhite(fill.colour, fill.opacity));
  }
  DrawLines(dc, layout);
  DrawTexts(dc, layout);
  RestoreDC(dc, saved);
}

SIZE FigurePixels(int dpi) {
  return {Round(kFigureWidth * static_cast<double>(dpi) / kFigureDpi), Round(kFigureHeight * static_cast<double>(dpi) / kFigureDpi)};
}

std::string FigureRaster(const FigureLayout& layout, int dpi, bool tiff) {
  const GdiPlus gdiPlus;
  CLSID encoder{};
  if (!gdiPlus.ok() || !EncoderOf(tiff ? L"image/tiff" : L"image/png", encoder)) return {};
  const FigureBitmap drawn(layout, dpi);
  if (!drawn.ok()) return {};
  std::string bytes;
  IStream* stream = nullptr;
  if (CreateStreamOnHGlobal(nullptr, TRUE, &stream) != S_OK) return {};
  {
    Gdiplus::Bitmap bitmap(drawn.bitmap(), nullptr);
    bitmap.SetResolution(static_cast<Gdiplus::REAL>(dpi), static_cast<Gdiplus::REAL>(dpi));
    // A TIFF compressed as LZW where the encoder can (a 600-dpi figure is 34 MB without),
    // else as it comes.
    Gdiplus::EncoderParameters lzw{};
    ULONG compression = Gdiplus::EncoderValueCompressionLZW;
    lzw.Count = 1;
    lzw.Parameter[0] = {Gdiplus::EncoderCompression, 1, Gdiplus::EncoderParameterValueTypeLong, &compression};
    const auto save = [&](const Gdiplus::EncoderParameters* parameters) {
      LARGE_INTEGER start{};
      ULARGE_INTEGER empty{};
      stream->Seek(start, STREAM_SEEK_SET, nullptr);
      stream->SetSize(empty);
      return bitmap.Save(stream, &encoder, parameters) == Gdiplus::Ok;
    };
    if (bitmap.GetLastStatus() == Gdiplus::Ok && ((tiff && save(&lzw)) || save(nullptr))) {
      STATSTG stat{};
      stream->Stat(&stat, STATFLAG_NONAME);
      bytes.resize(static_cast<std::size_t>(stat.cbSize.QuadPart));
      LARGE_INTEGER start{};
      stream->Seek(start, STREAM_SEEK_SET, nullptr);
      ULONG read = 0;
      if (stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read) != S_OK || read != bytes.size()) bytes.clear();
    }
  }
  stream->Release();
  return bytes;
}

HGLOBAL FigureDib(const FigureLayout& layout, int dpi) {
  const FigureBitmap drawn(layout, dpi);
  if (!drawn.ok()) return nullptr;
  const std::size_t header = sizeof(BITMAPINFOHEADER), image = drawn.info().biSizeImage;
  HGLOBAL dib = GlobalAlloc(GMEM_MOVEABLE, header + image);
  if (!dib) return nullptr;
  auto* bytes = static_cast<char*>(GlobalLock(dib));
  std::memcpy(bytes, &drawn.info(), header);
  std::memcpy(bytes + header, drawn.bits(), image);
  GlobalUnlock(dib);
  return dib;
}

HENHMETAFILE FigureMetafile(const FigureLayout& layout) {
  // Its frame in hundredths of a millimetre; drawn in the reference device's pixels.
  const RECT frame{0, 0, 17000, 12000};
  HDC dc = CreateEnhMetaFileA(nullptr, nullptr, &frame, "Orvantis\0論文用の図\0");
  if (!dc) return nullptr;
  const int width = MulDiv(170, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, HORZSIZE));
  const int height = MulDiv(120, GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, VERTSIZE));
  DrawFigure(dc, layout, 0, 0, width, height);
  return CloseEnhMetaFile(dc);
}

std::string MetafileBytes(HENHMETAFILE metafile) {
  std::string bytes(GetEnhMetaFileBits(metafile, 0, nullptr), '\0');
  if (!bytes.empty()) GetEnhMetaFileBits(metafile, static_cast<UINT>(bytes.size()), reinterpret_cast<BYTE*>(bytes.data()));
  return bytes;
}

std::string FigureSvg(const FigureLayout& layout) {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"170mm\" height=\"120mm\" viewBox=\"0 0 ";
  AppendNumber(out, layout.width);
  out += ' ';
  AppendNumber(out, layout.height);
  out += "\">\n<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  for (const FigureFill& fill : layout.fills) {
    if (fill.points.size() < 3) continue;
    out += "<polygon";
    AppendPoints(out, fill.points);
    out += " fill=\"";
    AppendColour(out, fill.colour);
    out += "\" fill-opacity=\"";
    AppendNumber(out, fill.opacity);
    out += "\"/>\n";
  }
  for (const FigureLine& line : layout.lines) {
    if (line.points.size() < 2 || line.style == 5) continue;
    out += "<polyline";
    AppendPoints(out, line.points);
    out += " fill=\"none\" stroke=\"";
    AppendColour(out, line.colour);
    out += "\" stroke-width=\"";
    AppendNumber(out, line.width);
    out += '"';
    if (const std::vector<double> dashes = Dashes(line.style); !dashes.empty()) {
      out += " stroke-dasharray=\"";
      for (std::size_t i = 0; i < dashes.size(); ++i) {
        if (i > 0) out += ' ';
        AppendNumber(out, dashes[i]);
      }
      out += '"';
    }
    out += "/>\n";
  }
  for (const FigureText& t : layout.texts) {
    if (t.text.empty()) continue;
    out += "<text x=\"";
    AppendNumber(out, t.x);
    out += "\" y=\"";
    AppendNumber(out, t.y);
    out += IsJapanese(t) ? "\" font-family=\"'MS PGothic', 'IPAGothic', sans-serif\"" : "\" font-family=\"Arial, 'Liberation Sans', sans-serif\"";
    out += " font-size=\"";
    AppendNumber(out, t.size);
    out += '"';
    if (t.anchor == TextAnchor::Centre) out += " text-anchor=\"middle\"";
    if (t.anchor == TextAnchor::Right) out += " text-anchor=\"end\"";
    if (t.vertical) {
      out += " transform=\"rotate(-90 ";
      AppendNumber(out, t.x);
      out += ' ';
      AppendNumber(out, t.y);
      out += ")\"";
    }
    out += '>';
    AppendEscaped(out, t.utf8 ? t.text : Cp932ToUtf8(t.text));
    out += "</text>\n";
  }
  out += "</svg>\n";
  return out;
}

}  // namespace orv::app
