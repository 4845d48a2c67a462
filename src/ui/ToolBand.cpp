#include "ToolBand.h"

#include <commctrl.h>
#include <windowsx.h>

#include "AccessibleBand.h"
#include "Dpi.h"
#include "Errors.h"
#include "SystemCodePage.h"
#include "WindowKit.h"
#include "WindowProc.h"

namespace tavro::ui {

namespace {
constexpr char kClassName[] = "TavroToolBand";
constexpr int kGlyphTextSpacing = 4;
// A press from a reader, run in the band's own turn: wParam is the button.
constexpr UINT kPressMessage = WM_APP + 1;
}  // namespace

void TToolBand::Register(HINSTANCE instance) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = win::ForwardingProc<TToolBand, &TToolBand::OnMessage>;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  RegisterClassA(&wc);
}

TToolBand::TToolBand(HWND parent, HWND notify, UINT id) : notify_(notify) {
  const auto instance =
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
  window_.reset(CreateWindowExA(
      0, kClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this));
}

void TToolBand::AddButton(std::string name, UINT command, RECT bounds,
                          UINT glyph) {
  buttons_.push_back({std::move(name), command, bounds, glyph, {}, {}, {}, {}});
}

// Made when the mouse first comes over the band, not at start: a tooltip
// is a window of its own, and most starts never show one.
void TToolBand::MakeTooltip() {
  const auto instance =
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(Handle(), GWLP_HINSTANCE));
  tooltip_.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                                 0, 0, Handle(), nullptr, instance, nullptr));
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    TTTOOLINFOA tool = Tool(i);
    SendMessageA(tooltip_.get(), TTM_ADDTOOLA, 0,
                 reinterpret_cast<LPARAM>(&tool));
  }
}

TTTOOLINFOA TToolBand::Tool(std::size_t i) const {
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = Handle();
  tool.uId = i + 1;
  tool.rect = RectAt(i);
  tool.lpszText = const_cast<char*>(buttons_[i].hint.c_str());
  return tool;
}

void TToolBand::AddSeparator(RECT bounds) { separators_.push_back(bounds); }

std::size_t TToolBand::Index(std::string_view name) const {
  for (std::size_t i = 0; i < buttons_.size(); ++i)
    if (buttons_[i].name == name) return i;
  throw TavroError("No tool button " + std::string(name));
}

const std::string& TToolBand::Caption(std::string_view name) const {
  return buttons_[Index(name)].caption;
}

const std::string& TToolBand::Hint(std::string_view name) const {
  return buttons_[Index(name)].hint;
}

RECT TToolBand::ButtonRect(std::string_view name) const {
  return RectAt(Index(name));
}

RECT TToolBand::RectAt(std::size_t i) const {
  return Scale(buttons_[i].bounds, dpi_ ? dpi_ : kBaseDpi);
}

// A reader that shows a name hears of its change; before the band is first
// shown, none has asked.
void TToolBand::NameChanged(std::size_t i) {
  if (IsWindowVisible(Handle()))
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, Handle(), OBJID_CLIENT,
                   static_cast<LONG>(i + 1));
}

void TToolBand::SetTexts(std::string_view name, std::string caption,
                         std::string hint) {
  const std::size_t i = Index(name);
  Button& button = buttons_[i];
  if (caption == button.caption && hint == button.hint) return;
  button.caption = std::move(caption);
  button.hint = std::move(hint);
  NameChanged(i);
  UpdateTool(i);
  const RECT r = RectAt(i);
  InvalidateRect(Handle(), &r, FALSE);
}

void TToolBand::UpdateTool(std::size_t i) {
  if (!tooltip_) return;
  TTTOOLINFOA tool = Tool(i);
  SendMessageA(tooltip_.get(), TTM_NEWTOOLRECTA, 0,
               reinterpret_cast<LPARAM>(&tool));
  SendMessageA(tooltip_.get(), TTM_UPDATETIPTEXTA, 0,
               reinterpret_cast<LPARAM>(&tool));
}

void TToolBand::SetFont(HFONT font) {
  font_ = font;
  InvalidateRect(Handle(), nullptr, FALSE);
}

