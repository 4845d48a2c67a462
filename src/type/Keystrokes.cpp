#include <windows.h>

#include "Keystrokes.h"

#include <atomic>
#include <vector>

#include "Handles.h"
#include "HotkeySetting.h"

namespace tavro::type {

namespace {
constexpr DWORD kModifiersWaitMs = 5000;
constexpr DWORD kForegroundWaitMs = 1000;
constexpr DWORD kFocusWaitMs = 200;
constexpr DWORD kPollMs = 10;
// Small enough that a window coming to the front mid-typing stops it
// within a moment, large enough that a fast program is not held back.
constexpr std::size_t kPieceUnits = 16;
// How long one question to the program may take, how long it may not
// answer at all, and how long an edit control may stay as it is while its
// program answers before it counts as full.
constexpr DWORD kAnswerMs = 200;
constexpr DWORD kHungMs = 5000;
constexpr DWORD kStallMs = 1500;
// How long the keys sent may take to arrive once a typing stops, and how
// long the field must stay as it is to count as settled: a busy machine
// may leave the program without a turn for several polls.
constexpr DWORD kSettleMs = 1500;
constexpr DWORD kQuietMs = 150;
// Where a field's progress cannot be read: the least pause between pieces.
constexpr DWORD kFloorMs = 8;
// A key with no meaning anywhere: pressed before Alt or Win is let go, so
// that a lone Alt does not open the target's menu bar, nor Win the Start
// menu.
constexpr WORD kMaskKey = 0xE8;
// Carried by every key of ours, so that the gate knows them from the
// user's.
constexpr ULONG_PTR kOurKey = 0x54415652;

INPUT Key(WORD vk, DWORD flags = 0) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.dwFlags = flags;
  input.ki.dwExtraInfo = kOurKey;
  return input;
}

INPUT Unit(char16_t unit, DWORD flags) {
  INPUT input = Key(0, KEYEVENTF_UNICODE | flags);
  input.ki.wScan = unit;
  return input;
}

void Press(std::vector<INPUT>& inputs, WORD vk) {
  inputs.push_back(Key(vk));
  inputs.push_back(Key(vk, KEYEVENTF_KEYUP));
}

void Type(std::vector<INPUT>& inputs, char16_t unit) {
  inputs.push_back(Unit(unit, 0));
  inputs.push_back(Unit(unit, KEYEVENTF_KEYUP));
}

// The hotkey's modifiers went down in the target and came up in the popup:
// the target still holds them down until it is told otherwise.
void LetGo(std::vector<INPUT>& inputs, unsigned modifiers) {
  struct Modifier {
    unsigned flag;
    WORD left, right;
  };
  constexpr Modifier kModifiers[] = {
      {kModControl, VK_LCONTROL, VK_RCONTROL},
      {kModAlt, VK_LMENU, VK_RMENU},
      {kModShift, VK_LSHIFT, VK_RSHIFT},
      {kModWin, VK_LWIN, VK_RWIN},
  };
  if (modifiers & (kModAlt | kModWin)) Press(inputs, kMaskKey);
  for (const Modifier& m : kModifiers) {
    if (!(modifiers & m.flag)) continue;
    inputs.push_back(Key(m.left, KEYEVENTF_KEYUP));
    inputs.push_back(Key(m.right, KEYEVENTF_KEYUP | KEYEVENTF_EXTENDEDKEY));
  }
}

// Into an edit control a line break goes as the character LF, which a
// multi-line edit takes as Ctrl+Enter: Enter itself would press a dialog's
// default button where the edit lacks ES_WANTRETURN. Elsewhere it goes as
// Shift+Enter, a new line in text areas and editors where Enter alone may
// send a message.
void LineBreak(std::vector<INPUT>& inputs, FieldKind kind) {
  if (kind == FieldKind::MultiLineEdit) {
    Type(inputs, u'\n');
    return;
  }
  inputs.push_back(Key(VK_SHIFT));
  Press(inputs, VK_RETURN);
  inputs.push_back(Key(VK_SHIFT, KEYEVENTF_KEYUP));
}

bool Send(std::vector<INPUT>& inputs) {
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(),
                   sizeof(INPUT)) == inputs.size();
}

bool AnyModifierDown() {
  for (int vk : {VK_CONTROL, VK_MENU, VK_SHIFT, VK_LWIN, VK_RWIN})
    if (GetAsyncKeyState(vk) & 0x8000) return true;
  return false;
}

// Waits, polling, until `done` holds or the time is up.
template <typename Done>
bool WaitUntil(Done done, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() >= end) return false;
    Sleep(kPollMs);
  }
  return true;
}

