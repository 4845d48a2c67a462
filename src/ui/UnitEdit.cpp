#include "UnitEdit.h"

namespace tavro::ui {

// The dialog itself comes with the editor; until then nothing is confirmed,
// so Add and Edit leave the list as it is.
void TEditForm::Run(const std::string&, bool, TEditBuffer&, TEditBuffer&) {}

}  // namespace tavro::ui
