#include "Language.h"

#include <gtest/gtest.h>

#include <limits>

#include "FakeWorkspaceTest.h"
#include "Workspace.h"

namespace tavro {
namespace {

TEST(StrToIntDefTest, ReadsDecimalAndHexadecimalAsTheProfileSpellsThem) {
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  const std::pair<const char*, std::int32_t> cases[] = {
      {"12", 12},
      {"+12", 12},
      {"0x0C", 12},
      {"0X0c", 12},
      {"$0C", 12},
      {"x0c", 12},
      {"  12", 12},
      {"-7", -7},
      {"007", 7},
      {"12pt", 9},
      {"1.5", 9},
      {"-", 9},
      {"+", 9},
      {"", 9},
      {"$", 9},
      {"0x", 9},
      {"-$1", 9},
      {"12 ", 9},
      {"2147483647", kMax},
      {"2147483648", 9},
      {"-2147483648", kMin},
      {"-2147483649", 9},
      {"$7FFFFFFF", kMax},
      {"$80000000", kMin},
      {"0xFFFFFFFF", -1},
      {"$0000000001", 1},
      {"$100000000", 9},
  };
  for (const auto& [text, value] : cases)
    EXPECT_EQ(StrToIntDef(text, 9), value) << '"' << text << '"';
}

class LanguageTest : public FakeWorkspaceTest {
 protected:
  void SetUp() override {
    files.AddFolder("C:\\Work");
    files.AddFolder("C:\\Program");
    ws.Start("C:\\Work");
    form.Caption = "Tavro";
    form.FontName = "MS Sans Serif";
    form.FontSize = 8;
    form.Components = {
        {"MainMenu", ComponentKind::MainMenu, "", ""},
        {"FileItems", ComponentKind::MenuItem, "&File", ""},
        {"AddBtn", ComponentKind::SpeedButton, "Add", ""},
        {"ListView", ComponentKind::ListView, "Title", "Content"},
        {"OkBtn", ComponentKind::PushButton, "OK", ""}};
  }
  void Choose(const std::string& name) {
    profiles.WriteString("C:\\Program\\Language.ini", "Language", "Language",
                         name);
  }
  void AddLanguage(const std::string& folder, const std::string& name,
                   const std::string& text) {
    files.AddFile(folder + "\\Languages\\" + name + ".ini", text);
  }
  const ComponentTexts& Component(const std::string& name) {
    for (const ComponentTexts& c : form.Components)
      if (c.Name == name) return c;
    throw std::out_of_range(name);
  }

  TFormTexts form;
};

TEST_F(LanguageTest, WithoutAChoiceNothingChangesButTheBoxSaysSo) {
  AddLanguage("C:\\Work", "English", "[MainForm]\r\nMainForm.Caption=X\r\n");
  const TFormTexts before = form;
  EXPECT_FALSE(ws.LoadLanguage(form));
  Choose("");
  EXPECT_FALSE(ws.LoadLanguage(form));
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].kind, ScriptedBoxes::Shown::Error);
  EXPECT_EQ(boxes.shown[0].text, "No language files found!");
  EXPECT_EQ(form.Caption, before.Caption);
  EXPECT_EQ(form.FontName, before.FontName);
  EXPECT_EQ(ws.EditCaptions.OKBtn, "");
}

