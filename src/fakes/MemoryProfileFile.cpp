#include "MemoryProfileFile.h"

#include <optional>
#include <string_view>
#include <vector>

#include "Errors.h"
#include "Text.h"

namespace tavro {

namespace {
// Wine counts Ctrl-Z as a blank besides the C locale's white space.
bool IsBlank(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a';
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}
std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}
std::string_view Trim(std::string_view s) { return TrimLeft(TrimRight(s)); }

// The API takes C strings.
std::string_view CString(std::string_view s) {
  return s.substr(0, s.find('\0'));
}

// A line without '=' is kept as a key without a value: comments, stray
// text and the rest of a value that held a line break.
struct Key {
  std::string name;
  std::optional<std::string> value;
};
struct Section {
  std::string name;  // empty: no header line
  std::vector<Key> keys;
};
// The first section holds the lines before the first header.
using Profile = std::vector<Section>;

// Every call reads the file afresh, as Wine does once the file has changed
// since it was cached: whatever its last write left there is parsed again,
// which trims values and names and drops blank lines.
Profile Parse(std::string_view text) {
  Profile profile(1);
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = Trim(CString(text.substr(pos, end - pos)));
    pos = end + 1;
    if (line.empty()) continue;
    if (line.front() == '[') {
      const std::size_t close = line.rfind(']');
      if (close != std::string_view::npos) {
        profile.push_back({std::string(Trim(line.substr(1, close - 1))), {}});
        continue;
      }
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
      profile.back().keys.push_back({std::string(line), std::nullopt});
    else
      profile.back().keys.push_back(
          {std::string(TrimRight(line.substr(0, equals))),
           std::string(TrimLeft(line.substr(equals + 1)))});
  }
  return profile;
}

std::string Serialize(const Profile& profile) {
  std::string text;
  for (const Section& section : profile) {
    if (!section.name.empty()) text += "[" + section.name + "]\r\n";
    for (const Key& key : section.keys) {
      text += key.name;
      if (key.value) text += "=" + *key.value;
      text += "\r\n";
    }
  }
  return text;
}

// The first match wins, for sections and for keys within a section.
Section* FindSection(Profile& profile, std::string_view name) {
  for (Section& section : profile)
    if (SameTextIgnoringCase(section.name, Trim(CString(name))))
      return &section;
  return nullptr;
}
Key* FindKey(Section& section, std::string_view name) {
  for (Key& key : section.keys)
    if (SameTextIgnoringCase(key.name, Trim(CString(name)))) return &key;
  return nullptr;
}

// Quotes are dropped before the value is cut to the buffer's size.
std::string Returned(std::string_view value) {
  if (value.size() > 1 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value.substr(0, kProfileValueLimit));
}
}  // namespace

std::string MemoryProfileFile::ReadString(const std::string& file,
                                          const std::string& section,
                                          const std::string& key,
                                          const std::string& defaultValue) {
  if (const auto bytes = files_.ReadFile(file)) {
    Profile profile = Parse(*bytes);
    if (Section* found = FindSection(profile, section))
      if (Key* entry = FindKey(*found, key); entry && entry->value)
        return Returned(*entry->value);
  }
  // Only blanks, not tabs, come off the default, and only at its end.
  std::string_view fallback = CString(defaultValue);
  while (!fallback.empty() && fallback.back() == ' ') fallback.remove_suffix(1);
  return Returned(fallback);
}

std::vector<std::pair<std::string, std::string>> MemoryProfileFile::ReadSection(
    const std::string& file, const std::string& section) {
  std::vector<std::pair<std::string, std::string>> keys;
  if (const auto bytes = files_.ReadFile(file)) {
    Profile profile = Parse(*bytes);
    if (Section* found = FindSection(profile, section))
      for (const Key& key : found->keys)
        if (key.value) keys.emplace_back(key.name, Returned(*key.value));
  }
  return keys;
}

void MemoryProfileFile::WriteString(const std::string& file,
                                    const std::string& section,
                                    const std::string& key,
                                    const std::string& value) {
  Profile profile = Parse(files_.ReadFile(file).value_or(""));
  // New names and values lose their leading blanks only; the trailing ones
  // go at the next parse.
  const std::string stored(TrimLeft(CString(value)));
  Section* target = FindSection(profile, section);
  if (!target) {
    profile.push_back({std::string(TrimLeft(CString(section))), {}});
    target = &profile.back();
  }
  if (Key* existing = FindKey(*target, key)) {
    if (existing->value == stored) return;  // the file is not touched
    existing->value = stored;
  } else {
    target->keys.push_back({std::string(TrimLeft(CString(key))), stored});
  }
  // Wine does not look at the writes once the file is open: a full disk
  // leaves a cut file and a write reported as done.
  const auto failure = files_.TryWrite(file, Serialize(profile));
  if (failure && failure->whileOpening)
    throw TavroError(FormatError(kUnableToWrite, file));
}

}  // namespace tavro
