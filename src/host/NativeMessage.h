// The browsers' native-messaging frames: a 32-bit little-endian length,
// then that many bytes of UTF-8 JSON.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace tavro::host {

// What the host takes from the browser; the browsers send far less.
inline constexpr std::size_t kMaxMessage = std::size_t{1} << 20;

// Reads up to `size` bytes into `data`; 0 once the pipe is closed.
using ReadBytes = std::function<std::size_t(char* data, std::size_t size)>;

struct Incoming {
  enum Kind {
    Message,    // body holds the message
    End,        // the pipe closed between messages
    Truncated,  // the pipe closed inside a message
    TooLong,    // the length is over kMaxMessage; nothing more was read
  } kind;
  std::string body;
};

Incoming ReadMessage(const ReadBytes& read);

// The frame for one message.
std::string Frame(std::string_view json);

}  // namespace tavro::host
