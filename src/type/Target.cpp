#include <windows.h>
#include <oleacc.h>
#include <servprov.h>

#include "Target.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string_view>

#include "CodePage.h"
#include "Handles.h"

namespace tavro::type {

namespace {
// IAccessible2's methods up to get_states, as Chromium and Firefox expose
// them; its header is not part of the SDK.
struct IAccessible2States : IAccessible {
  virtual HRESULT STDMETHODCALLTYPE get_nRelations(long*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_relation(long, IUnknown**) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_relations(long, IUnknown**, long*) = 0;
  virtual HRESULT STDMETHODCALLTYPE role(long*) = 0;
  virtual HRESULT STDMETHODCALLTYPE scrollTo(int) = 0;
  virtual HRESULT STDMETHODCALLTYPE scrollToPoint(int, long, long) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_groupPosition(long*, long*, long*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_states(long*) = 0;
};
constexpr GUID kIidAccessible = {
    0x618736e0,
    0x3c3d,
    0x11cf,
    {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr GUID kIidAccessible2 = {
    0xe89f726e,
    0xc4f4,
    0x4c19,
    {0xbb, 0x19, 0xb6, 0x47, 0xd7, 0xfa, 0x84, 0x78}};
constexpr GUID kIidServiceProvider = {
    0x6d5140c1,
    0x7436,
    0x11ce,
    {0x80, 0x34, 0x00, 0xaa, 0x00, 0x60, 0x09, 0xfa}};
constexpr long kIa2StateMultiLine = 0x200;
constexpr long kIa2StateSingleLine = 0x2000;
// A focus chain deeper than this is a loop.
constexpr int kMostFocusSteps = 32;
constexpr int kForegroundTries = 30;
// How long the field's program may take to say what the field is.
constexpr DWORD kAskMs = 500;

template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() { Reset(); }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  void** Out() {
    Reset();
    return reinterpret_cast<void**>(&p_);
  }
  void Reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }
  void Swap(ComRef& other) { std::swap(p_, other.p_); }

 private:
  T* p_ = nullptr;
};

using FromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);

// oleacc is loaded only when a field is not a Win32 edit control.
FromWindow AccessibleFromWindow() {
  static const HMODULE oleacc = LoadLibraryA("oleacc.dll");
  return oleacc ? reinterpret_cast<FromWindow>(reinterpret_cast<void*>(
                      GetProcAddress(oleacc, "AccessibleObjectFromWindow")))
                : nullptr;
}

// The focused object inside the window, as MSAA follows the focus down.
bool FocusedAccessible(HWND focus, ComRef<IAccessible>& object) {
  const FromWindow fromWindow = AccessibleFromWindow();
  if (!fromWindow || FAILED(fromWindow(focus, static_cast<DWORD>(OBJID_CLIENT),
                                       kIidAccessible, object.Out())))
    return false;
  for (int step = 0; step < kMostFocusSteps; ++step) {
    VARIANT child;
    VariantInit(&child);
    if (FAILED(object->get_accFocus(&child)) || child.vt != VT_DISPATCH ||
        !child.pdispVal) {
      VariantClear(&child);
      return true;
    }
    ComRef<IAccessible> next;
    const HRESULT got =
        child.pdispVal->QueryInterface(kIidAccessible, next.Out());
    VariantClear(&child);
    if (FAILED(got)) return true;
    object.Swap(next);
  }
  return true;
}

// Chromium and Firefox say SINGLE_LINE or MULTI_LINE through IAccessible2;
// none when the field does not say.
std::optional<bool> AccessibleMultiLine(HWND focus) {
  ComRef<IAccessible> object;
  if (!FocusedAccessible(focus, object)) return std::nullopt;
  ComRef<IServiceProvider> services;
  ComRef<IAccessible2States> ia2;
  long states = 0;
  if (FAILED(object->QueryInterface(kIidServiceProvider, services.Out())) ||
      FAILED(
          services->QueryService(kIidAccessible, kIidAccessible2, ia2.Out())) ||
      FAILED(ia2->get_states(&states)))
    return std::nullopt;
  if (states & kIa2StateMultiLine) return true;
  if (states & kIa2StateSingleLine) return false;
  return std::nullopt;
}

// Loaded only for a field that is no edit control.
HMODULE AutomationLibrary() {
  static const HMODULE core = LoadLibraryA("uiautomationcore.dll");
  return core;
}

// UI Automation's control type of the window is Document.
bool AutomationDocument(HWND focus) {
  DECLARE_HANDLE(HUIANODE);
  using NodeFromHandle = HRESULT(WINAPI*)(HWND, HUIANODE*);
  using PropertyValue = HRESULT(WINAPI*)(HUIANODE, int, VARIANT*);
  using NodeRelease = BOOL(WINAPI*)(HUIANODE);
  constexpr int kControlTypeProperty = 30003;
  constexpr long kDocumentControlType = 50030;
  const HMODULE core = AutomationLibrary();
  if (!core) return false;
  const auto fromHandle = reinterpret_cast<NodeFromHandle>(
      reinterpret_cast<void*>(GetProcAddress(core, "UiaNodeFromHandle")));
  const auto property = reinterpret_cast<PropertyValue>(
      reinterpret_cast<void*>(GetProcAddress(core, "UiaGetPropertyValue")));
  const auto release = reinterpret_cast<NodeRelease>(
      reinterpret_cast<void*>(GetProcAddress(core, "UiaNodeRelease")));
  HUIANODE node = nullptr;
  if (!fromHandle || !property || !release ||
      FAILED(fromHandle(focus, &node)) || !node)
    return false;
  VARIANT type;
  VariantInit(&type);
  // Wine answers a property it does not know with VT_UNKNOWN.
  const bool document =
      SUCCEEDED(property(node, kControlTypeProperty, &type)) &&
      type.vt == VT_I4 && type.lVal == kDocumentControlType;
  VariantClear(&type);
  release(node);
  return document;
}

// What IAccessible2 and UI Automation say of the field, asked on a thread
// of their own: both wait on the field's program without a limit, and a
// program that hangs would hold TavroType with it.
void AccessibleFacts(HWND focus, FieldFacts& facts) {
  struct Job {
    HWND focus;
    FieldFacts facts;
  };
  // Loaded here, before the thread: the programs' statics have no guard
  // against two threads.
  AccessibleFromWindow();
  AutomationLibrary();
  auto job = std::make_shared<Job>(Job{focus, {}});
  auto* shared = new std::shared_ptr<Job>(job);
  const win::UniqueHandle thread(CreateThread(
      nullptr, 0,
      [](void* parameter) -> DWORD {
        const std::unique_ptr<std::shared_ptr<Job>> owned(
            static_cast<std::shared_ptr<Job>*>(parameter));
        Job& job = **owned;
        const bool com =
            SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        job.facts.accessibleMultiLine = AccessibleMultiLine(job.focus);
        if (!job.facts.accessibleMultiLine)
          job.facts.automationDocument = AutomationDocument(job.focus);
        if (com) CoUninitialize();
        return 0;
      },
      shared, 0, nullptr));
  if (!thread) {
    delete shared;
    return;
  }
  if (WaitForSingleObject(thread.get(), kAskMs) == WAIT_OBJECT_0) {
    facts.accessibleMultiLine = job->facts.accessibleMultiLine;
    facts.automationDocument = job->facts.automationDocument;
  }
}

bool IsEditClass(HWND focus) {
  char name[64] = {};
  // The system class below a Delphi TMemo, a WinForms TextBox and the like;
  // the rich edit classes too.
  RealGetWindowClassA(focus, name, sizeof name);
  CharLowerA(name);
  return std::string_view(name).find("edit") != std::string_view::npos;
}

FieldFacts FactsOf(HWND focus) {
  FieldFacts facts;
  facts.edit = IsEditClass(focus);
  if (facts.edit) {
    facts.editMultiLine = GetWindowLongA(focus, GWL_STYLE) & ES_MULTILINE;
    return facts;
  }
  AccessibleFacts(focus, facts);
  return facts;
}

std::string ProgramName(HWND window, DWORD process) {
  char title[256] = {};
  GetWindowTextA(window, title, sizeof title);
  std::string name = title;
  const win::UniqueHandle handle(
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
  char path[MAX_PATH] = {};
  DWORD size = sizeof path;
  if (handle && QueryFullProcessImageNameA(handle.get(), 0, path, &size)) {
    const std::string_view file =
        std::string_view(path, size)
            .substr(FileNameStart(std::string_view(path, size)));
    name = name.empty() ? std::string(file)
                        : name + " (" + std::string(file) + ")";
  }
  return name.empty() ? "that program" : name;
}

// The caret as browsers report it, where they draw their own.
bool AccessibleCaret(HWND focus, RECT& caret) {
  const FromWindow fromWindow = AccessibleFromWindow();
  ComRef<IAccessible> object;
  if (!fromWindow || FAILED(fromWindow(focus, static_cast<DWORD>(OBJID_CARET),
                                       kIidAccessible, object.Out())))
    return false;
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  long left = 0, top = 0, width = 0, height = 0;
  if (FAILED(object->accLocation(&left, &top, &width, &height, self)) ||
      height <= 0)
    return false;
  caret = {left, top, left + width, top + height};
  return true;
}

RECT Anchor(const GUITHREADINFO& info, HWND focus) {
  RECT anchor{};
  if (info.hwndCaret && info.rcCaret.bottom > info.rcCaret.top) {
    anchor = info.rcCaret;
    MapWindowPoints(info.hwndCaret, nullptr, reinterpret_cast<POINT*>(&anchor),
                    2);
  } else if (!AccessibleCaret(focus, anchor)) {
    POINT corner{0, 0};
    ClientToScreen(focus, &corner);
    anchor = {corner.x, corner.y, corner.x, corner.y};
  }
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromRect(&anchor, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  auto clamp = [](LONG v, LONG low, LONG high) {
    return std::max(low, std::min(v, high - 1));
  };
  anchor.left = clamp(anchor.left, work.left, work.right);
  anchor.right = clamp(anchor.right, anchor.left + 1, work.right + 1);
  anchor.top = clamp(anchor.top, work.top, work.bottom);
  anchor.bottom = clamp(anchor.bottom, anchor.top + 1, work.bottom + 1);
  return anchor;
}

DWORD IntegrityLevel(HANDLE process, bool& denied) {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &raw)) {
    denied = GetLastError() == ERROR_ACCESS_DENIED;
    return 0;
  }
  const win::UniqueHandle token(raw);
  alignas(TOKEN_MANDATORY_LABEL) BYTE buffer[64];
  DWORD size = 0;
  if (!GetTokenInformation(token.get(), TokenIntegrityLevel, buffer,
                           sizeof buffer, &size))
    return 0;
  const PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer)->Label.Sid;
  return *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1u);
}
}  // namespace

