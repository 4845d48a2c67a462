// Content is kept on one line wherever it is stored: each CR LF pair becomes
// the four characters \r\n, which are also the JavaScript escapes for it.
#pragma once

#include <string>
#include <string_view>

namespace tavro {

std::string EncodeLineBreaks(std::string_view text);
std::string DecodeLineBreaks(std::string_view encoded);

}  // namespace tavro
