#include <gmock/gmock.h>

#include <functional>
#include <tuple>

#include "MemoryRegistry.h"
#include "UiHarness.h"
#include "WindowKit.h"
#include "resource.h"

// After windows.h, which UiHarness.h brings.
#include <commctrl.h>
#include <oleacc.h>

namespace tavro::test {
namespace {

using Names = std::vector<std::string>;
using Lines = std::vector<std::string>;
const Names kSeeded{"E-mail", "Name", "Address", "Signature"};
constexpr char kCloseQuery[] =
    "Some information has been changed! Do you still want to exit?";

RECT RectIn(HWND window, HWND parent) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

SIZE ClientSize(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  return {r.right, r.bottom};
}

MATCHER_P4(IsBox, text, caption, buttons, icon, "") {
  return arg.text == text && arg.caption == caption && arg.buttons == buttons &&
         arg.icon == icon;
}

TEST_F(MainFormTest, StartUpListsTheMarkedEntriesWithTheirWholeContent) {
  SeedEntries();
  Open();
  EXPECT_TRUE(IsWindowVisible(Form().Handle()));
  EXPECT_EQ(Captions(), kSeeded);  // the foreign item is not listed
  EXPECT_EQ(Rows().ContentCell(0), "me@example.com");
  EXPECT_EQ(Rows().SubItems(2), Lines{"1 Main St\r\nTown"});
  EXPECT_NE(Rows().ContentCell(2).find("Town"), std::string::npos);
  EXPECT_EQ(Model().Sections()[2].Content, "1 Main St\r\nTown");
  EXPECT_EQ(Rows().SelectedRow(), -1);
  EXPECT_FALSE(Model().Changed());
  EXPECT_TRUE(Rows().SaveItemEnabled());
  EXPECT_TRUE(Boxes().empty());
}

// A save cut short left its mark: the start says so before the window
// shows. Only a whole backup is offered, and Yes brings back its list,
// unsaved; a mark naming no readable backup keeps the menu's list. Either
// way Save leaves the menu and BackUp.ifm holding the list shown.
TEST_F(MainFormTest, AStartAfterAnUnfinishedSaveOffersOnlyAWholeBackup) {
  const std::string backup = work.Path() + "\\BackUp.ifm";
  const struct {
    std::string mark;
    const char* icon;
    std::string quoted;  // in the box
    Names list;
  } rows[] = {
      {"C:\\Gone\\BackUp.ifm", "error", "C:\\Gone\\BackUp.ifm", kSeeded},
      // Made by the save before.
      {work.Path() + "\\Script", "error", "\\Script cannot", kSeeded},
      {"C:\\" + std::string(100000, 'x'), "error", "does not say", kSeeded},
      {backup, "question", "\\BackUp.ifm?", {"E-mail", "New"}},
  };
  for (const auto& row : rows) {
    SeedEntries();
    work.Write("BackUp.ifm",
               "[User]\r\n0.Title=E-mail\r\n0.Content=x\r\n1.Title=New\r\n");
    key.SetValue("", "TavroSaving", REG_SZ, row.mark + '\0');
    const std::size_t before = Boxes().size();
    Answer(IDYES);
    Open();
    ASSERT_EQ(Boxes().size(), before + 1) << row.icon;
    const BoxRecord& box = Boxes().back();
    EXPECT_EQ(box.icon, row.icon);
    EXPECT_LT(box.text.size(), 300u);
    EXPECT_NE(box.text.find(row.quoted), std::string::npos) << box.text;
    EXPECT_EQ(Captions(), row.list);
    EXPECT_EQ(Model().Changed(), row.list != kSeeded);
    Command(ui::CommandId("SaveItem"));
    Names subkeys{"Foreign"};
    std::string saved = "[User]\r\n";
    for (std::size_t i = 0; i < row.list.size(); ++i) {
      subkeys.insert(subkeys.end() - 1,
                     "0" + std::to_string(i) + "." + row.list[i]);
      saved += std::to_string(i) + ".Title=" + row.list[i] + "\r\n";
    }
    EXPECT_EQ(key.Subkeys(), subkeys);
    const std::string written = work.Read("BackUp.ifm");
    EXPECT_EQ(written.find(std::to_string(row.list.size()) + ".Title"),
              std::string::npos);
    for (const std::string& title : row.list)
      EXPECT_NE(written.find(".Title=" + title + "\r\n"), std::string::npos);
    const OpenedKey menu = registry.Open(key.MenuKey(), Registry::Mode::Read);
    ASSERT_TRUE(menu);
    EXPECT_FALSE(menu->HasValue("TavroSaving"));
  }
}

TEST_F(MainFormTest, RowsFilledWithDrawingHeldAreDrawnAndScrolledAfter) {
  for (int i = 10; i < 60; ++i)
    key.AddEntry(std::to_string(i) + ".Entry", "Content");
  Open();
  ASSERT_EQ(Rows().RowCount(), 50);
  EXPECT_TRUE(GetWindowLongPtrA(Form().ListView(), GWL_STYLE) & WS_VSCROLL);
  SendMessageA(Form().ListView(), WM_KEYDOWN, VK_END, 0);
  EXPECT_GT(SendMessageA(Form().ListView(), LVM_GETTOPINDEX, 0, 0), 30);
}

TEST_F(MainFormTest, UpAndDownMoveTheSelectedRowAndFocusTheList) {
  SeedEntries();
  Open();
  Click("UpBtn");  // nothing selected
  Click("DownBtn");
  Rows().Select(0);
  Click("UpBtn");
  Rows().Select(3);
  Click("DownBtn");
  EXPECT_EQ(Captions(), kSeeded);
  EXPECT_FALSE(Model().Changed());

  Rows().Select(1);
  SetFocus(Form().StatusBar());
  Click("DownBtn");
  EXPECT_EQ(Captions(), (Names{"E-mail", "Address", "Name", "Signature"}));
  EXPECT_EQ(Rows().SelectedRow(), 2);
  EXPECT_EQ(GetFocus(), Form().ListView());
  EXPECT_EQ(SendMessageA(Form().ListView(), LVM_GETNEXTITEM, -1, LVNI_FOCUSED),
            2);  // the arrow keys go on from the moved row
  EXPECT_EQ(Rows().SubItems(1), (Lines{"1 Main St", "Town"}));
  EXPECT_TRUE(Model().Changed());

  Click("UpBtn");
  Click("UpBtn");
  EXPECT_EQ(Captions(), (Names{"Name", "E-mail", "Address", "Signature"}));
  EXPECT_EQ(Rows().SelectedRow(), 0);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(MainFormTest, DeleteAsksAndRemovesTheRowOnYes) {
  SeedEntries();
  Open();
  const auto before = key.Read();
  Click("DeleteBtn");  // nothing selected: no question
  EXPECT_TRUE(Boxes().empty());

  Rows().Select(1);
  Answer(IDNO);
  Click("DeleteBtn");
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_THAT(Boxes()[0], IsBox("It will be deleted. Are you sure?", "Tavro",
                                "YesNo", "question"));
  EXPECT_EQ(Captions(), kSeeded);
  EXPECT_FALSE(Model().Changed());

  Answer(IDYES);
  Click("DeleteBtn");
  EXPECT_EQ(Captions(), (Names{"E-mail", "Address", "Signature"}));
  EXPECT_EQ(Rows().SelectedRow(), -1);
  EXPECT_TRUE(Model().Changed());
  ASSERT_EQ(Model().DeleteSecs().size(), 1u);
  EXPECT_EQ(Model().DeleteSecs()[0].Title, "Name");

  Rows().Select(0);  // the Del key runs Delete too
  Answer(IDYES);
  Press({{VK_DELETE}});
  EXPECT_EQ(Boxes().size(), 3u);
  EXPECT_EQ(Captions(), (Names{"Address", "Signature"}));
  EXPECT_EQ(key.Read(), before);  // nothing saved yet
}

// A Delete posted twice: the second arrives while the first one's question
// is up, and must not start.
TEST_F(MainFormTest, ACommandDoesNotStartWhileAnotherRuns) {
  SeedEntries();
  Open();
  Rows().Select(1);
  Answer(IDYES);
  PostMessageA(Form().Handle(), WM_COMMAND, ui::CommandId("DeleteItem"), 0);
  PostMessageA(Form().Handle(), WM_COMMAND, ui::CommandId("DeleteItem"), 0);
  PostMessageA(Form().Handle(), WM_CLOSE, 0, 0);
  Pump();
  EXPECT_EQ(Boxes().size(), 1u);  // neither the Delete nor the close ran
  EXPECT_EQ(Captions(), (Names{"E-mail", "Address", "Signature"}));
  EXPECT_EQ(Model().Sections().size(), 3u);
  EXPECT_FALSE(Closed());
  Answer(IDCANCEL);
  SendMessageA(Form().Handle(), WM_CLOSE, 0, 0);  // afterwards it asks
  EXPECT_EQ(Boxes().size(), 2u);
}

TEST_F(MainFormTest, MenuAccessKeysRunTheirCommands) {
  SeedEntries();
  Open();
  Rows().Select(0);
  Press({{VK_MENU, 'E'}, {'O'}});  // Edit > Down
  EXPECT_EQ(Captions(), (Names{"Name", "E-mail", "Address", "Signature"}));
  Press({{VK_MENU, 'T'}, {'U'}});  // Tools > Uninstall, answered No
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "Clean all the info now?");
  EXPECT_EQ(Rows().RowCount(), 4);
}

TEST_F(MainFormTest, UseInOtherBrowsersIsCheckedWhileTheBridgeIsOn) {
  work.Write("TavroHost.exe", "MZ");
  Open();
  const HMENU bar = GetMenu(Form().Handle());
  const HMENU tools = GetSubMenu(bar, 2);
  const auto checked = [&] {
    SendMessageA(Form().Handle(), WM_INITMENUPOPUP,
                 reinterpret_cast<WPARAM>(tools), 2);
    return (GetMenuState(bar, ui::CommandId("BrowsersItem"), MF_BYCOMMAND) &
            MF_CHECKED) != 0;
  };
  EXPECT_FALSE(checked());
  Answer(IDOK);
  Press({{VK_MENU, 'T'}, {'B'}});  // Tools > Use in other browsers
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].icon, "information");
  EXPECT_NE(Boxes()[0].text.find(programDir + "extension"), std::string::npos);
  EXPECT_TRUE(checked());
  Answer(IDYES);
  Press({{VK_MENU, 'T'}, {'B'}});
  EXPECT_EQ(Boxes().back().icon, "question");
  EXPECT_FALSE(checked());
  EXPECT_EQ(work.Read("TavroHost.chromium.json"), "(none)");
}

