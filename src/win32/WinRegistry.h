// The registry of the current user, through the ANSI functions.
#pragma once

#include "Handles.h"
#include "Registry.h"

namespace tavro::win {

class WinRegistry : public Registry {
 public:
  bool OpenKey(const std::string& path, bool canCreate) override;
  std::vector<std::string> GetKeyNames() override;
  bool ValueExists(const std::string& name) override;
  std::string ReadString(const std::string& name) override;
  void WriteString(const std::string& name, const std::string& value) override;
  void WriteInteger(const std::string& name, std::uint32_t value) override;
  bool DeleteKey(const std::string& path) override;
  void CloseKey() override;

 private:
  UniqueHKey key_;
};

}  // namespace tavro::win
