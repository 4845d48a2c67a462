#include "UnitMain.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>

#include "CodePage.h"
#include "Errors.h"
#include "TypeProcess.h"
#include "UnitAbout.h"
#include "UnitEdit.h"
#include "UnitOptions.h"
#include "resource.h"

namespace tavro::ui {

namespace {
constexpr char kCoolBarClass[] = "TavroCoolBar";
constexpr char kApplicationTitle[] = "Tavro";
constexpr char kLayoutFontFace[] = "MS Sans Serif";
constexpr int kLayoutFontPoints = 8;
// Beyond this a font is no use, and the pixel height would overflow.
constexpr int kLargestFontPoints = 1000;

// The tool band draws its separators itself; the buttons are its children.
// Its user data holds its DPI.
LRESULT CALLBACK CoolBarProc(HWND hwnd, UINT message, WPARAM wParam,
                             LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP | BF_BOTTOM);
    const auto dpi = static_cast<UINT>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    for (const BevelDef& bevel : MainBevels()) {
      RECT line = Scale(bevel.bounds, dpi);
      DrawEdge(dc, &line, BDR_SUNKENOUTER, BF_LEFT);
    }
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

std::string CurrentDirectory() {
  std::string path(MAX_PATH, '\0');
  DWORD length =
      GetCurrentDirectoryA(static_cast<DWORD>(path.size()), path.data());
  if (length >= path.size()) {
    path.resize(length);
    length = GetCurrentDirectoryA(length, path.data());
  }
  path.resize(length);
  return path;
}

std::string MenuText(const MenuItemDef& def, const std::string& caption) {
  if (!def.shortcut || !def.parent) return caption;
  return caption + "\t" + def.shortcut;
}

std::string ExecutableFolder() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(),
                                            static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, FileNameStart(path));  // a 0x5C may end a character
}
}  // namespace

TMainForm::TMainForm(HINSTANCE instance, Registry& registry,
                     std::string menuKey)
    : TMainForm(instance, Platform{registry, files_, profiles_},
                std::move(menuKey)) {}

TMainForm::TMainForm(HINSTANCE instance, Platform platform, std::string menuKey)
    : instance_(instance),
      platform_(platform),
      menuKey_(std::move(menuKey)),
      fontName_(kLayoutFontFace),
      fontSize_(kLayoutFontPoints),
      programDir_(ExecutableFolder()) {
  for (const MenuItemDef& def : MainMenuItems())
    menuCaptions_.emplace_back(def.caption);
}

TMainForm::~TMainForm() {
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
  if (shortcuts_) DestroyAcceleratorTable(shortcuts_);
}

void TMainForm::RegisterClasses(HINSTANCE instance) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kMainFormClass;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_TAVRO));
  RegisterClassExA(&wc);

  WNDCLASSA band{};
  band.lpfnWndProc = CoolBarProc;
  band.hInstance = instance;
  band.hCursor = LoadCursor(nullptr, IDC_ARROW);
  band.lpszClassName = kCoolBarClass;
  RegisterClassA(&band);

  TSpeedButton::Register(instance);
}

void TMainForm::Create() {
  const DWORD style = WS_OVERLAPPEDWINDOW;
  RECT frame{0, 0, kMainClientSize.cx, kMainClientSize.cy};
  AdjustWindowRectEx(&frame, style, TRUE, 0);
  CreateWindowExA(0, kMainFormClass, kApplicationTitle, style, CW_USEDEFAULT,
                  CW_USEDEFAULT, frame.right - frame.left,
                  frame.bottom - frame.top, nullptr, nullptr, instance_, this);
  if (!window_) throw TavroError("Cannot create the main window");
}

