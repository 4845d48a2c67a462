#include "Dpi.h"

#include <algorithm>
#include <vector>

#include "Handles.h"

namespace tavro::ui {

namespace {
// Found at run time: older Windows and Wine lack some of them, and the
// program must start there all the same.
template <typename Function>
Function FromUser32(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

struct DpiFunctions {
  UINT(WINAPI* forWindow)
  (HWND) = FromUser32<decltype(forWindow)>("GetDpiForWindow");
  int(WINAPI* metric)(int, UINT) =
      FromUser32<decltype(metric)>("GetSystemMetricsForDpi");
  BOOL(WINAPI* adjust)
  (RECT*, DWORD, BOOL, DWORD,
   UINT) = FromUser32<decltype(adjust)>("AdjustWindowRectExForDpi");
  BOOL(WINAPI* dialogBehaviour)
  (HWND, int,
   int) = FromUser32<decltype(dialogBehaviour)>("SetDialogDpiChangeBehavior");
};

// Looked up once, at start-up.
const DpiFunctions functions;
const DpiFunctions& Functions() { return functions; }

UINT ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}
}  // namespace

RECT Scale(const RECT& r, UINT dpi) {
  return {Scale(r.left, dpi), Scale(r.top, dpi), Scale(r.right, dpi),
          Scale(r.bottom, dpi)};
}

UINT WindowDpi(HWND window) {
  if (Functions().forWindow && window)
    if (const UINT dpi = Functions().forWindow(window)) return dpi;
  return ScreenDpi();
}

int MetricForDpi(int index, UINT dpi) {
  if (Functions().metric) return Functions().metric(index, dpi);
  return Rescale(GetSystemMetrics(index), ScreenDpi(), dpi);
}

void AdjustFrameForDpi(RECT& r, DWORD style, bool menu, DWORD exStyle,
                       UINT dpi) {
  if (Functions().adjust)
    Functions().adjust(&r, style, menu, exStyle, dpi);
  else
    AdjustWindowRectEx(&r, style, menu, exStyle);
}

void KeepDialogManagerFromScaling(HWND dialog) {
  constexpr int kDisableAll = 1;  // DDC_DISABLE_ALL
  if (Functions().dialogBehaviour)
    Functions().dialogBehaviour(dialog, kDisableAll, kDisableAll);
}

HFONT CreatePointFont(const char* face, int points, UINT dpi, int weight,
                      bool underline) {
  constexpr UINT kPointsPerInch = 72;
  return CreateFontA(-Rescale(points, kPointsPerInch, dpi), 0, 0, 0, weight,
                     FALSE, underline, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, face);
}

HFONT RescaleFont(HFONT font, UINT from, UINT to) {
  LOGFONTA log{};
  GetObjectA(font, sizeof log, &log);
  log.lfHeight = Rescale(log.lfHeight, from, to);
  log.lfWidth = Rescale(log.lfWidth, from, to);
  return CreateFontIndirectA(&log);
}

HICON LoadIconForDpi(HINSTANCE instance, UINT id, int metric, UINT dpi) {
  const int size = MetricForDpi(metric, dpi);
  return static_cast<HICON>(
      LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
}

// Each pixel of the scaled glyph averages the pixels under it, weighted by
// how much of each it covers. At whole factors (200%) that repeats every
// pixel, as sharp as the original; between them (125%, 150%) only pixels
// on a seam are mixed, where repeating would draw some rows twice and
// others once. The see-through colour becomes alpha 0 first, so that mixed
// edges fade out instead of taking on that colour.
HBITMAP LoadGlyph(HINSTANCE instance, UINT id, UINT dpi) {
  const win::UniqueBitmap strip(static_cast<HBITMAP>(
      LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0,
                 LR_CREATEDIBSECTION)));
  BITMAP source{};
  if (!strip || !GetObjectA(strip.get(), sizeof source, &source))
    return nullptr;
  // A strip holds square glyphs side by side; the first is the normal one.
  const int stride = source.bmWidth, sh = source.bmHeight;
  const int sw = stride >= 2 * sh ? sh : stride;
  const int dw = Scale(sw, dpi), dh = Scale(sh, dpi);
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader = {
      sizeof info.bmiHeader, stride, -sh, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<RGBQUAD> pixels(static_cast<std::size_t>(stride) * sh);
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, strip.get(), 0, sh, pixels.data(), &info,
                             DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (rows != sh) return nullptr;
  // The bottom-left pixel's colour is the see-through one.
  const RGBQUAD key = pixels[static_cast<std::size_t>(sh - 1) * stride];
  auto clear = [&](const RGBQUAD& p) {
    return p.rgbRed == key.rgbRed && p.rgbGreen == key.rgbGreen &&
           p.rgbBlue == key.rgbBlue;
  };

  info.bmiHeader.biWidth = dw;
  info.bmiHeader.biHeight = -dh;
  void* bits = nullptr;
  HBITMAP scaled =
      CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!scaled) return nullptr;
  auto* out = static_cast<RGBQUAD*>(bits);
  // Target pixel x spans [x * sw, (x + 1) * sw) and source pixel i spans
  // [i * dw, (i + 1) * dw) in the same units; likewise for rows.
  const int area = sw * sh;
  for (int y = 0; y < dh; ++y) {
    for (int x = 0; x < dw; ++x) {
      int sum[4] = {};
      for (int j = y * sh / dh; j * dh < (y + 1) * sh; ++j) {
        const int wy =
            std::min((y + 1) * sh, (j + 1) * dh) - std::max(y * sh, j * dh);
        for (int i = x * sw / dw; i * dw < (x + 1) * sw; ++i) {
          const RGBQUAD& p = pixels[static_cast<std::size_t>(j) * stride + i];
          if (clear(p)) continue;
          const int w = wy * (std::min((x + 1) * sw, (i + 1) * dw) -
                              std::max(x * sw, i * dw));
          sum[0] += w * p.rgbBlue;
          sum[1] += w * p.rgbGreen;
          sum[2] += w * p.rgbRed;
          sum[3] += w * 255;
        }
      }
      auto channel = [&](int k) {
        return static_cast<BYTE>((sum[k] + area / 2) / area);
      };
      out[y * dw + x] = {channel(0), channel(1), channel(2), channel(3)};
    }
  }
  return scaled;
}

}  // namespace tavro::ui
