// TavroType's hotkey, as TavroType.ini beside it names it:
//   [Hotkey]
//   Key=Ctrl+Alt+Space
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ProfileFile.h"

namespace tavro {

inline constexpr char kDefaultHotkey[] = "Ctrl+Alt+Space";

// RegisterHotKey's modifier flags and a virtual-key code.
inline constexpr unsigned kModAlt = 0x1;
inline constexpr unsigned kModControl = 0x2;
inline constexpr unsigned kModShift = 0x4;
inline constexpr unsigned kModWin = 0x8;

struct Hotkey {
  unsigned modifiers = 0;
  unsigned key = 0;
  bool operator==(const Hotkey&) const = default;
};

// "Ctrl+Alt+Space", "win+ctrl+F9", "Alt + T": Ctrl, Alt, Shift and Win in
// any order and case, then one key: a letter, a digit, F1 to F24, Space,
// Tab, Enter, Insert, Delete, Home, End, PageUp, PageDown, the arrows or
// Pause. A key that Windows or every program needs is no hotkey: without
// Ctrl or Win only Alt with a letter, or F13 to F24; not Win with only
// Shift (Win+L, Win+D), nor Ctrl+Alt+Delete or the virtual desktops'
// Ctrl+Win keys. Anything else is no hotkey either.
std::optional<Hotkey> ParseHotkey(std::string_view text);
// The key as ParseHotkey reads it, modifiers first: "Ctrl+Alt+Space".
std::string HotkeyText(const Hotkey& hotkey);

struct HotkeySetting {
  std::optional<Hotkey> hotkey;
  // The value as written, when it names no hotkey.
  std::optional<std::string> bad;
};
// A missing file, section, key or a blank value gives the default.
HotkeySetting ReadHotkeySetting(ProfileFile& profiles,
                                const std::string& iniPath);

}  // namespace tavro
