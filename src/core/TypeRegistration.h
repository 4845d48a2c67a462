// Turns typing into other programs on and off: the per-user Run value that
// starts TavroType.exe, from beside Tavro.exe, at every logon.
#pragma once

#include <string>

#include "FileSystem.h"
#include "Registry.h"

namespace tavro {

inline constexpr char kRunKey[] =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\";
inline constexpr char kRunValue[] = "TavroType";
inline constexpr char kTypeMissing[] =
    "TavroType.exe is missing from %s: unpack the whole Tavro folder again";

class TypeRegistration {
 public:
  // programDir ends with a backslash and is read at each use.
  TypeRegistration(Registry& registry, FileSystem& files,
                   const std::string& programDir);

  std::string ExePath() const { return programDir_ + "TavroType.exe"; }
  // Throws a TavroError when TavroType.exe is missing or the value cannot
  // be written.
  void Register();
  void Unregister();
  // Only a value naming this folder's TavroType.exe: after the folder has
  // moved, turning it on again points the value at the new place.
  bool Registered();

 private:
  Registry& registry_;
  FileSystem& files_;
  const std::string& programDir_;
};

}  // namespace tavro
