// TavroType: types Tavro's saved entries into the focused field of any
// program. A hotkey opens a popup of the entries at the caret; the picked
// Content is typed as keystrokes, only into the field it was picked for. It
// reads the menu key Tavro saves to and follows every Save; it writes nothing,
// shows no window otherwise, and runs once per user.
#include <windows.h>
#include <objbase.h>

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
#include "WinFileSystem.h"
#include "WinProfileFile.h"
#include "WinRegistry.h"
#include "WindowProc.h"

namespace tavro::type {

namespace {
constexpr char kCaption[] = "TavroType";
constexpr char kTaken[] =
    "The hotkey %s is taken by another program, so TavroType offers no "
    "hotkey. Choose another in ";
constexpr char kBad[] =
    "The hotkey \"%s\" is not one TavroType can use, so it offers no "
    "hotkey. Use Ctrl or Win with a key, Alt with a letter, or F13 to F24 "
    "(not a key Windows or every program needs, such as Alt+F4 or Win+L): "
    "for example Key=Ctrl+Alt+Space in ";
constexpr char kApplyChange[] =
    ", then turn Tools > Type entries anywhere off and on in Tavro.";
constexpr char kElevated[] =
    "This window belongs to a program that runs as administrator: Windows "
    "lets no normal program type into it. Type the entry yourself there, or "
    "start that program without administrator rights.";
constexpr char kGone[] =
    "The entry \"%s\" was deleted or renamed in Tavro while the popup was "
    "open, so nothing was typed.";
constexpr int kHotkeyId = 1;
// Esc, taken while a typing runs so that it stops it.
constexpr int kEscapeId = 2;
// Quoted from TavroType.ini: a box is as wide as its longest word.
constexpr std::size_t kQuotedValue = 40;
constexpr std::size_t kQuotedPath = 80;

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
        menuKey_(win::MenuKeyPath("TAVRO_TYPE_MENU_KEY")),
        watch_(menuKey_),
        picker_(instance) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = win::ForwardingProc<TypeWindow, &TypeWindow::OnMessage>;
    wc.hInstance = instance;
    wc.lpszClassName = win::kTypeWindowClass;
    RegisterClassA(&wc);
    // Hidden for good: it takes the hotkey and the quit.
    window_ =
        CreateWindowExA(WS_EX_TOOLWINDOW, win::kTypeWindowClass, kCaption,
                        WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, this);
    // Without a window (no desktop) nothing could end it.
    if (!window_ || !picker_.Handle()) throw TavroError("no window");
    Reload();
  }

  void UseHotkey(const std::string& iniPath) {
    win::WinProfileFile profiles;
    const HotkeySetting setting = ReadHotkeySetting(profiles, iniPath);
    const std::string ini = Abbreviated(iniPath, kQuotedPath);
    if (!setting.hotkey) {
      Say(FormatError(kBad, Abbreviated(*setting.bad, kQuotedValue)) + ini +
          kApplyChange);
      return;
    }
    modifiers_ = setting.hotkey->modifiers;
    if (!RegisterHotKey(window_, kHotkeyId, modifiers_ | MOD_NOREPEAT,
                        setting.hotkey->key))
      Say(FormatError(kTaken, HotkeyText(*setting.hotkey)) + ini +
          kApplyChange);
  }

  // Dispatches messages and follows the menu key until told to quit.
  int Run() {
    bool due = false;
    for (;;) {
      const HANDLE changed = watch_.Changed();
      // Any message waiting counts, not only those come since the last
      // look: a hotkey that came with a change of the key is not left.
      const DWORD woke = MsgWaitForMultipleObjectsEx(
          1, &changed, due ? win::kMenuKeyQuietMs : INFINITE, QS_ALLINPUT,
          MWMO_INPUTAVAILABLE);
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
  enum class State { Idle, Picking, Typing };

  LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
      if (message == WM_HOTKEY) {
        OnHotkey(static_cast<int>(wParam));
        return 0;
      }
    } catch (...) {
      // A failed pick types nothing; the next hotkey tries again.
      state_ = State::Idle;
      MessageBeep(MB_ICONWARNING);
      return 0;
    }
    if (message == quitMessage_ || message == WM_DESTROY) {
      Quit();
      return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }

  // Now, or once the popup or the typing has let go.
  void Quit() {
    if (state_ == State::Idle) {
      PostQuitMessage(0);
      return;
    }
    quitting_ = true;
    stop_ = StopReason::TurnedOff;
    picker_.Close();
  }

  void Reload() {
    win::WinRegistry registry;
    entries_ = MenuRegistration(registry, menuKey_).Read(false).entries;
  }

  void OnHotkey(int id) {
    // Pressed again: closes the popup, or stops the typing.
    if (state_ == State::Picking) {
      picker_.Close();
      return;
    }
    if (state_ == State::Typing) {
      stop_ = id == kEscapeId ? StopReason::Escape : StopReason::Hotkey;
      return;
    }
    if (id != kHotkeyId) return;
    const Target target = FindTarget(window_);
    if (!target.window) return;
    if (RunsAboveUs(target.process)) {
      Say(kElevated);
      return;
    }
    state_ = State::Picking;
    // The language may have changed since the last popup.
    win::WinProfileFile profiles;
    win::WinFileSystem files;
    const std::optional<std::size_t> pick =
        picker_.Run(target.anchor, entries_,
                    ReadPickerTexts(profiles, files, win::ExecutableFolder()));
    state_ = State::Idle;
    if (quitting_) {
      PostQuitMessage(0);
      return;
    }
    if (!pick || !WaitForModifiersUp()) {
      SetForegroundWindow(target.window);
      return;
    }
    // The entry as it stands now: a Save may have come while the popup was
    // open.
    const PickedEntry picked = Picked(entries_, *pick);
    Reload();
    const std::optional<std::size_t> now = Find(entries_, picked);
    if (!now) {
      Say(FormatError(kGone, Abbreviated(picked.title, kQuotedValue)));
      return;
    }
    Type(target, entries_[*now].Title, entries_[*now].Content);
  }

  void Type(const Target& target, const std::string& title,
            const std::string& content) {
    const std::u16string plan =
        TypingPlan(content, target.kind != FieldKind::SingleLine, Widen);
    state_ = State::Typing;
    stop_ = StopReason::None;
    const bool escape = RegisterHotKey(window_, kEscapeId, 0, VK_ESCAPE);
    const Typed typed =
        TypeInto(target, plan, modifiers_, [this] { return Pending(); });
    if (escape) UnregisterHotKey(window_, kEscapeId);
    state_ = State::Idle;
    if (typed.reason == StopReason::Refused && typed.units == 0)
      Say(kElevated);
    else if (typed.reason != StopReason::None)
      Say(StopMessage({title, target.program,
                       CharacterCount(plan.substr(0, typed.units)),
                       CharacterCount(plan), typed.reason}));
    if (quitting_) PostQuitMessage(0);
  }

  // Between the pieces of a typing: what came for this program meanwhile.
  StopReason Pending() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return StopReason::TurnedOff;
      }
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    // Where Esc could not be taken as a hotkey.
    if (stop_ == StopReason::None && (GetAsyncKeyState(VK_ESCAPE) & 0x8000))
      stop_ = StopReason::Escape;
    return stop_;
  }

  const UINT quitMessage_;
  const std::string menuKey_;
  win::MenuKeyWatch watch_;
  TPicker picker_;
  HWND window_ = nullptr;
  unsigned modifiers_ = 0;
  State state_ = State::Idle;
  StopReason stop_ = StopReason::None;
  bool quitting_ = false;
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
