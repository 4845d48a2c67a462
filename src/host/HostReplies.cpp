#include "HostReplies.h"

#include "Json.h"

namespace tavro::host {

std::string ListMessage(const std::vector<HostEntry>& entries) {
  std::string json = "{\"type\":\"list\",\"entries\":[";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i) json += ',';
    json += "{\"title\":" + JsonQuote(entries[i].title) +
            ",\"content\":" + JsonQuote(entries[i].content) + "}";
  }
  return json + "]}";
}

std::string ErrorMessage(std::string_view text) {
  return "{\"type\":\"error\",\"error\":" + JsonQuote(text) + "}";
}

std::string Answer(std::string_view request,
                   const std::function<std::vector<HostEntry>()>& entries) {
  const std::optional<std::string> type = RequestType(request);
  if (!type) return ErrorMessage("A request is one JSON object.");
  if (*type == "list") return ListMessage(entries());
  return ErrorMessage("Unknown request type " + JsonQuote(*type) +
                      "; the host answers \"list\".");
}

}  // namespace tavro::host
