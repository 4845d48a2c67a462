// Every size of the windows is laid out for 96 pixels per inch; these turn
// it into the pixels of a window's own DPI, which may change as the window
// moves between monitors.
#pragma once

#include <windows.h>

namespace tavro::ui {

inline constexpr UINT kBaseDpi = 96;

// The one place where a length turns into the pixels of another DPI.
inline int Rescale(int length, UINT from, UINT to) {
  return MulDiv(length, static_cast<int>(to), static_cast<int>(from));
}
// A 96-DPI length in the pixels of the DPI given.
inline int Scale(int length, UINT dpi) {
  return Rescale(length, kBaseDpi, dpi);
}
// Each edge on its own, so that controls that touch at 96 DPI still do.
RECT Scale(const RECT& r, UINT dpi);

// The window's DPI; the screen's where Windows has no DPI per window.
UINT WindowDpi(HWND window);
// GetSystemMetrics for the DPI given.
int MetricForDpi(int index, UINT dpi);
// The window rectangle around a client rectangle, at the DPI given.
void AdjustFrameForDpi(RECT& r, DWORD style, bool menu, DWORD exStyle,
                       UINT dpi);
// A dialog lays itself out at a new DPI; the dialog manager must not too.
void KeepDialogManagerFromScaling(HWND dialog);

// A font by face and size in points, at the DPI given.
HFONT CreatePointFont(const char* face, int points, UINT dpi,
                      int weight = FW_NORMAL, bool underline = false);
// A copy of the font, made for another DPI.
HFONT RescaleFont(HFONT font, UINT from, UINT to);
// An icon of the program at the size of the metric (SM_CXICON or
// SM_CXSMICON) at the DPI given.
HICON LoadIconForDpi(HINSTANCE instance, UINT id, int metric, UINT dpi);

// The first glyph of a bitmap resource that holds a strip of square ones,
// or the one glyph it holds, its bottom-left colour see-through, scaled
// from 96 DPI: a 32-bit bitmap with premultiplied alpha for AlphaBlend;
// null if the resource cannot be read.
HBITMAP LoadGlyph(HINSTANCE instance, UINT id, UINT dpi);

}  // namespace tavro::ui
