// The HTML file whose script types an entry's Content into the browser's
// focused field. The Content goes into a double-quoted JavaScript literal
// inside a script element, so it is escaped for both the JavaScript and the
// HTML parser; for ordinary Contents the result equals the encoded Content.
#pragma once

#include <string>
#include <string_view>

namespace tavro {

// Built from the plain Content: a typed \r\n cannot be told from a line
// break once encoded.
std::string EscapeForScript(std::string_view content);

// The whole file, byte for byte.
std::string FillScriptText(std::string_view content);

}  // namespace tavro
