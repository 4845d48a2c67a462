// Each window at 120, 144 and 192 DPI, told as Windows tells a window that
// moved to another monitor, is its layout at 96 DPI scaled. Run also in a
// prefix whose screen has 144 DPI (tests/e2e/high_dpi.sh), where the
// windows are made at 144 DPI.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "Dpi.h"
#include "Handles.h"
#include "ModalDialog.h"
#include "UiHarness.h"
#include "resource.h"

// After windows.h, which UiHarness.h brings.
#include <commctrl.h>

namespace tavro::test {
namespace {

struct Placed {
  HWND window;
  RECT rect;  // in the top window's client area
  LONG fontHeight;
};

struct Layout {
  SIZE client;
  std::vector<Placed> children;  // every descendant, in Z order
};

Layout Measure(HWND top) {
  Layout layout;
  RECT client;
  GetClientRect(top, &client);
  layout.client = {client.right, client.bottom};
  EnumChildWindows(
      top,
      [](HWND child, LPARAM into) {
        auto& layout = *reinterpret_cast<Layout*>(into);
        // The list lays its header out by its font, which is checked.
        char name[16] = {};
        GetClassNameA(child, name, sizeof name);
        if (std::string(name) == WC_HEADERA) return TRUE;
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, GetAncestor(child, GA_ROOT),
                        reinterpret_cast<POINT*>(&r), 2);
        LOGFONTA font{};
        if (auto handle =
                reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0)))
          GetObjectA(handle, sizeof font, &font);
        layout.children.push_back({child, r, font.lfHeight});
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&layout));
  return layout;
}

// What Windows suggests: the same place, the frame around the client area
// scaled.
void MoveToDpi(HWND top, UINT dpi, SIZE client96) {
  RECT window, client;
  GetWindowRect(top, &window);
  GetClientRect(top, &client);
  RECT suggested = window;
  suggested.right += MulDiv(client96.cx, dpi, 96) - client.right;
  suggested.bottom += MulDiv(client96.cy, dpi, 96) - client.bottom;
  SendMessageA(top, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
               reinterpret_cast<LPARAM>(&suggested));
}

void ExpectScaled(const Layout& at96, const Layout& now, UINT dpi) {
  auto close = [&](LONG was, LONG is) {
    return std::abs(MulDiv(was, dpi, 96) - is) <= 1;
  };
  EXPECT_TRUE(close(at96.client.cx, now.client.cx) &&
              close(at96.client.cy, now.client.cy))
      << dpi << " DPI: client " << now.client.cx << "x" << now.client.cy;
  ASSERT_EQ(now.children.size(), at96.children.size());
  LONG barTop = 0, listBottom = 0;
  for (std::size_t i = 0; i < now.children.size(); ++i) {
    const Placed& was = at96.children[i];
    const Placed& is = now.children[i];
    char name[32] = {};
    GetClassNameA(is.window, name, sizeof name);
    auto is_a = [&](const char* kind) { return !lstrcmpiA(name, kind); };
    // A link is as wide as its text, which does not keep step with the
    // font's height.
    const bool fitsText =
        is_a(WC_STATICA) && (GetWindowLongA(is.window, GWL_STYLE) & SS_NOTIFY);
    // The status bar's height is the system's for its font and borders,
    // which keep step only roughly; the list ends where it starts.
    const bool bar = is_a(STATUSCLASSNAMEA), list = is_a(WC_LISTVIEWA);
    if (bar) barTop = is.rect.top;
    if (list) listBottom = is.rect.bottom;
    EXPECT_TRUE(close(was.rect.left, is.rect.left) &&
                (bar || close(was.rect.top, is.rect.top)) &&
                (fitsText || close(was.rect.right, is.rect.right)) &&
                (list || close(was.rect.bottom, is.rect.bottom)))
        << dpi << " DPI: " << name << " " << ui::WindowText(is.window);
    EXPECT_TRUE(close(was.fontHeight, is.fontHeight))
        << dpi << " DPI: " << name << " font " << is.fontHeight;
  }
  EXPECT_EQ(listBottom, barTop) << dpi << " DPI";
}

