// The little JSON the host needs: its requests read, its replies written.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavro::host {

// UTF-8 text as a JSON string, quotes included.
std::string JsonQuote(std::string_view utf8);

// The string member "type" of a request: the text must be one whole JSON
// object (members of any kind, nested at most 64 deep). Nothing when it
// is not; "" when the object has no such member.
std::optional<std::string> RequestType(std::string_view json);

}  // namespace tavro::host
