// Turning the bridge on and off touches Tavro's own keys and files only.
#include <gtest/gtest.h>

#include "BrowserRegistration.h"
#include "Errors.h"
#include "Json.h"
#include "MemoryFileSystem.h"
#include "MemoryRegistry.h"

namespace tavro {
namespace {

constexpr char kProgram[] = "C:\\Tavro\\";
const char* const kKeys[] = {
    "\\Software\\Google\\Chrome\\NativeMessagingHosts\\org.example.tavro",
    "\\Software\\Microsoft\\Edge\\NativeMessagingHosts\\org.example.tavro",
    "\\Software\\Mozilla\\NativeMessagingHosts\\org.example.tavro",
};

TEST(BrowserRegistrationTest, OnWritesManifestsAndKeysAndOffRemovesOnlyThose) {
  MemoryRegistry registry;
  MemoryFileSystem files;
  files.AddFile("C:\\Tavro\\TavroHost.exe", "MZ");
  registry.SetRawValue(
      "\\Software\\Google\\Chrome\\NativeMessagingHosts\\com.other.host", "",
      MemoryRegistry::kSz, std::string("C:\\Other\\host.json") + '\0');
  const std::string program = kProgram;
  BrowserRegistration bridge(registry, files, program);
  EXPECT_FALSE(bridge.Registered());
  registry.SetRawValue(kKeys[0], "", MemoryRegistry::kDword, "\1\0\0\0");
  EXPECT_FALSE(bridge.Registered());  // a value that is not text
  bridge.Register();
  EXPECT_TRUE(bridge.Registered());
  // The check as the Tools menu opens only reads.
  for (const char* key : kKeys) registry.DenyWrites(key);
  EXPECT_TRUE(bridge.Registered());
  for (const char* key : kKeys) registry.DenyWrites(key, false);
  for (const char* key : kKeys) {
    const OpenedKey opened = registry.Open(key, Registry::Mode::Read);
    ASSERT_TRUE(opened) << key;
    EXPECT_EQ(opened->ReadString(""),
              std::string(kProgram) +
                  (std::string(key).find("Mozilla") != std::string::npos
                       ? "TavroHost.firefox.json"
                       : "TavroHost.chromium.json"));
  }
  const auto chromium = files.ReadFile("C:\\Tavro\\TavroHost.chromium.json");
  ASSERT_TRUE(chromium);
  EXPECT_EQ(*chromium, Manifest(false));
  EXPECT_EQ(host::ParseRequest(*chromium).value_or(host::Request{}).type,
            "stdio");  // one valid JSON object
  EXPECT_NE(chromium->find("\"allowed_origins\": [\"chrome-extension://"
                           "kiebalbnhhnpgcndjiiaajggckkhkeja/\"]"),
            std::string::npos);
  EXPECT_NE(
      Manifest(true).find("\"allowed_extensions\": [\"tavro@example.org\"]"),
      std::string::npos);

  bridge.Unregister();
  EXPECT_FALSE(bridge.Registered());
  for (const char* key : kKeys) EXPECT_FALSE(registry.KeyExists(key)) << key;
  EXPECT_FALSE(files.FileExists("C:\\Tavro\\TavroHost.chromium.json"));
  EXPECT_FALSE(files.FileExists("C:\\Tavro\\TavroHost.firefox.json"));
  EXPECT_TRUE(registry.KeyExists(
      "\\Software\\Google\\Chrome\\NativeMessagingHosts\\com.other.host"));
  bridge.Unregister();  // nothing left to remove is no failure

  files.RefuseWrite(2);  // the Firefox manifest
  EXPECT_THROW(bridge.Register(), TavroError);
  EXPECT_EQ(files.ListFiles(),
            std::vector<std::string>{"C:\\Tavro\\TavroHost.exe"});
  for (const char* key : kKeys) EXPECT_FALSE(registry.KeyExists(key)) << key;
}

}  // namespace
}  // namespace tavro
