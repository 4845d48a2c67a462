// Profile reads answered from one read of each section. The profile
// functions open and search the file on every call, so reading a thousand
// entries key by key took time growing with the square of their number.
// For one operation, over files that nothing else changes meanwhile.
#pragma once

#include <map>
#include <string>
#include <unordered_map>

#include "ProfileFile.h"

namespace tavro {

class SectionCache : public ProfileFile {
 public:
  explicit SectionCache(ProfileFile& profiles) : profiles_(profiles) {}

  // Exactly what the wrapped reads would give.
  std::string ReadString(const std::string& file, const std::string& section,
                         const std::string& key,
                         const std::string& defaultValue) override;
  std::vector<std::pair<std::string, std::string>> ReadSection(
      const std::string& file, const std::string& section) override {
    return profiles_.ReadSection(file, section);
  }
  void WriteString(const std::string& file, const std::string& section,
                   const std::string& key, const std::string& value) override;

 private:
  // Values by key in lower case; the first of equal keys.
  using Keys = std::unordered_map<std::string, std::string>;

  ProfileFile& profiles_;
  std::map<std::pair<std::string, std::string>, Keys> sections_;
};

}  // namespace tavro
