#include "BrowserRegistration.h"

#include "Errors.h"

namespace tavro::host {

namespace {
struct BrowserKey {
  const char* path;  // under HKEY_CURRENT_USER
  bool firefox;
};
constexpr BrowserKey kBrowserKeys[] = {
    {"\\Software\\Google\\Chrome\\NativeMessagingHosts\\", false},
    {"\\Software\\Microsoft\\Edge\\NativeMessagingHosts\\", false},
    {"\\Software\\Mozilla\\NativeMessagingHosts\\", true},
};

std::string Manifest(const std::string& allowed) {
  return std::string("{\r\n  \"name\": \"") + kHostName +
         "\",\r\n  \"description\": \"Tavro's saved entries\",\r\n"
         "  \"path\": \"TavroHost.exe\",\r\n  \"type\": \"stdio\",\r\n  " +
         allowed + "\r\n}\r\n";
}

std::string KeyOf(const BrowserKey& browser) {
  return browser.path + std::string(kHostName) + "\\";
}
}  // namespace

std::string ChromiumManifest() {
  return Manifest(std::string("\"allowed_origins\": [\"chrome-extension://") +
                  kChromiumExtensionId + "/\"]");
}

std::string FirefoxManifest() {
  return Manifest(std::string("\"allowed_extensions\": [\"") +
                  kFirefoxExtensionId + "\"]");
}

BrowserRegistration::BrowserRegistration(Registry& registry, FileSystem& files,
                                         std::string programDir)
    : registry_(registry), files_(files), programDir_(std::move(programDir)) {}

std::string BrowserRegistration::ManifestPath(bool firefox) const {
  return programDir_ +
         (firefox ? "TavroHost.firefox.json" : "TavroHost.chromium.json");
}

void BrowserRegistration::Register() {
  files_.WriteFile(ManifestPath(false), ChromiumManifest());
  files_.WriteFile(ManifestPath(true), FirefoxManifest());
  for (const BrowserKey& browser : kBrowserKeys) {
    if (!registry_.OpenKey(KeyOf(browser), true))
      throw TavroError(FormatError(kFailedToSetData, KeyOf(browser)));
    registry_.WriteString("", ManifestPath(browser.firefox));
    registry_.CloseKey();
  }
}

void BrowserRegistration::Unregister() {
  for (const BrowserKey& browser : kBrowserKeys)
    registry_.DeleteKey(KeyOf(browser));
  for (bool firefox : {false, true})
    if (files_.FileExists(ManifestPath(firefox)))
      files_.DeleteFile(ManifestPath(firefox));
}

bool BrowserRegistration::Registered() {
  bool found = true;
  for (const BrowserKey& browser : kBrowserKeys) {
    found = found && registry_.OpenKey(KeyOf(browser), false) &&
            registry_.ReadString("") == ManifestPath(browser.firefox);
    registry_.CloseKey();
  }
  return found && files_.FileExists(ManifestPath(false)) &&
         files_.FileExists(ManifestPath(true));
}

}  // namespace tavro::host
