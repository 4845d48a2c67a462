#include "Registration.h"

#include "CodePage.h"

#include <algorithm>
#include <set>

#include "Errors.h"
#include "LineBreaks.h"
#include "Paths.h"

namespace tavro {

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the digit run of a "digits." prefix, or 0 when there is none.
std::size_t IndexDigits(std::string_view name) {
  std::size_t n = 0;
  while (n < name.size() && IsDigit(name[n])) ++n;
  return (n > 0 && n < name.size() && name[n] == '.') ? n : 0;
}

// Orders index prefixes by value without converting them, so any number
// of digits works; names without an index go last.
bool IndexLess(std::string_view a, std::string_view b) {
  const std::size_t da = IndexDigits(a);
  const std::size_t db = IndexDigits(b);
  if (da == 0 || db == 0) return da != 0 && db == 0;
  std::string_view na = a.substr(0, da);
  std::string_view nb = b.substr(0, db);
  while (na.size() > 1 && na.front() == '0') na.remove_prefix(1);
  while (nb.size() > 1 && nb.front() == '0') nb.remove_prefix(1);
  if (na.size() != nb.size()) return na.size() < nb.size();
  return na < nb;
}
}  // namespace

std::string TwoDigits(int index) {
  std::string text = std::to_string(index);
  return (index >= 0 && index <= 9) ? "0" + text : text;
}

std::string TitleFromKeyName(std::string_view name) {
  const std::size_t digits = IndexDigits(name);
  return std::string(digits ? name.substr(digits + 1) : name);
}

std::string MenuKeyName(int index, std::string_view title,
                        std::size_t maxLength) {
  std::string name = TwoDigits(index) + "." + std::string(title);
  for (std::size_t i = 0; i < name.size(); i += CharSize(name, i))
    if (name[i] == '\\') name[i] = '/';
  return std::string(WholePrefix(name, maxLength));
}

MenuRegistration::MenuRegistration(Registry& registry, std::string keyPath)
    : registry_(registry), keyPath_(std::move(keyPath)) {}

std::size_t MenuRegistration::MaxKeyNameLength() const {
  // A name is at most 255 characters, and the ANSI registry functions take
  // paths of at most 260 (without the backslashes at either end).
  constexpr std::size_t kMaxName = 255;
  constexpr std::size_t kMaxPath = 260;
  const std::size_t begin = keyPath_.find_first_not_of('\\');
  const std::size_t used =
      begin == std::string::npos ? 0 : keyPath_.size() - begin;
  return std::min(kMaxName, used < kMaxPath ? kMaxPath - used : 0);
}

std::vector<std::string> MenuRegistration::SubkeyNames() {
  std::vector<std::string> names;
  if (registry_.OpenKeyReadOnly(keyPath_)) names = registry_.GetKeyNames();
  registry_.CloseKey();
  return names;
}

bool MenuRegistration::OpenMarkedSubkey(const std::string& name) {
  return registry_.OpenKeyReadOnly(keyPath_ + name) &&
         registry_.ValueExists(kMarkerValue);
}

bool MenuRegistration::MayHoldTitleValue(std::string_view name) const {
  // Only a name that was cut, took a slash for a backslash or a number of
  // its own: asking every key would cost a trip per entry at each start.
  return name.find('/') != std::string_view::npos || name.ends_with(')') ||
         name.size() + 1 >= MaxKeyNameLength();
}

MenuRegistration::ReadResult MenuRegistration::Read(bool createKey) {
  ReadResult result;
  std::vector<std::string> names;
  bool opened = registry_.OpenKeyReadOnly(keyPath_);
  // A first start: the key is made for the browser.
  if (!opened && createKey) opened = registry_.OpenKey(keyPath_, true);
  if (opened) {
    names = registry_.GetKeyNames();
    if (registry_.ValueExists(kSaveMarkValue))
      result.unfinishedSave =
          registry_.ReadShortString(kSaveMarkValue, kMaxPathLength)
              .value_or("");
  }
  // The registry lists 100 after 10 and before 11; the index keeps the
  // saved order for any number of entries.
  std::stable_sort(names.begin(), names.end(), IndexLess);
  for (const std::string& name : names) {
    if (!OpenMarkedSubkey(name)) continue;
    TSection entry{TitleFromKeyName(name), {}};
    try {
      entry.Content = DecodeLineBreaks(registry_.ReadString(kMarkerValue));
      if (MayHoldTitleValue(name) && registry_.ValueExists(kTitleValue))
        entry.Title = registry_.ReadString(kTitleValue);
    } catch (const TavroError& e) {
      if (!result.error) result.error = e.what();
    }
    registry_.CloseKey();
    result.entries.push_back(std::move(entry));
  }
  registry_.CloseKey();
  return result;
}

void MenuRegistration::BeginSave(const std::string& backupPath) {
  // A key that cannot be made leaves none open: the write reports it.
  registry_.CloseKey();
  registry_.OpenKey(keyPath_, true);
  registry_.WriteString(kSaveMarkValue, backupPath);
  registry_.CloseKey();
}

void MenuRegistration::EndSave() {
  if (registry_.OpenKey(keyPath_, false)) registry_.DeleteValue(kSaveMarkValue);
  registry_.CloseKey();
}

std::vector<std::string> MenuRegistration::Purge() {
  std::vector<std::string> others;
  for (std::string& name : SubkeyNames()) {
    const bool marked = OpenMarkedSubkey(name);
    registry_.CloseKey();
    if (marked)
      registry_.DeleteKey(keyPath_ + name);
    else
      others.push_back(std::move(name));
  }
  return others;
}

void MenuRegistration::Rewrite(const std::vector<TTempSec>& records,
                               std::string_view workDir) {
  std::vector<std::string> titles;
  for (const TTempSec& record : records) titles.push_back(record.Title);
  Rewrite(records, ScriptPaths(workDir, titles));
}

void MenuRegistration::Rewrite(const std::vector<TTempSec>& records,
                               const std::vector<std::string>& scripts) {
  // What is left is another program's: never written into.
  std::set<std::string> foreign;
  for (const std::string& name : Purge()) foreign.insert(LowerAscii(name));
  for (std::size_t i = 0; i < records.size(); ++i) {
    const TTempSec& record = records[i];
    std::string name =
        MenuKeyName(static_cast<int>(i), record.Title, MaxKeyNameLength());
    for (int n = 2; foreign.count(LowerAscii(name)); ++n) {
      const std::string mark = " (" + std::to_string(n) + ")";
      name = MenuKeyName(static_cast<int>(i), record.Title,
                         MaxKeyNameLength() - mark.size()) +
             mark;
    }
    // A key that cannot be created leaves nothing open, so the first write
    // reports it.
    registry_.CloseKey();
    registry_.OpenKey(keyPath_ + name, true);
    registry_.WriteString("", "file://" + scripts[i]);
    registry_.WriteInteger("Contexts", kFormControlContext);
    registry_.WriteString(kMarkerValue, record.Content);
    if (TitleFromKeyName(name) != record.Title)
      registry_.WriteString(kTitleValue, record.Title);
    registry_.CloseKey();
  }
}

}  // namespace tavro
