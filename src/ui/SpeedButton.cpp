#include "SpeedButton.h"

#include "AccessibleButton.h"
#include "Dpi.h"
#include "WindowKit.h"

#include <commctrl.h>
#include <windowsx.h>

namespace tavro::ui {

namespace {
constexpr char kClassName[] = "TavroSpeedButton";
constexpr int kGlyphTextSpacing = 4;
}  // namespace

void TSpeedButton::Register(HINSTANCE instance) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  RegisterClassA(&wc);
}

TSpeedButton::TSpeedButton(HWND parent, HWND notify, HWND tooltip,
                           int commandId, RECT bounds, UINT glyphResource)
    : notify_(notify),
      tooltip_(tooltip),
      commandId_(commandId),
      glyphResource_(glyphResource) {
  const auto instance =
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
  window_.reset(CreateWindowExA(
      0, kClassName, "", WS_CHILD | WS_VISIBLE, bounds.left, bounds.top,
      bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(commandId)), instance,
      this));
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = parent;
  tool.uId = reinterpret_cast<UINT_PTR>(window_.get());
  tool.lpszText = const_cast<char*>("");
  SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void TSpeedButton::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  NameChanged();
  InvalidateRect(Handle(), nullptr, TRUE);
}

// A reader that shows the name hears of its change; before the window is
// first shown, none has asked.
void TSpeedButton::NameChanged() {
  if (IsWindowVisible(Handle()))
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, Handle(), OBJID_CLIENT,
                   CHILDID_SELF);
}

void TSpeedButton::SetHint(std::string hint) {
  if (hint == hint_) return;  // the tool starts with no text
  hint_ = std::move(hint);
  NameChanged();
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = GetParent(Handle());
  tool.uId = reinterpret_cast<UINT_PTR>(Handle());
  tool.lpszText = const_cast<char*>(hint_.c_str());
  SendMessageA(tooltip_, TTM_UPDATETIPTEXTA, 0,
               reinterpret_cast<LPARAM>(&tool));
}

void TSpeedButton::SetFont(HFONT font) {
  font_ = font;
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TSpeedButton::SetDpi(UINT dpi, const RECT& bounds) {
  const RECT r = Scale(bounds, dpi);
  MoveWindow(Handle(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  if (dpi == dpi_) return;
  dpi_ = dpi;
  scaled_.reset(LoadGlyph(
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(Handle(), GWLP_HINSTANCE)),
      glyphResource_, dpi_));
  BITMAP info{};
  scaledSize_ = {};
  if (scaled_ && GetObjectA(scaled_.get(), sizeof info, &info))
    scaledSize_ = {info.bmWidth, info.bmHeight};
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TSpeedButton::Click() {
  SendMessageA(notify_, WM_COMMAND, MAKEWPARAM(commandId_, BN_CLICKED),
               reinterpret_cast<LPARAM>(Handle()));
}

LRESULT CALLBACK TSpeedButton::WndProc(HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self =
      reinterpret_cast<TSpeedButton*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self || !self->window_) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  try {
    return self->OnMessage(message, wParam, lParam);
  } catch (...) {
    ShowDefaultError(self->notify_, CaughtErrorText());
    return 0;
  }
}

void TSpeedButton::SetHot(bool hot) {
  if (hot_ == hot) return;
  hot_ = hot;
  InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT TSpeedButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = Handle();
  switch (message) {
    case WM_MOUSEMOVE: {
      if (!hot_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&track);
      }
      RECT r;
      GetClientRect(hwnd, &r);
      const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      SetHot(PtInRect(&r, p) != FALSE);
      return 0;
    }
    case WM_MOUSELEAVE:
      SetHot(false);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetCapture(hwnd);
      pressed_ = true;
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_LBUTTONUP: {
      if (!pressed_) return 0;
      pressed_ = false;
      ReleaseCapture();
      InvalidateRect(hwnd, nullptr, TRUE);
      RECT r;
      GetClientRect(hwnd, &r);
      const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (PtInRect(&r, p)) Click();
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (pressed_) {
        pressed_ = false;
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    case BM_CLICK:
      Click();
      return 0;
    case WM_GETOBJECT:
      if (const LRESULT object = AnswerGetObject(hwnd, wParam, lParam))
        return object;
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(PaintDc(hwnd).get());
      return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void TSpeedButton::Paint(HDC dc) {
  RECT r;
  GetClientRect(Handle(), &r);
  // Drawn off screen so that hovering does not flicker.
  const MemoryDc canvas(dc);
  const win::UniqueBitmap bitmap(CreateCompatibleBitmap(dc, r.right, r.bottom));
  const Selected onBitmap(canvas.get(), bitmap.get());
  const HDC mem = canvas.get();
  FillRect(mem, &r, GetSysColorBrush(COLOR_BTNFACE));

  const int offset = pressed_ ? Scale(1, dpi_) : 0;
  SIZE text{};
  const Selected font(mem, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  if (!caption_.empty()) {
    RECT measure{0, 0, r.right, 0};
    DrawTextA(mem, caption_.c_str(), -1, &measure, DT_CALCRECT | DT_SINGLELINE);
    text = {measure.right, measure.bottom};
  }
  const int spacing = caption_.empty() ? 0 : Scale(kGlyphTextSpacing, dpi_);
  const int blockHeight = scaledSize_.cy + spacing + text.cy;
  const int top = (r.bottom - blockHeight) / 2 + offset;
  if (scaled_) {
    const MemoryDc glyph(dc);
    const Selected onGlyph(glyph.get(), scaled_.get());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    // GDI's own blend: the same as AlphaBlend without loading its library.
    GdiAlphaBlend(mem, (r.right - scaledSize_.cx) / 2 + offset, top,
                  scaledSize_.cx, scaledSize_.cy, glyph.get(), 0, 0,
                  scaledSize_.cx, scaledSize_.cy, blend);
  }
  if (!caption_.empty()) {
    RECT textRect{offset, top + scaledSize_.cy + spacing, r.right + offset,
                  top + blockHeight};
    SetBkMode(mem, TRANSPARENT);
    SetTextColor(mem, GetSysColor(COLOR_BTNTEXT));
    DrawTextA(mem, caption_.c_str(), -1, &textRect,
              DT_CENTER | DT_SINGLELINE | DT_TOP);
  }
  if (pressed_)
    DrawEdge(mem, &r, BDR_SUNKENOUTER, BF_RECT);
  else if (hot_)
    DrawEdge(mem, &r, BDR_RAISEDINNER, BF_RECT);

  BitBlt(dc, 0, 0, r.right, r.bottom, mem, 0, 0, SRCCOPY);
}

}  // namespace tavro::ui
