// The popup menu of saved entries at the target's caret.
#pragma once

#include <windows.h>

#include <vector>

#include "Entries.h"

namespace tavro::type {

inline constexpr char kNoEntries[] =
    "(No saved entries: add them in Tavro and save)";

// Shows the entries, the first one highlighted, with `owner` as the menu's
// window, below the anchor rectangle (above it where the screen ends);
// returns the index picked, or -1 for Esc or a click elsewhere.
int PickEntry(HWND owner, const RECT& anchor,
              const std::vector<TSection>& entries);

}  // namespace tavro::type