// The window as made at the screen's DPI, and then moved through each DPI,
// is its layout at 96 DPI scaled.
void ExpectScalesFrom96(HWND top) {
  const UINT start = ui::WindowDpi(top);
  const Layout made = Measure(top);
  const SIZE client96{MulDiv(made.client.cx, 96, start),
                      MulDiv(made.client.cy, 96, start)};
  MoveToDpi(top, 96, client96);
  const Layout at96 = Measure(top);
  ExpectScaled(at96, made, start);
  for (UINT dpi : {120u, 144u, 192u, 96u}) {
    MoveToDpi(top, dpi, client96);
    ExpectScaled(at96, Measure(top), dpi);
  }
}

TEST_F(MainFormTest, EveryWindowIsItsNinetySixDpiLayoutScaled) {
  Open();
  // Where the run means another screen, the windows are made for it.
  if (const char* screen = std::getenv("TAVRO_SCREEN_DPI")) {
    EXPECT_EQ(ui::WindowDpi(Form().Handle()),
              std::strtoul(screen, nullptr, 10));
  }
  ExpectScalesFrom96(Form().Handle());
  for (UINT command : {ui::CommandId("AddItem"), ui::CommandId("LanguageItems"),
                       ui::CommandId("AboutTavroItem")}) {
    bool shown = false;
    WhileModal([&](HWND dialog) {
      shown = true;
      ExpectScalesFrom96(dialog);
      PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    Command(command);
    EXPECT_TRUE(shown) << command;
  }
}

std::vector<RGBQUAD> Pixels(HBITMAP bitmap, SIZE size) {
  BITMAPINFO info{};
  info.bmiHeader = {
      sizeof info.bmiHeader, size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<RGBQUAD> pixels(static_cast<std::size_t>(size.cx * size.cy));
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, size.cy, pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return pixels;
}

bool SameColour(const RGBQUAD& a, const RGBQUAD& b) {
  return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen &&
         a.rgbBlue == b.rgbBlue;
}

// At 96 DPI a glyph is as the system reads the resource and at 192 each of
// its pixels is a 2x2 block, with the see-through colour clear; at 144 the
// mixed pixels on the seams never show the see-through colour.
TEST(GlyphScalingTest,
     WholeFactorsRepeatPixelsAndNoneShowsTheSeeThroughColour) {
  const win::UniqueBitmap strip(static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_ADD),
                 IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  BITMAP info{};
  ASSERT_TRUE(GetObjectA(strip.get(), sizeof info, &info));
  const SIZE glyph{info.bmWidth, info.bmHeight};
  const std::vector<RGBQUAD> source = Pixels(strip.get(), glyph);
  const RGBQUAD key = source[(glyph.cy - 1) * glyph.cx];
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  for (int factor : {1, 2}) {
    const win::UniqueBitmap scaled(
        ui::LoadGlyph(instance, IDB_ADD, 96 * factor));
    const SIZE size{glyph.cx * factor, glyph.cy * factor};
    const std::vector<RGBQUAD> out = Pixels(scaled.get(), size);
    int wrong = 0;
    for (int y = 0; y < size.cy; ++y)
      for (int x = 0; x < size.cx; ++x) {
        const RGBQUAD& s = source[y / factor * glyph.cx + x / factor];
        const RGBQUAD& o = out[y * size.cx + x];
        wrong += SameColour(s, key) ? o.rgbReserved != 0
                                    : !SameColour(s, o) || o.rgbReserved != 255;
      }
    EXPECT_EQ(wrong, 0) << "at " << 96 * factor << " DPI";
  }
  // Premultiplied: no channel above the alpha; opaque: not see-through.
  const win::UniqueBitmap scaled(ui::LoadGlyph(instance, IDB_ADD, 144));
  int wrong = 0;
  for (const RGBQUAD& o : Pixels(scaled.get(), {63, 53}))
    wrong += std::max({o.rgbRed, o.rgbGreen, o.rgbBlue}) > o.rgbReserved ||
             (o.rgbReserved == 255 && SameColour(o, key));
  EXPECT_EQ(wrong, 0) << "at 144 DPI";
  EXPECT_EQ(GetObjectA(scaled.get(), sizeof info, &info) ? info.bmWidth : 0,
            63);
}

}  // namespace
}  // namespace tavro::test
