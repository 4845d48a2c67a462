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

  // Replaces the file by the records, whole or not at all; an empty list
  // leaves no file. False when the old file could not be replaced or
  // deleted: it stays as it was. A failure to write the new one throws
  // "Unable to write to %s".
  bool Write(const std::vector<TTempSec>& records);

  // Up to the first missing Title; Contents decoded.
  std::vector<TSection> Read();
  // Every entry the file names, or nothing when any of them is missing.
  std::vector<TSection> ReadComplete();

 private:
  FileSystem& files_;
  ProfileFile& profiles_;
  std::string path_;
};

// The file's bytes for the records, as the profile functions would write
// them key by key into a new file.
std::string BackupText(const std::vector<TTempSec>& records);

// The profile functions drop blanks at either end and one enclosing pair
// of quotes; a value that has them is written quoted, so it reads back
// exactly. Other values are written as they stand.
std::string QuoteForProfile(const std::string& value);

}  // namespace tavro