Target FindTarget(HWND self) {
  Target target;
  // Between two windows, while one is activated, there is no foreground
  // for a moment.
  for (int i = 0; i < kForegroundTries && !GetForegroundWindow(); ++i)
    Sleep(10);
  target.window = GetForegroundWindow();
  if (!target.window || target.window == self) return {};
  target.thread = GetWindowThreadProcessId(target.window, &target.process);
  // The popup of a pick not yet ended, or a box of ours.
  if (target.process == GetCurrentProcessId()) return {};
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(target.thread, &info)) info = {};
  target.focus = info.hwndFocus ? info.hwndFocus : target.window;
  const FieldFacts facts = FactsOf(target.focus);
  target.kind = KindOfField(facts);
  target.edit = facts.edit;
  target.program = ProgramName(target.window, target.process);
  target.anchor = Anchor(info, target.focus);
  return target;
}

HWND FocusOf(DWORD thread) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

bool RunsAboveUs(DWORD process) {
  bool denied = false;
  const DWORD mine = IntegrityLevel(GetCurrentProcess(), denied);
  const win::UniqueHandle other(
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
  if (!other) return false;  // not ours to judge; typing will tell
  denied = false;
  const DWORD theirs = IntegrityLevel(other.get(), denied);
  // An elevated program's token is closed to a normal one.
  return denied || (mine != 0 && theirs > mine);
}

}  // namespace tavro::type
