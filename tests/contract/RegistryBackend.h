// A registry under test, with what the tests need beside the program's own
// operations: odd contents to start from and a look at what was stored.
// Every backend runs the same contract tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "Registry.h"

namespace tavro::test {

// Value types as the registry numbers them.
enum : std::uint32_t {
  kNone = 0,
  kSz = 1,
  kExpandSz = 2,
  kBinary = 3,
  kDword = 4,
  kMultiSz = 7,
};

struct StoredValue {
  std::uint32_t type = 0;
  std::string bytes;
};

class RegistryBackend {
 public:
  virtual ~RegistryBackend() = default;
  virtual Registry& registry() = 0;
  // Creates the key and its missing parents; leaves the open key alone.
  virtual void CreateKey(const std::string& path) = 0;
  // Stores exactly these bytes, creating the key as needed.
  virtual void SetRawValue(const std::string& path, const std::string& name,
                           std::uint32_t type, const std::string& bytes) = 0;
  virtual bool KeyExists(const std::string& path) = 0;
  virtual std::optional<StoredValue> GetRawValue(const std::string& path,
                                                 const std::string& name) = 0;
  // Removes the key with everything below it.
  virtual void RemoveTree(const std::string& path) = 0;
  // Lets the user read the key but not change it; false when the system
  // does not hold to key security.
  virtual bool DenyWrites(const std::string& path) = 0;
};

struct BackendMaker {
  const char* name;
  std::unique_ptr<RegistryBackend> (*make)();
};
inline void PrintTo(const BackendMaker& maker, std::ostream* os) {
  *os << maker.name;
}

extern const BackendMaker kMemoryBackend;
#ifdef _WIN32
extern const BackendMaker kWinBackend;
#endif

// Each test works below a key of its own under \Software\TavroTests, which
// is removed afterwards.
class ScratchKeyTest : public ::testing::TestWithParam<BackendMaker> {
 protected:
  void SetUp() override;
  void TearDown() override;

  Registry& registry() { return backend_->registry(); }
  RegistryBackend& backend() { return *backend_; }
  // A full path below the scratch key.
  std::string Path(const std::string& relative) const {
    return root_ + "\\" + relative;
  }

  std::unique_ptr<RegistryBackend> backend_;
  std::string root_;
};

// Text as stored: a REG_SZ written by the program may carry its NUL.
inline std::string TextBeforeNul(const std::string& bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

class RegistryContractTest : public ScratchKeyTest {};
class RegistrationIntegrationTest : public ScratchKeyTest {
 protected:
  // The registration's key path carries its trailing backslash.
  std::string MenuPath(const std::string& name = "") const {
    return Path("MenuExt\\" + name);
  }
  std::vector<std::string> MenuNames() {
    std::vector<std::string> names;
    if (registry().OpenKey(MenuPath(), false)) names = registry().GetKeyNames();
    registry().CloseKey();
    return names;
  }
  std::optional<StoredValue> MenuValue(const std::string& name,
                                       const std::string& value) {
    return backend().GetRawValue(MenuPath(name), value);
  }
};

}  // namespace tavro::test
