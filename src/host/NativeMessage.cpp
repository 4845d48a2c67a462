#include "NativeMessage.h"

namespace tavro::host {

namespace {
// Fills the whole buffer unless the pipe closes first.
std::size_t ReadFully(const ReadBytes& read, char* data, std::size_t size) {
  std::size_t got = 0;
  while (got < size) {
    const std::size_t n = read(data + got, size - got);
    if (n == 0) break;
    got += n;
  }
  return got;
}
}  // namespace

Incoming ReadMessage(const ReadBytes& read) {
  unsigned char header[4];
  const std::size_t got =
      ReadFully(read, reinterpret_cast<char*>(header), sizeof header);
  if (got == 0) return {Incoming::End, {}};
  if (got < sizeof header) return {Incoming::Truncated, {}};
  const std::size_t length =
      std::size_t{header[0]} | std::size_t{header[1]} << 8 |
      std::size_t{header[2]} << 16 | std::size_t{header[3]} << 24;
  if (length > kMaxMessage) return {Incoming::TooLong, {}};
  std::string body(length, '\0');
  if (ReadFully(read, body.data(), length) < length)
    return {Incoming::Truncated, {}};
  return {Incoming::Message, std::move(body)};
}

std::string Frame(std::string_view json) {
  const auto length = static_cast<std::uint32_t>(json.size());
  std::string frame;
  frame.reserve(json.size() + 4);
  for (int shift = 0; shift < 32; shift += 8)
    frame += static_cast<char>((length >> shift) & 0xFF);
  frame += json;
  return frame;
}

}  // namespace tavro::host
