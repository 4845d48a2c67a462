#include "SectionCache.h"

#include "CodePage.h"

namespace tavro {

std::string SectionCache::ReadString(const std::string& file,
                                     const std::string& section,
                                     const std::string& key,
                                     const std::string& defaultValue) {
  const auto id = std::make_pair(file, LowerAscii(section));
  auto cached = sections_.find(id);
  if (cached == sections_.end()) {
    Keys keys;
    for (auto& [name, value] : profiles_.ReadSection(file, section))
      keys.try_emplace(LowerAscii(name), std::move(value));
    cached = sections_.emplace(id, std::move(keys)).first;
  }
  if (const auto found = cached->second.find(LowerAscii(key));
      found != cached->second.end())
    return found->second;
  // A key spelled with blanks or other letters' case, or none at all: the
  // profile functions decide, and give the default as they would.
  return profiles_.ReadString(file, section, key, defaultValue);
}

void SectionCache::WriteString(const std::string& file,
                               const std::string& section,
                               const std::string& key,
                               const std::string& value) {
  profiles_.WriteString(file, section, key, value);
  std::erase_if(sections_,
                [&](const auto& s) { return s.first.first == file; });
}

}  // namespace tavro
