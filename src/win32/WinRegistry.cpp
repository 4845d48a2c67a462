#include "WinRegistry.h"

#include <windows.h>

#include <algorithm>

#include "CodePage.h"
#include "Handles.h"

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

class WinKey : public RegistryKey {
 public:
  WinKey(UniqueHKey key, std::string path)
      : key_(std::move(key)), path_(std::move(path)) {}

  std::vector<std::string> SubkeyNames() override;
  bool HasValue(const std::string& name) override;
  std::string ReadString(const std::string& name) override;
  std::optional<std::string> ReadShortString(const std::string& name,
                                             std::size_t maxLength) override;
  void WriteString(const std::string& name, const std::string& value) override;
  void WriteInteger(const std::string& name, std::uint32_t value) override;
  long DeleteValue(const std::string& name) override;

 private:
  // A value as queried: its type and its bytes as stored.
  struct Value {
    std::string name;
    DWORD type;
    std::string data;
  };
  std::optional<Value> Query(const std::string& name);
  void SetValue(const std::string& name, DWORD type, const void* data,
                std::size_t size);

  UniqueHKey key_;
  std::string path_;
  // The value HasValue found: the start-up read tests each marker and then
  // reads it, and each look is a trip to the registry.
  std::optional<Value> last_;
};

std::vector<std::string> WinKey::SubkeyNames() {
  const auto fail = [&](LONG rc) {
    throw RegistryError(FormatError(kCannotListKey, path_), rc);
  };
  std::vector<std::string> names;
  DWORD maxLength = 0;
  if (const LONG rc = RegQueryInfoKeyA(key_.get(), nullptr, nullptr, nullptr,
                                       nullptr, &maxLength, nullptr, nullptr,
                                       nullptr, nullptr, nullptr, nullptr))
    fail(rc);
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
    if (rc != ERROR_SUCCESS) fail(rc);
    names.emplace_back(buffer.data(), length);
    ++index;
  }
  return names;
}

std::optional<WinKey::Value> WinKey::Query(const std::string& name) {
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

bool WinKey::HasValue(const std::string& name) {
  last_ = Query(name);
  return last_.has_value();
}

std::string WinKey::ReadString(const std::string& name) {
  std::optional<Value> value =
      last_ && last_->name == name ? std::move(last_) : Query(name);
  last_.reset();
  if (!value || value->data.empty()) return {};
  if (value->type != REG_SZ && value->type != REG_EXPAND_SZ)
    throw TavroError(FormatError(kInvalidDataType, name));
  // Stored text need not be terminated.
  return value->data.substr(0, value->data.find('\0'));
}

std::optional<std::string> WinKey::ReadShortString(const std::string& name,
                                                   std::size_t maxLength) {
  last_.reset();
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

void WinKey::SetValue(const std::string& name, DWORD type, const void* data,
                      std::size_t size) {
  last_.reset();
  if (const LONG rc = RegSetValueExA(key_.get(), name.c_str(), 0, type,
                                     static_cast<const BYTE*>(data),
                                     static_cast<DWORD>(size)))
    throw RegistryError(FormatError(kFailedToSetData, name), rc);
}

void WinKey::WriteString(const std::string& name, const std::string& value) {
  SetValue(name, REG_SZ, value.c_str(), value.size() + 1);
}

void WinKey::WriteInteger(const std::string& name, std::uint32_t value) {
  const DWORD data = value;
  SetValue(name, REG_DWORD, &data, sizeof data);
}

long WinKey::DeleteValue(const std::string& name) {
  last_.reset();
  return RegDeleteValueA(key_.get(), name.c_str());
}
}  // namespace

OpenedKey WinRegistry::Open(const std::string& path, Mode mode) {
  const std::string relative = RelativePath(path);
  // Read only where asked: the handle itself then refuses every change.
  const REGSAM access = mode == Mode::Read ? KEY_READ : KEY_READ | KEY_WRITE;
  HKEY key = nullptr;
  const LONG rc =
      mode == Mode::Create
          ? RegCreateKeyExA(HKEY_CURRENT_USER, relative.c_str(), 0, nullptr,
                            REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                            nullptr)
          : RegOpenKeyExA(HKEY_CURRENT_USER, relative.c_str(), 0, access, &key);
  if (rc != ERROR_SUCCESS) return {nullptr, rc};
  UniqueHKey owner(key);
  return {std::make_unique<WinKey>(std::move(owner), path), kRegistryOk};
}

long WinRegistry::DeleteTree(const std::string& path) {
  const std::string relative = RelativePath(path);
  // An empty path would empty the whole hive.
  if (relative.empty()) return ERROR_INVALID_PARAMETER;
  return RegDeleteTreeA(HKEY_CURRENT_USER, relative.c_str());
}

}  // namespace tavro::win
