#include "Picker.h"

#include <algorithm>

#include "Dpi.h"
#include "SystemCodePage.h"
#include "TypeProcess.h"
#include "TypingPlan.h"

namespace tavro::type {

namespace {
// 96-DPI lengths, as a menu of the system's has them.
constexpr int kRowPadding = 3;
constexpr int kTextMargin = 8;
constexpr int kMinWidth = 120;

using SpiForDpi = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);

// The system's menu font at the DPI; Windows before 10 and Wine without
// the function give it at the screen's DPI, rescaled.
HFONT MenuFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  static const auto forDpi =
      reinterpret_cast<SpiForDpi>(reinterpret_cast<void*>(GetProcAddress(
          GetModuleHandleA("user32.dll"), "SystemParametersInfoForDpi")));
  if (!forDpi ||
      !forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMenuFont.lfHeight =
        ui::Rescale(metrics.lfMenuFont.lfHeight, ui::WindowDpi(nullptr), dpi);
  }
  return CreateFontIndirectW(&metrics.lfMenuFont);
}

RECT WorkArea(const RECT& anchor) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromRect(&anchor, MONITOR_DEFAULTTONEAREST), &monitor);
  return monitor.rcWork;
}
}  // namespace

TPicker::TPicker(HINSTANCE instance) {
  WNDCLASSW wc{};
  wc.style = CS_DROPSHADOW;
  wc.lpfnWndProc = &TPicker::Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = win::kPickerWindowClass;
  RegisterClassW(&wc);
  // A tool window: never in the taskbar or in Alt+Tab.
  window_.reset(CreateWindowExW(
      WS_EX_TOPMOST | WS_EX_TOOLWINDOW, win::kPickerWindowClass, L"TavroType",
      WS_POPUP | WS_BORDER, 0, 0, 1, 1, nullptr, nullptr, instance, this));
}

