// The file system through the ANSI Win32 functions.
#pragma once

#include <windows.h>
// Else the interface's CreateDirectory and DeleteFile would be renamed to
// the ANSI functions' names in every file that sees <windows.h> first.
#undef CreateDirectory
#undef DeleteFile

#include "FileSystem.h"

namespace tavro::win {

class WinFileSystem : public FileSystem {
 public:
  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool CreateDirectory(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  using FileSystem::WriteFile;
  void WriteFile(const std::string& path, std::string_view bytes,
                 Sync sync) override;
  std::vector<std::string> FindFiles(const std::string& pattern) override;
};

// The system's text for an error code, without its line break.
std::string SystemMessage(unsigned long code);

}  // namespace tavro::win
