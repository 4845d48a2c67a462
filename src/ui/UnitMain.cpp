#include "UnitMain.h"

#include <commctrl.h>

#include <algorithm>

#include "Errors.h"
#include "Folders.h"
#include "TypeProcess.h"
#include "UnitAbout.h"
#include "UnitEdit.h"
#include "UnitOptions.h"
#include "WindowKit.h"
#include "WindowProc.h"
#include "resource.h"

namespace tavro::ui {

namespace {
constexpr char kApplicationClass[] = "TavroApplication";
constexpr char kApplicationTitle[] = "Tavro";
constexpr char kLayoutFontFace[] = "MS Sans Serif";
constexpr int kLayoutFontPoints = 8;
// Beyond this a font is no use, and the pixel height would overflow.
constexpr int kLargestFontPoints = 1000;
constexpr DWORD kMainStyle = WS_OVERLAPPEDWINDOW;
constexpr wchar_t kUnsavedReason[] =
    L"Tavro's list of entries has changes that are not saved.";

using K = ComponentKind;

std::string MenuText(const ComponentDef& def, const std::string& caption) {
  if (!def.shortcut.key || !def.parent) return caption;
  return caption + "\t" + ShortcutText(def.shortcut);
}

}  // namespace

TMainParts::TMainParts(Registry& registry, win::Shell& shell,
                       std::string programDir, std::string menuKey)
    : shell(shell),
      workspace(rows, boxes, {registry, files, profiles}, std::move(menuKey),
                std::move(programDir)) {}

TMainForm::TMainForm(HINSTANCE instance, TMainParts& parts)
    : instance_(instance),
      parts_(parts),
      fontName_(kLayoutFontFace),
      fontSize_(kLayoutFontPoints) {
  for (const ComponentDef& def : MainComponents())
    captions_.emplace_back(def.caption);
}

TMainForm::~TMainForm() {
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
  if (application_ && IsWindow(application_)) DestroyWindow(application_);
  if (shortcuts_) DestroyAcceleratorTable(shortcuts_);
}

void TMainForm::RegisterClasses(HINSTANCE instance) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = win::ForwardingProc<TMainForm, &TMainForm::Dispatch>;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kMainFormClass;
  // The icons come with the classes, for the screen's DPI: set on a window,
  // an icon costs Wine more than making the window.
  classIconDpi_ = WindowDpi(nullptr);
  wc.hIcon = LoadIconForDpi(instance, IDI_TAVRO, SM_CXICON, classIconDpi_);
  wc.hIconSm = LoadIconForDpi(instance, IDI_TAVRO, SM_CXSMICON, classIconDpi_);
  RegisterClassExA(&wc);

  wc.style = 0;
  wc.lpfnWndProc =
      win::ForwardingProc<TMainForm, &TMainForm::ApplicationMessage>;
  wc.hbrBackground = nullptr;
  wc.lpszClassName = kApplicationClass;
  RegisterClassExA(&wc);

  TToolBand::Register(instance);
}

