#include "MainLayout.h"

#include "UnitMain.h"
#include "resource.h"

namespace tavro::ui {

namespace {
using K = ComponentKind;
using F = TMainForm;
constexpr UINT kFirstCommandId = 1000;

constexpr ComponentDef kComponents[] = {
    {.name = "MainMenu", .kind = K::MainMenu},
    {.name = "FileItems", .kind = K::MenuItem, .caption = "&File"},
    {.name = "TemplateItem",
     .kind = K::MenuItem,
     .parent = "FileItems",
     .caption = "&Template",
     .handler = &F::TemplateItemClick},
    {.name = "N3", .kind = K::MenuItem, .parent = "FileItems", .caption = "-"},
    {.name = "SaveItem",
     .kind = K::MenuItem,
     .parent = "FileItems",
     .caption = "&Save",
     .shortcut = {FCONTROL, 'S'},
     .handler = &F::SaveBtnClick},
    {.name = "ExitItem",
     .kind = K::MenuItem,
     .parent = "FileItems",
     .caption = "E&xit",
     .handler = &F::ExitBtnClick},
    {.name = "EditItems", .kind = K::MenuItem, .caption = "&Edit"},
    {.name = "AddItem",
     .kind = K::MenuItem,
     .parent = "EditItems",
     .caption = "&Add...",
     .shortcut = {FCONTROL, 'A'},
     .handler = &F::AddBtnClick},
    {.name = "EditItem",
     .kind = K::MenuItem,
     .parent = "EditItems",
     .caption = "&Edit...",
     .shortcut = {FCONTROL, 'E'},
     .handler = &F::EditBtnClick},
    {.name = "DeleteItem",
     .kind = K::MenuItem,
     .parent = "EditItems",
     .caption = "&Delete",
     .shortcut = {0, VK_DELETE},
     .handler = &F::DeleteBtnClick},
    {.name = "N4", .kind = K::MenuItem, .parent = "EditItems", .caption = "-"},
    {.name = "UpItem",
     .kind = K::MenuItem,
     .parent = "EditItems",
     .caption = "&Up",
     .handler = &F::UpBtnClick},
    {.name = "DownItem",
     .kind = K::MenuItem,
     .parent = "EditItems",
     .caption = "D&own",
     .handler = &F::DownBtnClick},
    {.name = "ToolsItems", .kind = K::MenuItem, .caption = "&Tools"},
    {.name = "LoadItem",
     .kind = K::MenuItem,
     .parent = "ToolsItems",
     .caption = "&Load",
     .handler = &F::LoadBtnClick},
    {.name = "UninstallItem",
     .kind = K::MenuItem,
     .parent = "ToolsItems",
     .caption = "&Uninstall",
     .handler = &F::CleanBtnClick},
    {.name = "BrowsersItem",
     .kind = K::MenuItem,
     .parent = "ToolsItems",
     .caption = "Use in other &browsers",
     .handler = &F::BrowsersItemClick},
    {.name = "TypeItem",
     .kind = K::MenuItem,
     .parent = "ToolsItems",
     .caption = "&Type entries anywhere",
     .handler = &F::TypeItemClick},
    {.name = "LanguageItems",
     .kind = K::MenuItem,
     .caption = "L&anguage",
     .shortcut = {FCONTROL, 'L'},
     .handler = &F::LanguageItemsClick},
    {.name = "HelpItems", .kind = K::MenuItem, .caption = "&Help"},
    {.name = "TavrohelpItem",
     .kind = K::MenuItem,
     .parent = "HelpItems",
     .caption = "Tavro H&elp...",
     .handler = &F::TavrohelpItemClick},
    {.name = "N2", .kind = K::MenuItem, .parent = "HelpItems", .caption = "-"},
    {.name = "AboutTavroItem",
     .kind = K::MenuItem,
     .parent = "HelpItems",
     .caption = "&About Tavro...",
     .handler = &F::AboutTavroItemClick},
    {.name = "CoolBar1", .kind = K::CoolBar},
    {.name = "AddBtn",
     .kind = K::SpeedButton,
     .caption = "Add",
     .bounds = {2, 2, 62, 62},
     .glyph = IDB_ADD,
     .runs = "AddItem"},
    {.name = "EditBtn",
     .kind = K::SpeedButton,
     .caption = "Edit",
     .bounds = {62, 2, 122, 62},
     .glyph = IDB_EDIT,
     .runs = "EditItem"},
    {.name = "DeleteBtn",
     .kind = K::SpeedButton,
     .caption = "Delete",
     .bounds = {122, 2, 182, 62},
     .glyph = IDB_DELETE,
     .runs = "DeleteItem"},
    {.name = "Line1", .kind = K::Bevel, .bounds = {185, 2, 194, 62}},
    {.name = "SaveBtn",
     .kind = K::SpeedButton,
     .caption = "Save",
     .bounds = {190, 2, 250, 62},
     .glyph = IDB_SAVE,
     .runs = "SaveItem"},
    {.name = "ExitBtn",
     .kind = K::SpeedButton,
     .caption = "Exit",
     .bounds = {250, 2, 310, 62},
     .glyph = IDB_EXIT,
     .runs = "ExitItem"},
    {.name = "Bevel1", .kind = K::Bevel, .bounds = {313, 2, 322, 62}},
    {.name = "LoadBtn",
     .kind = K::SpeedButton,
     .caption = "Load",
     .bounds = {318, 2, 378, 62},
     .glyph = IDB_LOAD,
     .runs = "LoadItem"},
    {.name = "CleanBtn",
     .kind = K::SpeedButton,
     .caption = "Clean",
     .bounds = {378, 2, 438, 62},
     .glyph = IDB_CLEAN,
     .runs = "UninstallItem"},
    {.name = "UpBtn",
     .kind = K::SpeedButton,
     .hint = "Move up",
     .bounds = {445, 3, 468, 27},
     .glyph = IDB_UP,
     .runs = "UpItem"},
    {.name = "DownBtn",
     .kind = K::SpeedButton,
     .hint = "Move down",
     .bounds = {445, 37, 468, 61},
     .glyph = IDB_DOWN,
     .runs = "DownItem"},
    {.name = "ListView", .kind = K::ListView},
    {.name = "StatusBar", .kind = K::StatusBar},
};

constexpr bool Same(const char* a, const char* b) {
  return a && b && std::string_view(a) == b;
}

// The index of the component of that name before `before`, or -1.
constexpr int Find(const char* name, std::size_t before) {
  for (std::size_t i = 0; i < before; ++i)
    if (Same(kComponents[i].name, name)) return static_cast<int>(i);
  return -1;
}

constexpr bool HasChildren(std::size_t item) {
  for (const ComponentDef& c : kComponents)
    if (Same(c.parent, kComponents[item].name)) return true;
  return false;
}

// Each rule a table must keep; a broken one stops the build.
constexpr bool NamesAreUnique() {
  for (std::size_t i = 0; i < std::size(kComponents); ++i)
    if (Find(kComponents[i].name, i) >= 0) return false;
  return true;
}
constexpr bool ParentsAreEarlierSubmenus() {
  for (std::size_t i = 0; i < std::size(kComponents); ++i) {
    const ComponentDef& c = kComponents[i];
    if (!c.parent) continue;
    const int parent = Find(c.parent, i);
    if (c.kind != K::MenuItem || parent < 0 ||
        kComponents[parent].kind != K::MenuItem || kComponents[parent].handler)
      return false;
  }
  return true;
}
constexpr bool MenuItemsRunOrOpenOrSeparate() {
  for (std::size_t i = 0; i < std::size(kComponents); ++i) {
    const ComponentDef& c = kComponents[i];
    if (c.kind != K::MenuItem) continue;
    const bool separator = Same(c.caption, "-");
    const int roles = (c.handler != nullptr) + HasChildren(i) + separator;
    if (roles != 1 || (separator && !c.parent)) return false;
  }
  return true;
}
constexpr bool ButtonsRunMenuCommands() {
  for (const ComponentDef& c : kComponents) {
    if (c.kind != K::SpeedButton) continue;
    const int item = Find(c.runs, std::size(kComponents));
    if (item < 0 || !kComponents[item].handler) return false;
  }
  return true;
}
constexpr bool ShortcutsAreUniqueOnCommands() {
  for (std::size_t i = 0; i < std::size(kComponents); ++i) {
    const ComponentDef& c = kComponents[i];
    if (!c.shortcut.key) continue;
    if (!c.handler) return false;
    for (std::size_t j = 0; j < i; ++j)
      if (kComponents[j].shortcut.key == c.shortcut.key &&
          kComponents[j].shortcut.modifiers == c.shortcut.modifiers)
        return false;
  }
  return true;
}
static_assert(NamesAreUnique(), "a component's name is given twice");
static_assert(ParentsAreEarlierSubmenus(),
              "a menu item's parent is not a submenu before it");
static_assert(MenuItemsRunOrOpenOrSeparate(),
              "a menu item must run a command, open a submenu or separate");
static_assert(ButtonsRunMenuCommands(),
              "a tool button must run a menu item's command");
static_assert(ShortcutsAreUniqueOnCommands(),
              "a shortcut is given twice, or to no command");
}  // namespace

std::span<const ComponentDef> MainComponents() { return kComponents; }

UINT CommandId(std::string_view menuItem) {
  for (std::size_t i = 0; i < std::size(kComponents); ++i)
    if (kComponents[i].kind == K::MenuItem && menuItem == kComponents[i].name)
      return kFirstCommandId + static_cast<UINT>(i);
  return 0;
}

const ComponentDef* CommandOf(UINT id) {
  if (id < kFirstCommandId || id - kFirstCommandId >= std::size(kComponents))
    return nullptr;
  const ComponentDef& c = kComponents[id - kFirstCommandId];
  return c.handler ? &c : nullptr;
}

std::string ShortcutText(const Shortcut& shortcut) {
  std::string text;
  if (shortcut.modifiers & FCONTROL) text += "Ctrl+";
  if (shortcut.modifiers & FALT) text += "Alt+";
  if (shortcut.modifiers & FSHIFT) text += "Shift+";
  if (shortcut.key == VK_DELETE) return text + "Del";
  return text + static_cast<char>(shortcut.key);
}

}  // namespace tavro::ui
