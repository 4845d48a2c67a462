// Seeds and inspects the real registry through the API itself, not through
// the class under test.
#include <windows.h>
// After <windows.h>.
#include <sddl.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "Handles.h"
#include "RegistryBackend.h"
#include "WinRegistry.h"

namespace tavro::test {

namespace {
std::string Relative(const std::string& path) {
  return path.substr(path.find_first_not_of('\\'));
}

void Check(LONG rc, const char* what, const std::string& path) {
  if (rc != ERROR_SUCCESS)
    throw std::runtime_error(std::string(what) + " failed with " +
                             std::to_string(rc) + " for " + path);
}

class WinBackend : public RegistryBackend {
 public:
  Registry& registry() override { return registry_; }

  void CreateKey(const std::string& path) override { Create(path); }

  void SetRawValue(const std::string& path, const std::string& name,
                   std::uint32_t type, const std::string& bytes) override {
    win::UniqueHKey key = Create(path);
    Check(RegSetValueExA(key.get(), name.c_str(), 0, type,
                         reinterpret_cast<const BYTE*>(bytes.data()),
                         static_cast<DWORD>(bytes.size())),
          "RegSetValueExA", path);
  }

  bool KeyExists(const std::string& path) override {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, Relative(path).c_str(), 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
      return false;
    RegCloseKey(key);
    return true;
  }

  std::optional<StoredValue> GetRawValue(const std::string& path,
                                         const std::string& name) override {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, Relative(path).c_str(), 0, KEY_READ,
                      &opened) != ERROR_SUCCESS)
      return std::nullopt;
    win::UniqueHKey key(opened);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr,
                         &size) != ERROR_SUCCESS)
      return std::nullopt;
    std::string bytes(size, '\0');
    Check(RegQueryValueExA(key.get(), name.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(bytes.data()), &size),
          "RegQueryValueExA", path);
    bytes.resize(size);
    return StoredValue{type, bytes};
  }

  void RemoveTree(const std::string& path) override {
    for (const std::string& denied : denied_)
      SetRules(denied, "D:P(A;;KA;;;WD)");
    RegDeleteTreeA(HKEY_CURRENT_USER, Relative(path).c_str());
    // The common parent goes once no other test is using it.
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\TavroTests");
  }

  bool DenyWrites(const std::string& path) override {
    // Everyone may read, and change the rules, so that the key can go again.
    return Deny(path, "D:P(A;;KRWD;;;WD)", KEY_SET_VALUE);
  }

  bool DenyAccess(const std::string& path) override {
    return Deny(path, "D:P(A;;WD;;;WD)", KEY_READ);
  }

 private:
  // Whether the rules then refuse an open for `access`.
  bool Deny(const std::string& path, const char* rules, REGSAM access) {
    SetRules(path, rules);
    denied_.push_back(path);
    HKEY key = nullptr;
    const bool refused =
        RegOpenKeyExA(HKEY_CURRENT_USER, Relative(path).c_str(), 0, access,
                      &key) != ERROR_SUCCESS;
    const win::UniqueHKey owner(key);
    return refused;
  }

  // The key's access rules, in the system's text form.
  static void SetRules(const std::string& path, const char* rules) {
    PSECURITY_DESCRIPTOR made = nullptr;
    Check(ConvertStringSecurityDescriptorToSecurityDescriptorA(
              rules, SDDL_REVISION_1, &made, nullptr)
              ? ERROR_SUCCESS
              : GetLastError(),
          "ConvertStringSecurityDescriptorToSecurityDescriptorA", path);
    const std::unique_ptr<void, decltype(&LocalFree)> security(made,
                                                               &LocalFree);
    HKEY opened = nullptr;
    Check(RegOpenKeyExA(HKEY_CURRENT_USER, Relative(path).c_str(), 0, WRITE_DAC,
                        &opened),
          "RegOpenKeyExA", path);
    const win::UniqueHKey key(opened);
    Check(
        RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, security.get()),
        "RegSetKeySecurity", path);
  }

  static win::UniqueHKey Create(const std::string& path) {
    HKEY key = nullptr;
    Check(RegCreateKeyExA(HKEY_CURRENT_USER, Relative(path).c_str(), 0, nullptr,
                          REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                          &key, nullptr),
          "RegCreateKeyExA", path);
    return win::UniqueHKey(key);
  }

  win::WinRegistry registry_;
  std::vector<std::string> denied_;
};

std::unique_ptr<RegistryBackend> Make() {
  return std::make_unique<WinBackend>();
}
}  // namespace

const BackendMaker kWinBackend{"WinRegistry", &Make};

INSTANTIATE_TEST_SUITE_P(Win, RegistryContractTest,
                         ::testing::Values(kWinBackend));
INSTANTIATE_TEST_SUITE_P(Win, RegistrationIntegrationTest,
                         ::testing::Values(kWinBackend));

}  // namespace tavro::test
