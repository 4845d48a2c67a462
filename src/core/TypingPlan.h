// What TavroType sends for a Content: the UTF-16 characters a user would
// type, where a line break goes, in which pieces, and what it says when a
// typing stops short.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Entries.h"

namespace tavro {

// Converts text of the ANSI code page to UTF-16 (MultiByteToWideChar on
// Windows); characters beyond the BMP come back as surrogate pairs.
using Widen = std::u16string (*)(std::string_view ansi);

// How a field takes a line break.
enum class FieldKind {
  SingleLine,
  // A Win32 edit or rich edit control with ES_MULTILINE.
  MultiLineEdit,
  // Another field that says it takes several lines.
  MultiLineOther,
};

// What the system tells of the focused field; what is not known is empty.
struct FieldFacts {
  // A Win32 edit or rich edit control, and whether it has ES_MULTILINE.
  bool edit = false;
  bool editMultiLine = false;
  // IAccessible2's MULTI_LINE or SINGLE_LINE state (Chromium, Firefox).
  std::optional<bool> accessibleMultiLine;
  // UI Automation's control type is Document (Windows 11 Notepad, WPF and
  // UWP rich text boxes, word processors).
  bool automationDocument = false;
};
// An edit control says it itself; elsewhere IAccessible2, then UI
// Automation's Document; a field nothing tells of is one line, where a
// line break could send a form.
FieldKind KindOfField(const FieldFacts& facts);

// The characters to type. CR LF, a lone CR and a lone LF each end a line.
// Into a field of several lines each line break is one u'\n', which the
// sender types as a key, and a Tab stays; into a field of one line nothing
// may act as Enter or leave the field, so the lines are joined by one
// blank, empty lines dropped, and a Tab is a blank. Other control
// characters (Ctrl+V's 0x16 would paste, 0x08 delete) and DEL are dropped.
std::u16string TypingPlan(std::string_view content, bool multiLine,
                          Widen widen);

// The plan in pieces of at most maxUnits units each; a surrogate pair is
// never split.
std::vector<std::u16string_view> TypingPieces(std::u16string_view plan,
                                              std::size_t maxUnits);

// Characters as a user counts them: a surrogate pair is one.
std::size_t CharacterCount(std::u16string_view text);

// How much an edit control's text grows as the units arrive: a line break
// becomes CR LF in an edit control, a paragraph mark in a rich edit one.
struct Growth {
  std::size_t least = 0;
  std::size_t most = 0;
};
Growth FieldGrowth(std::u16string_view typed, FieldKind kind);

// Why a typing ended before its last character.
enum class StopReason {
  None,
  WindowGone,     // the field's window closed
  NotInFront,     // it could not be brought back, or another came in front
  FocusMoved,     // another control of it took the focus
  Escape,         // the user pressed Esc
  Hotkey,         // the user pressed the hotkey again
  TurnedOff,      // Tavro turned TavroType off
  Refused,        // Windows took fewer keys than sent
  NotResponding,  // the program stopped answering
  FieldFull,      // the field took fewer characters than typed
};

struct TypingReport {
  std::string title;    // the entry's
  std::string program;  // the window's title and its program's file name
  std::size_t typed = 0;
  std::size_t total = 0;
  StopReason reason = StopReason::None;
};
// "TavroType stopped typing "E-mail" into Notepad (notepad.exe) after 12
// of 40 characters: another window came to the front." Quoted texts are
// cut to some 40 characters.
std::string StopMessage(const TypingReport& report);

// The popup's label of entry `index`, as the browser's menu shows it
// ("00.E-mail"). The first ten entries take their last digit as access key;
// an '&' of the Title shows as itself.
std::string PickerLabel(int index, std::string_view title);

// An entry as picked: its Title and which of the entries of that Title it
// was, so that a pick still finds it after a Save moved it.
struct PickedEntry {
  std::string title;
  int occurrence = 0;
};
PickedEntry Picked(const std::vector<TSection>& entries, std::size_t index);
// Where the picked entry is now, or none when it was deleted or renamed.
std::optional<std::size_t> Find(const std::vector<TSection>& entries,
                                const PickedEntry& picked);

}  // namespace tavro
