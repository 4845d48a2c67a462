#include "Errors.h"

#include "CodePage.h"

namespace tavro {

std::string FormatError(std::string_view pattern, std::string_view argument) {
  std::string out(pattern);
  const std::size_t at = out.find("%s");
  if (at != std::string::npos) out.replace(at, 2, argument);
  return out;
}

std::string ErrorDisplayText(
    const std::string& message,
    const std::function<bool(unsigned char)>& isLeadByte) {
  if (message.empty()) return message;
  const auto lead = [&](unsigned char byte) {
    return isLeadByte ? isLeadByte(byte) : IsLeadByte(byte);
  };
  std::size_t last = 0;
  for (std::size_t i = 0; i < message.size();) {
    last = i;
    const auto byte = static_cast<unsigned char>(message[i]);
    i += (lead(byte) && i + 1 < message.size()) ? 2 : 1;
  }
  if (static_cast<unsigned char>(message[last]) > '.') return message + '.';
  return message;
}

}  // namespace tavro