void TToolBand::SetDpi(UINT dpi) {
  if (dpi == dpi_) return;
  dpi_ = dpi;
  const auto instance =
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(Handle(), GWLP_HINSTANCE));
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    Button& button = buttons_[i];
    button.scaled.reset(LoadGlyph(instance, button.glyph, dpi_));
    BITMAP info{};
    button.size = {};
    if (button.scaled && GetObjectA(button.scaled.get(), sizeof info, &info))
      button.size = {info.bmWidth, info.bmHeight};
    UpdateTool(i);
  }
  InvalidateRect(Handle(), nullptr, FALSE);
}

void TToolBand::Press(std::size_t i) {
  PostMessageA(Handle(), kPressMessage, i, 0);
}

int TToolBand::At(POINT p) const {
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    const RECT r = RectAt(i);
    if (PtInRect(&r, p)) return static_cast<int>(i);
  }
  return -1;
}

void TToolBand::SetHot(int hot) {
  if (hot_ == hot) return;
  for (const int i : {hot_, hot}) {
    if (i < 0) continue;
    const RECT r = RectAt(static_cast<std::size_t>(i));
    InvalidateRect(Handle(), &r, FALSE);
  }
  hot_ = hot;
}

LRESULT TToolBand::OnMessage(HWND hwnd, UINT message, WPARAM wParam,
                             LPARAM lParam) {
  // No exception may unwind into the system's code.
  try {
    return Respond(hwnd, message, wParam, lParam);
  } catch (...) {
    ShowDefaultError(notify_, CaughtErrorText());
    return 0;
  }
}