TEST_F(MainFormTest, TypeEntriesAnywhereStartsTavroTypeAtLogonAndEndsIt) {
  ASSERT_TRUE(CopyFileA((std::string("Z:") + TAVRO_TYPE_EXE).c_str(),
                        (programDir + "TavroType.exe").c_str(), FALSE));
  const char* run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  auto runValue = [&] {
    char value[MAX_PATH * 2] = {};
    DWORD size = sizeof value;
    return RegGetValueA(HKEY_CURRENT_USER, run, "TavroType", RRF_RT_REG_SZ,
                        nullptr, value, &size) == ERROR_SUCCESS
               ? std::string(value)
               : "(none)";
  };
  auto running = [](bool want) {
    for (int i = 0; i < 100; ++i) {
      if ((FindWindowA("TavroType", nullptr) != nullptr) == want) return true;
      Sleep(50);
    }
    return false;
  };
  Open();
  const HMENU bar = GetMenu(Form().Handle());
  const auto checked = [&] {
    SendMessageA(Form().Handle(), WM_INITMENUPOPUP,
                 reinterpret_cast<WPARAM>(GetSubMenu(bar, 2)), 2);
    return (GetMenuState(bar, ui::CommandId("TypeItem"), MF_BYCOMMAND) &
            MF_CHECKED) != 0;
  };
  EXPECT_FALSE(checked());
  Press({{VK_MENU, 'T'}, {'T'}});  // Tools > Type entries anywhere
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(runValue(), "\"" + programDir + "TavroType.exe\"");
  EXPECT_TRUE(checked());
  EXPECT_TRUE(running(true)) << "TavroType did not start";

  Answer(IDYES);
  Press({{VK_MENU, 'T'}, {'T'}});
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].icon, "question");
  EXPECT_EQ(runValue(), "(none)");
  EXPECT_FALSE(checked());
  EXPECT_TRUE(running(false)) << "TavroType did not end";
  RegDeleteKeyValueA(HKEY_CURRENT_USER, run, "TavroType");
}

