// An in-memory registry for tests, held to the real one by the registry
// contract tests.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Registry.h"

namespace tavro {

class MemoryRegistry : public Registry {
 public:
  // Value types as the registry numbers them.
  enum : std::uint32_t { kSz = 1, kExpandSz = 2, kBinary = 3, kDword = 4 };

  MemoryRegistry();
  ~MemoryRegistry() override;

  bool OpenKey(const std::string& path, bool canCreate) override;
  bool OpenKeyReadOnly(const std::string& path) override;
  std::vector<std::string> GetKeyNames() override;
  bool ValueExists(const std::string& name) override;
  std::string ReadString(const std::string& name) override;
  std::optional<std::string> ReadShortString(const std::string& name,
                                             std::size_t maxLength) override;
  void WriteString(const std::string& name, const std::string& value) override;
  void WriteInteger(const std::string& name, std::uint32_t value) override;
  bool DeleteKey(const std::string& path) override;
  bool DeleteValue(const std::string& name) override;
  void CloseKey() override;

  // Test set-up and inspection, beside the program's own operations.
  void SetRawValue(const std::string& path, const std::string& name,
                   std::uint32_t type, const std::string& bytes);
  bool KeyExists(const std::string& path) const;
  struct RawValue {
    std::uint32_t type = 0;
    std::string bytes;
  };
  std::optional<RawValue> GetRawValue(const std::string& path,
                                      const std::string& name) const;
  // The key's security lets the user read it only: opening it to write,
  // making a subkey below it or deleting it fails.
  void DenyWrites(const std::string& path, bool deny = true);
  // Refuses every value write after this many more have succeeded.
  void RefuseWritesAfter(int count) { writesLeft_ = count; }
  // Stands for the program's end: after this many more changes (a key
  // created, a value written, a key or value deleted) every change throws
  // Stopped, which nothing in the program catches.
  struct Stopped {};
  void StopAfter(int changes) { changesLeft_ = changes; }

 private:
  struct Node;
  Node* Find(const std::string& path) const;
  Node* Create(const std::string& path);
  Node* OpenNode() const;
  void Write(const std::string& name, std::uint32_t type,
             const std::string& bytes);
  void Change();

  std::unique_ptr<Node> root_;
  std::optional<std::string> openPath_;
  bool readOnly_ = false;
  int writesLeft_ = -1;
  int changesLeft_ = -1;
};

}  // namespace tavro
