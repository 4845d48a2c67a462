// The file system through the ANSI Win32 functions.
#pragma once

#include <windows.h>

#include "FileSystem.h"

namespace tavro::win {

class WinFileSystem : public FileSystem {
 public:
  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool MakeFolder(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  using FileSystem::WriteFile;
  void WriteFile(const std::string& path, std::string_view bytes,
                 Sync sync) override;
  std::vector<std::string> FindFiles(const std::string& pattern) override;
};

// The system's text for an error code, without its line break.
std::string SystemMessage(unsigned long code);

}  // namespace tavro::win
