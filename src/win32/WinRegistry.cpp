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
  return Open(path, canCreate, KEY_ALL_ACCESS);
}

bool WinRegistry::OpenKeyReadOnly(const std::string& path) {
  // The handle itself refuses every write.
  return Open(path, false, KEY_READ);
}

bool WinRegistry::Open(const std::string& path, bool canCreate, REGSAM access) {
  const std::string relative = RelativePath(path);
  HKEY key = nullptr;
  const LONG rc =
      canCreate
          ? RegCreateKeyExA(HKEY_CURRENT_USER, relative.c_str(), 0, nullptr,
                            REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                            nullptr)
          : RegOpenKeyExA(HKEY_CURRENT_USER, relative.c_str(), 0, access, &key);
  if (rc != ERROR_SUCCESS) return false;
  Forget();
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

std::optional<WinRegistry::Value> WinRegistry::Query(const std::string& name) {
  if (!key_) return std::nullopt;
  // Most values fit the first buffer, and take one call.
  Value value{name, REG_NONE, std::string(1024, '\0')};
  for (;;) {
    DWORD size = static_cast<DWORD>(value.data.size() - 1);
    const LONG rc =
        RegQueryValueExA(key_.get(), name.c_str(), nullptr, &value.type,
                         reinterpret_cast<BYTE*>(value.data.data()), &size);
    if (rc == ERROR_MORE_DATA) {
      // Grown until it fits, also when the value grows in between.
      value.data.assign(std::max<std::size_t>(size, value.data.size() * 2) + 1,
                        '\0');
      continue;
    }
    if (rc != ERROR_SUCCESS) return std::nullopt;
    value.data.resize(size);
    return value;
  }
}

bool WinRegistry::ValueExists(const std::string& name) {
  last_ = Query(name);
  return last_.has_value();
}

std::string WinRegistry::ReadString(const std::string& name) {
  std::optional<Value> value =
      last_ && last_->name == name ? std::move(last_) : Query(name);
  Forget();
  if (!value || value->data.empty()) return {};
  if (value->type != REG_SZ && value->type != REG_EXPAND_SZ)
    throw TavroError(FormatError(kInvalidDataType, name));
  // Stored text need not be terminated.
  return value->data.substr(0, value->data.find('\0'));
}

std::optional<std::string> WinRegistry::ReadShortString(const std::string& name,
                                                        std::size_t maxLength) {
  Forget();
  if (!key_) return std::nullopt;
  // One byte for the terminator and one to tell a longer unterminated text;
  // a value that does not fit is refused by the system, not read.
  std::string data(maxLength + 2, '\0');
  DWORD size = static_cast<DWORD>(data.size());
  DWORD type = REG_NONE;
  if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(data.data()),
                       &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return std::nullopt;
  data.resize(std::min<std::size_t>(size, data.size()));
  data.resize(std::min(data.size(), data.find('\0')));
  if (data.size() > maxLength) return std::nullopt;
  return data;
}

void WinRegistry::WriteString(const std::string& name,
                              const std::string& value) {
  Forget();
  SetValue(key_.get(), name, REG_SZ, value.c_str(), value.size() + 1);
}

void WinRegistry::WriteInteger(const std::string& name, std::uint32_t value) {
  Forget();
  const DWORD data = value;
  SetValue(key_.get(), name, REG_DWORD, &data, sizeof data);
}

bool WinRegistry::DeleteKey(const std::string& path) {
  const std::string relative = RelativePath(path);
  // An empty path would empty the whole hive.
  if (relative.empty()) return false;
  Forget();
  return RegDeleteTreeA(HKEY_CURRENT_USER, relative.c_str()) == ERROR_SUCCESS;
}

bool WinRegistry::DeleteValue(const std::string& name) {
  Forget();
  return key_ && RegDeleteValueA(key_.get(), name.c_str()) == ERROR_SUCCESS;
}

void WinRegistry::CloseKey() {
  Forget();
  key_.reset();
}

}  // namespace tavro::win
