// The browser's per-user menu key: one subkey per entry, named by its index
// and Title, marked as ours by the value "Tavro".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Entries.h"
#include "Registry.h"

namespace tavro {

inline constexpr const char* kMenuExtKey =
    "\\Software\\Microsoft\\Internet Explorer\\MenuExt\\";
inline constexpr const char* kMarkerValue = "Tavro";
// The Title, where the subkey name could not hold it as it stands.
inline constexpr const char* kTitleValue = "TavroTitle";
inline constexpr std::uint32_t kFormControlContext = 4;
// A value of the menu key itself, there while a save is under way: the
// path of the backup file that already holds the list being saved.
inline constexpr const char* kSaveMarkValue = "TavroSaving";

// 0 gives "00", 9 "09", 10 "10", 100 "100".
std::string TwoDigits(int index);

// The subkey name without its digits-and-point index prefix; a name without
// such a prefix is all Title.
std::string TitleFromKeyName(std::string_view name);

// The subkey name of entry i. A backslash would open a deeper key, and the
// registry takes names of at most maxLength characters, so such Titles are
// shown with a slash and cut; the subkey then keeps the whole Title in
// kTitleValue.
std::string MenuKeyName(int index, std::string_view title,
                        std::size_t maxLength = 255);

class MenuRegistration {
 public:
  explicit MenuRegistration(Registry& registry,
                            std::string keyPath = kMenuExtKey);

  struct ReadResult {
    std::vector<TSection> entries;
    // The first marker that could not be read as text; its entry is kept
    // with an empty Content so that nothing half-fills the list.
    std::optional<std::string> error;
    // A save that did not finish left its mark: the subkeys may be half
    // written. Its backup file, or empty when the mark names none: any
    // program may write it, so only short plain text counts as a path.
    std::optional<std::string> unfinishedSave;
  };
  // Only reads, so a key the user may not change serves too; creates the
  // menu key when missing, unless told not to (the browser host only
  // reads). Entries come back in index order.
  ReadResult Read(bool createKey = true);

  // Removes every marked subkey and nothing else.
  // Returns the names of the subkeys it leaves: other programs'. Throws
  // when the key is there but cannot be listed.
  std::vector<std::string> Purge();

  // Purges, then installs one subkey per record in list order, each naming
  // its script: scripts[i] is record i's (ScriptPaths of the Titles).
  void Rewrite(const std::vector<TTempSec>& records,
               const std::vector<std::string>& scripts);

  // The mark of a save under way, from before its first change of the key
  // until its last file is written.
  void BeginSave(const std::string& backupPath);
  void EndSave();

 private:
  std::size_t MaxKeyNameLength() const;
  // Whether Rewrite may have given the subkey kTitleValue.
  bool MayHoldTitleValue(std::string_view name) const;

  Registry& registry_;
  std::string keyPath_;
};

}  // namespace tavro
