// The file operations the program relies on. Paths are Windows paths.
// <windows.h> defines CreateDirectory and DeleteFile as macros: Win32 code
// includes WinFileSystem.h, which undefines them, instead of this header.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavro {

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // True for a file, false for a folder or nothing.
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool DirectoryExists(const std::string& path) = 0;
  // Creates one folder; false when it could not.
  virtual bool CreateDirectory(const std::string& path) = 0;
  // False when the file could not be deleted; never throws.
  virtual bool DeleteFile(const std::string& path) = 0;
  // Creates or empties the file and writes the bytes; throws a TavroError
  // with the system's message when any step fails.
  virtual void WriteFile(const std::string& path, std::string_view bytes) = 0;
  // The names, without folder, of the files and folders that the system's
  // wildcard search ("*", "?") yields for the pattern, in its order; none
  // when the folder is missing. The system may also match short 8.3 names.
  virtual std::vector<std::string> FindFiles(const std::string& pattern) = 0;
};

}  // namespace tavro
