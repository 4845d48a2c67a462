#include "BrowserRegistration.h"

#include "Errors.h"

namespace tavro {

namespace {
// Under HKEY_CURRENT_USER; each key's default value names a manifest.
struct BrowserKey {
  const char* path;
  bool firefox;
};
constexpr BrowserKey kBrowserKeys[] = {
    {"\\Software\\Google\\Chrome\\NativeMessagingHosts\\org.example.tavro\\",
     false},
    {"\\Software\\Microsoft\\Edge\\NativeMessagingHosts\\org.example.tavro\\",
     false},
    {"\\Software\\Mozilla\\NativeMessagingHosts\\org.example.tavro\\", true},
};

// Whole texts, not put together at run time: smaller in the exe.
constexpr char kManifestStart[] =
    "{\r\n  \"name\": \"org.example.tavro\",\r\n"
    "  \"description\": \"Tavro's saved entries\",\r\n"
    "  \"path\": \"TavroHost.exe\",\r\n  \"type\": \"stdio\",\r\n  ";
constexpr char kChromiumAllowed[] =
    "\"allowed_origins\": "
    "[\"chrome-extension://kiebalbnhhnpgcndjiiaajggckkhkeja/\"]\r\n}\r\n";
constexpr char kFirefoxAllowed[] =
    "\"allowed_extensions\": [\"tavro@example.org\"]\r\n}\r\n";
}  // namespace

std::string Manifest(bool firefox) {
  return std::string(kManifestStart) +
         (firefox ? kFirefoxAllowed : kChromiumAllowed);
}

BrowserRegistration::BrowserRegistration(Registry& registry, FileSystem& files,
                                         const std::string& programDir)
    : registry_(registry), files_(files), programDir_(programDir) {}

std::string BrowserRegistration::ManifestPath(bool firefox) const {
  return programDir_ +
         (firefox ? "TavroHost.firefox.json" : "TavroHost.chromium.json");
}

void BrowserRegistration::Register() {
  if (!files_.FileExists(programDir_ + "TavroHost.exe"))
    throw TavroError(FormatError(kHostMissing, programDir_));
  try {
    for (bool firefox : {false, true})
      files_.WriteFile(ManifestPath(firefox), Manifest(firefox));
    for (const BrowserKey& browser : kBrowserKeys)
      registry_.Open(browser.path, Registry::Mode::Create)
          .OrThrow(FormatError(kFailedToSetData, browser.path))
          ->WriteString("", ManifestPath(browser.firefox));
  } catch (...) {
    // Half a bridge would only fail in the browser; none is told now.
    Unregister();
    throw;
  }
}

void BrowserRegistration::Unregister() {
  for (const BrowserKey& browser : kBrowserKeys)
    registry_.DeleteTree(browser.path);
  for (bool firefox : {false, true})
    if (files_.FileExists(ManifestPath(firefox)))
      files_.RemoveFile(ManifestPath(firefox));
}

bool BrowserRegistration::Registered() {
  for (const BrowserKey& browser : kBrowserKeys) {
    bool found = false;
    try {
      const OpenedKey key = registry_.Open(browser.path, Registry::Mode::Read);
      found = key && key->ReadString("") == ManifestPath(browser.firefox);
    } catch (const TavroError&) {
      // Not text, or no value at all: not a bridge that works.
    }
    if (!found || !files_.FileExists(ManifestPath(browser.firefox)))
      return false;
  }
  return true;
}

}  // namespace tavro
