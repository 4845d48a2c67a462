// Content is kept on one line wherever it is stored: each CR LF pair becomes
// the four characters \r\n, which are also the JavaScript escapes for it.
#pragma once

#include <string>
#include <string_view>

namespace tavro {

std::string EncodeLineBreaks(std::string_view text);
std::string DecodeLineBreaks(std::string_view encoded);

// Every lone CR and lone LF made a CR LF pair, so that EncodeLineBreaks
// leaves no line break for a one-line store to cut the value at.
std::string NormalizeLineBreaks(std::string_view text);

}  // namespace tavro
