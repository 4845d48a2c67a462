// What TavroType sends for a Content: the UTF-16 characters a user would
// type, and where a line break goes.
#pragma once

#include <string>
#include <string_view>

namespace tavro {

// Converts text of the ANSI code page to UTF-16 (MultiByteToWideChar on
// Windows); characters beyond the BMP come back as surrogate pairs.
using Widen = std::u16string (*)(std::string_view ansi);

// The characters to type. CR LF, a lone CR and a lone LF each end a line.
// Into a field of several lines each line break is one u'\n', which the
// sender types as a key; into a field of one line nothing may act as
// Enter, so the lines are joined by one blank, empty lines dropped.
std::u16string TypingPlan(std::string_view content, bool multiLine,
                          Widen widen);

// The popup menu's label of entry `index`, as the browser's menu shows it
// ("00.E-mail"). The first ten entries take their last digit as access key;
// an '&' of the Title shows as itself.
std::string PickerLabel(int index, std::string_view title);

}  // namespace tavro