// The menu bar, the tool buttons and the shortcuts are what the one table
// of components says, in its order, and each command id they send has a
// route.
TEST_F(MainFormTest, MenuButtonsAndShortcutsAreTheTables) {
  Open();
  using Item = std::tuple<UINT, UINT, std::string>;  // parent, id, text
  std::vector<Item> made;
  std::function<void(HMENU, UINT)> walk = [&](HMENU menu, UINT parent) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      char text[128] = {};
      MENUITEMINFOA info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_FTYPE;
      info.dwTypeData = text;
      info.cch = sizeof text;
      GetMenuItemInfoA(menu, i, TRUE, &info);
      made.emplace_back(parent, info.wID,
                        info.fType & MFT_SEPARATOR ? "-" : text);
      if (info.hSubMenu) walk(info.hSubMenu, info.wID);
    }
  };
  walk(GetMenu(Form().Handle()), 0);

  std::vector<Item> declared;
  std::vector<ACCEL> shortcuts;
  std::size_t tools = 0;
  for (const ui::ComponentDef& c : ui::MainComponents()) {
    const std::string name = c.name;
    if (c.kind == ComponentKind::MenuItem) {
      const UINT id = ui::CommandId(name);
      std::string text = c.caption;
      if (c.shortcut.key && c.parent)
        text += "\t" + ui::ShortcutText(c.shortcut);
      declared.emplace_back(c.parent ? ui::CommandId(c.parent) : 0, id, text);
      EXPECT_EQ(ui::CommandOf(id) != nullptr, c.handler != nullptr) << name;
      if (c.shortcut.key)
        shortcuts.push_back({static_cast<BYTE>(FVIRTKEY | c.shortcut.modifiers),
                             c.shortcut.key, static_cast<WORD>(id)});
    } else if (c.kind == ComponentKind::SpeedButton) {
      const ui::TToolBand::Button& button = Form().ToolBand().ButtonAt(tools++);
      EXPECT_EQ(button.name, name);
      EXPECT_EQ(button.command, ui::CommandId(c.runs)) << name;
      EXPECT_NE(ui::CommandOf(ui::CommandId(c.runs)), nullptr) << name;
    }
  }
  EXPECT_EQ(made, declared);
  EXPECT_EQ(tools, Form().ToolBand().ButtonCount());
  std::vector<ACCEL> accelerators(static_cast<std::size_t>(
      CopyAcceleratorTableA(Form().Shortcuts(), nullptr, 0)));
  CopyAcceleratorTableA(Form().Shortcuts(), accelerators.data(),
                        static_cast<int>(accelerators.size()));
  ASSERT_EQ(accelerators.size(), shortcuts.size());
  for (std::size_t i = 0; i < shortcuts.size(); ++i)
    EXPECT_TRUE(accelerators[i].fVirt == shortcuts[i].fVirt &&
                accelerators[i].key == shortcuts[i].key &&
                accelerators[i].cmd == shortcuts[i].cmd)
        << i;
}

