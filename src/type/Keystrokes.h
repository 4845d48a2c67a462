// Typing into another program: only into the field picked for, in pieces
// at that program's pace, until done or told to stop.
#pragma once

#include <functional>
#include <string>

#include "Target.h"
#include "TypingPlan.h"

namespace tavro::type {

// Waits until the user has let go of Ctrl, Alt, Shift and Win: held, they
// would turn the typed characters into shortcuts. False when they are still
// down after a few seconds.
bool WaitForModifiersUp();

// What may end a typing from outside (Esc, the hotkey, a quit); asked
// before each piece and while the program takes one.
using StopCheck = std::function<StopReason()>;

struct Typed {
  std::size_t units = 0;  // of the plan, sent and taken
  StopReason reason = StopReason::None;
};

// Brings the target's window back to the front with its field focused,
// lets go of the hotkey's modifiers in its view, and types the plan: each
// UTF-16 unit as a character of its own, each u'\n' as a line break the
// field takes. Before each piece, and for each key press as the system
// hands it on, the window must still be in front with that field focused;
// an edit control's text must have grown by the piece before the next
// goes, and at the end by the whole plan.
Typed TypeInto(const Target& target, std::u16string_view plan,
               unsigned hotkeyModifiers, const StopCheck& stopCheck);

}  // namespace tavro::type
