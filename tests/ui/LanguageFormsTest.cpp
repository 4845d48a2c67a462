// The language dialog, the language texts, templates, About and Help, on
// the real windows with the shipped language files.
#include <gtest/gtest.h>

#include "MemoryFileSystem.h"
#include "MemoryProfileFile.h"
#include "UiHarness.h"
#include "UnitAbout.h"
#include "UnitOptions.h"
#include "resource.h"

namespace tavro::test {
namespace {

using Names = std::vector<std::string>;

std::string Profile(const std::string& file, const char* section,
                    const std::string& key) {
  char value[2048];
  GetPrivateProfileStringA(section, key.c_str(), "(missing)", value,
                           sizeof value, file.c_str());
  return value;
}

Names Lines(HWND list) {
  Names lines;
  const auto count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (int i = 0; i < count; ++i) {
    char line[256] = {};
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
    lines.push_back(line);
  }
  return lines;
}

int Selected(HWND list) {
  return static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
}

void PressButton(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

TEST_F(MainFormTest, FirstStartCancelledKeepsTheBuiltInTextsAndReadsTheList) {
  DeleteFileA((work.Path() + "\\Language.ini").c_str());
  SeedEntries();
  Open();  // the language dialog is closed unanswered
  ASSERT_EQ(Dialogs().size(), 1u);
  EXPECT_EQ(Dialogs()[0].caption, "Options");
  EXPECT_FALSE(Dialogs()[0].ownerVisible);  // it comes before the window
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "No language files found!");
  EXPECT_EQ(Boxes()[0].buttons + Boxes()[0].icon, "OKerror");
  EXPECT_EQ(ui::WindowText(Form().Handle()), "Tavro");
  EXPECT_EQ(Form().ToolBand().Caption("AddBtn"), "Add");
  EXPECT_EQ(Form().FontName(), "MS Sans Serif");
  EXPECT_EQ(Form().Workspace().EditCaptions.OKBtn, "");
  EXPECT_EQ(Model().Sections().size(), 4u);
  EXPECT_EQ(work.Read("Language.ini"), "(none)");
}

TEST_F(MainFormTest, FirstStartOkNeedsALineAndThenAppliesIt) {
  InstallShippedLanguages();
  DeleteFileA((work.Path() + "\\Language.ini").c_str());
  Names lines;
  int preselected = 0;
  bool stayedOpen = false;
  WhileModal([&](HWND dialog) {
    const auto& options = DialogObject<ui::TOptionsForm>(dialog);
    lines = Lines(options.ListBox);
    preselected = Selected(options.ListBox);
    PressButton(options.OKBtn);
    stayedOpen = IsWindowVisible(dialog) && !options.Accepted;
    SendMessageA(options.ListBox, LB_SETCURSEL, 2, 0);
    PressButton(options.OKBtn);
  });
  Open();
  EXPECT_EQ(lines, (Names{"Chinese", "Deutsch", "English", "Plain"}));
  EXPECT_EQ(preselected, -1);
  EXPECT_TRUE(stayedOpen);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "List index out of bounds (-1)");
  EXPECT_EQ(Boxes()[0].caption + Boxes()[0].buttons + Boxes()[0].icon,
            "TavroOKerror");
  EXPECT_EQ(work.Read("Language.ini"), "[Language]\r\nLanguage=English\r\n");
  EXPECT_EQ(Form().ToolBand().Hint("AddBtn"),
            Profile(work.Path() + "\\Languages\\English.ini", "MainForm",
                    "AddBtn.Hint"));
}

TEST_F(MainFormTest, CtrlLSwitchesEveryTextAndLeavesTheListAlone) {
  InstallShippedLanguages();
  ChooseLanguage("English");
  SeedEntries();
  Open();
  EXPECT_TRUE(Boxes().empty());
  Rows().Select(0);
  Click("DownBtn");
  const Names rows = Captions();
  int preselected = -1;
  WhileModal([&](HWND dialog) {
    const auto& options = DialogObject<ui::TOptionsForm>(dialog);
    preselected = Selected(options.ListBox);
    SendMessageA(options.ListBox, LB_SETCURSEL, 1, 0);  // Deutsch
    PressButton(options.OKBtn);
  });
  Press({{VK_CONTROL, 'L'}});
  EXPECT_EQ(preselected, 2);

  // Every key of the file is on screen.
  const std::string file = work.Path() + "\\Languages\\Deutsch.ini";
  auto text = [&](const char* section, const std::string& key) {
    return Profile(file, section, key);
  };
  EXPECT_EQ(ui::WindowText(Form().Handle()),
            text("MainForm", "MainForm.Caption"));
  for (const ui::ComponentDef& def : ui::MainComponents()) {
    const std::string name = def.name;
    if (def.kind == ComponentKind::MenuItem) {
      EXPECT_EQ(Form().MenuItemCaption(name),
                text("MainForm", name + ".Caption"));
    } else if (def.kind == ComponentKind::SpeedButton) {
      EXPECT_EQ(Form().ToolBand().Caption(name),
                text("MainForm", name + ".Caption"));
      EXPECT_EQ(Form().ToolBand().Hint(name), text("MainForm", name + ".Hint"));
    } else if (def.kind == ComponentKind::ListView) {
      for (int column : {0, 1})
        EXPECT_EQ(Form().ColumnCaption(column),
                  text("MainForm", name + ".Columns[" + std::to_string(column) +
                                       "].Caption"));
    }
  }
  const TMessages& messages = Form().Workspace().Messages;
  EXPECT_EQ(messages.msgCloseQuery, text("Messages", "msgCloseQuery"));
  EXPECT_EQ(messages.msgCleanInfo, text("Messages", "msgCleanInfo"));
  const TEditFormCaption& editor = Form().Workspace().EditCaptions;
  EXPECT_EQ(editor.CanelBtn, text("EditForm", "CanelBtn.Caption"));
  EXPECT_EQ(editor.msgEmpty, text("EditForm", "msgEmpty"));
  EXPECT_EQ(Form().FontName(), "Tahoma");
  LOGFONTA font{};
  GetObjectA(Form().Font(), sizeof font, &font);
  EXPECT_EQ(font.lfHeight, -11);  // 8 points
  EXPECT_EQ(SendMessageA(Form().ListView(), WM_GETFONT, 0, 0),
            reinterpret_cast<LRESULT>(Form().Font()));

  Press({{VK_CONTROL, 'A'}});  // the editor opens under the language's caption
  EXPECT_EQ(Dialogs().back().caption, text("EditForm", "AddCaption"));
  EXPECT_EQ(Captions(), rows);
  EXPECT_TRUE(Model().Changed());
  EXPECT_TRUE(Boxes().empty());
}

// A language without a column's key keeps the caption as it is, however
// long: the key's default is the whole caption.
TEST_F(MainFormTest, AColumnsLongCaptionStaysWholeInALanguageWithoutItsKey) {
  const std::string title(300, 'T');
  const std::string font = "Font.Name=MS Sans Serif\r\nFont.Size=8\r\n";
  work.Write("Languages\\Long.ini",
             "[MainForm]\r\n" + font + "ListView.Columns[0].Caption=" + title);
  work.Write("Languages\\Bare.ini", "[MainForm]\r\n" + font);
  ChooseLanguage("Long");
  Open();
  EXPECT_EQ(Form().ColumnCaption(0), title);
  ChooseLanguage("Bare");
  Form().LoadLanguage();
  EXPECT_EQ(Form().ColumnCaption(0), title);
}

TEST_F(MainFormTest, TheLanguageDialogIgnoresEscAndCancelStoresNothing) {
  InstallShippedLanguages();
  ChooseLanguage("english");  // another letter case: not preselected
  Open();
  bool escClosed = true;
  WhileModal([&](HWND dialog) {
    const auto& o = DialogObject<ui::TOptionsForm>(dialog);
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(Selected(o.ListBox), -1);
    EXPECT_FALSE(GetWindowLongA(o.ListBox, GWL_STYLE) & LBS_NOTIFY);
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);  // what Esc sends
    escClosed = !IsWindowVisible(dialog);
    SendMessageA(o.ListBox, LB_SETCURSEL, 0, 0);
    PressButton(o.CanelBtn);
  });
  Command(ui::CommandId("LanguageItems"));
  EXPECT_FALSE(escClosed);
  EXPECT_EQ(work.Read("Language.ini"), "[Language]\r\nLanguage=english\r\n");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(MainFormTest, ARefusedChoiceIsShownAndTheDialogStaysOpen) {
  Open();
  MemoryFileSystem files;
  MemoryProfileFile profiles(files);
  files.AddFile("C:\\P\\Languages\\English.ini", "");
  files.RefuseWrite(1);
  ui::TOptionsForm options(Form().Handle(), files, profiles, "C:\\P\\");
  bool stayedOpen = false;
  WhileModal([&](HWND dialog) {
    SendMessageA(options.ListBox, LB_SETCURSEL, 0, 0);
    PressButton(options.OKBtn);
    stayedOpen = IsWindowVisible(dialog) && !options.Accepted;
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
  });
  options.ShowModal();
  EXPECT_TRUE(stayedOpen);
  EXPECT_FALSE(options.Accepted);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "Unable to write to C:\\P\\Language.ini.");
  EXPECT_EQ(Boxes()[0].icon, "error");
  EXPECT_EQ(files.ReadFile("C:\\P\\Language.ini"), std::nullopt);
}

