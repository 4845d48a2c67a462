// An in-memory registry for tests, held to the real one by the registry
// contract tests.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "Registry.h"

namespace tavro {

class MemoryRegistry : public Registry {
 public:
  // Value types as the registry numbers them.
  enum : std::uint32_t { kSz = 1, kExpandSz = 2, kBinary = 3, kDword = 4 };

  MemoryRegistry();
  ~MemoryRegistry() override;

  OpenedKey Open(const std::string& path, Mode mode) override;
  long DeleteTree(const std::string& path) override;

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
  // Lets the user do nothing with the key: every open, and its deletion,
  // fails.
  void DenyAccess(const std::string& path, bool deny = true);
  // Refuses every value write after this many more have succeeded.
  void RefuseWritesAfter(int count) { writesLeft_ = count; }
  // Stands for the program's end: after this many more changes (a key
  // created, a value written, a key or value deleted) every change throws
  // Stopped, which nothing in the program catches.
  struct Stopped {};
  void StopAfter(int changes) { changesLeft_ = changes; }

 private:
  struct Node;
  class Key;
  std::shared_ptr<Node> Find(const std::string& path) const;
  std::shared_ptr<Node> Create(const std::string& path, long& code);
  void Change();
  // Whether the next value write may go ahead.
  bool TakeWrite();

  std::shared_ptr<Node> root_;
  int writesLeft_ = -1;
  int changesLeft_ = -1;
};

}  // namespace tavro
