#include "MainLayout.h"

#include "resource.h"

namespace tavro::ui {

namespace {
using K = ComponentKind;

constexpr ComponentDef kComponents[] = {
    {"MainMenu", K::MainMenu},
    {"ToolsItems", K::MenuItem},
    {"LanguageItems", K::MenuItem},
    {"HelpItems", K::MenuItem},
    {"TavrohelpItem", K::MenuItem},
    {"N2", K::MenuItem},
    {"AboutTavroItem", K::MenuItem},
    {"EditItems", K::MenuItem},
    {"AddItem", K::MenuItem},
    {"EditItem", K::MenuItem},
    {"DeleteItem", K::MenuItem},
    {"LoadItem", K::MenuItem},
    {"UninstallItem", K::MenuItem},
    {"BrowsersItem", K::MenuItem},
    {"TypeItem", K::MenuItem},
    {"FileItems", K::MenuItem},
    {"SaveItem", K::MenuItem},
    {"ExitItem", K::MenuItem},
    {"N4", K::MenuItem},
    {"UpItem", K::MenuItem},
    {"DownItem", K::MenuItem},
    {"TemplateItem", K::MenuItem},
    {"N3", K::MenuItem},
    {"CoolBar1", K::CoolBar},
    {"AddBtn", K::SpeedButton},
    {"EditBtn", K::SpeedButton},
    {"DeleteBtn", K::SpeedButton},
    {"SaveBtn", K::SpeedButton},
    {"ExitBtn", K::SpeedButton},
    {"LoadBtn", K::SpeedButton},
    {"CleanBtn", K::SpeedButton},
    {"Line1", K::Bevel},
    {"Bevel1", K::Bevel},
    {"ListView", K::ListView},
    {"UpBtn", K::SpeedButton},
    {"DownBtn", K::SpeedButton},
    {"StatusBar", K::StatusBar},
};

constexpr MenuItemDef kMenuItems[] = {
    {"FileItems", nullptr, "&File", nullptr, IDM_FILEITEMS},
    {"TemplateItem", "FileItems", "&Template", nullptr, IDM_TEMPLATEITEM},
    {"N3", "FileItems", "-", nullptr, IDM_N3},
    {"SaveItem", "FileItems", "&Save", "Ctrl+S", IDM_SAVEITEM},
    {"ExitItem", "FileItems", "E&xit", nullptr, IDM_EXITITEM},
    {"EditItems", nullptr, "&Edit", nullptr, IDM_EDITITEMS},
    {"AddItem", "EditItems", "&Add...", "Ctrl+A", IDM_ADDITEM},
    {"EditItem", "EditItems", "&Edit...", "Ctrl+E", IDM_EDITITEM},
    {"DeleteItem", "EditItems", "&Delete", "Del", IDM_DELETEITEM},
    {"N4", "EditItems", "-", nullptr, IDM_N4},
    {"UpItem", "EditItems", "&Up", nullptr, IDM_UPITEM},
    {"DownItem", "EditItems", "D&own", nullptr, IDM_DOWNITEM},
    {"ToolsItems", nullptr, "&Tools", nullptr, IDM_TOOLSITEMS},
    {"LoadItem", "ToolsItems", "&Load", nullptr, IDM_LOADITEM},
    {"UninstallItem", "ToolsItems", "&Uninstall", nullptr, IDM_UNINSTALLITEM},
    {"BrowsersItem", "ToolsItems", "Use in other &browsers", nullptr,
     IDM_BROWSERSITEM},
    {"TypeItem", "ToolsItems", "&Type entries anywhere", nullptr, IDM_TYPEITEM},
    {"LanguageItems", nullptr, "L&anguage", "Ctrl+L", IDM_LANGUAGEITEMS},
    {"HelpItems", nullptr, "&Help", nullptr, IDM_HELPITEMS},
    {"TavrohelpItem", "HelpItems", "Tavro H&elp...", nullptr,
     IDM_TAVROHELPITEM},
    {"N2", "HelpItems", "-", nullptr, IDM_N2},
    {"AboutTavroItem", "HelpItems", "&About Tavro...", nullptr,
     IDM_ABOUTTAVROITEM},
};

constexpr SpeedButtonDef kSpeedButtons[] = {
    {"AddBtn", {2, 2, 62, 62}, "Add", "", IDB_ADD, IDM_ADDITEM},
    {"EditBtn", {62, 2, 122, 62}, "Edit", "", IDB_EDIT, IDM_EDITITEM},
    {"DeleteBtn", {122, 2, 182, 62}, "Delete", "", IDB_DELETE, IDM_DELETEITEM},
    {"SaveBtn", {190, 2, 250, 62}, "Save", "", IDB_SAVE, IDM_SAVEITEM},
    {"ExitBtn", {250, 2, 310, 62}, "Exit", "", IDB_EXIT, IDM_EXITITEM},
    {"LoadBtn", {318, 2, 378, 62}, "Load", "", IDB_LOAD, IDM_LOADITEM},
    {"CleanBtn", {378, 2, 438, 62}, "Clean", "", IDB_CLEAN, IDM_UNINSTALLITEM},
    {"UpBtn", {445, 3, 468, 27}, "", "Move up", IDB_UP, IDM_UPITEM},
    {"DownBtn", {445, 37, 468, 61}, "", "Move down", IDB_DOWN, IDM_DOWNITEM},
};

constexpr BevelDef kBevels[] = {
    {"Line1", {185, 2, 194, 62}},
    {"Bevel1", {313, 2, 322, 62}},
};
}  // namespace

std::span<const ComponentDef> MainComponents() { return kComponents; }
std::span<const MenuItemDef> MainMenuItems() { return kMenuItems; }
std::span<const SpeedButtonDef> MainSpeedButtons() { return kSpeedButtons; }
std::span<const BevelDef> MainBevels() { return kBevels; }

}  // namespace tavro::ui
