// The entry editor dialog as Add and Edit use it.
#pragma once

#include <string>

#include "Entries.h"

namespace tavro {

class EntryEditor {
 public:
  virtual ~EntryEditor() = default;
  // Runs the dialog modally under the given window caption. With fillFields
  // the fields start with the buffers' texts. The buffers are written only
  // when the user confirms with both fields non-empty.
  virtual void Run(const std::string& caption, bool fillFields,
                   TEditBuffer& editTitle, TEditBuffer& editContent) = 0;
};

}  // namespace tavro
