#include "Picker.h"

#include <imm.h>

#include <algorithm>

#include "Dpi.h"
#include "EntrySearch.h"
#include "Registration.h"
#include "SystemCodePage.h"
#include "TypeProcess.h"
#include "TypingPlan.h"
#include "WindowKit.h"
#include "WindowProc.h"

namespace tavro::type {

namespace {
// Lengths at 96 DPI, as a menu of the system's has them.
struct Lengths {
  int rowPadding, textMargin, minWidth, maxWidth;
};
constexpr Lengths k96Dpi{3, 8, 160, 480};
// The whole list shows up to this many rows; more scroll.
constexpr int kMostRows = 20;

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

// The language's font, as Tavro's window shows it; the menu font without
// a language.
HFONT PickerFont(const PickerTexts& texts, UINT dpi) {
  if (texts.fontName.empty() || texts.fontSize <= 0) return MenuFont(dpi);
  return ui::CreatePointFont(texts.fontName.c_str(),
                             std::min(texts.fontSize, 72), dpi);
}

RECT WorkArea(const RECT& anchor) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromRect(&anchor, MONITOR_DEFAULTTONEAREST), &monitor);
  return monitor.rcWork;
}

// Lower case, accents and the full-width forms of an input method folded
// away, as the system knows them: "Café" and "ＣＡＦＥ" find "cafe".
std::u16string Folded(std::u16string_view text) {
  std::wstring in(text.begin(), text.end());
  std::wstring out(in.size() * 3 + 1, L'\0');
  const int n = in.empty()
                    ? 0
                    : FoldStringW(MAP_COMPOSITE | MAP_FOLDCZONE, in.c_str(),
                                  static_cast<int>(in.size()), out.data(),
                                  static_cast<int>(out.size()));
  out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  if (n <= 0) out = in;
  // The accents, now marks of their own.
  std::erase_if(out, [](wchar_t c) { return c >= 0x0300 && c <= 0x036F; });
  CharLowerBuffW(out.data(), static_cast<DWORD>(out.size()));
  return {out.begin(), out.end()};
}

std::u16string Utf16(const std::wstring& text) {
  return {text.begin(), text.end()};
}
}  // namespace

TPicker::TPicker(HINSTANCE instance) {
  WNDCLASSW wc{};
  wc.style = CS_DROPSHADOW;
  wc.lpfnWndProc = win::ForwardingProc<TPicker, &TPicker::OnMessage, true>;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = win::kPickerWindowClass;
  RegisterClassW(&wc);
  // A tool window: never in the taskbar or in Alt+Tab.
  window_.reset(CreateWindowExW(
      WS_EX_TOPMOST | WS_EX_TOOLWINDOW, win::kPickerWindowClass, L"TavroType",
      WS_POPUP | WS_BORDER, 0, 0, 1, 1, nullptr, nullptr, instance, this));
}

std::optional<std::size_t> TPicker::Run(const RECT& anchor,
                                        const std::vector<TSection>& entries,
                                        const PickerTexts& texts) {
  if (!window_ || running_) return std::nullopt;
  labels_.clear();
  plainLabels_.clear();
  folded_.clear();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    labels_.push_back(
        win::Widen(PickerLabel(static_cast<int>(i), entries[i].Title)));
    plainLabels_.push_back(
        win::Widen(MenuKeyName(static_cast<int>(i), entries[i].Title)));
    folded_.push_back(Folded(Utf16(win::Widen(entries[i].Title))));
  }
  hint_ = win::Widen(texts.hint);
  noMatch_ = win::Widen(texts.noMatch);
  noEntries_ = win::Widen(texts.noEntries);
  typed_.clear();
  Search();
  picked_.reset();
  Layout(anchor, texts);
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

void TPicker::Search() {
  shown_ = SearchTitles(folded_, Folded(Utf16(typed_)));
  highlighted_ = 0;
  top_ = 0;
  if (window_) {
    // The window's name is what was typed: a reader, or a test, finds the
    // search there.
    SetWindowTextW(window_.get(), typed_.c_str());
    InvalidateRect(window_.get(), nullptr, FALSE);
    PlaceCaret();
  }
}

