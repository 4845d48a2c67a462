#include "Paths.h"

#include "CodePage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <set>

namespace tavro {

namespace {
constexpr std::size_t kMaxPath = kMaxPathLength;
constexpr std::size_t kMaxFileName = 255;
constexpr std::size_t kMinSafeName = 16;
constexpr std::string_view kScriptExtension = ".htm";

bool ForbiddenInFileName(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 ||
         std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
}

char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// CON, NUL.txt or "com1 .x" name a device, not a file, whatever follows.
bool IsDeviceName(std::string_view title) {
  std::string base(title.substr(0, title.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  std::transform(base.begin(), base.end(), base.begin(), UpperAscii);
  static constexpr std::array<std::string_view, 6> kDevices = {
      "CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  if (std::find(kDevices.begin(), kDevices.end(), base) != kDevices.end())
    return true;
  return base.size() == 4 &&
         (base.starts_with("COM") || base.starts_with("LPT")) &&
         base[3] >= '1' && base[3] <= '9';
}

// Hex digits of a hash of the text; stable across runs and platforms.
std::string TextHash(std::string_view text) {
  std::uint32_t hash = 2166136261u;  // FNV-1a
  for (char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex(8, '0');
  for (int i = 7; i >= 0; --i, hash >>= 4) hex[i] = kDigits[hash & 0xF];
  return hex;
}

// The title with each single-byte character that no file name may hold
// replaced; the second byte of a double-byte character is no such
// character, whatever it looks like.
std::string WithoutForbidden(std::string_view title, bool* changed) {
  std::string safe(title);
  for (std::size_t i = 0; i < safe.size(); i += CharSize(safe, i))
    if (CharSize(safe, i) == 1 && ForbiddenInFileName(safe[i])) {
      safe[i] = '_';
      *changed = true;
    }
  return safe;
}

std::string SafeFileTitle(std::string_view title, std::size_t maxLength) {
  bool changed = false;
  std::string safe = WithoutForbidden(title, &changed);
  if (title.size() <= maxLength && !changed && !IsDeviceName(title))
    return safe;
  if (IsDeviceName(title)) safe.insert(0, "_");
  const std::string suffix = "~" + TextHash(title);
  return std::string(WholePrefix(safe, maxLength - suffix.size())) + suffix;
}
}  // namespace

std::string BackupPath(std::string_view workDir) {
  return std::string(workDir) + "\\BackUp.ifm";
}

std::string ScriptFolder(std::string_view workDir) {
  return std::string(workDir) + "\\Script";
}

std::string ScriptPath(std::string_view workDir, std::string_view title,
                       int variant) {
  const std::string folder = ScriptFolder(workDir) + "\\";
  const std::string suffix =
      variant > 1 ? "~" + std::to_string(variant) : std::string();
  const std::size_t used =
      folder.size() + kScriptExtension.size() + suffix.size();
  const std::size_t room = kMaxPath > used ? kMaxPath - used : 0;
  const std::size_t maxLength = std::max(
      kMinSafeName,
      std::min(room, kMaxFileName - kScriptExtension.size() - suffix.size()));
  return folder + SafeFileTitle(title, maxLength) + suffix +
         std::string(kScriptExtension);
}

bool FitsPathLimit(std::string_view path) {
  // A temporary file's folder may hold at most MAX_PATH - 14 characters.
  constexpr std::size_t kMaxTemporaryFolder = 246;
  return path.size() <= kMaxPath && FileNameStart(path) <= kMaxTemporaryFolder;
}

std::vector<std::string> ScriptPaths(std::string_view workDir,
                                     const std::vector<std::string>& titles) {
  std::vector<std::string> paths;
  std::set<std::string> taken;  // as the file system compares names
  for (const std::string& title : titles) {
    std::string path;
    for (int variant = 1;; ++variant) {
      path = ScriptPath(workDir, title, variant);
      if (taken.insert(LowerAscii(path)).second) break;
    }
    paths.push_back(std::move(path));
  }
  return paths;
}

std::vector<std::string> StaleScripts(std::string_view workDir,
                                      const std::vector<std::string>& titles,
                                      const std::vector<std::string>& scripts,
                                      std::vector<std::string> names) {
  const std::size_t start = ScriptFolder(workDir).size() + 1;
  // Lower-cased, as the file system compares names.
  const auto nameOf = [start](std::string_view path) {
    return LowerAscii(path.substr(start));
  };
  std::set<std::string> current;
  for (const std::string& script : scripts) current.insert(nameOf(script));
  std::vector<std::string> stale;
  for (std::string& name : names) {
    const std::string lower = LowerAscii(name);
    if (current.count(lower)) continue;
    // The number of a variant, "~N.htm", read from the end: digits are never
    // the second byte of a character. Whole names are compared, since a
    // Title cut to fit is cut shorter for a variant.
    const std::size_t extension = kScriptExtension.size();
    std::size_t at = lower.size() > extension ? lower.size() - extension : 0;
    int variant = 0;
    for (int scale = 1; at > 0 && lower[at - 1] >= '0' &&
                        lower[at - 1] <= '9' && scale < 1000000;
         scale *= 10)
      variant += (lower[--at] - '0') * scale;
    bool ours = false;
    for (const std::string& title : titles)
      for (const int n : {1, variant})
        ours =
            ours || (n > 0 && lower == nameOf(ScriptPath(workDir, title, n)));
    if (ours) stale.push_back(std::move(name));
  }
  return stale;
}

}  // namespace tavro
