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

bool MenuRegistration::MayHoldTitleValue(std::string_view name) const {
  // Only a name that was cut, took a slash for a backslash or a number of
  // its own: asking every key would cost a trip per entry at each start.
  return name.find('/') != std::string_view::npos || name.ends_with(')') ||
         name.size() + 1 >= MaxKeyNameLength();
}

MenuRegistration::ReadResult MenuRegistration::Read(bool createKey) {
  using Mode = Registry::Mode;
  ReadResult result;
  std::vector<std::string> names;
  OpenedKey menu = registry_.Open(keyPath_, Mode::Read);
  // Said, and the list starts empty: a save cannot list the key either, so
  // it stops before writing a second set of subkeys beside the first.
  if (!menu && menu.code != kNotFound)
    result.error = FormatError(kCannotListKey, keyPath_);
  // A first start: the key is made for the browser.
  if (menu.code == kNotFound && createKey)
    menu = registry_.Open(keyPath_, Mode::Create);
  if (menu) {
    try {
      names = menu->SubkeyNames();
    } catch (const RegistryError& e) {
      result.error = e.what();
    }
    if (menu->HasValue(kSaveMarkValue))
      result.unfinishedSave =
          menu->ReadShortString(kSaveMarkValue, kMaxPathLength).value_or("");
  }
  // The registry lists 100 after 10 and before 11; the index keeps the
  // saved order for any number of entries.
  std::stable_sort(names.begin(), names.end(), IndexLess);
  for (const std::string& name : names) {
    // Three trips each, the floor: open, the marker's value, close.
    const OpenedKey subkey = registry_.Open(keyPath_ + name, Mode::Read);
    if (!subkey || !subkey->HasValue(kMarkerValue)) continue;
    TSection entry{TitleFromKeyName(name), {}};
    try {
      entry.Content = DecodeLineBreaks(subkey->ReadString(kMarkerValue));
      if (MayHoldTitleValue(name) && subkey->HasValue(kTitleValue))
        entry.Title = subkey->ReadString(kTitleValue);
    } catch (const TavroError& e) {
      if (!result.error) result.error = e.what();
    }
    result.entries.push_back(std::move(entry));
  }
  return result;
}

void MenuRegistration::BeginSave(const std::string& backupPath) {
  registry_.Open(keyPath_, Registry::Mode::Create)
      .OrThrow(FormatError(kFailedToSetData, kSaveMarkValue))
      ->WriteString(kSaveMarkValue, backupPath);
}

void MenuRegistration::EndSave() {
  if (const OpenedKey menu = registry_.Open(keyPath_, Registry::Mode::Write))
    menu->DeleteValue(kSaveMarkValue);
}

std::vector<std::string> MenuRegistration::Purge() {
  std::vector<std::string> others;
  const OpenedKey menu = registry_.Open(keyPath_, Registry::Mode::Read);
  if (!menu) {
    if (menu.code == kNotFound) return others;
    // There, but not known to hold none of ours.
    throw RegistryError(FormatError(kCannotListKey, keyPath_), menu.code);
  }
  for (std::string& name : menu->SubkeyNames()) {
    const std::string path = keyPath_ + name;
    const OpenedKey subkey = registry_.Open(path, Registry::Mode::Read);
    // Gone since the listing: neither ours to delete nor a name in the way.
    if (subkey.code == kNotFound) continue;
    if (subkey && subkey->HasValue(kMarkerValue))
      registry_.DeleteTree(path);
    else
      others.push_back(std::move(name));
  }
  return others;
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
    // Told as the first write would tell it.
    const std::unique_ptr<RegistryKey> key =
        registry_.Open(keyPath_ + name, Registry::Mode::Create)
            .OrThrow(FormatError(kFailedToSetData, ""));
    key->WriteString("", "file://" + scripts[i]);
    key->WriteInteger("Contexts", kFormControlContext);
    key->WriteString(kMarkerValue, record.Content);
    if (TitleFromKeyName(name) != record.Title)
      key->WriteString(kTitleValue, record.Title);
  }
}

}  // namespace tavro
