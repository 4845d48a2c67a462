// The running TavroType.exe as Tavro starts and ends it: its hidden window,
// found by class, takes a message of its own to end.
#pragma once

#include <string>

namespace tavro::win {

inline constexpr char kTypeWindowClass[] = "TavroType";
// Its popup of entries.
inline constexpr wchar_t kPickerWindowClass[] = L"TavroTypePicker";
// RegisterWindowMessageA's name: a message no other program sends.
inline constexpr char kTypeQuitMessage[] = "TavroType.Quit";

// Throws a TavroError when it cannot start.
void StartTavroType(const std::string& exePath);
// Asks the running one to end and waits a moment for it; one that does not
// end by then is ended.
void EndTavroType();

}  // namespace tavro::win