void TMainForm::CreateMenuBar() {
  menu_ = CreateMenu();
  std::vector<std::pair<std::string_view, HMENU>> popups;
  const auto items = MainMenuItems();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const MenuItemDef& def = items[i];
    HMENU parent = menu_;
    if (def.parent) {
      const auto it =
          std::find_if(popups.begin(), popups.end(),
                       [&](const auto& p) { return p.first == def.parent; });
      parent = it->second;
    }
    const bool hasSubmenu =
        std::any_of(items.begin(), items.end(), [&](const MenuItemDef& other) {
          return other.parent && std::string_view(other.parent) == def.name;
        });
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
    info.wID = def.id;
    const std::string text = MenuText(def, menuCaptions_[i]);
    info.fType = menuCaptions_[i] == "-" ? MFT_SEPARATOR : MFT_STRING;
    info.dwTypeData = const_cast<char*>(text.c_str());
    if (hasSubmenu) {
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = CreatePopupMenu();
      popups.emplace_back(def.name, info.hSubMenu);
    }
    InsertMenuItemA(parent, GetMenuItemCount(parent), TRUE, &info);
  }
  SetMenu(window_, menu_);

  ACCEL keys[] = {
      {FCONTROL | FVIRTKEY, 'S', IDM_SAVEITEM},
      {FCONTROL | FVIRTKEY, 'A', IDM_ADDITEM},
      {FCONTROL | FVIRTKEY, 'E', IDM_EDITITEM},
      {FVIRTKEY, VK_DELETE, IDM_DELETEITEM},
      {FCONTROL | FVIRTKEY, 'L', IDM_LANGUAGEITEMS},
  };
  shortcuts_ = CreateAcceleratorTableA(keys, ARRAYSIZE(keys));
}

void TMainForm::CreateControls() {
  CreateMenuBar();

  coolBar_ = CreateWindowExA(
      0, kCoolBarClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
      kMainClientSize.cx, kToolBandHeight, window_,
      reinterpret_cast<HMENU>(IDC_COOLBAR), instance_, nullptr);
  tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0,
                             0, window_, nullptr, instance_, nullptr);
  for (const SpeedButtonDef& def : MainSpeedButtons()) {
    auto button = std::make_unique<TSpeedButton>(
        coolBar_, window_, tooltip_, def.command, def.bounds, def.glyph);
    button->SetCaption(def.caption);
    button->SetHint(def.hint);
    buttons_.push_back(std::move(button));
  }

  list_ = CreateWindowExA(
      WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
          LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
      0, kToolBandHeight, kMainClientSize.cx, 0, window_,
      reinterpret_cast<HMENU>(IDC_LISTVIEW), instance_, nullptr);
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
      0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0,
      0, window_, reinterpret_cast<HMENU>(IDC_STATUSBAR), instance_, nullptr);
  ScaleTo(WindowDpi(window_));
  // The window was made for 96 DPI, before it had one.
  RECT frame{0, 0, Scale(kMainClientSize.cx, dpi_),
             Scale(kMainClientSize.cy, dpi_)};
  AdjustFrameForDpi(frame,
                    static_cast<DWORD>(GetWindowLongA(window_, GWL_STYLE)),
                    true, 0, dpi_);
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left,
               frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  boxes_.SetOwner(window_);
  rows_ = std::make_unique<win::ListViewRows>(list_, menu_, IDM_SAVEITEM);
  workspace_ =
      std::make_unique<TWorkspace>(*rows_, boxes_, platform_, menuKey_);
}

void TMainForm::ScaleTo(UINT dpi) {
  const UINT previous = dpi_;
  dpi_ = dpi;
  // The controls take the new font before the old one goes.
  const win::UniqueFont old = std::move(font_);
  font_.reset(CreatePointFont(fontName_.c_str(), fontSize_, dpi_));
  const win::UniqueIcon oldIcons[] = {std::move(bigIcon_),
                                      std::move(smallIcon_)};
  bigIcon_.reset(LoadIconForDpi(instance_, IDI_TAVRO, SM_CXICON, dpi_));
  smallIcon_.reset(LoadIconForDpi(instance_, IDI_TAVRO, SM_CXSMICON, dpi_));
  SendMessageA(window_, WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(bigIcon_.get()));
  SendMessageA(window_, WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(smallIcon_.get()));
  SetWindowLongPtrA(coolBar_, GWLP_USERDATA, dpi_);
  InvalidateRect(coolBar_, nullptr, TRUE);
  const auto defs = MainSpeedButtons();
  for (std::size_t i = 0; i < defs.size(); ++i)
    buttons_[i]->SetDpi(dpi_, defs[i].bounds);
  // A width the user has dragged keeps its share.
  const int title =
      static_cast<int>(SendMessageA(list_, LVM_GETCOLUMNWIDTH, 0, 0));
  SendMessageA(list_, LVM_SETCOLUMNWIDTH, 0, Rescale(title, previous, dpi_));
  ApplyFont();
}

