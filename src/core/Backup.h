// The backup file: section "User", keys n.Title and n.Content from 0.
#pragma once

#include <string>
#include <vector>

#include "Entries.h"
#include "FileSystem.h"
#include "ProfileFile.h"

namespace tavro {

class Backup {
 public:
  Backup(FileSystem& files, ProfileFile& profiles, std::string path);

  const std::string& Path() const { return path_; }
  bool Exists() { return files_.FileExists(path_); }

  // Replaces the file by the records; an empty list leaves no file. A file
  // that cannot be deleted stays as it was.
  void Write(const std::vector<TTempSec>& records);

  // Up to the first missing or empty Title; Contents decoded.
  std::vector<TSection> Read();

 private:
  void WriteAll(const std::vector<TTempSec>& records);

  FileSystem& files_;
  ProfileFile& profiles_;
  std::string path_;
};

// The profile functions drop blanks at either end and one enclosing pair
// of quotes; a value that has them is written quoted, so it reads back
// exactly. Other values are written as they stand.
std::string QuoteForProfile(const std::string& value);

}  // namespace tavro
