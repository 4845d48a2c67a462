// The text of the error an action throws, for comparing backends.
#pragma once

#include <string>

#include "Errors.h"

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

}  // namespace tavro::test