LRESULT TToolBand::Respond(HWND hwnd, UINT message, WPARAM wParam,
                           LPARAM lParam) {
  const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (message) {
    case WM_MOUSEMOVE:
      if (!tooltip_) {
        MakeTooltip();
        // The tooltip hears of moves from the next one on; this one too.
        MSG move{
            hwnd, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()),
            {}};
        SendMessageA(tooltip_.get(), TTM_RELAYEVENT, 0,
                     reinterpret_cast<LPARAM>(&move));
      }
      if (hot_ < 0) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&track);
      }
      SetHot(At(p));
      return 0;
    case WM_MOUSELEAVE:
      SetHot(-1);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      pressed_ = At(p);
      if (pressed_ >= 0) {
        SetCapture(hwnd);
        const RECT r = RectAt(static_cast<std::size_t>(pressed_));
        InvalidateRect(hwnd, &r, FALSE);
      }
      return 0;
    case WM_LBUTTONUP: {
      const int pressed = pressed_;
      if (pressed < 0) return 0;
      pressed_ = -1;
      ReleaseCapture();
      const RECT r = RectAt(static_cast<std::size_t>(pressed));
      InvalidateRect(hwnd, &r, FALSE);
      if (At(p) == pressed)
        SendMessageA(hwnd, kPressMessage, static_cast<WPARAM>(pressed), 0);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (pressed_ >= 0) {
        const RECT r = RectAt(static_cast<std::size_t>(pressed_));
        pressed_ = -1;
        InvalidateRect(hwnd, &r, FALSE);
      }
      return 0;
    case kPressMessage:
      if (wParam < buttons_.size())
        SendMessageA(notify_, WM_COMMAND,
                     MAKEWPARAM(buttons_[wParam].command, BN_CLICKED),
                     reinterpret_cast<LPARAM>(hwnd));
      return 0;
    case TB_BUTTONCOUNT:
    case TB_COMMANDTOINDEX:
    case TB_GETBUTTON:
    case TB_GETITEMRECT:
    case TB_GETBUTTONTEXTA:
    case TB_GETBUTTONTEXTW:
      return AnswerToolBarQuery(message, wParam, lParam);
    case WM_GETOBJECT:
      if (const LRESULT object = AnswerGetObject(*this, wParam, lParam))
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

// Tools that read windows ask a tool bar for its buttons and their texts
// with these; a button's text is its name.
LRESULT TToolBand::AnswerToolBarQuery(UINT message, WPARAM wParam,
                                      LPARAM lParam) const {
  auto byCommand = [&] {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
      if (buttons_[i].command == wParam) return static_cast<int>(i);
    return -1;
  };
  switch (message) {
    case TB_BUTTONCOUNT:
      return static_cast<LRESULT>(buttons_.size());
    case TB_COMMANDTOINDEX:
      return byCommand();
    case TB_GETBUTTON:
      if (wParam >= buttons_.size() || !lParam) return FALSE;
      *reinterpret_cast<TBBUTTON*>(lParam) = {
          static_cast<int>(wParam),
          static_cast<int>(buttons_[wParam].command),
          TBSTATE_ENABLED,
          BTNS_BUTTON | BTNS_SHOWTEXT,
          {},
          0,
          static_cast<INT_PTR>(wParam)};
      return TRUE;
    case TB_GETITEMRECT:
      if (wParam >= buttons_.size() || !lParam) return FALSE;
      *reinterpret_cast<RECT*>(lParam) = RectAt(wParam);
      return TRUE;
  }
  // TB_GETBUTTONTEXT: by command; the length without the null, -1 for none.
  const int i = byCommand();
  if (i < 0) return -1;
  const std::string& label = buttons_[static_cast<std::size_t>(i)].Label();
  if (message == TB_GETBUTTONTEXTW) {
    const std::wstring wide = win::Widen(label);
    if (auto* out = reinterpret_cast<wchar_t*>(lParam))
      out[wide.copy(out, wide.size())] = L'\0';
    return static_cast<LRESULT>(wide.size());
  }
  if (auto* out = reinterpret_cast<char*>(lParam))
    out[label.copy(out, label.size())] = '\0';
  return static_cast<LRESULT>(label.size());
}

void TToolBand::Paint(HDC dc) {
  RECT band;
  GetClientRect(Handle(), &band);
  // Drawn off screen so that hovering does not flicker.
  const MemoryDc canvas(dc);
  const win::UniqueBitmap bitmap(
      CreateCompatibleBitmap(dc, band.right, band.bottom));
  const Selected onBitmap(canvas.get(), bitmap.get());
  const HDC mem = canvas.get();
  FillRect(mem, &band, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(mem, &band, EDGE_ETCHED, BF_TOP | BF_BOTTOM);
  for (const RECT& separator : separators_) {
    RECT line = Scale(separator, dpi_);
    DrawEdge(mem, &line, BDR_SUNKENOUTER, BF_LEFT);
  }
  const Selected font(mem, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(mem, TRANSPARENT);
  SetTextColor(mem, GetSysColor(COLOR_BTNTEXT));
  const MemoryDc glyphs(dc);
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    const Button& button = buttons_[i];
    RECT r = RectAt(i);
    const int offset = Pressed(i) ? Scale(1, dpi_) : 0;
    SIZE text{};
    if (!button.caption.empty()) {
      RECT measure{0, 0, r.right - r.left, 0};
      DrawTextA(mem, button.caption.c_str(), -1, &measure,
                DT_CALCRECT | DT_SINGLELINE);
      text = {measure.right, measure.bottom};
    }
    const int spacing =
        button.caption.empty() ? 0 : Scale(kGlyphTextSpacing, dpi_);
    const int block = button.size.cy + spacing + text.cy;
    const int top = r.top + (r.bottom - r.top - block) / 2 + offset;
    if (button.scaled) {
      const Selected onGlyph(glyphs.get(), button.scaled.get());
      const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
      // GDI's own blend: the same as AlphaBlend without loading its library.
      GdiAlphaBlend(mem,
                    r.left + (r.right - r.left - button.size.cx) / 2 + offset,
                    top, button.size.cx, button.size.cy, glyphs.get(), 0, 0,
                    button.size.cx, button.size.cy, blend);
    }
    if (!button.caption.empty()) {
      RECT textRect{r.left + offset, top + button.size.cy + spacing,
                    r.right + offset, top + block};
      DrawTextA(mem, button.caption.c_str(), -1, &textRect,
                DT_CENTER | DT_SINGLELINE | DT_TOP);
    }
    if (Pressed(i))
      DrawEdge(mem, &r, BDR_SUNKENOUTER, BF_RECT);
    else if (Hot(i))
      DrawEdge(mem, &r, BDR_RAISEDINNER, BF_RECT);
  }
  BitBlt(dc, 0, 0, band.right, band.bottom, mem, 0, 0, SRCCOPY);
}

}  // namespace tavro::ui
