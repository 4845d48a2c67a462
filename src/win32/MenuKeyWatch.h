// Tells when the menu key or anything below it changes, and when the key
// itself is deleted or made again.
#pragma once

#include <windows.h>

#include <string>

#include "Handles.h"

namespace tavro::win {

// The writes of one Save come as a burst of changes: what follows the key
// waits until it has been quiet this long.
inline constexpr DWORD kMenuKeyQuietMs = 150;

// The menu key, or the one the environment variable names: tests point
// each program elsewhere.
std::string MenuKeyPath(const char* variable);

// Watches the menu key's parent with all below it, or, while that is not
// there, the nearest key above it that is.
class MenuKeyWatch {
 public:
  // key: a path under HKEY_CURRENT_USER, backslashes at either end or not.
  explicit MenuKeyWatch(const std::string& key);
  ~MenuKeyWatch();
  MenuKeyWatch(const MenuKeyWatch&) = delete;
  MenuKeyWatch& operator=(const MenuKeyWatch&) = delete;
  // Signalled at a change; call Rearm after each.
  HANDLE Changed() const { return changed_.get(); }
  void Rearm();

 private:
  std::string parentPath_;
  UniqueHandle changed_{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
  UniqueHKey watched_;
};

}  // namespace tavro::win
