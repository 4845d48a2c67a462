// The main window's components, declared once: the window builds itself
// from these tables and the language texts find the components by name.
#pragma once

#include <windows.h>

#include <span>

#include "FormTexts.h"

namespace tavro::ui {

struct ComponentDef {
  const char* name;
  ComponentKind kind;
};

// In creation order.
std::span<const ComponentDef> MainComponents();

struct MenuItemDef {
  const char* name;
  const char* parent;  // nullptr: on the menu bar
  const char* caption;
  const char* shortcut;  // shown beside the caption; nullptr: none
  UINT id;
};

// In menu order.
std::span<const MenuItemDef> MainMenuItems();

struct SpeedButtonDef {
  const char* name;
  RECT bounds;  // in the tool band
  const char* caption;
  const char* hint;
  UINT glyph;
  UINT command;
};

std::span<const SpeedButtonDef> MainSpeedButtons();

// Separators drawn by the tool band: a sunken line along the left edge.
struct BevelDef {
  const char* name;
  RECT bounds;
};

std::span<const BevelDef> MainBevels();

inline constexpr int kToolBandHeight = 68;
inline constexpr int kTitleColumnWidth = 100;
inline constexpr SIZE kMainClientSize{474, 292};
inline constexpr int kStatusPanelMargin = 74;
inline constexpr int kStatusPanel1Width = 50;
// The status bar's height in the layout's font; a bigger font makes it
// taller.
inline constexpr int kStatusBarHeight = 20;

}  // namespace tavro::ui
