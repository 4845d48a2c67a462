// The little JSON the host needs: its requests read, its replies written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavro::host {

// Text as a JSON string, quotes included. Bytes that are not UTF-8 come out
// as U+FFFD, so that the result always is.
std::string JsonQuote(std::string_view utf8);

// The members of a request that the host reads, from its top level.
struct Request {
  std::string type;  // "" when there is no string member "type"
  std::optional<std::string> title;
  std::optional<std::uint32_t> index;  // a whole number, 0 or more
};

// The text must be one whole JSON object (members of any kind, nested at
// most 64 deep); nothing when it is not. Of a member given twice, the
// first counts.
std::optional<Request> ParseRequest(std::string_view json);

}  // namespace tavro::host
