#include "UnitAbout.h"

#include "resource.h"
#include "version.h"

namespace tavro::ui {

namespace {
constexpr SIZE kClientSize{192, 169};
constexpr int kLabel3Id = 103;
constexpr int kLabel4Id = 104;

// SimSun's name, and the Chinese producer line, in code page 936.
constexpr char kSimSunGbk[] = "\xCB\xCE\xCC\xE5";
constexpr char kChineseProducer[] = "\xD7\xF7\xD5\xDF\xA3\xBA\xC1\xD6\xBA\xC6";
// The full-width colon has no place in a Western code page.
constexpr wchar_t kProducer[] = L"Producer\xFF1ALin Hao";

constexpr DWORD kLink = SS_NOTIFY;
using F = TAboutForm;
// CloseBtn first: it is first in the tab order.
const ControlDef<F> kControls[] = {
    {&F::CloseBtn,
     "BUTTON",
     "OK",
     IDOK,
     {125, 144, 60, 20},
     WS_TABSTOP | BS_DEFPUSHBUTTON},
    {&F::Image1, "STATIC", "", 100, {8, 14, 32, 32}, SS_ICON},
    {&F::Label1, "STATIC", "Tavro", 101, {56, 8, 80, 30}, 0},
    {&F::Label2,
     "STATIC",
     "Version: " TAVRO_VERSION_SHORT,
     102,
     {117, 34, 64, 13},
     0},
    {&F::AboutInfo, "STATIC", "", 105, {56, 72, 126, 14}, 0},
    {&F::Label3, "STATIC", kWebSite, kLabel3Id, {56, 96, 108, 13}, kLink},
    {&F::Label4, "STATIC", kMailAddress, kLabel4Id, {56, 112, 83, 13}, kLink},
    {&F::Line, "STATIC", "", 106, {8, 136, 177, 9}, SS_OWNERDRAW},
};

// A link is as wide as its text, so that only the text takes clicks.
void FitToText(HWND label, HFONT font) {
  const std::string text = WindowText(label);
  const WindowDc dc(label);
  const Selected selected(dc.get(), font);
  SIZE size{};
  GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()),
                        &size);
  RECT r;
  GetClientRect(label, &r);
  SetWindowPos(label, nullptr, 0, 0, size.cx, r.bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
}  // namespace

TAboutForm::TAboutForm(HWND owner, win::Shell& shell, std::string mainFontName)
    : ModalDialog(owner),
      shell_(shell),
      mainFontName_(std::move(mainFontName)) {}

void TAboutForm::ShowModal() { RunModal(kControls); }

SIZE TAboutForm::ClientSize() const { return kClientSize; }

void TAboutForm::ApplyLook() {
  titleFont_.reset(CreatePointFont("Arial Black", 16, dpi_, FW_BOLD));
  producerFont_.reset(
      CreatePointFont(kDialogFont.name, kDialogFont.points + 1, dpi_));
  linkFont_.reset(CreatePointFont(kDialogFont.name, kDialogFont.points, dpi_,
                                  FW_NORMAL, true));
  icon_.reset(
      LoadIconForDpi(GetModuleHandleA(nullptr), IDI_TAVRO, SM_CXICON, dpi_));
  SendMessageA(Image1, STM_SETICON, reinterpret_cast<WPARAM>(icon_.get()), 0);
  SendMessageA(Label1, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()),
               TRUE);
  SendMessageA(AboutInfo, WM_SETFONT,
               reinterpret_cast<WPARAM>(producerFont_.get()), TRUE);
  for (HWND link : {Label3, Label4}) {
    SendMessageA(link, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.get()),
                 TRUE);
    FitToText(link, linkFont_.get());
  }
}

void TAboutForm::OnDpiChanged() {
  // The controls take the new fonts and icon before the old ones go.
  const win::UniqueFont fonts[] = {std::move(font_), std::move(titleFont_),
                                   std::move(producerFont_),
                                   std::move(linkFont_)};
  const win::UniqueIcon icon = std::move(icon_);
  font_.reset(NewDialogFont());
  LayOut(*this, kControls, font_.get());
  ApplyLook();
}

INT_PTR TAboutForm::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowTextA(handle_, "About Tavro");
      font_.reset(NewDialogFont());
      CreateControls(*this, kControls, font_.get());
      ApplyLook();
      PlaceOnTop(Centre::OnDesktop);
      FormShow();
      return TRUE;  // the focus goes to the OK button
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:  // Esc and the close box
          CloseBtnClick();
          return TRUE;
        case kLabel3Id:
          if (HIWORD(wParam) == STN_CLICKED) Label3Click();
          return TRUE;
        case kLabel4Id:
          if (HIWORD(wParam) == STN_CLICKED) Label4Click();
          return TRUE;
      }
      return FALSE;
    case WM_CTLCOLORSTATIC:
      return ColourLabel(reinterpret_cast<HDC>(wParam),
                         reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR: {
      const auto over = reinterpret_cast<HWND>(wParam);
      if (over != Label3 && over != Label4) return FALSE;
      SetCursor(LoadCursor(nullptr, IDC_HAND));
      SetWindowLongPtrA(handle_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    }
    case WM_DRAWITEM:
      return DrawSunkenLine(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam),
                            Line);
    default:
      return FALSE;
  }
}

INT_PTR TAboutForm::ColourLabel(HDC dc, HWND label) {
  COLORREF colour = GetSysColor(COLOR_WINDOWTEXT);
  if (label == Label1) colour = RGB(128, 128, 128);
  if (label == Label3 || label == Label4) colour = RGB(0, 0, 255);
  SetTextColor(dc, colour);
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

void TAboutForm::FormShow() {
  if (mainFontName_ == kSimSunGbk)
    SetWindowTextA(AboutInfo, kChineseProducer);
  else
    SetWindowTextW(AboutInfo, kProducer);
}

void TAboutForm::Label3Click() { shell_.Open(handle_, kWebSite); }

void TAboutForm::Label4Click() {
  shell_.Open(handle_, std::string("mailto:") + kMailAddress);
}

void TAboutForm::CloseBtnClick() { EndModal(); }

}  // namespace tavro::ui
