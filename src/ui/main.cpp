// Tavro: keeps form entries and installs them in the browser's context menu.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "ModalDialog.h"
#include "SystemCodePage.h"
#include "UnitMain.h"
#include "WinRegistry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  // Whatever ends the program early is said, never a silent abort.
  try {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    tavro::win::UseSystemCodePage();
    tavro::ui::TMainForm::RegisterClasses(instance);
    tavro::win::WinRegistry registry;
    tavro::ui::TMainForm mainForm(instance, registry);
    mainForm.Create();
    mainForm.Show(showCommand);
    return mainForm.Run();
  } catch (...) {
    tavro::ui::ShowDefaultError(nullptr, tavro::ui::CaughtErrorText());
    return 1;
  }
}
