#include "TypeRegistration.h"

#include "Errors.h"

namespace tavro {

namespace {
// The Run value is a command line: a path with blanks must be quoted.
std::string Quoted(const std::string& path) { return '"' + path + '"'; }
}  // namespace

TypeRegistration::TypeRegistration(Registry& registry, FileSystem& files,
                                   const std::string& programDir)
    : registry_(registry), files_(files), programDir_(programDir) {}

void TypeRegistration::Register() {
  if (!files_.FileExists(ExePath()))
    throw TavroError(FormatError(kTypeMissing, programDir_));
  if (!registry_.OpenKey(kRunKey, true))
    throw TavroError(FormatError(kFailedToSetData, kRunValue));
  registry_.WriteString(kRunValue, Quoted(ExePath()));
  registry_.CloseKey();
}

void TypeRegistration::Unregister() {
  if (registry_.OpenKey(kRunKey, false)) registry_.DeleteValue(kRunValue);
  registry_.CloseKey();
}

bool TypeRegistration::Registered() {
  bool found = false;
  try {
    found = registry_.OpenKeyReadOnly(kRunKey) &&
            registry_.ValueExists(kRunValue) &&
            registry_.ReadString(kRunValue) == Quoted(ExePath());
  } catch (const TavroError&) {
    // Not text: not a command that starts anything.
  }
  registry_.CloseKey();
  return found;
}

}  // namespace tavro
