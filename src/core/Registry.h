// The registry operations the program relies on, all under
// HKEY_CURRENT_USER. Paths are full paths with a leading backslash.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Errors.h"

namespace tavro {

inline constexpr const char* kInvalidDataType = "Invalid data type for '%s'";
inline constexpr const char* kFailedToSetData = "Failed to set data for '%s'";
inline constexpr const char* kCannotListKey =
    "The registry key HKEY_CURRENT_USER%s cannot be read";

// The system's error codes, as Windows numbers them, so that the fake and
// the real registry report alike.
inline constexpr long kRegistryOk = 0;
inline constexpr long kNotFound = 2;
inline constexpr long kAccessDenied = 5;
inline constexpr long kInvalidParameter = 87;
inline constexpr long kPathTooLong = 234;  // the path's buffer overflowed
inline constexpr long kKeyDeleted = 1018;

// The text the program shows, and the system's code, which that text need
// not tell but a caller or a test may.
class RegistryError : public TavroError {
 public:
  RegistryError(std::string text, long code)
      : TavroError(std::move(text)), code(code) {}
  long code;
};

// An open key; closed when the object goes. Once the key is deleted, by
// anyone, reads find no values and every listing or change fails.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // In the registry's order; throws kCannotListKey rather than give fewer.
  virtual std::vector<std::string> SubkeyNames() = 0;
  // Any type counts.
  virtual bool HasValue(const std::string& name) = 0;
  // Throws kInvalidDataType unless REG_SZ or REG_EXPAND_SZ; a missing
  // value reads as empty text.
  virtual std::string ReadString(const std::string& name) = 0;
  // For values any program may have written: the text of a REG_SZ value of
  // at most maxLength bytes, or none when the value is missing, of another
  // type or longer, which is then not read whole.
  virtual std::optional<std::string> ReadShortString(const std::string& name,
                                                     std::size_t maxLength) = 0;
  // Both writes throw kFailedToSetData when refused, a key opened to read
  // included; an empty name is the default value.
  virtual void WriteString(const std::string& name,
                           const std::string& value) = 0;
  virtual void WriteInteger(const std::string& name, std::uint32_t value) = 0;
  // kRegistryOk, or the system's code: kNotFound when there was none.
  virtual long DeleteValue(const std::string& name) = 0;
};

// A key, or the system's code for why there is none.
struct OpenedKey {
  std::unique_ptr<RegistryKey> key;
  long code = kRegistryOk;

  explicit operator bool() const { return key != nullptr; }
  RegistryKey* operator->() const { return key.get(); }
  // For a caller that cannot go on without the key.
  std::unique_ptr<RegistryKey> OrThrow(std::string text) && {
    if (!key) throw RegistryError(std::move(text), code);
    return std::move(key);
  }
};

class Registry {
 public:
  // Read refuses every change through the key, which a key the user may
  // read but not change allows too; Write opens an existing key; Create
  // makes it, with every missing key on its path.
  enum class Mode { Read, Write, Create };

  virtual ~Registry() = default;
  // Keys must not outlive their registry.
  virtual OpenedKey Open(const std::string& path, Mode mode) = 0;
  // The key with all its subkeys: kRegistryOk, or the system's code.
  virtual long DeleteTree(const std::string& path) = 0;
};

}  // namespace tavro
