// Owners for Win32 handles: each closes its handle exactly once.
#pragma once

#include <windows.h>

#include <utility>

namespace tavro::win {

template <typename Handle, typename Traits>
class Unique {
 public:
  Unique() = default;
  explicit Unique(Handle h) : h_(h) {}
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& other) noexcept : h_(std::exchange(other.h_, Handle{})) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) reset(std::exchange(other.h_, Handle{}));
    return *this;
  }
  ~Unique() { reset(); }

  Handle get() const { return h_; }
  explicit operator bool() const { return h_ != Handle{}; }
  void reset(Handle h = Handle{}) {
    if (h_ != Handle{}) Traits::Close(h_);
    h_ = h;
  }
  Handle release() { return std::exchange(h_, Handle{}); }

 private:
  Handle h_{};
};

struct HKeyTraits {
  static void Close(HKEY h) { RegCloseKey(h); }
};
struct GdiTraits {
  static void Close(HGDIOBJ h) { DeleteObject(h); }
};
struct FileTraits {
  static void Close(HANDLE h) {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
struct FindTraits {
  static void Close(HANDLE h) {
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
  }
};
struct MenuTraits {
  static void Close(HMENU h) { DestroyMenu(h); }
};
struct IconTraits {
  static void Close(HICON h) { DestroyIcon(h); }
};
struct WindowTraits {
  static void Close(HWND h) {
    if (IsWindow(h)) DestroyWindow(h);
  }
};

using UniqueHKey = Unique<HKEY, HKeyTraits>;
using UniqueHandle = Unique<HANDLE, FileTraits>;
using UniqueFont = Unique<HFONT, GdiTraits>;
using UniqueBitmap = Unique<HBITMAP, GdiTraits>;
using UniqueMenu = Unique<HMENU, MenuTraits>;
using UniqueIcon = Unique<HICON, IconTraits>;
using UniqueWindow = Unique<HWND, WindowTraits>;

}  // namespace tavro::win
