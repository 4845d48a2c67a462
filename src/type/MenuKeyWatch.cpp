#include "MenuKeyWatch.h"

#include "CodePage.h"

namespace tavro::type {

namespace {
std::string WithoutOuterBackslashes(std::string path) {
  path.erase(0, path.find_first_not_of('\\'));
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}
}  // namespace

MenuKeyWatch::MenuKeyWatch(const std::string& key)
    : path_(WithoutOuterBackslashes(key)),
      parentPath_(WithoutOuterBackslashes(
          path_.substr(0, FileNameStart(path_)))) {
  Arm();
}

void MenuKeyWatch::Arm() {
  // Opened afresh each time: a key deleted and made again is a new key,
  // and only its parent hears of the deletion.
  key_ = Watch(path_, true, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET);
  parent_ = key_ ? Watch(parentPath_, false, REG_NOTIFY_CHANGE_NAME)
                 : win::UniqueHKey();
}

win::UniqueHKey MenuKeyWatch::Watch(const std::string& path, bool subtree,
                                    DWORD filter) {
  HKEY key = nullptr;
  // Read and notify only: TavroType never writes the key.
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ | KEY_NOTIFY,
                    &key) != ERROR_SUCCESS)
    return {};
  win::UniqueHKey owned(key);
  if (RegNotifyChangeKeyValue(key, subtree, filter, changed_.get(), TRUE) !=
      ERROR_SUCCESS)
    owned.reset();
  return owned;
}

}  // namespace tavro::type
