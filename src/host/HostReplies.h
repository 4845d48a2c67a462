// What the host says to the browser: the entry list, on request and after
// each change, or what was wrong with a request.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tavro::host {

// An entry as the browser gets it: UTF-8, line breaks as CR LF.
struct HostEntry {
  std::string title;
  std::string content;
};

// {"type":"list","entries":[{"title":...,"content":...},...]}
std::string ListMessage(const std::vector<HostEntry>& entries);

// {"type":"error","error":...}
std::string ErrorMessage(std::string_view text);

// The reply to one request; `entries` is asked only for a list request.
std::string Answer(std::string_view request,
                   const std::function<std::vector<HostEntry>()>& entries);

}  // namespace tavro::host
