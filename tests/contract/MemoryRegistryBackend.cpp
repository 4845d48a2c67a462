#include "MemoryRegistry.h"
#include "RegistryBackend.h"

namespace tavro::test {

namespace {
class MemoryBackend : public RegistryBackend {
 public:
  Registry& registry() override { return registry_; }

  void CreateKey(const std::string& path) override {
    // Seeding creates the parents of a value's key; the helper key that
    // carried the value goes again.
    const std::string helper = path + "\\~seeding~";
    registry_.SetRawValue(helper, "", kSz, "");
    registry_.DeleteTree(helper);
  }

  void SetRawValue(const std::string& path, const std::string& name,
                   std::uint32_t type, const std::string& bytes) override {
    registry_.SetRawValue(path, name, type, bytes);
  }

  bool KeyExists(const std::string& path) override {
    return registry_.KeyExists(path);
  }

  std::optional<StoredValue> GetRawValue(const std::string& path,
                                         const std::string& name) override {
    const auto raw = registry_.GetRawValue(path, name);
    if (!raw) return std::nullopt;
    return StoredValue{raw->type, raw->bytes};
  }

  void RemoveTree(const std::string&) override {}  // dies with the backend

  bool DenyWrites(const std::string& path) override {
    registry_.DenyWrites(path);
    return true;
  }

  bool DenyAccess(const std::string& path) override {
    registry_.DenyAccess(path);
    return true;
  }

 private:
  MemoryRegistry registry_;
};

std::unique_ptr<RegistryBackend> Make() {
  return std::make_unique<MemoryBackend>();
}
}  // namespace

const BackendMaker kMemoryBackend{"MemoryRegistry", &Make};

INSTANTIATE_TEST_SUITE_P(Memory, RegistryContractTest,
                         ::testing::Values(kMemoryBackend));
INSTANTIATE_TEST_SUITE_P(Memory, RegistrationIntegrationTest,
                         ::testing::Values(kMemoryBackend));

}  // namespace tavro::test
