#include "HotkeySetting.h"

#include "CodePage.h"

namespace tavro {

namespace {
struct Name {
  const char* text;
  unsigned code;
};
constexpr Name kModifiers[] = {
    {"Ctrl", kModControl}, {"Control", kModControl}, {"Alt", kModAlt},
    {"Shift", kModShift},  {"Win", kModWin},         {"Windows", kModWin},
};
constexpr Name kKeys[] = {
    {"Space", 0x20},    {"Tab", 0x09},   {"Enter", 0x0D}, {"Insert", 0x2D},
    {"Delete", 0x2E},   {"Home", 0x24},  {"End", 0x23},   {"PageUp", 0x21},
    {"PageDown", 0x22}, {"Left", 0x25},  {"Up", 0x26},    {"Right", 0x27},
    {"Down", 0x28},     {"Pause", 0x13},
};
constexpr unsigned kF1 = 0x70;

std::string_view Trimmed(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

bool SameName(std::string_view a, std::string_view b) {
  return LowerAscii(a) == LowerAscii(b);
}

// The virtual-key code of a key's name, or 0.
unsigned KeyCode(std::string_view name) {
  if (name.size() == 1) {
    const char c = LowerAscii(name)[0];
    if (c >= 'a' && c <= 'z') return static_cast<unsigned>(c - 'a' + 'A');
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c);
  }
  for (const Name& key : kKeys)
    if (SameName(name, key.text)) return key.code;
  if (name.size() >= 2 && name.size() <= 3 &&
      (name[0] == 'F' || name[0] == 'f')) {
    unsigned number = 0;
    for (char c : name.substr(1)) {
      if (c < '0' || c > '9') return 0;
      number = number * 10 + static_cast<unsigned>(c - '0');
    }
    if (number >= 1 && number <= 24 && name[1] != '0') return kF1 + number - 1;
  }
  return 0;
}

bool IsFunctionKey(unsigned key) { return key >= kF1 && key < kF1 + 24; }
bool IsLetter(unsigned key) { return key >= 'A' && key <= 'Z'; }

// Keys Windows itself or every program acts on: the hotkey would take them.
bool TakenFromEveryone(const Hotkey& hotkey) {
  const bool ctrl = hotkey.modifiers & kModControl;
  const bool alt = hotkey.modifiers & kModAlt;
  const bool win = hotkey.modifiers & kModWin;
  // Alt+F4, Alt+Tab, Alt+Space, and F1 (help) to F12 (F10: the menu bar).
  if (!ctrl && !win) return alt ? !IsLetter(hotkey.key) : hotkey.key < kF1 + 12;
  if (win && !ctrl && !alt) return true;  // Win+L, Win+D, Win+Shift+S...
  if (ctrl && alt && hotkey.key == 0x2E) return true;  // Ctrl+Alt+Delete
  // Ctrl+Win: virtual desktops (D, F4, Left, Right), Narrator (Enter), the
  // on-screen keyboard (O) and the colour filters (C).
  constexpr unsigned kDesktopKeys[] = {'D',  kF1 + 3, 0x25, 0x27,
                                       0x0D, 'O',     'C'};
  if (ctrl && win && !alt)
    for (unsigned key : kDesktopKeys)
      if (hotkey.key == key) return true;
  return false;
}
}  // namespace

std::optional<Hotkey> ParseHotkey(std::string_view text) {
  Hotkey hotkey;
  while (true) {
    const std::size_t plus = text.find('+');
    const std::string_view part = Trimmed(text.substr(0, plus));
    if (plus == std::string_view::npos) {
      hotkey.key = KeyCode(part);
      break;
    }
    unsigned modifier = 0;
    for (const Name& m : kModifiers)
      if (SameName(part, m.text)) modifier = m.code;
    if (modifier == 0) return std::nullopt;
    hotkey.modifiers |= modifier;
    text.remove_prefix(plus + 1);
  }
  if (hotkey.key == 0 || TakenFromEveryone(hotkey)) return std::nullopt;
  return hotkey;
}

std::string HotkeyText(const Hotkey& hotkey) {
  std::string text;
  for (const Name& m :
       {kModifiers[0], kModifiers[2], kModifiers[3], kModifiers[4]})
    if (hotkey.modifiers & m.code) text += std::string(m.text) + "+";
  for (const Name& key : kKeys)
    if (hotkey.key == key.code) return text + key.text;
  if (IsFunctionKey(hotkey.key))
    return text + "F" + std::to_string(hotkey.key - kF1 + 1);
  return text + static_cast<char>(hotkey.key);
}

HotkeySetting ReadHotkeySetting(ProfileFile& profiles,
                                const std::string& iniPath) {
  std::string value = profiles.ReadString(iniPath, "Hotkey", "Key", "");
  if (Trimmed(value).empty()) value = kDefaultHotkey;
  HotkeySetting setting{ParseHotkey(value), std::nullopt};
  if (!setting.hotkey) setting.bad = value;
  return setting;
}

}  // namespace tavro
