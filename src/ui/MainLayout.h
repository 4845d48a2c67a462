// The main window's components, declared once in one table, in creation
// order: the menu bar, the tool buttons, the accelerators, the routes of
// the commands and the components the language texts visit all derive
// from it. A table that names a parent, or a menu item for a button, that
// is not there, or a name twice, does not compile.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <string_view>

#include "FormTexts.h"

namespace tavro::ui {

class TMainForm;
using Handler = void (TMainForm::*)();

// A key and its modifiers, as an accelerator takes them (FCONTROL, FALT,
// FSHIFT; FVIRTKEY is implied).
struct Shortcut {
  BYTE modifiers = 0;
  WORD key = 0;
};

struct ComponentDef {
  const char* name;  // and its key in the language files
  ComponentKind kind;
  // A menu item's submenu; none: on the menu bar.
  const char* parent = nullptr;
  const char* caption = "";  // "-": a separator
  const char* hint = "";
  RECT bounds{};  // in the tool band, at 96 DPI
  UINT glyph = 0;
  Shortcut shortcut{};
  // A menu item's command; none for a submenu or a separator.
  Handler handler = nullptr;
  // A tool button's command: the menu item whose command it runs.
  const char* runs = nullptr;
};

// In creation order.
std::span<const ComponentDef> MainComponents();

// The command id of a menu item, which its tool button sends too.
UINT CommandId(std::string_view menuItem);
// The component whose command an id runs; null for none.
const ComponentDef* CommandOf(UINT id);
// A shortcut as a menu shows it: "Ctrl+S", "Del".
std::string ShortcutText(const Shortcut& shortcut);

inline constexpr int kToolBandHeight = 68;
inline constexpr int kTitleColumnWidth = 100;
inline constexpr SIZE kMainClientSize{474, 292};
inline constexpr int kStatusPanelMargin = 74;
inline constexpr int kStatusPanel1Width = 50;
// The status bar's height at 96 DPI, in its own font.
inline constexpr int kStatusBarHeight = 19;

inline constexpr UINT kCoolBarId = 2000;
inline constexpr UINT kListViewId = 2001;
inline constexpr UINT kStatusBarId = 2002;

}  // namespace tavro::ui