// Sleep(1) sleeps a millisecond while it lives, not the system's tick.
class FineSleep {
 public:
  FineSleep() : fine_(timeBeginPeriod(1) == TIMERR_NOERROR) {}
  ~FineSleep() {
    if (fine_) timeEndPeriod(1);
  }
  FineSleep(const FineSleep&) = delete;
  FineSleep& operator=(const FineSleep&) = delete;

 private:
  bool fine_;
};

// Our input joined to the target's for as long as it lives: only then may
// this thread set the target's focus. Never left joined.
class JoinedInput {
 public:
  explicit JoinedInput(DWORD thread)
      : thread_(thread),
        joined_(AttachThreadInput(GetCurrentThreadId(), thread, TRUE)) {}
  ~JoinedInput() {
    if (joined_) AttachThreadInput(GetCurrentThreadId(), thread_, FALSE);
  }
  JoinedInput(const JoinedInput&) = delete;
  JoinedInput& operator=(const JoinedInput&) = delete;
  explicit operator bool() const { return joined_; }

 private:
  DWORD thread_;
  bool joined_;
};

HWND FocusOrWindow(const Target& target) {
  const HWND focus = FocusOf(target.thread);
  return focus ? focus : target.window;
}

// Whether the target is still where the typing may go.
StopReason Where(const Target& target) {
  DWORD process = 0;
  if (!IsWindow(target.window) ||
      GetWindowThreadProcessId(target.window, &process) != target.thread ||
      process != target.process)
    return StopReason::WindowGone;
  if (GetForegroundWindow() != target.window) return StopReason::NotInFront;
  if (FocusOrWindow(target) != target.focus) return StopReason::FocusMoved;
  return StopReason::None;
}

// A window that comes in front between a check and the keys' arrival would
// get the rest of a piece: each key press of ours is looked at once more as
// the system hands it on, and held back unless the field is still where it
// was. Once one is held back, every later press is too; releases pass, so
// that no key stays down anywhere. The hook runs on a thread of its own,
// which does nothing else, so that it answers at once.
class KeyGate {
 public:
  explicit KeyGate(const Target& target) : target_(target) {
    ready_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    thread_.reset(CreateThread(nullptr, 0, Run, this, 0, &threadId_));
    if (thread_) WaitForSingleObject(ready_.get(), INFINITE);
  }
  ~KeyGate() {
    if (!thread_) return;
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_.get(), INFINITE);
  }
  KeyGate(const KeyGate&) = delete;
  KeyGate& operator=(const KeyGate&) = delete;

  // Why a key was held back, or none.
  StopReason Closed() const { return closed_; }

 private:
  static DWORD WINAPI Run(void* self) {
    current_ = static_cast<KeyGate*>(self);
    MSG message;
    // The queue that the quit is posted to.
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    const HHOOK hook =
        SetWindowsHookExW(WH_KEYBOARD_LL, Look, GetModuleHandleW(nullptr), 0);
    SetEvent(current_->ready_.get());
    if (!hook) return 0;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    }
    UnhookWindowsHookEx(hook);
    return 0;
  }

  static LRESULT CALLBACK Look(int code, WPARAM message, LPARAM data) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    if (code == HC_ACTION && key->dwExtraInfo == kOurKey &&
        (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)) {
      KeyGate& gate = *current_;
      if (gate.closed_ == StopReason::None) gate.closed_ = Where(gate.target_);
      if (gate.closed_ != StopReason::None) return 1;
    }
    return CallNextHookEx(nullptr, code, message, data);
  }

  // The hook is called with no context of its own; one typing at a time.
  static inline KeyGate* current_ = nullptr;
  const Target& target_;
  std::atomic<StopReason> closed_{StopReason::None};
  win::UniqueHandle ready_, thread_;
  DWORD threadId_ = 0;
};

// The window in front again with the field focused, where the target does
// not focus it itself when it comes to the front.
StopReason BringBack(const Target& target) {
  if (Where(target) == StopReason::WindowGone) return StopReason::WindowGone;
  SetForegroundWindow(target.window);
  if (!WaitUntil([&] { return GetForegroundWindow() == target.window; },
                 kForegroundWaitMs))
    return StopReason::NotInFront;
  if (!WaitUntil([&] { return FocusOrWindow(target) == target.focus; },
                 kFocusWaitMs) &&
      IsWindow(target.focus)) {
    if (const JoinedInput joined{target.thread}) SetFocus(target.focus);
  }
  return Where(target);
}

// What an edit control answers, without waiting on a program that hangs.
std::optional<DWORD_PTR> Ask(HWND window, UINT message) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(window, message, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs,
                           &answer))
    return std::nullopt;
  return answer;
}

