#include "SectionCache.h"

#include <algorithm>

#include "CodePage.h"

namespace tavro {

namespace {
bool KeyLess(const std::pair<std::string, std::string>& a,
             const std::pair<std::string, std::string>& b) {
  return a.first < b.first;
}
}  // namespace

const SectionCache::Section& SectionCache::Find(const std::string& file,
                                                const std::string& section) {
  const std::string name = LowerAscii(section);
  for (const Section& s : sections_)
    if (s.file == file && s.name == name) return s;
  Section read{file, name, profiles_.ReadSection(file, section)};
  for (auto& key : read.keys) key.first = LowerAscii(key.first);
  std::stable_sort(read.keys.begin(), read.keys.end(), KeyLess);
  return sections_.emplace_back(std::move(read));
}

std::string SectionCache::ReadString(const std::string& file,
                                     const std::string& section,
                                     const std::string& key,
                                     const std::string& defaultValue) {
  const auto& keys = Find(file, section).keys;
  const std::pair<std::string, std::string> wanted{LowerAscii(key), ""};
  const auto found =
      std::lower_bound(keys.begin(), keys.end(), wanted, KeyLess);
  if (found != keys.end() && found->first == wanted.first) return found->second;
  // A key spelled with blanks or other letters' case, or none at all: the
  // profile functions decide, and give the default as they would.
  return profiles_.ReadString(file, section, key, defaultValue);
}

void SectionCache::WriteString(const std::string& file,
                               const std::string& section,
                               const std::string& key,
                               const std::string& value) {
  profiles_.WriteString(file, section, key, value);
  std::erase_if(sections_, [&](const Section& s) { return s.file == file; });
}

}  // namespace tavro
