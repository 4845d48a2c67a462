// Turns the browser bridge on and off: the host manifests beside
// TavroHost.exe, and the per-user keys under which Chrome, Edge and Firefox
// look for native-messaging hosts. Only Tavro's own keys and files.
#pragma once

#include <string>

#include "FileSystem.h"
#include "Registry.h"

namespace tavro {

inline constexpr char kHostMissing[] =
    "TavroHost.exe is missing from %s: unpack the whole Tavro folder again";

// A host manifest. The host's path is relative to it, which both kinds of
// browser allow on Windows, so no ANSI path goes into the UTF-8 JSON.
std::string Manifest(bool firefox);

class BrowserRegistration {
 public:
  // programDir ends with a backslash, as the main window keeps it; it is
  // read at each use.
  BrowserRegistration(Registry& registry, FileSystem& files,
                      const std::string& programDir);

  // Throws a TavroError, with nothing of it left, when TavroHost.exe is
  // missing or a file or key cannot be written.
  void Register();
  // Whatever of it is there goes; the result is advisory.
  void Unregister();
  bool Registered();

 private:
  std::string ManifestPath(bool firefox) const;

  Registry& registry_;
  FileSystem& files_;
  const std::string& programDir_;
};

}  // namespace tavro
