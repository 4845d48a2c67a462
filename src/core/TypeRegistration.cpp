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
  registry_.Open(kRunKey, Registry::Mode::Create)
      .OrThrow(FormatError(kFailedToSetData, kRunValue))
      ->WriteString(kRunValue, Quoted(ExePath()));
}

void TypeRegistration::Unregister() {
  if (const OpenedKey run = registry_.Open(kRunKey, Registry::Mode::Write))
    run->DeleteValue(kRunValue);
}

bool TypeRegistration::Registered() {
  bool found = false;
  try {
    const OpenedKey run = registry_.Open(kRunKey, Registry::Mode::Read);
    found = run && run->HasValue(kRunValue) &&
            run->ReadString(kRunValue) == Quoted(ExePath());
  } catch (const TavroError&) {
    // Not text: not a command that starts anything.
  }
  return found;
}

}  // namespace tavro
