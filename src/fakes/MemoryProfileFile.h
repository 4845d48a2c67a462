// INI files kept as bytes in a MemoryFileSystem, read and written the way
// Wine's profile functions do, so that the fake's files hold the same bytes
// as the real ones. Held to the real functions by the file contract tests.
#pragma once

#include "MemoryFileSystem.h"
#include "ProfileFile.h"

namespace tavro {

class MemoryProfileFile : public ProfileFile {
 public:
  explicit MemoryProfileFile(MemoryFileSystem& files) : files_(files) {}

  std::string ReadString(const std::string& file, const std::string& section,
                         const std::string& key,
                         const std::string& defaultValue) override;
  std::vector<std::pair<std::string, std::string>> ReadSection(
      const std::string& file, const std::string& section) override;
  void WriteString(const std::string& file, const std::string& section,
                   const std::string& key, const std::string& value) override;

 private:
  MemoryFileSystem& files_;
};

}  // namespace tavro
