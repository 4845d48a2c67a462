// Typing into another program: what SendInput sends, and when.
#pragma once

#include <string>

#include "Target.h"

namespace tavro::type {

// Waits until the user has let go of Ctrl, Alt, Shift and Win: held, they
// would turn the typed characters into shortcuts. False when they are still
// down after a few seconds.
bool WaitForModifiersUp();

// Brings the target back to the front, lets go of the hotkey's modifiers
// in its view, and types the plan: each UTF-16 unit as a character of its
// own, each u'\n' as a line break the field takes (see the .cpp). False
// when Windows took fewer keystrokes than sent (a program with higher
// rights in the front).
bool TypeInto(const Target& target, const std::u16string& plan,
              unsigned hotkeyModifiers);

}  // namespace tavro::type