TEST_F(LanguageTest, AppliesTheFileAndKeepsEarlierTextsForMissingKeys) {
  AddLanguage("C:\\Work", "English",
              "[MainForm]\r\nMainForm.Caption=Tavro EN\r\nFont.Name=Tahoma\r\n"
              "Font.Size=0x0A\r\nAddBtn.Caption=New\r\n"
              "AddBtn.Hint=Add a new entry\r\nListView.Columns[1].Caption=Text"
              "\r\nfileitems.caption=&Datei\r\nOkBtn.Hint=Press\r\n"
              "[Messages]\r\nmsgDelete=Delete this entry?\r\nmsgCleanInfo=\r\n"
              "[EditForm]\r\nAddCaption=New entry\r\n");
  AddLanguage("C:\\Work", "Bare", "[Messages]\r\nmsgUseTemplate=Use it?\r\n");
  Choose("English");
  ASSERT_TRUE(ws.LoadLanguage(form));
  EXPECT_EQ(form.Caption, "Tavro EN");
  EXPECT_EQ(form.FontName, "Tahoma");
  EXPECT_EQ(form.FontSize, 10);
  EXPECT_EQ(Component("AddBtn").First, "New");
  EXPECT_EQ(Component("AddBtn").Second, "Add a new entry");
  EXPECT_EQ(Component("ListView").First, "Title");
  EXPECT_EQ(Component("ListView").Second, "Text");
  EXPECT_EQ(Component("FileItems").First, "&Datei");
  EXPECT_EQ(Component("OkBtn").Second, "Press");
  EXPECT_EQ(ws.Messages.msgDelete, "Delete this entry?");
  EXPECT_EQ(ws.Messages.msgCleanInfo, "");  // present but empty
  EXPECT_EQ(ws.Messages.msgUseTemplate, "Do you want to use the Template?");
  const TEditFormCaption english{"Title",
                                 "Content",
                                 "New entry",
                                 "Edit",
                                 "&OK",
                                 "&Canel",
                                 "Title or Content is Empty!"};
  EXPECT_EQ(ws.EditCaptions.AddCaption, english.AddCaption);
  EXPECT_EQ(ws.EditCaptions.CanelBtn, english.CanelBtn);
  EXPECT_EQ(ws.EditCaptions.msgEmpty, english.msgEmpty);

  // The next language lacks nearly everything: the fixed defaults come
  // back, the other texts stay as the first language left them.
  Choose("Bare");
  ASSERT_TRUE(ws.LoadLanguage(form));
  EXPECT_EQ(form.Caption, "Tavro");
  EXPECT_EQ(form.FontName, "Tohoma");
  EXPECT_EQ(form.FontSize, 9);
  EXPECT_EQ(Component("AddBtn").First, "New");
  EXPECT_EQ(ws.Messages.msgDelete, "Delete this entry?");
  EXPECT_EQ(ws.Messages.msgUseTemplate, "Use it?");
  EXPECT_EQ(ws.EditCaptions.AddCaption, "Add");
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(LanguageTest, FaceNamesAndValuesAreCutAndAnEmptyFaceKeepsTheFont) {
  const std::string longValue(3000, 'v');
  AddLanguage("C:\\Work", "Long",
              "[MainForm]\r\nFont.Name=" + std::string(40, 'F') +
                  "\r\nFont.Size=12pt\r\n[Messages]\r\nmsgDelete=" + longValue +
                  "\r\n");
  AddLanguage("C:\\Work", "NoFace", "[MainForm]\r\nFont.Name=\r\n");
  Choose("Long");
  ASSERT_TRUE(ws.LoadLanguage(form));
  EXPECT_EQ(form.FontName, std::string(31, 'F'));
  EXPECT_EQ(form.FontSize, 9);
  EXPECT_EQ(ws.Messages.msgDelete, longValue.substr(0, 2047));
  Choose("NoFace");
  ASSERT_TRUE(ws.LoadLanguage(form));
  EXPECT_EQ(form.FontName, std::string(31, 'F'));
}

TEST_F(LanguageTest, TheFileComesFromTheWorkFolderElseFromTheProgramFolder) {
  const std::string name(300, 'n');  // cut to 255 before the path is built
  AddLanguage("C:\\Program", name.substr(0, 255),
              "[MainForm]\r\nMainForm.Caption=From the program folder\r\n");
  Choose(name);
  ASSERT_TRUE(ws.LoadLanguage(form));
  EXPECT_EQ(form.Caption, "From the program folder");

  AddLanguage("C:\\Work", name.substr(0, 255),
              "[MainForm]\r\nMainForm.Caption=From the work folder\r\n");
  ASSERT_TRUE(ws.LoadLanguage(form));
  EXPECT_EQ(form.Caption, "From the work folder");
  EXPECT_EQ(LanguageFilePath(files, "C:\\Work", "C:\\Program\\", "None"),
            "C:\\Work\\Languages\\None.ini");
}

// TavroType's popup: the program folder's file (TavroType has no work
// folder), its font and its texts, else the system's font and English.
TEST_F(LanguageTest, ThePopupTakesTheFontAndItsTextsFromTheProgramFolder) {
  EXPECT_EQ(ReadPickerTexts(profiles, files, "C:\\Program\\").hint,
            PickerTexts{}.hint);  // none chosen
  Choose("Deutsch");
  AddLanguage("C:\\Work", "Deutsch", "[TavroType]\r\nPicker.Hint=Work\r\n");
  EXPECT_EQ(ReadPickerTexts(profiles, files, "C:\\Program\\").hint,
            PickerTexts{}.hint);
  AddLanguage("C:\\Program", "Deutsch",
              "[MainForm]\r\nFont.Name=Arial\r\nFont.Size=11\r\n"
              "[TavroType]\r\nPicker.Hint=Tippen\r\n");
  const PickerTexts texts = ReadPickerTexts(profiles, files, "C:\\Program\\");
  EXPECT_EQ(texts.fontName, "Arial");
  EXPECT_EQ(texts.fontSize, 11);
  EXPECT_EQ(texts.hint, "Tippen");
  EXPECT_EQ(texts.noMatch, PickerTexts{}.noMatch);
}

TEST_F(LanguageTest, OnlyIniFilesAndFoldersAreLanguages) {
  for (const char* name :
       {"English.ini", "DEUTSCH.INI", "English.inix", "a.ini.bak", "ini"})
    files.AddFile(std::string("C:\\Program\\Languages\\") + name, "");
  files.AddFolder("C:\\Program\\Languages\\Folder.ini");
  std::vector<std::string> names = FindLanguageFiles(files, "C:\\Program\\");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"DEUTSCH", "English", "Folder"}));
  EXPECT_TRUE(FindLanguageFiles(files, "C:\\Missing\\").empty());
}

