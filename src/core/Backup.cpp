#include "Backup.h"

#include <set>

#include "CodePage.h"
#include "Errors.h"
#include "LineBreaks.h"
#include "SectionCache.h"

namespace tavro {

namespace {
constexpr char kSection[] = "User";

// What the profile functions trim; CR and LF end the line instead, and no
// quoting keeps them.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a';
}
bool IsQuote(char c) { return c == '"' || c == '\''; }

std::string Key(std::size_t n, const char* field) {
  return std::to_string(n) + "." + field;
}

// Whether the key is the Title of an entry Read would look for: n.Title,
// n without leading zeros.
bool IsTitleKey(const std::string& key) {
  const std::size_t point = key.find('.');
  if (point == 0 || point == std::string::npos ||
      LowerAscii(key.substr(point)) != ".title" || (key[0] == '0' && point > 1))
    return false;
  for (std::size_t i = 0; i < point; ++i)
    if (key[i] < '0' || key[i] > '9') return false;
  return true;
}
}  // namespace

std::string QuoteForProfile(const std::string& value) {
  if (value.empty()) return value;
  const char first = value.front();
  const char last = value.back();
  const bool loses = IsBlank(first) || IsBlank(last) ||
                     (value.size() >= 2 && IsQuote(first) && first == last);
  return loses ? "\"" + value + "\"" : value;
}

Backup::Backup(FileSystem& files, ProfileFile& profiles, std::string path)
    : files_(files), profiles_(profiles), path_(std::move(path)) {}

std::string BackupText(const std::vector<TTempSec>& records) {
  // Each value as far as Load can read it back, in whole characters.
  auto value = [](const std::string& text) {
    return QuoteForProfile(std::string(WholePrefix(text, kProfileValueLimit)));
  };
  std::string text = std::string("[") + kSection + "]\r\n";
  for (std::size_t n = 0; n < records.size(); ++n) {
    text += Key(n, "Title") + "=" + value(records[n].Title) + "\r\n";
    text += Key(n, "Content") + "=" + value(records[n].Content) + "\r\n";
  }
  return text;
}

bool Backup::Write(const std::vector<TTempSec>& records) {
  if (records.empty())
    return !files_.FileExists(path_) || files_.RemoveFile(path_);
  // Written whole and then put in place: a failure or a kill part-way
  // leaves the last complete backup.
  try {
    files_.WriteFile(path_, BackupText(records));
  } catch (const ReplaceFailed&) {
    return false;
  } catch (const TavroError&) {
    throw TavroError(FormatError(kUnableToWrite, path_));
  }
  return true;
}

std::vector<TSection> Backup::Read() {
  // No value holds a line break: this default tells a missing key from an
  // empty Title, which an entry may have.
  static constexpr char kMissing[] = "\n";
  SectionCache profiles(profiles_);
  std::vector<TSection> entries;
  for (std::size_t n = 0;; ++n) {
    std::string title =
        profiles.ReadString(path_, kSection, Key(n, "Title"), kMissing);
    if (title == kMissing) break;
    entries.push_back(
        {std::move(title), DecodeLineBreaks(profiles.ReadString(
                               path_, kSection, Key(n, "Content"), ""))});
  }
  return entries;
}

std::vector<TSection> Backup::ReadComplete() {
  std::set<std::string> named;
  for (const auto& [key, value] : profiles_.ReadSection(path_, kSection))
    if (IsTitleKey(key)) named.insert(key.substr(0, key.find('.')));
  std::vector<TSection> entries = Read();
  if (entries.size() < named.size()) entries.clear();
  return entries;
}

}  // namespace tavro