void TMainForm::ApplyFont() {
  for (HWND control : {list_, status_})
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()),
                 TRUE);
  for (auto& button : buttons_) button->SetFont(font_.get());
  FormResize();
}

void TMainForm::Show(int showCommand) {
  Guard([this] { FormShow(); });
  RECT r;
  GetWindowRect(window_, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  SetWindowPos(window_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(window_, showCommand);
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
    ShowDefaultError(CaughtErrorText());
  }
  running_ = false;
}

void TMainForm::ShowDefaultError(const std::string& message) {
  ui::ShowDefaultError(window_, message);
}

LRESULT CALLBACK TMainForm::WndProc(HWND hwnd, UINT message, WPARAM wParam,
                                    LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<TMainForm*>(
        reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->window_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self =
      reinterpret_cast<TMainForm*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  // No exception may unwind into the system's code.
  try {
    return self->OnMessage(message, wParam, lParam);
  } catch (...) {
    self->ShowDefaultError(CaughtErrorText());
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
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam) == 1 && lParam == 0);
      return 0;
    case WM_INITMENUPOPUP:
      // Asked as the Tools menu opens, not before: another Tavro may have
      // turned it over, and the other menus need no trip to the registry.
      if (GetMenuState(reinterpret_cast<HMENU>(wParam), IDM_BROWSERSITEM,
                       MF_BYCOMMAND) != UINT(-1))
        Guard([this] {
          CheckMenuItem(menu_, IDM_BROWSERSITEM,
                        workspace_->BridgeOn() ? MF_CHECKED : MF_UNCHECKED);
          CheckMenuItem(menu_, IDM_TYPEITEM,
                        workspace_->TypeOn() ? MF_CHECKED : MF_UNCHECKED);
        });
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom == list_ && header->code == NM_DBLCLK)
        Guard([this] { EditBtnClick(); });
      return 0;
    }
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_QUERYENDSESSION: {
      bool mayClose = false;
      Guard([&] { mayClose = FormCloseQuery(); });
      return mayClose;
    }
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

void TMainForm::OnCommand(UINT id, bool fromShortcut) {
  // A shortcut does nothing while its menu item is disabled.
  if (fromShortcut &&
      (GetMenuState(menu_, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)))
    return;
  using Handler = void (TMainForm::*)();
  struct Route {
    UINT id;
    Handler handler;
  };
  static constexpr Route kRoutes[] = {
      {IDM_TEMPLATEITEM, &TMainForm::TemplateItemClick},
      {IDM_SAVEITEM, &TMainForm::SaveBtnClick},
      {IDM_EXITITEM, &TMainForm::ExitBtnClick},
      {IDM_ADDITEM, &TMainForm::AddBtnClick},
      {IDM_EDITITEM, &TMainForm::EditBtnClick},
      {IDM_DELETEITEM, &TMainForm::DeleteBtnClick},
      {IDM_UPITEM, &TMainForm::UpBtnClick},
      {IDM_DOWNITEM, &TMainForm::DownBtnClick},
      {IDM_LOADITEM, &TMainForm::LoadBtnClick},
      {IDM_UNINSTALLITEM, &TMainForm::CleanBtnClick},
      {IDM_BROWSERSITEM, &TMainForm::BrowsersItemClick},
      {IDM_TYPEITEM, &TMainForm::TypeItemClick},
      {IDM_LANGUAGEITEMS, &TMainForm::LanguageItemsClick},
      {IDM_TAVROHELPITEM, &TMainForm::TavrohelpItemClick},
      {IDM_ABOUTTAVROITEM, &TMainForm::AboutTavroItemClick},
  };
  for (const Route& route : kRoutes)
    if (route.id == id) Guard([&] { (this->*route.handler)(); });
}

std::size_t TMainForm::MenuIndex(std::string_view name) const {
  const auto items = MainMenuItems();
  for (std::size_t i = 0; i < items.size(); ++i)
    if (name == items[i].name) return i;
  throw TavroError("No menu item " + std::string(name));
}

