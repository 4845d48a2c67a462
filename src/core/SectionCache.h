// Profile reads answered from one read of each section. The profile
// functions open and search the file on every call, so reading a thousand
// entries key by key took time growing with the square of their number.
// For one operation, over files that nothing else changes meanwhile.
#pragma once

#include <string>
#include <vector>

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
  struct Section {
    std::string file, name;  // the name in lower case
    // By key in lower case; of equal keys the first in the file.
    std::vector<std::pair<std::string, std::string>> keys;
  };
  const Section& Find(const std::string& file, const std::string& section);

  ProfileFile& profiles_;
  std::vector<Section> sections_;
};

}  // namespace tavro
