// The text of the error an action throws, for comparing backends.
#pragma once

#include <string>

#include "Errors.h"
#include "Registry.h"

namespace tavro::test {

template <typename Action>
std::string ErrorText(Action&& action) {
  try {
    action();
  } catch (const TavroError& e) {
    return e.what();
  }
  return "(no error)";
}

// The system's code a refused registry call keeps, or -1 when none is
// thrown.
template <typename Action>
long ErrorCode(Action&& action) {
  try {
    action();
  } catch (const RegistryError& e) {
    return e.code;
  }
  return -1;
}

}  // namespace tavro::test
