// INI files through the ANSI profile functions.
#pragma once

#include "ProfileFile.h"

namespace tavro::win {

class WinProfileFile : public ProfileFile {
 public:
  std::string ReadString(const std::string& file, const std::string& section,
                         const std::string& key,
                         const std::string& defaultValue) override;
  std::vector<std::pair<std::string, std::string>> ReadSection(
      const std::string& file, const std::string& section) override;
  void WriteString(const std::string& file, const std::string& section,
                   const std::string& key, const std::string& value) override;
};

}  // namespace tavro::win
