// The file operations the program relies on. Paths are Windows paths.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Errors.h"

namespace tavro {

// What a failed write of a whole file says: which file, and the system's
// reason.
inline std::string WriteError(std::string_view path, std::string_view reason) {
  std::string text = "Could not write ";
  return text.append(path).append(": ").append(reason);
}

// The new bytes were written, but the file they were to replace could not
// be replaced (read-only, or held open); it is as it was.
class ReplaceFailed : public TavroError {
 public:
  using TavroError::TavroError;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // True for a file, false for a folder or nothing.
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool DirectoryExists(const std::string& path) = 0;
  // Creates one folder; false when it could not.
  virtual bool MakeFolder(const std::string& path) = 0;
  // False when the file could not be deleted; never throws.
  virtual bool RemoveFile(const std::string& path) = 0;
  // Replaces the file, or creates it, whole: the bytes go to a new file in
  // the same folder, which then takes the old one's place in one step. A
  // failure throws a TavroError with WriteError's text, ReplaceFailed at
  // that last step, and leaves the old file as it was. Cached skips the
  // wait for the disk, for files made again at every save: a power cut may
  // empty them, a killed program never.
  enum class Sync { ToDisk, Cached };
  virtual void WriteFile(const std::string& path, std::string_view bytes,
                         Sync sync) = 0;
  void WriteFile(const std::string& path, std::string_view bytes) {
    WriteFile(path, bytes, Sync::ToDisk);
  }
  // The names, without folder, of the files and folders that the system's
  // wildcard search ("*", "?") yields for the pattern, in its order; none
  // when the folder is missing. The system may also match short 8.3 names.
  virtual std::vector<std::string> FindFiles(const std::string& pattern) = 0;
};

}  // namespace tavro
