// Tells when the menu key or anything below it changes, and when the key
// itself is deleted or made again.
#pragma once

#include <windows.h>

#include <string>

#include "Handles.h"

namespace tavro::type {

class MenuKeyWatch {
 public:
  // key: a path under HKEY_CURRENT_USER, backslashes at either end or not.
  explicit MenuKeyWatch(const std::string& key);
  // Signalled at a change; Arm again after each.
  HANDLE Changed() const { return changed_.get(); }
  // False while the key is not there: look again later.
  bool Watching() const { return static_cast<bool>(key_); }
  void Arm();

 private:
  win::UniqueHKey Watch(const std::string& path, bool subtree, DWORD filter);

  std::string path_;
  std::string parentPath_;
  win::UniqueHandle changed_{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
  win::UniqueHKey key_;
  win::UniqueHKey parent_;
};

}  // namespace tavro::type