LRESULT CALLBACK TPicker::Proc(HWND hwnd, UINT message, WPARAM wParam,
                               LPARAM lParam) {
  if (message == WM_NCCREATE)
    SetWindowLongPtrW(
        hwnd, GWLP_USERDATA,
        reinterpret_cast<LONG_PTR>(
            reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  auto* self =
      reinterpret_cast<TPicker*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return self ? self->OnMessage(hwnd, message, wParam, lParam)
              : DefWindowProcW(hwnd, message, wParam, lParam);
}

std::optional<std::size_t> TPicker::Run(const RECT& anchor,
                                        const std::vector<TSection>& entries) {
  if (!window_ || running_) return std::nullopt;
  entries_ = entries.size();
  labels_.clear();
  for (std::size_t i = 0; i < entries.size(); ++i)
    labels_.push_back(
        win::Widen(PickerLabel(static_cast<int>(i), entries[i].Title)));
  if (labels_.empty()) labels_.push_back(win::Widen(kNoEntries));
  highlighted_ = 0;
  top_ = 0;
  picked_.reset();
  Layout(anchor);
  running_ = true;
  // Keys go to the window in front; a window that is not in front takes
  // none, under Wine not even from a menu loop.
  ShowWindow(window_.get(), SW_SHOW);
  SetForegroundWindow(window_.get());
  SetFocus(window_.get());
  MSG message;
  while (running_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      // For the loop that waits outside.
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
      running_ = false;
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  ShowWindow(window_.get(), SW_HIDE);
  return picked_;
}

void TPicker::Close() { Finish(std::nullopt); }

void TPicker::Finish(std::optional<std::size_t> picked) {
  if (!running_) return;
  picked_ = picked;
  running_ = false;
  // Wakes the loop in Run, which may be waiting.
  PostMessageW(window_.get(), WM_NULL, 0, 0);
}

void TPicker::Layout(const RECT& anchor) {
  const RECT work = WorkArea(anchor);
  // Placed on the caret's monitor first, so that the window has its DPI.
  SetWindowPos(window_.get(), HWND_TOPMOST, anchor.left, anchor.bottom, 1, 1,
               SWP_NOACTIVATE);
  const UINT dpi = ui::WindowDpi(window_.get());
  font_.reset(MenuFont(dpi));
  HDC dc = GetDC(window_.get());
  const HGDIOBJ old = SelectObject(dc, font_.get());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  margin_ = ui::Scale(kTextMargin, dpi);
  rowHeight_ = metrics.tmHeight + 2 * ui::Scale(kRowPadding, dpi);
  int width = ui::Scale(kMinWidth, dpi);
  for (const std::wstring& label : labels_) {
    RECT r{};
    DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &r,
              DT_SINGLELINE | DT_CALCRECT);
    width = std::max<int>(width, r.right + 2 * margin_);
  }
  SelectObject(dc, old);
  ReleaseDC(window_.get(), dc);

  const int frame = 2 * GetSystemMetrics(SM_CXBORDER);
  const int workWidth = work.right - work.left;
  const int workHeight = work.bottom - work.top;
  width = std::min(width + frame, workWidth / 2);
  const int below = work.bottom - anchor.bottom;
  const int above = anchor.top - work.top;
  const int room = std::max(below, above);
  const int rows = std::max(
      1, std::min<int>(static_cast<int>(labels_.size()),
                       (std::min(room, workHeight) - frame) / rowHeight_));
  const int height = rows * rowHeight_ + frame;
  const int y = height <= below ? anchor.bottom : anchor.top - height;
  const int x = std::clamp<int>(anchor.left, work.left, work.right - width);
  SetWindowPos(window_.get(), HWND_TOPMOST, x,
               std::clamp<int>(y, work.top, work.bottom - height), width,
               height, SWP_NOACTIVATE);
}

int TPicker::VisibleRows() const {
  RECT client;
  GetClientRect(window_.get(), &client);
  return std::max(1, static_cast<int>(client.bottom / rowHeight_));
}

int TPicker::RowAt(int y) const {
  const int row = top_ + y / rowHeight_;
  return row >= 0 && row < static_cast<int>(entries_) ? row : -1;
}

void TPicker::Highlight(int row) {
  if (entries_ == 0) return;
  highlighted_ = std::clamp<int>(row, 0, static_cast<int>(entries_) - 1);
  const int visible = VisibleRows();
  if (highlighted_ < top_) top_ = highlighted_;
  if (highlighted_ >= top_ + visible) top_ = highlighted_ - visible + 1;
  InvalidateRect(window_.get(), nullptr, FALSE);
}

void TPicker::KeyDown(WPARAM key) {
  const int last = static_cast<int>(entries_) - 1;
  switch (key) {
    case VK_ESCAPE:
      Finish(std::nullopt);
      break;
    case VK_RETURN:
      if (entries_) Finish(static_cast<std::size_t>(highlighted_));
      break;
    case VK_UP:  // round, as a menu's
      Highlight(highlighted_ > 0 ? highlighted_ - 1 : last);
      break;
    case VK_DOWN:
      Highlight(highlighted_ < last ? highlighted_ + 1 : 0);
      break;
    case VK_PRIOR:
      Highlight(highlighted_ - VisibleRows());
      break;
    case VK_NEXT:
      Highlight(highlighted_ + VisibleRows());
      break;
    case VK_HOME:
      Highlight(0);
      break;
    case VK_END:
      Highlight(last);
      break;
  }
}

void TPicker::Paint(HDC target) {
  RECT client;
  GetClientRect(window_.get(), &client);
  // Drawn aside and put on the screen in one step: no flicker while the
  // highlight moves.
  HDC dc = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, client.right, client.bottom);
  const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  const HGDIOBJ oldFont = SelectObject(dc, font_.get());
  FillRect(dc, &client, GetSysColorBrush(COLOR_MENU));
  SetBkMode(dc, TRANSPARENT);
  const int visible = VisibleRows();
  for (int i = 0; i < visible && top_ + i < static_cast<int>(labels_.size());
       ++i) {
    const int row = top_ + i;
    RECT r{0, i * rowHeight_, client.right, (i + 1) * rowHeight_};
    const bool lit = entries_ && row == highlighted_;
    if (lit) FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(!entries_ ? COLOR_GRAYTEXT
                                 : lit     ? COLOR_HIGHLIGHTTEXT
                                           : COLOR_MENUTEXT));
    r.left += margin_;
    r.right -= margin_;
    const std::wstring& label = labels_[static_cast<std::size_t>(row)];
    DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &r,
              DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS |
                  (entries_ ? 0 : DT_NOPREFIX));
  }
  BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

LRESULT TPicker::OnMessage(HWND hwnd, UINT message, WPARAM wParam,
                           LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      Paint(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_KEYDOWN:
      KeyDown(wParam);
      return 0;
    case WM_CHAR:
      // The first ten entries by their last digit, as the menu's access
      // keys.
      if (wParam >= L'0' && wParam <= L'9' &&
          wParam - L'0' < static_cast<WPARAM>(entries_))
        Finish(wParam - L'0');
      return 0;
    case WM_MOUSEMOVE:
      if (const int row = RowAt(static_cast<short>(HIWORD(lParam)));
          row >= 0 && row != highlighted_)
        Highlight(row);
      return 0;
    case WM_LBUTTONUP:
      if (const int row = RowAt(static_cast<short>(HIWORD(lParam))); row >= 0)
        Finish(static_cast<std::size_t>(row));
      return 0;
    case WM_MOUSEWHEEL:
      Highlight(highlighted_ - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA);
      return 0;
    case WM_ACTIVATE:
      // A click elsewhere, or another window in front, closes it as it
      // would a menu.
      if (LOWORD(wParam) == WA_INACTIVE) Finish(std::nullopt);
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_ACTIVATE;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace tavro::type
