// The registry operations the program relies on, all under
// HKEY_CURRENT_USER. Paths are full paths with a leading backslash.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavro {

class Registry {
 public:
  virtual ~Registry() = default;
  // Success makes the key the open one, closing the one open before; a
  // failure changes nothing.
  virtual bool OpenKey(const std::string& path, bool canCreate) = 0;
  // Opens an existing key for reading only, which a key the user may read
  // but not change allows too; writes and value deletions through it are
  // refused as with no key open.
  virtual bool OpenKeyReadOnly(const std::string& path) = 0;
  // Direct subkeys of the open key; empty when none is open.
  virtual std::vector<std::string> GetKeyNames() = 0;
  // Any type counts; false when no key is open.
  virtual bool ValueExists(const std::string& name) = 0;
  // Throws "Invalid data type for '%s'" unless REG_SZ or REG_EXPAND_SZ.
  virtual std::string ReadString(const std::string& name) = 0;
  // For values any program may have written: the text of a REG_SZ value of
  // at most maxLength bytes, or none when the value is missing, of another
  // type or longer, which is then not read whole.
  virtual std::optional<std::string> ReadShortString(const std::string& name,
                                                     std::size_t maxLength) = 0;
  // Both writes throw "Failed to set data for '%s'" when refused; an empty
  // name is the default value.
  virtual void WriteString(const std::string& name,
                           const std::string& value) = 0;
  virtual void WriteInteger(const std::string& name, std::uint32_t value) = 0;
  // Deletes the key with all its subkeys; the result is advisory.
  virtual bool DeleteKey(const std::string& path) = 0;
  // Deletes a value of the open key; false when there was none to delete.
  virtual bool DeleteValue(const std::string& name) = 0;
  virtual void CloseKey() = 0;
};

inline constexpr const char* kInvalidDataType = "Invalid data type for '%s'";
inline constexpr const char* kFailedToSetData = "Failed to set data for '%s'";

}  // namespace tavro