UINT TMainForm::MenuItemId(std::string_view name) const {
  return MainMenuItems()[MenuIndex(name)].id;
}

std::string TMainForm::MenuItemCaption(std::string_view name) const {
  return menuCaptions_[MenuIndex(name)];
}

void TMainForm::SetMenuItemCaption(std::string_view name,
                                   const std::string& caption) {
  const std::size_t i = MenuIndex(name);
  menuCaptions_[i] = caption;
  const std::string text = MenuText(MainMenuItems()[i], caption);
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_STRING;
  info.fType = caption == "-" ? MFT_SEPARATOR : MFT_STRING;
  info.dwTypeData = const_cast<char*>(text.c_str());
  SetMenuItemInfoA(menu_, MainMenuItems()[i].id, FALSE, &info);
}

TSpeedButton* TMainForm::SpeedButton(std::string_view name) {
  const auto defs = MainSpeedButtons();
  for (std::size_t i = 0; i < defs.size(); ++i)
    if (name == defs[i].name) return buttons_[i].get();
  return nullptr;
}

std::string TMainForm::ColumnCaption(int column) const {
  char text[256] = {};
  LVCOLUMNA info{};
  info.mask = LVCF_TEXT;
  info.pszText = text;
  info.cchTextMax = sizeof text;
  SendMessageA(list_, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&info));
  return text;
}

void TMainForm::SetColumnCaption(int column, const std::string& caption) {
  LVCOLUMNA info{};
  info.mask = LVCF_TEXT;
  info.pszText = const_cast<char*>(caption.c_str());
  SendMessageA(list_, LVM_SETCOLUMNA, column, reinterpret_cast<LPARAM>(&info));
}

void TMainForm::FormShow() {
  workspace_->Start(CurrentDirectory());
  workspace_->ProgramDir = programDir_;
  if (ReadLanguageSelection(platform_.profiles, programDir_).empty()) {
    TOptionsForm options(window_, platform_.files, platform_.profiles,
                         programDir_);
    options.ShowModal();
  }
  LoadLanguage();
  workspace_->LoadFromRegistry();
}

void TMainForm::LoadLanguage() {
  TFormTexts texts = CollectTexts();
  if (workspace_->LoadLanguage(texts)) ApplyTexts(texts);
}

TFormTexts TMainForm::CollectTexts() {
  TFormTexts texts{WindowText(window_), fontName_, fontSize_, {}};
  for (const ComponentDef& def : Components()) {
    ComponentTexts& c = texts.Components.emplace_back(
        ComponentTexts{def.name, def.kind, "", ""});
    if (def.kind == ComponentKind::MenuItem) {
      c.First = MenuItemCaption(def.name);
    } else if (def.kind == ComponentKind::SpeedButton) {
      c.First = SpeedButton(def.name)->Caption();
      c.Second = SpeedButton(def.name)->Hint();
    } else if (def.kind == ComponentKind::ListView) {
      c.First = ColumnCaption(0);
      c.Second = ColumnCaption(1);
    }
  }
  return texts;
}

void TMainForm::ApplyTexts(const TFormTexts& texts) {
  SetWindowTextA(window_, texts.Caption.c_str());
  for (const ComponentTexts& c : texts.Components) {
    if (c.Kind == ComponentKind::MenuItem) {
      SetMenuItemCaption(c.Name, c.First);
    } else if (c.Kind == ComponentKind::SpeedButton) {
      SpeedButton(c.Name)->SetCaption(c.First);
      SpeedButton(c.Name)->SetHint(c.Second);
    } else if (c.Kind == ComponentKind::ListView) {
      SetColumnCaption(0, c.First);
      SetColumnCaption(1, c.Second);
    }
  }
  // Once for all the captions: each redraw recomputes the whole frame.
  DrawMenuBar(window_);
  fontName_ = texts.FontName;
  fontSize_ =
      std::clamp(texts.FontSize, -kLargestFontPoints, kLargestFontPoints);
  // The controls take the new font before the old one goes.
  win::UniqueFont old = std::move(font_);
  font_.reset(CreatePointFont(fontName_.c_str(), fontSize_, dpi_));
  ApplyFont();
}

