#include "Language.h"

#include <limits>

#include "CodePage.h"
#include "SectionCache.h"

namespace tavro {

namespace {
constexpr char kSelectionSection[] = "Language";
constexpr char kMainForm[] = "MainForm";
constexpr char kMessages[] = "Messages";
constexpr char kEditForm[] = "EditForm";
constexpr char kTemplate[] = "Template";
constexpr std::int32_t kDefaultFontSize = 9;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Joined(std::string_view a, std::string_view b) {
  std::string path(a);
  path += b;
  return path;
}
}  // namespace

std::int32_t StrToIntDef(std::string_view text, std::int32_t fallback) {
  std::string s(text);
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
    s.replace(0, 2, "$");
  std::string_view rest = s;
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  if (rest.empty()) return fallback;

  const char first = rest.front();
  if (first == '$' || first == 'x' || first == 'X' ||
      (rest.size() > 1 && first == '0' && (rest[1] == 'x' || rest[1] == 'X'))) {
    rest.remove_prefix(first == '0' ? 2 : 1);
    if (rest.empty()) return fallback;
    std::uint32_t value = 0;
    int significant = 0;
    for (char c : rest) {
      const int digit = HexDigit(c);
      if (digit < 0) return fallback;
      if (value != 0 || digit != 0) ++significant;
      if (significant > 8) return fallback;
      value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return static_cast<std::int32_t>(value);
  }

  const bool negative = first == '-';
  if (first == '+' || first == '-') rest.remove_prefix(1);
  if (rest.empty()) return fallback;
  // Magnitudes up to 2^31 fit; the sign decides which end is allowed.
  const std::int64_t limit =
      std::int64_t{std::numeric_limits<std::int32_t>::max()} + negative;
  std::int64_t magnitude = 0;
  for (char c : rest) {
    if (!IsDigit(c)) return fallback;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > limit) return fallback;
  }
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::string LanguageSelectionPath(std::string_view programDir) {
  return Joined(programDir, "Language.ini");
}

std::string ReadLanguageSelection(ProfileFile& profiles,
                                  std::string_view programDir) {
  return CutToBuffer(profiles.ReadString(LanguageSelectionPath(programDir),
                                         kSelectionSection, "Language", ""));
}

void WriteLanguageSelection(ProfileFile& profiles, std::string_view programDir,
                            const std::string& name) {
  profiles.WriteString(LanguageSelectionPath(programDir), kSelectionSection,
                       "Language", name);
}

std::vector<std::string> FindLanguageFiles(FileSystem& files,
                                           std::string_view programDir) {
  std::vector<std::string> names;
  for (std::string& name :
       files.FindFiles(Joined(programDir, "Languages\\*.ini"))) {
    // The search also matches short names, so "a.inix" would come too.
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos ||
        !SameTextIgnoringCase(std::string_view(name).substr(dot), ".ini"))
      continue;
    name.erase(dot);
    names.push_back(std::move(name));
  }
  return names;
}

std::string LanguageFilePath(FileSystem& files, std::string_view workDir,
                             std::string_view programDir,
                             const std::string& name) {
  const std::string inWork = Joined(workDir, "\\Languages\\" + name + ".ini");
  if (files.FileExists(inWork)) return inWork;
  const std::string inProgram =
      Joined(programDir, "Languages\\" + name + ".ini");
  return files.FileExists(inProgram) ? inProgram : inWork;
}

PickerTexts ReadPickerTexts(ProfileFile& files, FileSystem& fileSystem,
                            std::string_view programDir) {
  PickerTexts texts;
  const std::string name = ReadLanguageSelection(files, programDir);
  if (name.empty()) return texts;
  const std::string path = Joined(programDir, "Languages\\" + name + ".ini");
  if (!fileSystem.FileExists(path)) return texts;
  SectionCache profiles(files);
  auto read = [&](const char* section, const char* key, std::string& text) {
    text = profiles.ReadString(path, section, key, text);
  };
  read(kMainForm, "Font.Name", texts.fontName);
  texts.fontName = WholePrefix(texts.fontName, kFaceNameLimit);
  texts.fontSize = StrToIntDef(
      profiles.ReadString(path, kMainForm, "Font.Size", ""), kDefaultFontSize);
  read("TavroType", "Picker.Hint", texts.hint);
  read("TavroType", "Picker.NoMatch", texts.noMatch);
  read("TavroType", "Picker.NoEntries", texts.noEntries);
  return texts;
}

void ApplyLanguageFile(ProfileFile& files, const std::string& path,
                       TFormTexts& form, TMessages& messages,
                       TEditFormCaption& editCaptions) {
  SectionCache profiles(files);
  auto read = [&](const char* section, const std::string& key,
                  const std::string& fallback) {
    return profiles.ReadString(path, section, key, fallback);
  };
  form.Caption = read(kMainForm, "MainForm.Caption", "Tavro");
  if (std::string face = read(kMainForm, "Font.Name", "Tohoma"); !face.empty())
    form.FontName = WholePrefix(face, kFaceNameLimit);
  form.FontSize =
      StrToIntDef(read(kMainForm, "Font.Size", ""), kDefaultFontSize);

  const std::pair<const char*, std::string TMessages::*> kMessageKeys[] = {
      {"msgCloseQuery", &TMessages::msgCloseQuery},
      {"msgDelete", &TMessages::msgDelete},
      {"msgDelFileError", &TMessages::msgDelFileError},
      {"msgUseTemplate", &TMessages::msgUseTemplate},
      {"msgCleanInfo", &TMessages::msgCleanInfo},
      {"msgBridgeOn", &TMessages::msgBridgeOn},
      {"msgBridgeOff", &TMessages::msgBridgeOff},
      {"msgTypeOff", &TMessages::msgTypeOff},
      {"msgNoBackup", &TMessages::msgNoBackup},
      {"msgSaveUnfinished", &TMessages::msgSaveUnfinished},
      {"msgSaveUnreadable", &TMessages::msgSaveUnreadable},
      {"msgSaveMarkUnreadable", &TMessages::msgSaveMarkUnreadable},
  };
  for (const auto& [key, text] : kMessageKeys)
    messages.*text = read(kMessages, key, messages.*text);

  for (ComponentTexts& c : form.Components) {
    switch (c.Kind) {
      case ComponentKind::ListView:
        c.First = read(kMainForm, c.Name + ".Columns[0].Caption", c.First);
        c.Second = read(kMainForm, c.Name + ".Columns[1].Caption", c.Second);
        break;
      case ComponentKind::SpeedButton:
      case ComponentKind::PushButton:
        c.First = read(kMainForm, c.Name + ".Caption", c.First);
        c.Second = read(kMainForm, c.Name + ".Hint", c.Second);
        break;
      case ComponentKind::MenuItem:
        c.First = read(kMainForm, c.Name + ".Caption", c.First);
        break;
      default:
        break;
    }
  }

  editCaptions = {
      read(kEditForm, "TitleGB.Caption", "Title"),
      read(kEditForm, "ContentGB.Caption", "Content"),
      read(kEditForm, "AddCaption", "Add"),
      read(kEditForm, "EditCaption", "Edit"),
      read(kEditForm, "OKBtn.Caption", "&OK"),
      read(kEditForm, "CanelBtn.Caption", "&Canel"),
      read(kEditForm, "msgEmpty", "Title or Content is Empty!"),
  };
}

std::vector<TSection> ReadTemplates(ProfileFile& files,
                                    const std::string& path) {
  SectionCache profiles(files);
  std::vector<TSection> entries;
  for (int n = 0;; ++n) {
    std::string title =
        profiles.ReadString(path, kTemplate, std::to_string(n), "");
    if (title.empty()) break;
    entries.push_back(
        {std::move(title),
         profiles.ReadString(path, kTemplate, "Content", "UnKnow")});
  }
  return entries;
}

std::optional<std::string> FindHelpPage(FileSystem& files,
                                        std::string_view workDir,
                                        std::string_view programDir) {
  for (std::string path : {Joined(workDir, "\\Helps\\index.htm"),
                           Joined(programDir, "Helps\\index.htm")})
    if (files.FileExists(path)) return path;
  return std::nullopt;
}

}  // namespace tavro
