// What the host says to the browser: the Titles, on request and after each
// change; one entry's Content when it is picked; or what was wrong with a
// request. No message is ever over the browsers' limit.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "NativeMessage.h"

namespace tavro::host {

// An entry as the browser gets it: UTF-8, line breaks as CR LF.
struct HostEntry {
  std::string title;
  std::string content;
};

// {"type":"list","entries":[{"title":...},...]}: the Titles in list order,
// as many as fit in `limit` bytes; "omitted" counts those that did not.
std::string ListMessage(const std::vector<HostEntry>& entries,
                        std::size_t limit = kMaxMessage);

// {"type":"error","error":...}, with the request's index when it had one.
std::string ErrorMessage(std::string_view text,
                         std::optional<std::uint32_t> index = std::nullopt);

// The reply to one request; `entries` is read only for a request that
// needs them. {"type":"content","index":i,"title":t} gets the Content of
// entry i, or of the first entry of that Title when the list has changed
// since: {"type":"content","index":i,"content":...}.
std::string Answer(std::string_view request,
                   const std::function<std::vector<HostEntry>()>& entries,
                   std::size_t limit = kMaxMessage);

}  // namespace tavro::host
