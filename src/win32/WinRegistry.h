// The registry of the current user, through the ANSI functions.
#pragma once

#include <optional>

#include "Handles.h"
#include "Registry.h"

namespace tavro::win {

class WinRegistry : public Registry {
 public:
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

 private:
  // A value as queried: its type and its bytes as stored.
  struct Value {
    std::string name;
    DWORD type;
    std::string data;
  };
  bool Open(const std::string& path, bool canCreate, REGSAM access);
  std::optional<Value> Query(const std::string& name);
  void Forget() { last_.reset(); }

  UniqueHKey key_;
  // The value ValueExists found: the start-up read tests each marker and
  // then reads it, and each look is a trip to the registry.
  std::optional<Value> last_;
};

}  // namespace tavro::win