bool TMainForm::FormCloseQuery() { return workspace_->FormCloseQuery(); }

void TMainForm::AddBtnClick() {
  TEditForm editor(window_, Font(), workspace_->EditCaptions);
  workspace_->Model.Add(editor, workspace_->EditCaptions.AddCaption);
}

void TMainForm::EditBtnClick() {
  TEditForm editor(window_, Font(), workspace_->EditCaptions);
  workspace_->Model.Edit(editor, workspace_->EditCaptions.EditCaption);
}

void TMainForm::DeleteBtnClick() {
  workspace_->Model.Delete(workspace_->Messages.msgDelete);
}

void TMainForm::SaveBtnClick() { workspace_->SaveBtnClick(); }
void TMainForm::UpBtnClick() { workspace_->Model.Up(); }
void TMainForm::DownBtnClick() { workspace_->Model.Down(); }
void TMainForm::LoadBtnClick() { workspace_->LoadBtnClick(); }
void TMainForm::ExitBtnClick() { PostMessageA(window_, WM_CLOSE, 0, 0); }
void TMainForm::CleanBtnClick() {
  if (workspace_->CleanBtnClick()) win::EndTavroType();
}
void TMainForm::BrowsersItemClick() { workspace_->BrowsersItemClick(); }

void TMainForm::TypeItemClick() {
  const auto change = workspace_->TypeItemClick();
  if (change == TWorkspace::TypeSwitch::Left) return;
  // A copy already running may be another folder's, or read an older
  // TavroType.ini: the new one takes over.
  win::EndTavroType();
  if (change == TWorkspace::TypeSwitch::On)
    win::StartTavroType(workspace_->TypeExePath());
}
void TMainForm::TemplateItemClick() { workspace_->TemplateItemClick(); }

void TMainForm::LanguageItemsClick() {
  TOptionsForm options(window_, platform_.files, platform_.profiles,
                       programDir_);
  options.ShowModal();
  if (options.Accepted) LoadLanguage();
}

void TMainForm::AboutTavroItemClick() {
  TAboutForm about(window_, *shell_, fontName_);
  about.ShowModal();
}

void TMainForm::TavrohelpItemClick() {
  if (const auto page = workspace_->HelpPage()) shell_->Open(window_, *page);
}

// The bar takes its height from its font, which does not grow in step with
// the DPI; its least height is raised to keep it in proportion, and left
// as the bar has it where that is not needed. The bar adds its borders to
// that least height, so the first try measures them.
SIZE TMainForm::SizeStatusBar() {
  RECT bar;
  auto height = [&] {
    SendMessageA(status_, WM_SIZE, 0, 0);
    GetWindowRect(status_, &bar);
    return static_cast<int>(bar.bottom - bar.top);
  };
  const int want = Scale(kStatusBarHeight, dpi_);
  if (barRaised_) SendMessageA(status_, SB_SETMINHEIGHT, 0, 0);
  barRaised_ = false;
  int got = height();
  if (got < want) {
    barRaised_ = true;
    SendMessageA(status_, SB_SETMINHEIGHT, want, 0);
    got = height();
    if (got > want) {
      SendMessageA(status_, SB_SETMINHEIGHT, 2 * want - got, 0);
      got = height();
    }
  }
  return {bar.right - bar.left, got};
}

void TMainForm::FormResize() {
  if (!status_) return;
  RECT client;
  GetClientRect(window_, &client);
  const auto [barWidth, barHeight] = SizeStatusBar();
  const int margin = Scale(kStatusPanelMargin, dpi_);
  int parts[] = {barWidth - margin,
                 barWidth - margin + Scale(kStatusPanel1Width, dpi_)};
  SendMessageA(status_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
  SendMessageA(status_, SB_SETTEXTA, 1 | SBT_NOBORDERS,
               reinterpret_cast<LPARAM>("\tTavro"));
  const int band = Scale(kToolBandHeight, dpi_);
  MoveWindow(coolBar_, 0, 0, client.right, band, TRUE);
  MoveWindow(list_, 0, band, client.right,
             std::max(0L, client.bottom - band - barHeight), TRUE);
  SendMessageA(list_, LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE_USEHEADER);
}

}  // namespace tavro::ui
