// Language files: the choice stored beside the program, the texts and font
// a language file gives the main window, its templates, and the help page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Entries.h"
#include "FileSystem.h"
#include "FormTexts.h"
#include "ProfileFile.h"

namespace tavro {

inline constexpr char kNoLanguageFiles[] = "No language files found!";
// A font face name holds at most this many characters.
inline constexpr std::size_t kFaceNameLimit = 31;

// The integer a profile text spells: decimal with an optional sign, or
// hexadecimal after "$", "x" or "0x" as a 32-bit pattern; anything else,
// or a number out of range, gives the fallback.
std::int32_t StrToIntDef(std::string_view text, std::int32_t fallback);

// programDir ends in a backslash.
std::string LanguageSelectionPath(std::string_view programDir);
// Empty when no language is chosen.
std::string ReadLanguageSelection(ProfileFile& profiles,
                                  std::string_view programDir);
void WriteLanguageSelection(ProfileFile& profiles, std::string_view programDir,
                            const std::string& name);

// The names of the program folder's language files, without ".ini".
std::vector<std::string> FindLanguageFiles(FileSystem& files,
                                           std::string_view programDir);

// The language file of that name under the work folder, or under the
// program folder when only that one has it.
std::string LanguageFilePath(FileSystem& files, std::string_view workDir,
                             std::string_view programDir,
                             const std::string& name);

// Replaces the texts that the file has keys for; a missing caption, font
// or editor text takes its fixed default.
void ApplyLanguageFile(ProfileFile& profiles, const std::string& path,
                       TFormTexts& form, TMessages& messages,
                       TEditFormCaption& editCaptions);

// What TavroType's popup takes from the chosen language file: the main
// window's font and the popup's own texts. Without a language, the
// system's menu font (no face) and the English texts.
struct PickerTexts {
  std::string fontName;
  std::int32_t fontSize = 0;  // points
  std::string hint = "Type to find an entry";
  std::string noMatch = "No Title holds \"%s\"";
  std::string noEntries = "(No saved entries: add them in Tavro and save)";
};
PickerTexts ReadPickerTexts(ProfileFile& profiles, FileSystem& files,
                            std::string_view programDir);

// Template Titles from "0" up to the first missing or empty one, each with
// the file's one Content.
std::vector<TSection> ReadTemplates(ProfileFile& profiles,
                                    const std::string& path);

// Helps\index.htm of the work folder, else of the program folder.
std::optional<std::string> FindHelpPage(FileSystem& files,
                                        std::string_view workDir,
                                        std::string_view programDir);

}  // namespace tavro
