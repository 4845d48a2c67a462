#include "HostReplies.h"

#include "Json.h"

namespace tavro::host {

namespace {
// Of a type the host does not know, this many bytes are quoted back.
constexpr std::size_t kQuotedTypeBytes = 40;

std::string Number(std::uint64_t n) { return std::to_string(n); }

// The whole UTF-8 characters of the first `bytes` bytes.
std::string_view Utf8Prefix(std::string_view text, std::size_t bytes) {
  if (text.size() <= bytes) return text;
  while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80)
    --bytes;
  return text.substr(0, bytes);
}
}  // namespace

std::string ListMessage(const std::vector<HostEntry>& entries,
                        std::size_t limit) {
  const std::string head = "{\"type\":\"list\",\"entries\":[";
  // Room for the longest ending: "],"omitted":4294967295}".
  const std::size_t tail = 24;
  std::string json = head;
  std::size_t listed = 0;
  for (const HostEntry& entry : entries) {
    std::string item = (listed ? "," : "") + std::string("{\"title\":") +
                       JsonQuote(entry.title) + "}";
    if (json.size() + item.size() + tail > limit) break;
    json += item;
    ++listed;
  }
  json += ']';
  if (listed < entries.size())
    json += ",\"omitted\":" + Number(entries.size() - listed);
  return json + "}";
}

std::string ErrorMessage(std::string_view text,
                         std::optional<std::uint32_t> index) {
  std::string json = "{\"type\":\"error\",";
  if (index) json += "\"index\":" + Number(*index) + ",";
  return json + "\"error\":" + JsonQuote(text) + "}";
}

std::string Answer(std::string_view request,
                   const std::function<std::vector<HostEntry>()>& entries,
                   std::size_t limit) {
  const std::optional<Request> parsed = ParseRequest(request);
  if (!parsed) return ErrorMessage("A request is one JSON object.");
  if (parsed->type == "list") return ListMessage(entries(), limit);
  if (parsed->type == "content") {
    if (!parsed->index)
      return ErrorMessage("A content request names the entry's index.");
    const std::uint32_t index = *parsed->index;
    const std::vector<HostEntry> list = entries();
    const HostEntry* found =
        index < list.size() &&
                (!parsed->title || list[index].title == *parsed->title)
            ? &list[index]
            : nullptr;
    for (std::size_t i = 0; !found && parsed->title && i < list.size(); ++i)
      if (list[i].title == *parsed->title) found = &list[i];
    if (!found)
      return ErrorMessage(
          "This entry is no longer in Tavro's list; pick again from the menu.",
          index);
    std::string json = "{\"type\":\"content\",\"index\":" + Number(index) +
                       ",\"content\":" + JsonQuote(found->content) + "}";
    if (json.size() > limit)
      return ErrorMessage(
          "This entry is too long for the browser (over 1 MiB).", index);
    return json;
  }
  return ErrorMessage("Unknown request type " +
                      JsonQuote(Utf8Prefix(parsed->type, kQuotedTypeBytes)) +
                      "; the host answers \"list\" and \"content\".");
}

}  // namespace tavro::host
