// Tavro: keeps form entries and installs them in the browser's context menu.
#include <windows.h>

// After windows.h, which it needs.
#include <commctrl.h>

#include "Folders.h"
#include "SystemCodePage.h"
#include "UnitMain.h"
#include "WinRegistry.h"
#include "WindowKit.h"

namespace {
// One Tavro per user: a second one saving over the first's work would lose
// entries. The running one comes to the front instead, with its dialog if
// it shows one.
bool AnotherCopyRuns() {
  CreateMutexA(nullptr, FALSE, "Local\\Tavro.OneCopy");  // held until exit
  if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
  if (HWND running = FindWindowA(tavro::ui::kMainFormClass, nullptr)) {
    // Minimised, it is the taskbar's window that is.
    if (HWND application = GetWindow(running, GW_OWNER);
        application && IsIconic(application))
      ShowWindow(application, SW_RESTORE);
    SetForegroundWindow(GetLastActivePopup(running));
  }
  return true;
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  // Whatever ends the program early is said, never a silent abort.
  try {
    if (AnotherCopyRuns()) return 0;
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    tavro::win::UseSystemCodePage();
    tavro::ui::TMainForm::RegisterClasses(instance);
    // Everything the window works with is made whole before it.
    tavro::win::WinRegistry registry;
    tavro::win::Shell shell;
    tavro::ui::TMainParts parts(registry, shell,
                                tavro::win::ExecutableFolder());
    tavro::ui::TMainForm mainForm(instance, parts);
    mainForm.Create();
    mainForm.Show(showCommand);
    return mainForm.Run();
  } catch (...) {
    tavro::ui::ShowDefaultError(nullptr, tavro::ui::CaughtErrorText());
    return 1;
  }
}