// The application's own window: the one the taskbar shows, titled "Tavro"
// whatever the language calls the main window, which it owns. It is shown
// at no size and hands every activation on to the main window.
LRESULT TMainForm::ApplicationMessage(HWND hwnd, UINT message, WPARAM wParam,
                                      LPARAM lParam) {
  const HWND main = window_;
  switch (message) {
    case WM_GETMINMAXINFO:
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {0, 0};
      return 0;
    case WM_SIZE:
      if (main && wParam == SIZE_RESTORED && !IsWindowVisible(main))
        ShowWindow(main, SW_SHOW);
      return 0;
    case WM_ACTIVATE:
      if (main && LOWORD(wParam) != WA_INACTIVE && !IsIconic(hwnd))
        SetActiveWindow(GetLastActivePopup(main));
      return 0;
    case WM_SYSCOMMAND:
      // The taskbar's Close asks the main window.
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        if (main) PostMessageA(main, WM_CLOSE, 0, 0);
        return 0;
      }
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void TMainForm::Create() {
  // Made where and as large as the screen's DPI has it; one that opens on a
  // monitor of another DPI is moved once it knows.
  const RECT frame = CentredFrame(WindowDpi(nullptr));
  const POINT middle{(frame.left + frame.right) / 2,
                     (frame.top + frame.bottom) / 2};
  // Shown, but of no size: the taskbar lists it, the screen shows nothing.
  // It stands where the main window is, so that a minimised Tavro comes
  // back there.
  application_ = CreateWindowExA(
      0, kApplicationClass, kApplicationTitle,
      WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, middle.x, middle.y,
      0, 0, nullptr, nullptr, instance_, this);
  // Made with the window, not set on it after: that would lay out its frame
  // a second time.
  CreateMenuBar();
  CreateWindowExA(0, kMainFormClass, kApplicationTitle, kMainStyle, frame.left,
                  frame.top, frame.right - frame.left, frame.bottom - frame.top,
                  application_, menu_, instance_, this);
  if (!application_ || !window_)
    throw TavroError("Cannot create the main window");
}

RECT TMainForm::CentredFrame(UINT dpi) const {
  RECT frame{0, 0, Scale(kMainClientSize.cx, dpi),
             Scale(kMainClientSize.cy, dpi)};
  AdjustFrameForDpi(frame, kMainStyle, true, 0, dpi);
  OffsetRect(&frame,
             (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2 -
                 frame.left,
             (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2 -
                 frame.top);
  return frame;
}

void TMainForm::CreateMenuBar() {
  menu_ = CreateMenu();
  const auto components = MainComponents();
  std::vector<HMENU> submenus(components.size());
  std::vector<ACCEL> keys;
  for (std::size_t i = 0; i < components.size(); ++i) {
    const ComponentDef& def = components[i];
    if (def.kind != K::MenuItem) continue;
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
    info.wID = CommandId(def.name);
    const std::string text = MenuText(def, captions_[i]);
    info.fType = captions_[i] == "-" ? MFT_SEPARATOR : MFT_STRING;
    info.dwTypeData = const_cast<char*>(text.c_str());
    if (!def.handler && std::string_view(def.caption) != "-") {
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = submenus[i] = CreatePopupMenu();
    }
    HMENU parent = def.parent ? submenus[ComponentIndex(def.parent)] : menu_;
    InsertMenuItemA(parent, GetMenuItemCount(parent), TRUE, &info);
    if (def.shortcut.key)
      keys.push_back({static_cast<BYTE>(FVIRTKEY | def.shortcut.modifiers),
                      def.shortcut.key, static_cast<WORD>(info.wID)});
  }
  shortcuts_ =
      CreateAcceleratorTableA(keys.data(), static_cast<int>(keys.size()));
}

void TMainForm::CreateControls() {
  band_ = std::make_unique<TToolBand>(window_, window_, kCoolBarId);
  for (const ComponentDef& def : MainComponents()) {
    if (def.kind == K::Bevel) band_->AddSeparator(def.bounds);
    if (def.kind != K::SpeedButton) continue;
    band_->AddButton(def.name, CommandId(def.runs), def.bounds, def.glyph);
    band_->SetTexts(def.name, def.caption, def.hint);
  }

  list_ = CreateWindowExA(
      WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
          LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
      0, kToolBandHeight, kMainClientSize.cx, 0, window_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListViewId)), instance_,
      nullptr);
  SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE,
               LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT,
               LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  const char* columns[] = {"Title", "Content"};
  for (int i = 0; i < 2; ++i) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>(columns[i]);
    column.cx = kTitleColumnWidth;  // scaled below
    SendMessageA(list_, LVM_INSERTCOLUMNA, i,
                 reinterpret_cast<LPARAM>(&column));
  }

  status_ = CreateWindowExA(
      0, STATUSCLASSNAMEA, "",
      WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN,
      0, 0, 0, 0, window_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)), instance_,
      nullptr);
  ScaleTo(WindowDpi(window_));
  RECT made;
  GetWindowRect(window_, &made);
  if (const RECT frame = CentredFrame(dpi_); !EqualRect(&frame, &made)) {
    SetWindowPos(window_, nullptr, frame.left, frame.top,
                 frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(application_, nullptr, (frame.left + frame.right) / 2,
                 (frame.top + frame.bottom) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  parts_.boxes.SetOwner(window_);
  parts_.rows.Attach(list_, menu_, CommandId("SaveItem"));
}

void TMainForm::ScaleTo(UINT dpi) {
  const UINT previous = dpi_;
  dpi_ = dpi;
  // The windows take the new icons before the old ones go; at the classes'
  // DPI they go back to the classes'.
  const win::UniqueIcon oldIcons[] = {std::move(bigIcon_),
                                      std::move(smallIcon_)};
  if (dpi_ != classIconDpi_) {
    bigIcon_.reset(LoadIconForDpi(instance_, IDI_TAVRO, SM_CXICON, dpi_));
    smallIcon_.reset(LoadIconForDpi(instance_, IDI_TAVRO, SM_CXSMICON, dpi_));
  }
  if (bigIcon_ || oldIcons[0]) {
    // The big one is for the taskbar and Alt+Tab, which show the
    // application's window only.
    SendMessageA(application_, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(bigIcon_.get()));
    for (HWND window : {window_, application_})
      SendMessageA(window, WM_SETICON, ICON_SMALL,
                   reinterpret_cast<LPARAM>(smallIcon_.get()));
  }
  band_->SetDpi(dpi_);
  // A width the user has dragged keeps its share.
  const int title =
      static_cast<int>(SendMessageA(list_, LVM_GETCOLUMNWIDTH, 0, 0));
  SendMessageA(list_, LVM_SETCOLUMNWIDTH, 0, Rescale(title, previous, dpi_));
  // The status bar keeps the window's first font, whatever the language's.
  const win::UniqueFont oldStatusFont = ReplaceFont(
      statusFont_, CreatePointFont(kLayoutFontFace, kLayoutFontPoints, dpi_));
  SendMessageA(status_, WM_SETFONT, reinterpret_cast<WPARAM>(statusFont_.get()),
               TRUE);
  // The first font waits for the language, which names its own.
  if (font_) RemakeFont();
}

void TMainForm::RemakeFont() {
  // The controls take the new font before the old one goes.
  const win::UniqueFont old =
      ReplaceFont(font_, CreatePointFont(fontName_.c_str(), fontSize_, dpi_));
  SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
  band_->SetFont(font_.get());
  FormResize();
}

void TMainForm::Show(int showCommand) {
  Guard([this] { FormShow(); });
  if (!font_) RemakeFont();  // no language named one
  const bool minimised = showCommand == SW_SHOWMINIMIZED ||
                         showCommand == SW_MINIMIZE ||
                         showCommand == SW_SHOWMINNOACTIVE;
  ShowWindow(window_, minimised ? SW_SHOWNORMAL : showCommand);
  ShowWindow(application_, SW_SHOWNOACTIVATE);
  // Started minimised, as the minimise box does it.
  if (minimised) SendMessageA(window_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  UpdateWindow(window_);
}

bool TMainForm::TranslateShortcut(MSG& message) {
  return window_ && TranslateAcceleratorA(window_, shortcuts_, &message);
}

int TMainForm::Run() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (TranslateShortcut(message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

template <typename F>
void TMainForm::Guard(F&& handler) {
  // A command posted while another one's box is up waits for nothing: it
  // is dropped, so that no two commands work on the list at once.
  if (running_) return;
  running_ = true;
  try {
    handler();
  } catch (...) {
    ShowDefaultError(window_, CaughtErrorText());
  }
  running_ = false;
}

LRESULT TMainForm::Dispatch(HWND hwnd, UINT message, WPARAM wParam,
                            LPARAM lParam) {
  if (message == WM_NCCREATE) window_ = hwnd;
  if (message == WM_NCDESTROY) {
    window_ = nullptr;
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  // No exception may unwind into the system's code.
  try {
    return OnMessage(message, wParam, lParam);
  } catch (...) {
    ShowDefaultError(hwnd, CaughtErrorText());
    return message == WM_CREATE ? -1 : 0;  // a failed creation fails
  }
}

LRESULT TMainForm::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateControls();
      return 0;
    case WM_SIZE:
      FormResize();
      return 0;
    case WM_DPICHANGED: {
      ScaleTo(LOWORD(wParam));
      // The suggested place keeps the window on the monitor it moved to.
      const auto* r = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window_, nullptr, r->left, r->top, r->right - r->left,
                   r->bottom - r->top, SWP_NOZORDER | SWP_NOACTIVATE);
      FormResize();
      return 0;
    }
    case WM_SETFOCUS:
      SetFocus(list_);
      return 0;
    case WM_SYSCOMMAND:
      // Minimised, the application's window goes to the taskbar, and the
      // main window out of sight until it is restored.
      if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        ShowWindow(window_, SW_HIDE);
        ShowWindow(application_, SW_MINIMIZE);
        return 0;
      }
      break;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam) == 1 && lParam == 0);
      return 0;
    case WM_INITMENUPOPUP: {
      // Asked as the Tools menu opens, not before: another Tavro may have
      // turned them over, and the other menus need no trip to the registry.
      const auto popup = reinterpret_cast<HMENU>(wParam);
      const UINT browsers = CommandId("BrowsersItem");
      if (GetMenuState(popup, browsers, MF_BYCOMMAND) != UINT(-1))
        Guard([&] {
          CheckMenuItem(popup, browsers,
                        Workspace().BridgeOn() ? MF_CHECKED : MF_UNCHECKED);
          CheckMenuItem(popup, CommandId("TypeItem"),
                        Workspace().TypeOn() ? MF_CHECKED : MF_UNCHECKED);
        });
      return 0;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom == list_ && header->code == NM_DBLCLK)
        Guard([this] { EditBtnClick(); });
      return 0;
    }
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_QUERYENDSESSION:
      return OnQueryEndSession();
    case WM_ENDSESSION:
      // Ending: Windows ends the program after this answer anyway, and
      // nothing unsaved goes without the user having been told.
      if (wParam) ExitProcess(0);
      ShutdownBlockReasonDestroy(window_);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

void TMainForm::OnClose() {
  bool mayClose = false;
  Guard([&] { mayClose = FormCloseQuery(); });
  if (mayClose) DestroyWindow(window_);
}

// Windows asks before it ends the session. Nothing unsaved: let it end,
// even while a box is up. Unsaved, with no box up: the close question,
// which may save. Unsaved while a box is up, which must not be left for a
// second one: the session waits, and Windows shows the user why.
LRESULT TMainForm::OnQueryEndSession() {
  if (!Workspace().Model.Changed()) return TRUE;
  bool mayEnd = false;
  if (!running_) Guard([&] { mayEnd = FormCloseQuery(); });
  if (!mayEnd) ShutdownBlockReasonCreate(window_, kUnsavedReason);
  return mayEnd;
}

void TMainForm::OnCommand(UINT id, bool fromShortcut) {
  // A shortcut does nothing while its menu item is disabled.
  if (fromShortcut &&
      (GetMenuState(menu_, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)))
    return;
  if (const ComponentDef* command = CommandOf(id))
    Guard([&] { (this->*command->handler)(); });
}

std::size_t TMainForm::ComponentIndex(std::string_view name) const {
  const auto components = MainComponents();
  for (std::size_t i = 0; i < components.size(); ++i)
    if (name == components[i].name) return i;
  throw TavroError("No component " + std::string(name));
}

std::string TMainForm::MenuItemCaption(std::string_view name) const {
  return captions_[ComponentIndex(name)];
}

void TMainForm::SetMenuItemCaption(std::size_t component,
                                   const std::string& caption) {
  const ComponentDef& def = MainComponents()[component];
  captions_[component] = caption;
  const std::string text = MenuText(def, caption);
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_STRING;
  info.fType = caption == "-" ? MFT_SEPARATOR : MFT_STRING;
  info.dwTypeData = const_cast<char*>(text.c_str());
  SetMenuItemInfoA(menu_, CommandId(def.name), FALSE, &info);
}

std::string TMainForm::ColumnCaption(int column) const {
  // The whole caption, however long: it is the default of the language
  // file's key.
  for (std::string text(256, '\0');; text.resize(text.size() * 2)) {
    LVCOLUMNA info{};
    info.mask = LVCF_TEXT;
    info.pszText = text.data();
    info.cchTextMax = static_cast<int>(text.size());
    SendMessageA(list_, LVM_GETCOLUMNA, column,
                 reinterpret_cast<LPARAM>(&info));
    const std::size_t length = std::string_view(text.c_str()).size();
    if (length + 1 < text.size()) return text.substr(0, length);
  }
}

void TMainForm::SetColumnCaption(int column, const std::string& caption) {
  LVCOLUMNA info{};
  info.mask = LVCF_TEXT;
  info.pszText = const_cast<char*>(caption.c_str());
  SendMessageA(list_, LVM_SETCOLUMNA, column, reinterpret_cast<LPARAM>(&info));
}

void TMainForm::FormShow() {
  Workspace().Start(win::CurrentDirectory());
  if (ReadLanguageSelection(parts_.profiles, Workspace().ProgramDir).empty()) {
    TOptionsForm options(window_, parts_.files, parts_.profiles,
                         Workspace().ProgramDir);
    options.ShowModal();
  }
  LoadLanguage();
  Workspace().LoadFromRegistry();
}

void TMainForm::LoadLanguage() {
  TFormTexts texts = CollectTexts();
  if (Workspace().LoadLanguage(texts)) ApplyTexts(texts);
}

TFormTexts TMainForm::CollectTexts() {
  TFormTexts texts{WindowText(window_), fontName_, fontSize_, {}};
  const auto components = MainComponents();
  for (std::size_t i = 0; i < components.size(); ++i) {
    ComponentTexts& c = texts.Components.emplace_back(
        ComponentTexts{components[i].name, components[i].kind, "", ""});
    if (c.Kind == K::MenuItem) {
      c.First = captions_[i];
    } else if (c.Kind == K::SpeedButton) {
      c.First = band_->Caption(c.Name);
      c.Second = band_->Hint(c.Name);
    } else if (c.Kind == K::ListView) {
      c.First = ColumnCaption(0);
      c.Second = ColumnCaption(1);
    }
  }
  return texts;
}

void TMainForm::ApplyTexts(const TFormTexts& texts) {
  // The main window's caption; the taskbar keeps the application's title.
  SetWindowTextA(window_, texts.Caption.c_str());
  // The texts come back in the order they were collected in.
  for (std::size_t i = 0; i < texts.Components.size(); ++i) {
    const ComponentTexts& c = texts.Components[i];
    if (c.Kind == K::MenuItem) {
      SetMenuItemCaption(i, c.First);
    } else if (c.Kind == K::SpeedButton) {
      band_->SetTexts(c.Name, c.First, c.Second);
    } else if (c.Kind == K::ListView) {
      SetColumnCaption(0, c.First);
      SetColumnCaption(1, c.Second);
    }
  }
  // Once for all the captions: each redraw recomputes the whole frame.
  // Not shown yet, the window draws it when it is.
  if (IsWindowVisible(window_)) DrawMenuBar(window_);
  const int size =
      std::clamp(texts.FontSize, -kLargestFontPoints, kLargestFontPoints);
  // The same font again would only redraw everything.
  if (font_ && texts.FontName == fontName_ && size == fontSize_) return;
  fontName_ = texts.FontName;
  fontSize_ = size;
  RemakeFont();
}

bool TMainForm::FormCloseQuery() { return Workspace().FormCloseQuery(); }

void TMainForm::AddBtnClick() {
  TEditForm editor(window_, Font(), Workspace().EditCaptions);
  Workspace().Model.Add(editor, Workspace().EditCaptions.AddCaption);
}

void TMainForm::EditBtnClick() {
  TEditForm editor(window_, Font(), Workspace().EditCaptions);
  Workspace().Model.Edit(editor, Workspace().EditCaptions.EditCaption);
}

void TMainForm::DeleteBtnClick() {
  Workspace().Model.Delete(Workspace().Messages.msgDelete);
}

void TMainForm::SaveBtnClick() { Workspace().SaveBtnClick(); }
void TMainForm::UpBtnClick() { Workspace().Model.Up(); }
void TMainForm::DownBtnClick() { Workspace().Model.Down(); }
void TMainForm::LoadBtnClick() { Workspace().LoadBtnClick(); }
void TMainForm::ExitBtnClick() { PostMessageA(window_, WM_CLOSE, 0, 0); }
void TMainForm::CleanBtnClick() {
  if (Workspace().CleanBtnClick()) win::EndTavroType();
}
void TMainForm::BrowsersItemClick() { Workspace().BrowsersItemClick(); }

void TMainForm::TypeItemClick() {
  const auto change = Workspace().TypeItemClick();
  if (change == TWorkspace::TypeSwitch::Left) return;
  // A copy already running may be another folder's, or read an older
  // TavroType.ini: the new one takes over.
  win::EndTavroType();
  if (change == TWorkspace::TypeSwitch::On)
    win::StartTavroType(Workspace().TypeExePath());
}
void TMainForm::TemplateItemClick() { Workspace().TemplateItemClick(); }

void TMainForm::LanguageItemsClick() {
  TOptionsForm options(window_, parts_.files, parts_.profiles,
                       Workspace().ProgramDir);
  options.ShowModal();
  if (options.Accepted) LoadLanguage();
}

void TMainForm::AboutTavroItemClick() {
  TAboutForm about(window_, parts_.shell, fontName_);
  about.ShowModal();
}

void TMainForm::TavrohelpItemClick() {
  if (const auto page = Workspace().HelpPage())
    parts_.shell.Open(window_, *page);
}

void TMainForm::FormResize() {
  // Laid out once the font is known, not before.
  if (!status_ || !font_) return;
  RECT client;
  GetClientRect(window_, &client);
  // The bar is placed here, at its own height, not at its font's.
  const int barWidth = client.right;
  const int barHeight = Scale(kStatusBarHeight, dpi_);
  MoveWindow(status_, 0, client.bottom - barHeight, barWidth, barHeight, TRUE);
  const int margin = Scale(kStatusPanelMargin, dpi_);
  int parts[] = {barWidth - margin,
                 barWidth - margin + Scale(kStatusPanel1Width, dpi_)};
  SendMessageA(status_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
  SendMessageA(status_, SB_SETTEXTA, 1 | SBT_NOBORDERS,
               reinterpret_cast<LPARAM>("\tTavro"));
  const int band = Scale(kToolBandHeight, dpi_);
  MoveWindow(band_->Handle(), 0, 0, client.right, band, TRUE);
  MoveWindow(list_, 0, band, client.right,
             std::max(0L, client.bottom - band - barHeight), TRUE);
  SendMessageA(list_, LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE_USEHEADER);
}

}  // namespace tavro::ui
