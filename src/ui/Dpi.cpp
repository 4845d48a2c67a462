#include "Dpi.h"

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
  return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi),
                static_cast<int>(ScreenDpi()));
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
  return CreateFontA(-MulDiv(points, static_cast<int>(dpi), 72), 0, 0, 0,
                     weight, FALSE, underline, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, face);
}

HFONT RescaleFont(HFONT font, UINT from, UINT to) {
  LOGFONTA log{};
  GetObjectA(font, sizeof log, &log);
  log.lfHeight =
      MulDiv(log.lfHeight, static_cast<int>(to), static_cast<int>(from));
  log.lfWidth =
      MulDiv(log.lfWidth, static_cast<int>(to), static_cast<int>(from));
  return CreateFontIndirectA(&log);
}

HICON LoadIconForDpi(HINSTANCE instance, UINT id, int metric, UINT dpi) {
  const int size = MetricForDpi(metric, dpi);
  return static_cast<HICON>(
      LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
}

}  // namespace tavro::ui
