#include <windows.h>

#include "Keystrokes.h"

#include <vector>

#include "HotkeySetting.h"

namespace tavro::type {

namespace {
constexpr DWORD kModifiersWaitMs = 5000;
constexpr DWORD kForegroundWaitMs = 1000;
constexpr DWORD kFocusWaitMs = 200;
constexpr DWORD kPollMs = 10;
// A key with no meaning anywhere: pressed before Alt or Win is let go, so
// that a lone Alt does not open the target's menu bar, nor Win the Start
// menu.
constexpr WORD kMaskKey = 0xE8;

INPUT Key(WORD vk, DWORD flags = 0) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.dwFlags = flags;
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

// The hotkey's modifiers went down in the target and came up in the menu:
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

// Puts the focus back on the control that had it, where the target does
// not do so itself when it comes to the front.
void RestoreFocus(const Target& target) {
  auto focus = [&] {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(target.thread, &info) ? info.hwndFocus : nullptr;
  };
  if (WaitUntil([&] { return focus() == target.focus; }, kFocusWaitMs) ||
      !IsWindow(target.focus))
    return;
  const DWORD self = GetCurrentThreadId();
  if (AttachThreadInput(self, target.thread, TRUE)) {
    SetFocus(target.focus);
    AttachThreadInput(self, target.thread, FALSE);
  }
}
}  // namespace

bool WaitForModifiersUp() {
  return WaitUntil([] { return !AnyModifierDown(); }, kModifiersWaitMs);
}

bool TypeInto(const Target& target, const std::u16string& plan,
              unsigned hotkeyModifiers) {
  SetForegroundWindow(target.window);
  WaitUntil([&] { return GetForegroundWindow() == target.window; },
            kForegroundWaitMs);
  RestoreFocus(target);
  std::vector<INPUT> inputs;
  LetGo(inputs, hotkeyModifiers);
  for (char16_t unit : plan) {
    if (unit == u'\n')
      LineBreak(inputs, target.kind);
    else
      Type(inputs, unit);
  }
  const UINT sent =
      SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  return sent == inputs.size();
}

}  // namespace tavro::type
