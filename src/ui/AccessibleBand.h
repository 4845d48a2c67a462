// What a screen reader learns of the tool band: a tool bar whose children
// are push buttons, each named by its caption, or its hint where it has
// none, and pressed by its default action. The system libraries for it
// are loaded only when a reader first asks.
#pragma once

#include <windows.h>

namespace tavro::ui {

class TToolBand;

// The answer to WM_GETOBJECT for the band: its own object for the client
// area, 0 for the system to answer the rest.
LRESULT AnswerGetObject(TToolBand& band, WPARAM flags, LPARAM objectId);

}  // namespace tavro::ui