void TPicker::Layout(const RECT& anchor, const PickerTexts& texts) {
  const RECT work = WorkArea(anchor);
  // Placed on the caret's monitor first, so that the window has its DPI.
  SetWindowPos(window_.get(), HWND_TOPMOST, anchor.left, anchor.bottom, 1, 1,
               SWP_NOACTIVATE);
  const UINT dpi = ui::WindowDpi(window_.get());
  font_.reset(PickerFont(texts, dpi));
  int width = ui::Scale(k96Dpi.minWidth, dpi);
  {
    const ui::WindowDc dc(window_.get());
    const ui::Selected font(dc.get(), font_.get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    margin_ = ui::Scale(k96Dpi.textMargin, dpi);
    textHeight_ = metrics.tmHeight;
    rowHeight_ = textHeight_ + 2 * ui::Scale(k96Dpi.rowPadding, dpi);
    std::vector<std::wstring> lines = labels_;
    lines.insert(lines.end(), {hint_, noEntries_});
    for (const std::wstring& line : lines) {
      RECT r{};
      DrawTextW(dc.get(), line.c_str(), static_cast<int>(line.size()), &r,
                DT_SINGLELINE | DT_CALCRECT);
      width = std::max<int>(width, r.right + 2 * margin_);
    }
  }

  // The typed line, then the list; as high as the whole list, so that it
  // stays where it opened while the list narrows.
  const int frame = 2 * GetSystemMetrics(SM_CXBORDER);
  width = std::min({width, ui::Scale(k96Dpi.maxWidth, dpi),
                    static_cast<int>(work.right - work.left)}) +
          frame;
  const int below = work.bottom - anchor.bottom;
  const int above = anchor.top - work.top;
  const int room = std::min(std::max(below, above),
                            static_cast<int>(work.bottom - work.top));
  const int rows = std::clamp<int>(
      static_cast<int>(labels_.size()), 1,
      std::min(kMostRows, std::max(1, (room - frame) / rowHeight_ - 1)));
  const int height = (rows + 1) * rowHeight_ + frame;
  const int y = height <= below ? anchor.bottom : anchor.top - height;
  const int x = std::clamp<int>(anchor.left, work.left, work.right - width);
  SetWindowPos(window_.get(), HWND_TOPMOST, x,
               std::clamp<int>(y, work.top, work.bottom - height), width,
               height, SWP_NOACTIVATE);
}

int TPicker::VisibleRows() const {
  RECT client;
  GetClientRect(window_.get(), &client);
  return std::max(1, static_cast<int>(client.bottom / rowHeight_) - 1);
}

int TPicker::RowAt(int y) const {
  const int row = top_ + y / rowHeight_ - 1;
  return y >= rowHeight_ && row >= 0 && row < ShownCount() ? row : -1;
}

void TPicker::Highlight(int row) {
  if (shown_.empty()) return;
  highlighted_ = std::clamp(row, 0, ShownCount() - 1);
  const int visible = VisibleRows();
  if (highlighted_ < top_) top_ = highlighted_;
  if (highlighted_ >= top_ + visible) top_ = highlighted_ - visible + 1;
  InvalidateRect(window_.get(), nullptr, FALSE);
}

void TPicker::KeyDown(WPARAM key) {
  const int last = ShownCount() - 1;
  switch (key) {
    case VK_ESCAPE:
      // Clears what was typed first; closes when there is nothing.
      if (typed_.empty()) {
        Finish(std::nullopt);
      } else {
        typed_.clear();
        Search();
      }
      break;
    case VK_RETURN:
      if (!shown_.empty())
        Finish(shown_[static_cast<std::size_t>(highlighted_)]);
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

void TPicker::Char(wchar_t c) {
  if (c == L'\b') {
    if (typed_.empty()) return;
    typed_.pop_back();
    // Never half a surrogate pair.
    if (!typed_.empty() && typed_.back() >= 0xD800 && typed_.back() < 0xDC00)
      typed_.pop_back();
    Search();
    return;
  }
  // The first ten entries by their last digit, as the menu's access keys,
  // while nothing is typed.
  if (typed_.empty() && c >= L'0' && c <= L'9') {
    if (static_cast<std::size_t>(c - L'0') < labels_.size())
      Finish(static_cast<std::size_t>(c - L'0'));
    return;
  }
  // Ctrl+letters and the like are no text.
  if (c < 0x20 || c == 0x7F) return;
  typed_ += c;
  Search();
}

void TPicker::PlaceCaret() {
  if (GetFocus() != window_.get()) return;
  SIZE size{};
  {
    const ui::WindowDc dc(window_.get());
    const ui::Selected font(dc.get(), font_.get());
    GetTextExtentPoint32W(dc.get(), typed_.c_str(),
                          static_cast<int>(typed_.size()), &size);
  }
  const POINT at{margin_ + size.cx, (rowHeight_ - size.cy) / 2};
  SetCaretPos(at.x, at.y);
  // An input method composes at the typed text.
  if (const HIMC context = ImmGetContext(window_.get())) {
    COMPOSITIONFORM form{};
    form.dwStyle = CFS_POINT;
    form.ptCurrentPos = at;
    ImmSetCompositionWindow(context, &form);
    ImmReleaseContext(window_.get(), context);
  }
}

void TPicker::Paint(HDC target) {
  RECT client;
  GetClientRect(window_.get(), &client);
  // Drawn aside and put on the screen in one step: no flicker while the
  // list narrows.
  const ui::MemoryDc canvas(target);
  const win::UniqueBitmap bitmap(
      CreateCompatibleBitmap(target, client.right, client.bottom));
  const ui::Selected onBitmap(canvas.get(), bitmap.get());
  const ui::Selected font(canvas.get(), font_.get());
  const HDC dc = canvas.get();
  FillRect(dc, &client, GetSysColorBrush(COLOR_MENU));
  SetBkMode(dc, TRANSPARENT);
  auto line = [&](int row, const std::wstring& text, int color, UINT flags) {
    RECT r{margin_, row * rowHeight_, client.right - margin_,
           (row + 1) * rowHeight_};
    SetTextColor(dc, GetSysColor(color));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | flags);
  };

  // What was typed, or what typing does; a line under it.
  RECT search{0, 0, client.right, rowHeight_};
  FillRect(dc, &search, GetSysColorBrush(COLOR_WINDOW));
  if (typed_.empty())
    line(0, hint_, COLOR_GRAYTEXT, DT_NOPREFIX);
  else
    line(0, typed_, COLOR_WINDOWTEXT, DT_NOPREFIX);
  DrawEdge(dc, &search, EDGE_ETCHED, BF_BOTTOM);

  if (labels_.empty()) {
    line(1, noEntries_, COLOR_GRAYTEXT, DT_NOPREFIX);
  } else if (shown_.empty()) {
    std::wstring text = noMatch_;
    if (const auto at = text.find(L"%s"); at != std::wstring::npos)
      text.replace(at, 2, typed_);
    line(1, text, COLOR_GRAYTEXT, DT_NOPREFIX);
  }
  const int visible = VisibleRows();
  for (int i = 0; i < visible && top_ + i < ShownCount(); ++i) {
    const int row = top_ + i;
    RECT r{0, (i + 1) * rowHeight_, client.right, (i + 2) * rowHeight_};
    const bool lit = row == highlighted_;
    if (lit) FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
    // Digits pick while nothing is typed: their access keys show then.
    const std::size_t entry = shown_[static_cast<std::size_t>(row)];
    line(i + 1, typed_.empty() ? labels_[entry] : plainLabels_[entry],
         lit ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT,
         typed_.empty() ? 0 : DT_NOPREFIX);
  }
  BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
}

LRESULT TPicker::OnMessage(HWND hwnd, UINT message, WPARAM wParam,
                           LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint(ui::PaintDc(hwnd).get());
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SETFOCUS:
      CreateCaret(hwnd, nullptr, 1, textHeight_);
      PlaceCaret();
      ShowCaret(hwnd);
      return 0;
    case WM_KILLFOCUS:
      DestroyCaret();
      return 0;
    case WM_KEYDOWN:
      // While an input method composes, its keys (Enter too) are its own.
      if (wParam != VK_PROCESSKEY) KeyDown(wParam);
      return 0;
    case WM_CHAR:
      Char(static_cast<wchar_t>(wParam));
      return 0;
    case WM_MOUSEMOVE:
      if (const int row = RowAt(static_cast<short>(HIWORD(lParam)));
          row >= 0 && row != highlighted_)
        Highlight(row);
      return 0;
    case WM_LBUTTONUP:
      if (const int row = RowAt(static_cast<short>(HIWORD(lParam))); row >= 0)
        Finish(shown_[static_cast<std::size_t>(row)]);
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