TEST_F(MainFormTest, TemplateReplacesTheListWhenConfirmed) {
  InstallShippedLanguages();
  ChooseLanguage("English");
  SeedEntries();
  Open();
  const std::string file = work.Path() + "\\Languages\\English.ini";
  Answer(IDNO);
  Command(ui::CommandId("TemplateItem"));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, Profile(file, "Messages", "msgUseTemplate"));
  EXPECT_EQ(Boxes()[0].buttons + Boxes()[0].icon, "YesNoquestion");
  EXPECT_EQ(Captions().size(), 4u);
  EXPECT_FALSE(Model().Changed());

  Answer(IDYES);
  Command(ui::CommandId("TemplateItem"));
  Names titles;
  for (int n = 0; Profile(file, "Template", std::to_string(n)) != "(missing)";
       ++n)
    titles.push_back(Profile(file, "Template", std::to_string(n)));
  EXPECT_GE(titles.size(), 8u);
  EXPECT_EQ(Captions(), titles);
  EXPECT_EQ(Rows().ContentCell(0), Profile(file, "Template", "Content"));
  EXPECT_TRUE(Model().Changed());
  EXPECT_TRUE(Rows().SaveItemEnabled());
}

TEST_F(MainFormTest, AboutShowsTheProducerLineOfTheMainFontAndOpensTheLinks) {
  InstallShippedLanguages();
  ChooseLanguage("English");
  Open();
  std::wstring producer;
  std::string producerBytes, mail;
  HWND shown = nullptr;
  auto inspect = [&](HWND dialog) {
    const auto& about = DialogObject<ui::TAboutForm>(dialog);
    shown = dialog;
    wchar_t wide[64] = {};
    GetWindowTextW(about.AboutInfo, wide, 64);
    producer = wide;
    producerBytes = ui::WindowText(about.AboutInfo);
    mail = ui::WindowText(about.Label4);
    for (HWND link : {about.Label3, about.Label4})
      SendMessageA(dialog, WM_COMMAND,
                   MAKEWPARAM(GetDlgCtrlID(link), STN_CLICKED),
                   reinterpret_cast<LPARAM>(link));
    PressButton(about.CloseBtn);
  };
  WhileModal(inspect);
  Command(ui::CommandId("AboutTavroItem"));
  EXPECT_EQ(producer, L"Producer\xFF1ALin Hao");
  EXPECT_EQ(mail, "tavro@example.org");
  ASSERT_EQ(shell.opened.size(), 2u);
  EXPECT_EQ(shell.opened[0].owner, shown);
  EXPECT_EQ(shell.opened[0].target, "https://tavro.example.org");
  EXPECT_EQ(shell.opened[1].target, "mailto:tavro@example.org");
  EXPECT_FALSE(IsWindow(shown));

  ChooseLanguage("Chinese");  // its font is SimSun, named in GBK
  Form().LoadLanguage();
  EXPECT_EQ(Form().FontName(), "\xCB\xCE\xCC\xE5");
  WhileModal(inspect);
  Command(ui::CommandId("AboutTavroItem"));
  EXPECT_EQ(producerBytes, "\xD7\xF7\xD5\xDF\xA3\xBA\xC1\xD6\xBA\xC6");

  ChooseLanguage("English");
  Form().LoadLanguage();
  WhileModal(inspect);
  Command(ui::CommandId("AboutTavroItem"));
  EXPECT_EQ(producer, L"Producer\xFF1ALin Hao");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(MainFormTest, HelpOpensTheWorkFoldersPageOnlyWhenThereIsOne) {
  Open();
  Command(ui::CommandId("TavrohelpItem"));
  EXPECT_TRUE(shell.opened.empty());
  work.Write("Helps\\index.htm", "<p>Help</p>");
  Command(ui::CommandId("TavrohelpItem"));
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0].owner, Form().Handle());
  EXPECT_EQ(shell.opened[0].target, work.Path() + "\\Helps\\index.htm");
  EXPECT_TRUE(Boxes().empty());
}

// Started with another current folder: the language file, its templates
// and the help page come from the program folder when the work folder has
// none.
TEST_F(MainFormTest, StartedElsewhereTheProgramFolderGivesLanguageAndHelp) {
  ScratchWorkFolder program;  // makes itself current; the work folder stays
  SetCurrentDirectoryA(work.Path().c_str());
  program.Write("Language.ini", "[Language]\r\nLanguage=Mine\r\n");
  program.Write("Languages\\Mine.ini",
                "[MainForm]\r\nMainForm.Caption=Mine\r\n"
                "[Template]\r\n0=From the program folder\r\n");
  program.Write("Helps\\index.htm", "<p>Help</p>");
  programDir = program.Path() + "\\";
  Open();
  EXPECT_EQ(ui::WindowText(Form().Handle()), "Mine");
  Answer(IDYES);
  Command(ui::CommandId("TemplateItem"));
  EXPECT_EQ(Captions(), Names{"From the program folder"});
  Command(ui::CommandId("TavrohelpItem"));
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0].target, program.Path() + "\\Helps\\index.htm");
}

}  // namespace
}  // namespace tavro::test
