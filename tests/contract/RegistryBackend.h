// A registry under test, with what the tests need beside the program's own
// operations: odd contents to start from and a look at what was stored.
// Every backend runs the same contract tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "Paths.h"
#include "Registration.h"
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
  // Creates the key and its missing parents.
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
  // Lets the user do nothing with the key; false as above.
  virtual bool DenyAccess(const std::string& path) = 0;
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
  // The key, or the test fails on the exception.
  std::unique_ptr<RegistryKey> Open(
      const std::string& path, Registry::Mode mode = Registry::Mode::Read) {
    return registry().Open(path, mode).OrThrow("cannot open " + path);
  }
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

// Another program at work between two of Tavro's calls: right after the
// key at `path` is first opened, `meanwhile` runs.
class MeddledRegistry : public Registry {
 public:
  MeddledRegistry(Registry& inner, std::string path,
                  std::function<void()> meanwhile)
      : inner_(inner),
        path_(std::move(path)),
        meanwhile_(std::move(meanwhile)) {}
  OpenedKey Open(const std::string& path, Mode mode) override {
    OpenedKey key = inner_.Open(path, mode);
    if (key && path == path_ && meanwhile_) std::exchange(meanwhile_, {})();
    return key;
  }
  long DeleteTree(const std::string& path) override {
    return inner_.DeleteTree(path);
  }

 private:
  Registry& inner_;
  std::string path_;
  std::function<void()> meanwhile_;
};

class RegistryContractTest : public ScratchKeyTest {};
class RegistrationIntegrationTest : public ScratchKeyTest {
 protected:
  // The registration's key path carries its trailing backslash.
  std::string MenuPath(const std::string& name = "") const {
    return Path("MenuExt\\" + name);
  }
  std::vector<std::string> MenuNames() {
    const OpenedKey menu = registry().Open(MenuPath(), Registry::Mode::Read);
    return menu ? menu->SubkeyNames() : std::vector<std::string>{};
  }
  // Each record's script in the work folder, as a save names them.
  static void Rewrite(MenuRegistration& menu,
                      const std::vector<TTempSec>& records,
                      const std::string& workDir = "C:\\W") {
    std::vector<std::string> titles;
    for (const TTempSec& record : records) titles.push_back(record.Title);
    menu.Rewrite(records, ScriptPaths(workDir, titles));
  }
  std::optional<StoredValue> MenuValue(const std::string& name,
                                       const std::string& value) {
    return backend().GetRawValue(MenuPath(name), value);
  }
};

}  // namespace tavro::test
