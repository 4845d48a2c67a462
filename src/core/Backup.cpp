#include "Backup.h"

#include "LineBreaks.h"

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

void Backup::WriteAll(const std::vector<TTempSec>& records) {
  for (std::size_t n = 0; n < records.size(); ++n) {
    profiles_.WriteString(path_, kSection, Key(n, "Title"),
                          QuoteForProfile(records[n].Title));
    profiles_.WriteString(path_, kSection, Key(n, "Content"),
                          QuoteForProfile(records[n].Content));
  }
}

void Backup::Write(const std::vector<TTempSec>& records) {
  if (files_.FileExists(path_) && files_.DeleteFile(path_)) WriteAll(records);
  if (!files_.FileExists(path_)) WriteAll(records);
}

std::vector<TSection> Backup::Read() {
  std::vector<TSection> entries;
  for (std::size_t n = 0;; ++n) {
    std::string title =
        profiles_.ReadString(path_, kSection, Key(n, "Title"), "");
    if (title.empty()) break;
    entries.push_back(
        {std::move(title), DecodeLineBreaks(profiles_.ReadString(
                               path_, kSection, Key(n, "Content"), ""))});
  }
  return entries;
}

}  // namespace tavro
