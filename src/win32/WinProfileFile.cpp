#include "WinProfileFile.h"

#include <windows.h>

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

void WinProfileFile::WriteString(const std::string& file,
                                 const std::string& section,
                                 const std::string& key,
                                 const std::string& value) {
  if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                  file.c_str()))
    throw TavroError(FormatError(kUnableToWrite, file));
}

}  // namespace tavro::win
