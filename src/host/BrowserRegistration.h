// Turns the browser bridge on and off: the host manifests beside
// TavroHost.exe, and the per-user keys under which Chrome, Edge and Firefox
// look for native-messaging hosts. Only Tavro's own keys and files.
#pragma once

#include <string>

#include "FileSystem.h"
#include "Registry.h"

namespace tavro::host {

inline constexpr char kHostName[] = "org.example.tavro";
// Fixed by the public key in extension/manifest.json.
inline constexpr char kChromiumExtensionId[] =
    "kiebalbnhhnpgcndjiiaajggckkhkeja";
inline constexpr char kFirefoxExtensionId[] = "tavro@example.org";

// The manifests; the host's path is relative to them, which both kinds of
// browser allow on Windows, so no ANSI path goes into the UTF-8 JSON.
std::string ChromiumManifest();
std::string FirefoxManifest();

class BrowserRegistration {
 public:
  // programDir ends with a backslash, as the main window keeps it.
  BrowserRegistration(Registry& registry, FileSystem& files,
                      std::string programDir);

  // Throws a TavroError when a file or key cannot be written.
  void Register();
  // Whatever of it is there goes; the result is advisory.
  void Unregister();
  bool Registered();

 private:
  std::string ManifestPath(bool firefox) const;

  Registry& registry_;
  FileSystem& files_;
  std::string programDir_;
};

}  // namespace tavro::host
