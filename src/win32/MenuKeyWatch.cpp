#include "MenuKeyWatch.h"

#include "CodePage.h"
#include "Registration.h"

namespace tavro::win {

std::string MenuKeyPath(const char* variable) {
  char key[512];
  const DWORD n = GetEnvironmentVariableA(variable, key, sizeof key);
  return n > 0 && n < sizeof key ? key : kMenuExtKey;
}

namespace {
std::string WithoutOuterBackslashes(std::string path) {
  path.erase(0, path.find_first_not_of('\\'));
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}
}  // namespace

MenuKeyWatch::MenuKeyWatch(const std::string& key) {
  const std::string path = WithoutOuterBackslashes(key);
  parentPath_ = WithoutOuterBackslashes(path.substr(0, FileNameStart(path)));
  Rearm();
}

MenuKeyWatch::~MenuKeyWatch() {
  // Wine waits for good in RegCloseKey on a key whose notification is
  // still pending; the handle goes with the process.
  watched_.release();
}

void MenuKeyWatch::Rearm() {
  // Only ever closed once its notification has come, never while one is
  // pending (see the destructor). Opened afresh each time: a key deleted
  // and made again is a new key, which a handle to the old one never hears
  // of; the parent hears of both.
  watched_.reset();
  std::string path = parentPath_;
  for (;;) {
    HKEY key = nullptr;
    // Read and notify only: its users never write the registry.
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ | KEY_NOTIFY,
                      &key) == ERROR_SUCCESS) {
      watched_.reset(key);
      break;
    }
    if (path.empty()) return;
    path = WithoutOuterBackslashes(path.substr(0, FileNameStart(path)));
  }
  RegNotifyChangeKeyValue(watched_.get(), TRUE,
                          REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                          changed_.get(), TRUE);
}

}  // namespace tavro::win
