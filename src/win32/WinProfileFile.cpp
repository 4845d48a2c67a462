#include "WinProfileFile.h"

#include <windows.h>

#include <vector>

#include "Errors.h"

namespace tavro::win {

std::string WinProfileFile::ReadString(const std::string& file,
                                       const std::string& section,
                                       const std::string& key,
                                       const std::string& defaultValue) {
  char buffer[kProfileValueLimit + 1];
  const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(),
                                                defaultValue.c_str(), buffer,
                                                sizeof buffer, file.c_str());
  return std::string(buffer, length);
}

std::vector<std::pair<std::string, std::string>> WinProfileFile::ReadSection(
    const std::string& file, const std::string& section) {
  std::vector<char> buffer(1 << 16);
  DWORD length = 0;
  for (;;) {
    length = GetPrivateProfileSectionA(section.c_str(), buffer.data(),
                                       static_cast<DWORD>(buffer.size()),
                                       file.c_str());
    // Two short of the size: the section did not fit.
    if (length + 2 < buffer.size()) break;
    buffer.resize(buffer.size() * 2);
  }
  std::vector<std::pair<std::string, std::string>> keys;
  for (std::size_t at = 0; at < length && buffer[at];) {
    const std::string line(buffer.data() + at);
    at += line.size() + 1;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;  // read as missing
    std::string key = line.substr(0, equals);
    std::string value = line.substr(equals + 1);
    // Quoted or long values come as the key's own read gives them, which
    // drops the quotes and cuts where its buffer ends.
    if (value.size() >= kProfileValueLimit ||
        (!value.empty() && (value.front() == '"' || value.front() == '\'')))
      value = ReadString(file, section, key, "");
    keys.emplace_back(std::move(key), std::move(value));
  }
  return keys;
}

void WinProfileFile::WriteString(const std::string& file,
                                 const std::string& section,
                                 const std::string& key,
                                 const std::string& value) {
  if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                  file.c_str()))
    throw TavroError(FormatError(kUnableToWrite, file));
}

}  // namespace tavro::win