TEST_F(LanguageTest, TemplatesReplaceTheListUpToTheFirstGap) {
  ws.Model.StartupFill({{"Old", "old"}});
  view.Select(0);
  boxes.answers = {Answer::Yes};
  ws.Model.Delete("?");
  const std::string longTitle(300, 't');
  AddLanguage("C:\\Work", "English",
              "[Template]\r\n1=" + longTitle +
                  "\r\n0=Name\r\n3=After gap\r\n"
                  "Content=Your text\\r\\nhere\r\n");
  AddLanguage("C:\\Work", "NoContent",
              "[Template]\r\n0=Phone\r\n1=\r\n2=X\r\n");
  Choose("English");

  boxes.answers = {Answer::No};
  ws.TemplateItemClick();
  EXPECT_EQ(ws.Model.DeleteSecs().size(), 1u);

  boxes.answers = {Answer::Yes};
  ws.TemplateItemClick();
  EXPECT_EQ(boxes.shown.back().text, "Do you want to use the Template?");
  EXPECT_EQ(ws.Model.Sections(),
            (std::vector<TSection>{
                {"Name", "Your text\\r\\nhere"},
                {longTitle.substr(0, 255), "Your text\\r\\nhere"}}));
  EXPECT_EQ(view.rows[1].caption, longTitle.substr(0, 255));
  EXPECT_TRUE(ws.Model.DeleteSecs().empty());
  EXPECT_TRUE(ws.Model.Changed());

  Choose("NoContent");
  boxes.answers = {Answer::Yes};
  ws.TemplateItemClick();
  EXPECT_EQ(ws.Model.Sections(), (std::vector<TSection>{{"Phone", "UnKnow"}}));
}

TEST_F(LanguageTest, TemplateWithoutAChoiceOrWithoutTemplates) {
  ws.Model.StartupFill({{"Kept", "k"}});
  boxes.answers = {Answer::Yes};
  ws.TemplateItemClick();
  EXPECT_EQ(boxes.shown.back().text, "No language files found!");
  EXPECT_EQ(ws.Model.Sections().size(), 1u);

  // A language without templates leaves an empty list, still unchanged.
  Choose("Missing");
  view.EnableSaveItem(false);
  boxes.answers = {Answer::Yes};
  ws.TemplateItemClick();
  EXPECT_TRUE(ws.Model.Sections().empty());
  EXPECT_TRUE(view.rows.empty());
  EXPECT_FALSE(ws.Model.Changed());
  EXPECT_FALSE(view.saveItemEnabled);
}

TEST_F(LanguageTest, HelpPageFromTheWorkFolderElseTheProgramFolder) {
  EXPECT_EQ(ws.HelpPage(), std::nullopt);
  files.AddFolder("C:\\Work\\Helps\\index.htm");  // a folder is no page
  EXPECT_EQ(ws.HelpPage(), std::nullopt);
  files.AddFile("C:\\Program\\Helps\\index.htm", "<p>");
  EXPECT_EQ(ws.HelpPage(), "C:\\Program\\Helps\\index.htm");
  ws.Start("C:\\Other");
  files.AddFile("C:\\Other\\Helps\\index.htm", "<p>");
  EXPECT_EQ(ws.HelpPage(), "C:\\Other\\Helps\\index.htm");
}

}  // namespace
}  // namespace tavro
