// Files and folders in memory for tests, with Windows path rules: names are
// found without regard to case, '\' and '/' both separate, a file or folder
// needs an existing parent folder. Drive roots ("C:") always exist. Held to
// the real file system by the file contract tests; the error texts are
// Wine's.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FileSystem.h"

namespace tavro {

class MemoryFileSystem : public FileSystem {
 public:
  MemoryFileSystem();
  ~MemoryFileSystem() override;

  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool MakeFolder(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  using FileSystem::WriteFile;
  void WriteFile(const std::string& path, std::string_view bytes,
                 Sync sync) override;
  std::vector<std::string> FindFiles(const std::string& pattern) override;

  // Test set-up and inspection, beside the program's own operations.
  // Creates the folder and its missing parents.
  void AddFolder(const std::string& path);
  // Creates or replaces the file, and its missing parent folders; no
  // controls apply.
  void AddFile(const std::string& path, std::string_view bytes);
  // The file's bytes; nothing for a folder or a missing file.
  std::optional<std::string> ReadFile(const std::string& path) const;
  // Full paths of all files as first spelled, in case-blind order.
  std::vector<std::string> ListFiles() const;
  // A read-only file, as one that another program holds open, can be
  // neither deleted nor written.
  void SetReadOnly(const std::string& path, bool readOnly = true);
  // Writes fill the disk after this many more bytes; a profile write that
  // does not fit stores what fits, a whole-file write nothing.
  void SetFreeSpace(std::size_t bytes) { freeSpace_ = bytes; }
  // The n-th file write from now (1 = the next) is refused when opening.
  void RefuseWrite(int nth) { refuseCountdown_ = nth; }

  // How a write of a whole file failed: when opening the file, nothing was
  // changed; when writing, the file holds what fitted.
  struct WriteFailure {
    bool whileOpening = true;
    std::string message;
  };
  // The write that WriteFile and the profile fake share: create or empty
  // the file, then store the bytes.
  std::optional<WriteFailure> TryWrite(const std::string& path,
                                       std::string_view bytes);

 private:
  struct Node;
  struct Location;
  Location Locate(const std::string& path) const;
  Node* Find(const std::string& path) const;
  Node* AddNode(const std::string& path, bool isFolder);
  void CollectFiles(const Node& node, const std::string& prefix,
                    std::vector<std::string>& out) const;

  // Keyed by the lower-cased drive name; a drive springs into being when
  // first named, even by a lookup.
  mutable std::map<std::string, std::unique_ptr<Node>> roots_;
  std::optional<std::size_t> freeSpace_;
  int refuseCountdown_ = 0;
};

}  // namespace tavro