// How far a typing got, where the field tells: an edit control's text
// grows by what it takes.
class Progress {
 public:
  explicit Progress(const Target& target) : target_(target) {
    if (!target.edit) return;
    const auto length = Ask(target.focus, WM_GETTEXTLENGTH);
    const auto selection = Ask(target.focus, EM_GETSEL);
    // Positions past 65535 do not fit the answer: the progress is unknown.
    if (!length || !selection || *selection == static_cast<DWORD>(-1)) return;
    const WORD start = LOWORD(*selection), end = HIWORD(*selection);
    // The first character replaces the selection.
    base_ = *length - (end > start ? end - start : 0);
    known_ = true;
  }

  // Waits until the program has taken the first `sent` units of the plan.
  StopReason WaitTaken(std::u16string_view sent, const StopCheck& stopCheck,
                       std::size_t& taken) {
    taken = sent.size();
    if (!known_) return WaitIdle(stopCheck);
    const std::size_t want = base_ + FieldGrowth(sent, target_.kind).least;
    ULONGLONG answered = GetTickCount64(), grew = answered;
    std::size_t last = 0;
    for (;;) {
      const ULONGLONG now = GetTickCount64();
      if (const auto length = Ask(target_.focus, WM_GETTEXTLENGTH)) {
        if (*length >= want) return StopReason::None;
        answered = now;
        if (*length != last) {
          last = *length;
          grew = now;
        } else if (now - grew > kStallMs) {
          taken = Arrived(sent);
          return StopReason::FieldFull;
        } else {
          Sleep(1);
        }
      } else if (now - answered > kHungMs) {
        return StopReason::NotResponding;
      }
      // Keys still waiting may be lost with the window or the focus.
      StopReason reason = stopCheck();
      if (reason == StopReason::None) reason = Where(target_);
      if (reason != StopReason::None) {
        taken = Arrived(sent);
        return reason;
      }
    }
  }

 private:
  // What the field shows of the units sent, once all have come or it has
  // stayed as it is for a while.
  std::size_t Arrived(std::u16string_view sent) {
    const std::size_t all = base_ + FieldGrowth(sent, target_.kind).least;
    std::size_t length = 0;
    ULONGLONG changed = 0;
    WaitUntil(
        [&] {
          const std::size_t before = length;
          length = Ask(target_.focus, WM_GETTEXTLENGTH).value_or(length);
          const ULONGLONG now = GetTickCount64();
          if (length != before || !changed) changed = now;
          return length >= all || now - changed >= kQuietMs;
        },
        kSettleMs);
    return length > base_ ? std::min(sent.size(), length - base_) : 0;
  }

  // Where the field does not tell: once the program has taken two messages
  // of ours, and a short pause.
  StopReason WaitIdle(const StopCheck& stopCheck) {
    const ULONGLONG start = GetTickCount64();
    for (int answers = 0; answers < 2;) {
      if (Ask(target_.window, WM_NULL))
        ++answers;
      else if (GetTickCount64() - start > kHungMs)
        return StopReason::NotResponding;
      if (const StopReason reason = stopCheck(); reason != StopReason::None)
        return reason;
    }
    Sleep(kFloorMs);
    return StopReason::None;
  }

  const Target& target_;
  // The text's length before the first character, when known.
  std::size_t base_ = 0;
  bool known_ = false;
};
}  // namespace

bool WaitForModifiersUp() {
  return WaitUntil([] { return !AnyModifierDown(); }, kModifiersWaitMs);
}

Typed TypeInto(const Target& target, std::u16string_view plan,
               unsigned hotkeyModifiers, const StopCheck& stopCheck) {
  const FineSleep fine;
  Typed typed;
  if ((typed.reason = BringBack(target)) != StopReason::None) return typed;
  const KeyGate gate(target);
  const StopCheck check = [&] {
    const StopReason closed = gate.Closed();
    return closed != StopReason::None ? closed : stopCheck();
  };
  std::vector<INPUT> inputs;
  LetGo(inputs, hotkeyModifiers);
  if (!inputs.empty() && !Send(inputs)) {
    typed.reason = StopReason::Refused;
    return typed;
  }
  Progress progress(target);
  for (std::u16string_view piece : TypingPieces(plan, kPieceUnits)) {
    // Asked last before the keys go: nothing may come between.
    if ((typed.reason = check()) != StopReason::None ||
        (typed.reason = Where(target)) != StopReason::None)
      return typed;
    inputs.clear();
    for (char16_t unit : piece) {
      if (unit == u'\n')
        LineBreak(inputs, target.kind);
      else
        Type(inputs, unit);
    }
    if (!Send(inputs)) {
      typed.reason = StopReason::Refused;
      return typed;
    }
    std::size_t taken = 0;
    typed.reason = progress.WaitTaken(
        plan.substr(0, typed.units + piece.size()), check, taken);
    typed.units = taken;
    if (typed.reason != StopReason::None) return typed;
  }
  return typed;
}

}  // namespace tavro::type