// A screen reader finds the band as a tool bar whose children are push
// buttons named by their captions, or by their hints where they have none,
// which it can press.
TEST_F(MainFormTest, ToolButtonsAreNamedPushButtonsThatAReaderPresses) {
  SeedEntries();
  Open();
  CoInitialize(nullptr);
  IAccessible* band = nullptr;
  AccessibleObjectFromWindow(
      Form().ToolBand().Handle(), static_cast<DWORD>(OBJID_CLIENT),
      __uuidof(IAccessible), reinterpret_cast<void**>(&band));
  ASSERT_NE(band, nullptr);
  auto id = [](long child) {
    VARIANT v{};
    v.vt = VT_I4;
    v.lVal = child;
    return v;
  };
  VARIANT role{};
  band->get_accRole(id(CHILDID_SELF), &role);
  EXPECT_EQ(role.lVal, ROLE_SYSTEM_TOOLBAR);
  long count = 0;
  band->get_accChildCount(&count);
  const HWND handle = Form().ToolBand().Handle();
  EXPECT_EQ(SendMessageA(handle, TB_BUTTONCOUNT, 0, 0), count);
  long child = 0, down = 0;
  const char* downHint = "";
  for (const ui::ComponentDef& c : ui::MainComponents()) {
    if (c.kind != ComponentKind::SpeedButton) continue;
    ++child;
    BSTR name = nullptr;
    band->get_accName(id(child), &name);
    band->get_accRole(id(child), &role);
    const std::string expected = *c.caption ? c.caption : c.hint;
    EXPECT_EQ(std::wstring(name ? name : L""),
              std::wstring(expected.begin(), expected.end()))
        << c.name;
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_PUSHBUTTON) << c.name;
    SysFreeString(name);
    // Tools that read tool bars find the same name.
    TBBUTTON button{};
    SendMessageA(handle, TB_GETBUTTON, child - 1,
                 reinterpret_cast<LPARAM>(&button));
    char text[64] = "";
    SendMessageA(handle, TB_GETBUTTONTEXTA, button.idCommand,
                 reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(text, expected) << c.name;
    // Where the reader says it is, the band has it.
    long left = 0, top = 0, width = 0, height = 0;
    band->accLocation(&left, &top, &width, &height, id(child));
    VARIANT hit{};
    band->accHitTest(left + width / 2, top + height / 2, &hit);
    EXPECT_EQ(hit.lVal, child) << c.name;
    if (std::string_view(c.name) == "DownBtn") {
      down = child;
      downHint = c.hint;
    }
  }
  EXPECT_EQ(count, child);
  // The mouse over a button brings the band's tooltip, holding every hint.
  const RECT r = Form().ToolBand().ButtonRect("DownBtn");
  SendMessageA(handle, WM_MOUSEMOVE, 0,
               MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
  HWND tip = nullptr;
  while ((tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) &&
         GetWindowThreadProcessId(tip, nullptr) != GetCurrentThreadId()) {
  }
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), count);
  char hint[64] = "";
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.lpszText = hint;
  SendMessageA(tip, TTM_ENUMTOOLSA, down - 1, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(hint, downHint);
  Rows().Select(0);
  EXPECT_EQ(band->accDoDefaultAction(id(down)), S_OK);
  EXPECT_EQ(band->accDoDefaultAction(id(count + 1)), E_INVALIDARG);
  band->Release();
  Pump();
  EXPECT_EQ(Captions(), (Names{"Name", "E-mail", "Address", "Signature"}));
  CoUninitialize();
}

