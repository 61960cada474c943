#include "framework/win32/win32_gdi.h"

#include <memory>
#include <string>
#include <type_traits>

#include "platform/wide_text.h"
// After the framework's headers (see the header).
#include "framework/win32/windows_api.h"

namespace nuv::fw::win32 {
namespace {

constexpr int kPointsPerInch = 72;

RECT ToRect(const Rect& r) {
  return RECT{r.left, r.top, r.right, r.bottom};
}

Rect FromRect(const RECT& r) {
  return Rect{r.left, r.top, r.right, r.bottom};
}

// Selects an object into a device context for as long as it lives.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object)
      : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
  ~Selected() {
    if (previous_ != nullptr)
      SelectObject(dc_, previous_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

int DrawWithFont(HDC dc, HFONT font, std::string_view text, Rect& rect, uint32_t flags) {
  const Selected selected(dc, font);
  std::wstring wide = platform::ToWide(text);
  RECT r = ToRect(rect);
  const int height = DrawTextW(dc, wide.data(), static_cast<int>(wide.size()), &r, flags);
  if ((flags & DT_CALCRECT) != 0)
    rect = FromRect(r);
  return height;
}

}  // namespace

FontCache::~FontCache() {
  for (auto& [key, font] : fonts_)
    DeleteObject(font);
}

HFONT FontCache::Get(const Font& font) {
  const auto key = std::make_tuple(font.face, font.point_size, font.weight, font.italic);
  if (auto it = fonts_.find(key); it != fonts_.end())
    return it->second;
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen != nullptr)
    ReleaseDC(nullptr, screen);
  LOGFONTW wanted{};
  wanted.lfHeight = -MulDiv(font.point_size, dpi, kPointsPerInch);
  wanted.lfWeight = font.weight;
  wanted.lfItalic = font.italic ? TRUE : FALSE;
  wanted.lfCharSet = DEFAULT_CHARSET;
  const std::wstring face = platform::ToWide(font.face);
  face.copy(wanted.lfFaceName, LF_FACESIZE - 1);
  HFONT made = CreateFontIndirectW(&wanted);
  if (made != nullptr)
    fonts_.emplace(key, made);
  return made;
}

Rect MeasureText(FontCache& fonts, const Font& font, std::string_view text, const Rect& bounds,
                 uint32_t flags) {
  Rect rect = bounds;
  HDC screen = GetDC(nullptr);
  if (screen == nullptr)
    return rect;
  DrawWithFont(screen, fonts.Get(font), text, rect, flags | DT_CALCRECT);
  ReleaseDC(nullptr, screen);
  return rect;
}

Font StatusBarFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
    return Font{"Segoe UI", 9};
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen != nullptr)
    ReleaseDC(nullptr, screen);
  const LOGFONTW& status = metrics.lfStatusFont;
  const int height = status.lfHeight < 0 ? -status.lfHeight : status.lfHeight;
  return Font{platform::FromWide(status.lfFaceName), MulDiv(height, kPointsPerInch, dpi),
              status.lfWeight != 0 ? static_cast<int>(status.lfWeight) : 400, status.lfItalic != 0};
}

void GdiPainter::FillRect(const Rect& rect, ColorRef colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  const RECT r = ToRect(rect);
  ::FillRect(dc_, &r, brush);
  DeleteObject(brush);
}

void GdiPainter::FrameRect(const Rect& rect) {
  const RECT r = ToRect(rect);
  ::FrameRect(dc_, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

int GdiPainter::DrawText(std::string_view text, Rect& rect, uint32_t flags, const Font& font,
                         ColorRef colour) {
  SetBkMode(dc_, TRANSPARENT);
  SetTextColor(dc_, colour);
  return DrawWithFont(dc_, fonts_.Get(font), text, rect, flags);
}

namespace {

struct DeleteDc {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
struct DeleteObject {
  void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DeleteDc>;
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, DeleteObject>;

// The device context of a window's client area, for as long as it lives.
class ClientDc {
 public:
  explicit ClientDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~ClientDc() {
    if (dc_ != nullptr)
      ReleaseDC(hwnd_, dc_);
  }
  ClientDc(const ClientDc&) = delete;
  ClientDc& operator=(const ClientDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

}  // namespace

Picture CaptureWindow(HWND hwnd) {
  RECT client{};
  if (hwnd == nullptr || !IsWindowVisible(hwnd) || !GetClientRect(hwnd, &client))
    return {};
  const int width = client.right;
  const int height = client.bottom;
  if (width <= 0 || height <= 0)
    return {};
  RedrawWindow(hwnd, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const ClientDc source(hwnd);
  const MemoryDc memory(CreateCompatibleDC(source.get()));
  if (source.get() == nullptr || memory == nullptr)
    return {};
  // Top-down rows of 32 bits a pixel: blue, green, red and a byte unused,
  // which read as one number are 0x00RRGGBB.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const Bitmap bitmap(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (bitmap == nullptr || bits == nullptr)
    return {};
  {
    const Selected selected(memory.get(), bitmap.get());
    if (!BitBlt(memory.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY))
      return {};
    GdiFlush();
  }
  Picture picture{width, height, {}};
  const auto* pixels = static_cast<const uint32_t*>(bits);
  picture.pixels.assign(pixels, pixels + static_cast<size_t>(width) * static_cast<size_t>(height));
  for (uint32_t& pixel : picture.pixels)
    pixel &= 0xFFFFFF;
  return picture;
}

}  // namespace nuv::fw::win32
