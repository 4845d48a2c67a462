#include "WinRegistry.h"

#include <algorithm>

#include "CodePage.h"
#include "Errors.h"

namespace tavro::win {

namespace {
// The registry functions take paths relative to the hive: a leading
// backslash makes them fail with ERROR_BAD_PATHNAME. A last byte 0x5C may
// end a double-byte character and stays.
std::string RelativePath(const std::string& path) {
  std::size_t begin = 0;
  while (begin < path.size() && path[begin] == '\\') ++begin;
  std::size_t end = begin;
  for (std::size_t i = begin; i < path.size(); i += CharSize(path, i))
    if (CharSize(path, i) == 2 || path[i] != '\\') end = i + CharSize(path, i);
  return path.substr(begin, end - begin);
}

void SetValue(HKEY key, const std::string& name, DWORD type, const void* data,
              std::size_t size) {
  if (!key ||
      RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data),
                     static_cast<DWORD>(size)) != ERROR_SUCCESS)
    throw TavroError(FormatError(kFailedToSetData, name));
}
}  // namespace

bool WinRegistry::OpenKey(const std::string& path, bool canCreate) {
  const std::string relative = RelativePath(path);
  HKEY key = nullptr;
  const LONG rc = canCreate
                      ? RegCreateKeyExA(HKEY_CURRENT_USER, relative.c_str(), 0,
                                        nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_ALL_ACCESS, nullptr, &key, nullptr)
                      : RegOpenKeyExA(HKEY_CURRENT_USER, relative.c_str(), 0,
                                      KEY_ALL_ACCESS, &key);
  if (rc != ERROR_SUCCESS) return false;
  key_.reset(key);
  return true;
}

std::vector<std::string> WinRegistry::GetKeyNames() {
  std::vector<std::string> names;
  if (!key_) return names;
  DWORD maxLength = 0;
  if (RegQueryInfoKeyA(key_.get(), nullptr, nullptr, nullptr, nullptr,
                       &maxLength, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr) != ERROR_SUCCESS)
    return {};
  // The longest name is counted in characters, which a multi-byte code page
  // may turn into more bytes; a short buffer is grown and the name retried.
  std::string buffer(std::max<DWORD>(maxLength, 255) + 1, '\0');
  for (DWORD index = 0;;) {
    DWORD length = static_cast<DWORD>(buffer.size());
    const LONG rc = RegEnumKeyExA(key_.get(), index, buffer.data(), &length,
                                  nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc == ERROR_MORE_DATA && buffer.size() < 4096) {
      buffer.resize(buffer.size() * 2);
      continue;
    }
    if (rc != ERROR_SUCCESS) return {};
    names.emplace_back(buffer.data(), length);
    ++index;
  }
  return names;
}

bool WinRegistry::ValueExists(const std::string& name) {
  return key_ && RegQueryValueExA(key_.get(), name.c_str(), nullptr, nullptr,
                                  nullptr, nullptr) == ERROR_SUCCESS;
}

std::string WinRegistry::ReadString(const std::string& name) {
  if (!key_) return {};
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr,
                       &size) != ERROR_SUCCESS ||
      size == 0)
    return {};
  std::string buffer;
  for (;;) {
    // One spare NUL, since stored text need not be terminated.
    buffer.assign(size + 1, '\0');
    DWORD got = size;
    const LONG rc =
        RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &got);
    if (rc == ERROR_MORE_DATA) {
      // The value grew between the two calls.
      size = std::max(got, size * 2);
      continue;
    }
    if (rc != ERROR_SUCCESS || got == 0) return {};
    break;
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ)
    throw TavroError(FormatError(kInvalidDataType, name));
  buffer.resize(buffer.find('\0'));
  return buffer;
}

void WinRegistry::WriteString(const std::string& name,
                              const std::string& value) {
  SetValue(key_.get(), name, REG_SZ, value.c_str(), value.size() + 1);
}

void WinRegistry::WriteInteger(const std::string& name, std::uint32_t value) {
  const DWORD data = value;
  SetValue(key_.get(), name, REG_DWORD, &data, sizeof data);
}

bool WinRegistry::DeleteKey(const std::string& path) {
  const std::string relative = RelativePath(path);
  // An empty path would empty the whole hive.
  if (relative.empty()) return false;
  return RegDeleteTreeA(HKEY_CURRENT_USER, relative.c_str()) == ERROR_SUCCESS;
}

void WinRegistry::CloseKey() { key_.reset(); }

}  // namespace tavro::win