// A language's caption and font leave the taskbar's entry "Tavro", and the
// status bar its own font and its 19 pixels.
TEST_F(MainFormTest, ALanguageLeavesTheTaskbarAndTheStatusBarAsTheyAre) {
  InstallShippedLanguages();
  ChooseLanguage("Deutsch");
  Open();
  Names taskbar;  // the windows the taskbar lists
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM into) {
        const LONG ex = GetWindowLongA(window, GWL_EXSTYLE);
        if (IsWindowVisible(window) && !(ex & WS_EX_TOOLWINDOW) &&
            (!GetWindow(window, GW_OWNER) || (ex & WS_EX_APPWINDOW)))
          reinterpret_cast<Names*>(into)->push_back(ui::WindowText(window));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&taskbar));
  EXPECT_EQ(taskbar, Names{"Tavro"});
  EXPECT_EQ(ui::WindowText(Form().Handle()), "Tavro \x96 Ausf\xFCllhilfe");
  EXPECT_EQ(Form().FontName(), "Tahoma");
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(
                 SendMessageA(Form().StatusBar(), WM_GETFONT, 0, 0)),
             sizeof font, &font);
  EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
  RECT bar;
  GetWindowRect(Form().StatusBar(), &bar);
  EXPECT_EQ(bar.bottom - bar.top, 19);
}

