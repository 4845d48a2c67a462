// The texts and font that a language file sets on the main window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavro {

// The kinds of the main window's components; a language file has keys for
// list views, buttons and menu items only.
enum class ComponentKind {
  MainMenu,
  MenuItem,
  CoolBar,
  SpeedButton,
  PushButton,
  Bevel,
  ListView,
  StatusBar
};

// A component's texts as the language file names them: a list view's two
// column captions, a button's caption and hint, a menu item's caption.
struct ComponentTexts {
  std::string Name;
  ComponentKind Kind;
  std::string First;
  std::string Second;
};

// What a language file sets on the main window.
struct TFormTexts {
  std::string Caption;
  std::string FontName;
  std::int32_t FontSize = 0;               // points
  std::vector<ComponentTexts> Components;  // in creation order
};

}  // namespace tavro
