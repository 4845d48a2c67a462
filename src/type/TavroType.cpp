// TavroType: types Tavro's saved entries into the focused field of any
// program. A hotkey opens a menu of the entries at the caret; the picked
// Content is typed as keystrokes. It reads the menu key Tavro saves to and
// follows every Save; it writes nothing, shows no window otherwise, and
// runs once per user.
#include <windows.h>
#include <objbase.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "CodePage.h"
#include "Errors.h"
#include "Folders.h"
#include "HotkeySetting.h"
#include "Keystrokes.h"
#include "MenuKeyWatch.h"
#include "Picker.h"
#include "Registration.h"
#include "SystemCodePage.h"
#include "Target.h"
#include "TypeProcess.h"
#include "TypingPlan.h"
#include "WinProfileFile.h"
#include "WinRegistry.h"

namespace tavro::type {

namespace {
constexpr char kCaption[] = "TavroType";
constexpr char kTaken[] =
    "The hotkey %s is taken by another program, so TavroType offers no "
    "hotkey. Choose another in ";
constexpr char kBad[] =
    "The hotkey \"%s\" is not one TavroType knows, so it offers no hotkey. "
    "Write for example Key=Ctrl+Alt+Space in ";
constexpr char kApplyChange[] =
    ", then turn Tools > Type entries anywhere off and on in Tavro.";
constexpr char kElevated[] =
    "This window belongs to a program that runs as administrator: Windows "
    "lets no normal program type into it. Type the entry yourself there, or "
    "start that program without administrator rights.";
constexpr int kHotkeyId = 1;
// The writes of one Save come as a burst; the list is read once the key
// has been quiet this long.
constexpr DWORD kQuietMs = 150;

// The menu key, which tests point elsewhere.
std::string MenuKey() {
  char key[512];
  const DWORD n =
      GetEnvironmentVariableA("TAVRO_TYPE_MENU_KEY", key, sizeof key);
  return n > 0 && n < sizeof key ? key : kMenuExtKey;
}

std::u16string Widen(std::string_view ansi) {
  const std::wstring text = win::Widen(ansi);
  return {text.begin(), text.end()};
}

void Say(const std::string& text) {
  MessageBoxA(nullptr, text.c_str(), kCaption,
              MB_OK | MB_ICONINFORMATION | MB_TOPMOST | MB_SETFOREGROUND);
}

class TypeWindow {
 public:
  explicit TypeWindow(HINSTANCE instance)
      : quitMessage_(RegisterWindowMessageA(win::kTypeQuitMessage)),
        menuKey_(MenuKey()),
        watch_(menuKey_) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &TypeWindow::Proc;
    wc.hInstance = instance;
    wc.lpszClassName = win::kTypeWindowClass;
    RegisterClassA(&wc);
    // A pop-up of one pixel, hidden but while the menu is up: a tool window,
    // so that it never shows in the taskbar or in Alt+Tab.
    window_ = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
                              win::kTypeWindowClass, kCaption, WS_POPUP, 0, 0,
                              1, 1, nullptr, nullptr, instance, this);
    Reload();
  }

  void UseHotkey(const std::string& iniPath) {
    win::WinProfileFile profiles;
    const HotkeySetting setting = ReadHotkeySetting(profiles, iniPath);
    if (!setting.hotkey) {
      Say(FormatError(kBad, *setting.bad) + iniPath + kApplyChange);
      return;
    }
    modifiers_ = setting.hotkey->modifiers;
    if (!RegisterHotKey(window_, kHotkeyId, modifiers_ | MOD_NOREPEAT,
                        setting.hotkey->key))
      Say(FormatError(kTaken, HotkeyText(*setting.hotkey)) + iniPath +
          kApplyChange);
  }

  // Dispatches messages and follows the menu key until told to quit.
  int Run() {
    bool due = false;
    for (;;) {
      const HANDLE changed = watch_.Changed();
      // Any message waiting counts, not only those come since the last
      // look: a hotkey that came with a change of the key is not left.
      const DWORD woke =
          MsgWaitForMultipleObjectsEx(1, &changed, due ? kQuietMs : INFINITE,
                                      QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      if (woke == WAIT_OBJECT_0) {
        watch_.Rearm();
        due = true;
      } else if (woke == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
          if (message.message == WM_QUIT)
            return static_cast<int>(message.wParam);
          TranslateMessage(&message);
          DispatchMessageA(&message);
        }
      } else if (woke == WAIT_TIMEOUT) {
        Reload();
        due = false;
      }
    }
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam,
                               LPARAM lParam) {
    if (message == WM_NCCREATE)
      SetWindowLongPtrA(
          hwnd, GWLP_USERDATA,
          reinterpret_cast<LONG_PTR>(
              reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* self =
        reinterpret_cast<TypeWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    try {
      if (message == WM_HOTKEY && wParam == kHotkeyId) {
        self->OnHotkey();
        return 0;
      }
    } catch (...) {
      // A failed pick types nothing; the next hotkey tries again.
      MessageBeep(MB_ICONWARNING);
      return 0;
    }
    if (message == self->quitMessage_ || message == WM_DESTROY) {
      PostQuitMessage(0);
      return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }

  void Reload() {
    win::WinRegistry registry;
    entries_ = MenuRegistration(registry, menuKey_).Read(false).entries;
  }

  void OnHotkey() {
    // The hotkey again while the menu is up closes it (on Windows; Wine
    // hands those keys to the menu instead).
    if (picking_) {
      EndMenu();
      return;
    }
    const Target target = FindTarget(window_);
    if (!target.window) return;
    if (RunsAboveUs(target.process)) {
      Say(kElevated);
      return;
    }
    picking_ = true;
    const int pick = PickEntry(window_, target.anchor, entries_);
    picking_ = false;
    if (pick < 0 || pick >= static_cast<int>(entries_.size()) ||
        !WaitForModifiersUp()) {
      SetForegroundWindow(target.window);
      return;
    }
    const std::u16string plan =
        TypingPlan(entries_[static_cast<std::size_t>(pick)].Content,
                   target.kind != FieldKind::SingleLine, Widen);
    if (!TypeInto(target, plan, modifiers_)) Say(kElevated);
  }

  const UINT quitMessage_;
  const std::string menuKey_;
  win::MenuKeyWatch watch_;
  HWND window_ = nullptr;
  unsigned modifiers_ = 0;
  bool picking_ = false;
  std::vector<TSection> entries_;
};

// One TavroType per user: per session, and named for the user, so that
// two users of one session (runas) each have theirs.
std::string MutexName() {
  char user[257] = {};
  DWORD size = sizeof user;
  GetUserNameA(user, &size);
  return std::string("Local\\TavroType.") + user;
}
}  // namespace

}  // namespace tavro::type

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace tavro::type;
  const tavro::win::UniqueHandle once(
      CreateMutexA(nullptr, FALSE, MutexName().c_str()));
  if (!once || GetLastError() == ERROR_ALREADY_EXISTS) return 0;
  tavro::win::UseSystemCodePage();
  // MSAA asks other processes through COM.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  try {
    TypeWindow window(instance);
    window.UseHotkey(tavro::win::ExecutableFolder() + "TavroType.ini");
    return window.Run();
  } catch (...) {
    return 1;
  }
}

// Nothing reaches terminate; the library's verbose handler would only
// bring its name demangler into the exe.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