// Minimised, the taskbar's window takes the main window out of sight with
// it, and restored from the taskbar it brings it back.
TEST_F(MainFormTest, MinimisingGoesThroughTheTaskbarsWindow) {
  Open();
  SendMessageA(Form().Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Pump();
  EXPECT_TRUE(IsIconic(Form().Application()));
  EXPECT_FALSE(IsWindowVisible(Form().Handle()));
  ShowWindow(Form().Application(), SW_RESTORE);
  Pump();
  EXPECT_FALSE(IsIconic(Form().Application()));
  EXPECT_TRUE(IsWindowVisible(Form().Handle()));
}

TEST_F(MainFormTest, LayoutAtStartAndAfterAResize) {
  Open();
  const HWND window = Form().Handle();
  const HWND band = Form().ToolBand().Handle();
  const HWND status = Form().StatusBar();
  EXPECT_EQ(ClientSize(window).cx, 474);
  EXPECT_EQ(ClientSize(window).cy, 292);
  EXPECT_EQ(ClientSize(band).cy, 68);
  auto expectAt = [&](const char* name, RECT expected) {
    const RECT r = Form().ToolBand().ButtonRect(name);
    EXPECT_TRUE(EqualRect(&r, &expected))
        << name << " at " << r.left << "," << r.top << " to " << r.right << ","
        << r.bottom;
  };
  auto expectPanels = [&] {
    int parts[2] = {};
    ASSERT_EQ(
        SendMessageA(status, SB_GETPARTS, 2, reinterpret_cast<LPARAM>(parts)),
        2);
    EXPECT_EQ(parts[0], ClientSize(status).cx - 74);
    EXPECT_EQ(parts[1], ClientSize(status).cx - 24);
    char text[32] = {};
    SendMessageA(status, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_NE(std::string(text).find("Tavro"), std::string::npos);
    // The list fills the space between the band and the status bar.
    const RECT list = RectIn(Form().ListView(), window);
    const RECT bar = RectIn(status, window);
    EXPECT_EQ(list.top, 68);
    EXPECT_EQ(list.bottom, bar.top);
    EXPECT_EQ(list.right, ClientSize(window).cx);
    EXPECT_EQ(SendMessageA(Form().ListView(), LVM_GETCOLUMNWIDTH, 1, 0),
              ClientSize(Form().ListView()).cx - 100);
  };
  expectAt("AddBtn", {2, 2, 62, 62});
  expectAt("UpBtn", {445, 3, 468, 27});
  expectAt("DownBtn", {445, 37, 468, 61});
  expectPanels();
  EXPECT_EQ(ClientSize(status).cx - 74, 400);

  const HWND list = Form().ListView();
  const LONG style = GetWindowLongA(list, GWL_STYLE);
  EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_TRUE(style & LVS_SINGLESEL);
  EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
  EXPECT_TRUE(style & LVS_NOSORTHEADER);
  EXPECT_FALSE(style & LVS_EDITLABELS);
  const auto extended = SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
  EXPECT_TRUE(extended & LVS_EX_GRIDLINES);
  EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
  EXPECT_EQ(Form().ColumnCaption(0), "Title");
  EXPECT_EQ(Form().ColumnCaption(1), "Content");
  EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0), 100);

  SetWindowPos(window, nullptr, 0, 0, 700, 450, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  expectPanels();
  EXPECT_GT(ClientSize(status).cx, 474);
  expectAt("UpBtn", {445, 3, 468, 27});
}

// Add empties the editor buffers and Edit fills them from the selected entry
// before the editor runs; the editor is closed unconfirmed, so that is all.
TEST_F(MainFormTest, AddEditAndDoubleClickRunTheirCommands) {
  SeedEntries();
  Open();
  RECT row{};
  row.left = LVIR_BOUNDS;
  SendMessageA(Form().ListView(), LVM_GETITEMRECT, 1,
               reinterpret_cast<LPARAM>(&row));
  const LPARAM at = MAKELPARAM(row.left + 5, (row.top + row.bottom) / 2);
  // Posted, as the mouse would: a pressed button makes the list wait for
  // the release in a loop of its own.
  for (UINT message :
       {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
    PostMessageA(Form().ListView(), message,
                 message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
  Pump();
  EXPECT_EQ(Rows().SelectedRow(), 1);
  EXPECT_EQ(Model().EditTitle.str(), "Name");
  EXPECT_EQ(Model().EditContent.str(), "Ann Smith");
  Click("AddBtn");
  EXPECT_EQ(Model().EditTitle.str(), "");
  Press({{VK_CONTROL, 'E'}});
  EXPECT_EQ(Model().EditTitle.str(), "Name");
  Press({{VK_CONTROL, 'A'}});
  EXPECT_EQ(Model().EditContent.str(), "");
  Click("EditBtn");
  EXPECT_EQ(Model().EditContent.str(), "Ann Smith");

  EXPECT_EQ(Captions(), kSeeded);
  EXPECT_EQ(Rows().SubItems(2), Lines{"1 Main St\r\nTown"});
  EXPECT_FALSE(Model().Changed());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(MainFormTest, UninstallAsksWhileThereAreRowsAndPurgesOnlyMarkedSubkeys) {
  SeedEntries();
  Open();
  const auto before = key.Read();
  Answer(IDNO);
  Click("CleanBtn");
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_THAT(Boxes()[0],
              IsBox("Clean all the info now?", "Tavro", "YesNo", "question"));
  EXPECT_EQ(Captions(), kSeeded);
  EXPECT_EQ(key.Read(), before);

  Rows().Select(0);
  Click("DownBtn");
  Answer(IDYES);
  Command(ui::CommandId("UninstallItem"));
  EXPECT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Rows().RowCount(), 0);
  EXPECT_TRUE(Model().Sections().empty());
  EXPECT_EQ(key.Subkeys(), Names{"Foreign"});
  EXPECT_EQ(key.Read()["Foreign"], before.at("Foreign"));
  EXPECT_FALSE(Model().Changed());
  EXPECT_FALSE(Rows().SaveItemEnabled());

  key.AddEntry("00.Late", "x");
  Click("CleanBtn");  // no rows: no question, registry untouched
  EXPECT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(key.Marker("00.Late"), "x");
}

TEST_F(MainFormTest, SaveRewritesTheKeyAndCtrlSFollowsTheSaveItem) {
  SeedEntries();
  Open();
  Rows().Select(0);
  Click("DownBtn");
  Press({{VK_CONTROL, 'S'}});
  EXPECT_EQ(key.Subkeys(), (Names{"00.Name", "01.E-mail", "02.Address",
                                  "03.Signature", "Foreign"}));
  EXPECT_EQ(key.Marker("02.Address"), "1 Main St\\r\\nTown");
  EXPECT_FALSE(Model().Changed());
  EXPECT_FALSE(Rows().SaveItemEnabled());

  Click("UpBtn");  // the Save item follows Changed, so Ctrl+S saves
  EXPECT_TRUE(Model().Changed());
  EXPECT_TRUE(Rows().SaveItemEnabled());
  Press({{VK_CONTROL, 'S'}});
  EXPECT_EQ(key.Subkeys(), (Names{"00.E-mail", "01.Name", "02.Address",
                                  "03.Signature", "Foreign"}));
  EXPECT_FALSE(Model().Changed());
  EXPECT_FALSE(Rows().SaveItemEnabled());

  Click("DownBtn");
  Click("SaveBtn");  // the button saves whatever the item says
  EXPECT_EQ(key.Subkeys(), (Names{"00.Name", "01.E-mail", "02.Address",
                                  "03.Signature", "Foreign"}));
  EXPECT_FALSE(Model().Changed());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(MainFormTest, SaveWritesTheWorkFolderAndLoadBringsTheListBack) {
  SeedEntries();
  Open();
  Click("SaveBtn");
  EXPECT_EQ(work.Read("BackUp.ifm"),
            "[User]\r\n0.Title=E-mail\r\n0.Content=me@example.com\r\n"
            "1.Title=Name\r\n1.Content=Ann Smith\r\n2.Title=Address\r\n"
            "2.Content=1 Main St\\r\\nTown\r\n3.Title=Signature\r\n"
            "3.Content=Regards\r\n");
  const std::string script = work.Read("Script\\Address.htm");
  EXPECT_EQ(script.size(), 294u + 17u);
  EXPECT_NE(script.find("  rng.text=\"1 Main St\\r\\nTown\";\r\n"),
            std::string::npos);

  Rows().Select(0);
  Answer(IDYES);
  Click("DeleteBtn");
  Command(ui::CommandId("SaveItem"));
  EXPECT_EQ(work.Read("Script\\E-mail.htm"), "(none)");
  Command(ui::CommandId("LoadItem"));
  EXPECT_EQ(Captions(), (Names{"Name", "Address", "Signature"}));
  EXPECT_TRUE(Model().Changed());
  EXPECT_TRUE(Rows().SaveItemEnabled());
  // A Load forgets the removals made before it.
  EXPECT_TRUE(Model().DeleteSecs().empty());
  EXPECT_EQ(Rows().ContentCell(1), "1 Main St");
}

TEST_F(MainFormTest, NoCloseQuestionWithoutChanges) {
  SeedEntries();
  Open();
  Click("ExitBtn");
  EXPECT_TRUE(Closed());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(MainFormTest, EveryCloseRequestAsksAndCancelKeepsTheWindow) {
  SeedEntries();
  Open();
  Rows().Select(0);
  Click("DownBtn");
  const Names moved = Captions();
  const auto before = key.Read();
  const std::function<void()> requests[] = {
      [&] { Click("ExitBtn"); },
      [&] { Command(ui::CommandId("ExitItem")); },
      [&] {
        Press({{VK_MENU, VK_F4}});
      },
      [&] {
        SendMessageA(Form().Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        Pump();
      },
  };
  for (const auto& request : requests) {
    const std::size_t asked = Boxes().size();
    Answer(IDCANCEL);
    request();
    ASSERT_EQ(Boxes().size(), asked + 1);
    EXPECT_THAT(Boxes().back(),
                IsBox(kCloseQuery, "Tavro", "YesNoCancel", "question"));
    ASSERT_FALSE(Closed());
    EXPECT_EQ(Captions(), moved);
    EXPECT_TRUE(Model().Changed());
  }
  EXPECT_EQ(key.Read(), before);
}

TEST_F(MainFormTest, CloseAnsweredYesSavesFirst) {
  SeedEntries();
  Open();
  Rows().Select(0);
  Click("DownBtn");
  Answer(IDYES);
  Click("ExitBtn");
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_TRUE(Closed());
  EXPECT_EQ(key.Marker("00.Name"), "Ann Smith");
  EXPECT_FALSE(Model().Changed());
}

TEST_F(MainFormTest, CloseAnsweredNoLeavesTheRegistryAsItWas) {
  SeedEntries();
  Open();
  const auto before = key.Read();
  Rows().Select(0);
  Click("DownBtn");
  Answer(IDNO);
  Press({{VK_MENU, VK_F4}});
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_TRUE(Closed());
  EXPECT_EQ(key.Read(), before);
}

TEST_F(MainFormTest, AnEscapedErrorIsShownAndTheWindowStaysAsLeft) {
  MemoryRegistry refusing;
  refusing.SetRawValue(key.MenuKey() + "00.A", "Tavro", MemoryRegistry::kSz,
                       std::string("a\0", 2));
  refusing.SetRawValue(key.MenuKey() + "01.B", "Tavro", MemoryRegistry::kSz,
                       std::string("b\0", 2));
  refusing.RefuseWritesAfter(1);  // the save's mark, then nothing
  Open(&refusing);
  Rows().Select(0);
  Click("DownBtn");
  Click("SaveBtn");
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_THAT(Boxes()[0],
              IsBox("Failed to set data for ''", "Tavro", "OK", "error"));
  EXPECT_FALSE(Closed());
  EXPECT_TRUE(Model().Changed());
  EXPECT_EQ(Captions(), (Names{"B", "A"}));

  // A save that fails under the close question keeps the window open.
  Answer(IDYES);
  Click("ExitBtn");
  ASSERT_EQ(Boxes().size(), 3u);
  EXPECT_EQ(Boxes()[1].text, kCloseQuery);
  EXPECT_EQ(Boxes()[2].icon, "error");
  EXPECT_FALSE(Closed());
}

// Whatever a handler throws, the box says so and the window goes on.
TEST_F(MainFormTest, AnyExceptionIsShownNotLetThrough) {
  struct Throwing : MemoryRegistry {
    OpenedKey Open(const std::string&, Mode) override { throw 42; }
  } registry;
  Open(&registry);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_THAT(Boxes()[0], IsBox("An unexpected error ended this command.",
                                "Tavro", "OK", "error"));
  EXPECT_TRUE(IsWindowVisible(Form().Handle()));
}

TEST_F(MainFormTest, AMarkerThatIsNotTextIsReportedAndEveryEntryHasItsRow) {
  key.AddEntry("00.E-mail", "me@example.com");
  key.SetValue("01.Odd", "Tavro", REG_BINARY, std::string("\x01\x02", 2));
  key.AddEntry("02.Name", "Ann Smith");
  Open();
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_THAT(Boxes()[0],
              IsBox("Invalid data type for 'Tavro'", "Tavro", "OK", "error"));
  EXPECT_TRUE(IsWindowVisible(Form().Handle()));
  const auto& sections = Model().Sections();
  ASSERT_EQ(Rows().RowCount(), static_cast<int>(sections.size()));
  for (std::size_t i = 0; i < sections.size(); ++i)
    EXPECT_EQ(Rows().Caption(static_cast<int>(i)), sections[i].Title);
  EXPECT_EQ(Captions().front(), "E-mail");
  EXPECT_EQ(Captions().back(), "Name");
}

}  // namespace
}  // namespace tavro::test
