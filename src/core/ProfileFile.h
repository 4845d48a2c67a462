// INI files through the platform's profile functions.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tavro {

class ProfileFile {
 public:
  virtual ~ProfileFile() = default;
  // At most kProfileValueLimit characters; sections and keys are found
  // without regard to case; blanks and tabs at both ends and one enclosing
  // pair of matching quotes are dropped; the default comes back only when
  // the key (or section, or file) is missing.
  virtual std::string ReadString(const std::string& file,
                                 const std::string& section,
                                 const std::string& key,
                                 const std::string& defaultValue) = 0;
  // The keys of the first section of that name that have a value, in file
  // order, each value as ReadString gives it; nothing when the file or the
  // section is missing.
  virtual std::vector<std::pair<std::string, std::string>> ReadSection(
      const std::string& file, const std::string& section) = 0;
  // Creates file and section as needed; replaces an existing key in place,
  // else appends it to the section. Throws "Unable to write to %s" with the
  // file's path when refused.
  virtual void WriteString(const std::string& file, const std::string& section,
                           const std::string& key,
                           const std::string& value) = 0;
};

inline constexpr std::size_t kProfileValueLimit = 2047;
inline constexpr const char* kUnableToWrite = "Unable to write to %s";

}  // namespace tavro
