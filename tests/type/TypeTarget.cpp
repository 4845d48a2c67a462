// The test's side of TavroType under Wine. "window FILE [OPTION...]": a
// form with a one-line and a multi-line edit and a default OK button, which
// writes what it holds to FILE ten times a second and every 500 characters
// typed (UTF-8): the window in front, each field's text with CR and LF
// shown as \r and \n, how often OK was pressed, the caret on the screen,
// where TavroType's popup is and what was typed into it. Options: "plain"
// (leaves the focus where the system puts it when activated, as many programs
// do), "slow" (takes 1 ms for each character, as a busy program), "title=T",
// "at=X,Y". "document" puts in place of the multi-line edit a field of its own
// that UI Automation calls a Document, as Windows 11 Notepad's editor. "front
// T": brings the window titled T to the front. "exists T": exits 0 when a
// window titled T is shown. "clear T": empties the fields of the form titled T.
// "rect T": prints that window's rectangle. "count": how many TavroType.exe
// run. "clip-set TEXT", "clip-get": the clipboard's text. "quit": asks the
// running TavroType to end, as Tavro does. "hold": holds Ctrl+Alt+Space. "box":
// prints the text of TavroType's message box and its width, and closes it.
#include <windows.h>
#include <ole2.h>
#include <tlhelp32.h>
#include <uiautomationcore.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ComObject.h"
#include "TypeProcess.h"

namespace {
HWND single, multi, lastFocus;
// Like many programs, leaves the focus where the system puts it.
bool keepsNoFocus = false;
bool slow = false;
bool document = false;
const char* statePath = nullptr;
int submitted = 0;
int typed = 0;
// How long the fields took over the characters typed: the form's own time.
LONGLONG busy = 0;
WNDPROC editProc = nullptr;

std::string Utf8(HWND edit) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1,
                    L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
  std::string out;
  for (wchar_t c : text) {
    if (c == L'\r' || c == L'\n') {
      out += c == L'\r' ? "\\r" : "\\n";
      continue;
    }
    char bytes[8];
    const int n = WideCharToMultiByte(CP_UTF8, 0, &c, 1, bytes, sizeof bytes,
                                      nullptr, nullptr);
    out.append(bytes, static_cast<std::size_t>(n > 0 ? n : 0));
  }
  // A pair beyond the BMP converts only whole; the tests use none.
  return out;
}

LONGLONG BusyMs() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return busy * 1000 / frequency.QuadPart;
}

void WriteState(const char* path) {
  POINT caret{};
  GetCaretPos(&caret);
  ClientToScreen(GetFocus(), &caret);
  RECT menu{};
  const HWND popup = FindWindowW(tavro::win::kPickerWindowClass, nullptr);
  const bool shown = popup && IsWindowVisible(popup);
  if (shown) GetWindowRect(popup, &menu);
  char front[64] = "none";
  if (const HWND f = GetForegroundWindow())
    GetClassNameA(f, front, sizeof front);
  const std::string state =
      "front=" + std::string(front) + "\nsingle=" + Utf8(single) +
      "\nmulti=" + Utf8(multi) + "\nsubmitted=" + std::to_string(submitted) +
      "\ncaret=" + std::to_string(caret.x) + "," + std::to_string(caret.y) +
      "\nbusy=" + std::to_string(BusyMs()) + "\nmenu=" +
      (shown ? std::to_string(menu.left) + "," + std::to_string(menu.top)
             : std::string("none")) +
      "\nsearch=" + (shown ? Utf8(popup) : std::string()) + "\n";
  const std::string temp = std::string(path) + ".new";
  if (FILE* f = std::fopen(temp.c_str(), "wb")) {
    std::fwrite(state.data(), 1, state.size(), f);
    std::fclose(f);
    MoveFileExA(temp.c_str(), path, MOVEFILE_REPLACE_EXISTING);
  }
}

// The document field's provider: UI Automation's ControlType Document,
// nothing else.
class DocumentProvider
    : public tavro::win::ComObject<IRawElementProviderSimple> {
 public:
  explicit DocumentProvider(HWND window) : window_(window) {}
  bool Has(REFIID id) const override {
    return id == IID_IRawElementProviderSimple;
  }
  HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* out) override {
    *out = static_cast<ProviderOptions>(ProviderOptions_ServerSideProvider |
                                        ProviderOptions_UseComThreading);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID,
                                               IUnknown** out) override {
    *out = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID id,
                                             VARIANT* out) override {
    VariantInit(out);
    if (id == 30003) {  // ControlType
      out->vt = VT_I4;
      out->lVal = 50030;  // Document
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE
  get_HostRawElementProvider(IRawElementProviderSimple** out) override {
    using FromHwnd = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);
    const auto fromHwnd = reinterpret_cast<FromHwnd>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("uiautomationcore.dll"),
                       "UiaHostProviderFromHwnd")));
    return fromHwnd ? fromHwnd(window_, out) : E_FAIL;
  }

 private:
  HWND window_;
};

// Takes characters as typed, Enter and Shift+Enter as a line break; keeps
// them as its window text.
LRESULT CALLBACK DocumentProc(HWND hwnd, UINT message, WPARAM wParam,
                              LPARAM lParam) {
  static DocumentProvider* provider = nullptr;
  using Return =
      LRESULT(WINAPI*)(HWND, WPARAM, LPARAM, IRawElementProviderSimple*);
  static const auto giveProvider =
      reinterpret_cast<Return>(reinterpret_cast<void*>(
          GetProcAddress(LoadLibraryA("uiautomationcore.dll"),
                         "UiaReturnRawElementProvider")));
  constexpr LONG kUiaRootObjectId = -25;
  switch (message) {
    case WM_GETOBJECT:
      if (static_cast<LONG>(lParam) == kUiaRootObjectId && giveProvider) {
        if (!provider) provider = new DocumentProvider(hwnd);
        return giveProvider(hwnd, wParam, lParam, provider);
      }
      break;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    case WM_CHAR: {
      std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)),
                        L'\0');
      GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()) + 1);
      text += wParam == L'\r' ? std::wstring(L"\r\n")
                              : std::wstring(1, static_cast<wchar_t>(wParam));
      SetWindowTextW(hwnd, text.c_str());
      return 0;
    }
    case WM_LBUTTONDOWN:
      SetFocus(hwnd);
      return 0;
    case WM_DESTROY:
      if (provider && giveProvider) giveProvider(hwnd, 0, 0, nullptr);
      if (provider) provider->Release();
      provider = nullptr;
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A timer is not run while input waits: a long typing is reported as it
// goes.
LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam,
                          LPARAM lParam) {
  if (message == WM_CHAR) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    if (slow) Sleep(1);
    const LRESULT result =
        CallWindowProcW(editProc, hwnd, message, wParam, lParam);
    QueryPerformanceCounter(&end);
    busy += end.QuadPart - start.QuadPart;
    if (++typed % 500 == 0) WriteState(statePath);
    return result;
  }
  return CallWindowProcW(editProc, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam,
                          LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
    ++submitted;
    return 0;
  }
  // As dialogs do: the focus comes back to the field that had it.
  if (message == WM_ACTIVATE && !keepsNoFocus) {
    if (LOWORD(wParam) == WA_INACTIVE)
      lastFocus = GetFocus();
    else if (lastFocus)
      SetFocus(lastFocus);
    return 0;
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

int Window(const std::wstring& title, POINT at) {
  // A Unicode program, as most are now: under Wine an ANSI message loop
  // gets a double-byte character typed as Unicode in two broken halves.
  WNDCLASSW wc{};
  wc.lpfnWndProc = FormProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"TypeTarget";
  RegisterClassW(&wc);
  const HWND form =
      CreateWindowExW(WS_EX_CONTROLPARENT, L"TypeTarget", title.c_str(),
                      WS_OVERLAPPEDWINDOW | WS_VISIBLE, at.x, at.y, 420, 260,
                      nullptr, nullptr, wc.hInstance, nullptr);
  auto make = [&](const wchar_t* cls, DWORD style, int y, int height, int id) {
    return CreateWindowExW(WS_EX_CLIENTEDGE, cls, L"",
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 10, y,
                           380, height, form,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           wc.hInstance, nullptr);
  };
  single = make(L"EDIT", ES_AUTOHSCROLL, 10, 24, 101);
  // No ES_WANTRETURN: Enter here would press OK, as in most dialogs.
  if (document) {
    WNDCLASSW field{};
    field.lpfnWndProc = DocumentProc;
    field.hInstance = wc.hInstance;
    field.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    field.lpszClassName = L"DocumentField";
    RegisterClassW(&field);
    multi = make(L"DocumentField", 0, 44, 100, 102);
  } else {
    multi =
        make(L"EDIT", ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 44, 100, 102);
  }
  for (HWND edit : {single, multi}) {
    if (edit == multi && document) continue;
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
    editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
  }
  CreateWindowExA(0, "BUTTON", "OK",
                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 10,
                  160, 80, 26, form, reinterpret_cast<HMENU>(IDOK),
                  wc.hInstance, nullptr);
  SetForegroundWindow(form);
  SetFocus(single);
  SetTimer(nullptr, 0, 100, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER && !message.hwnd) WriteState(statePath);
    if (IsDialogMessageW(form, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

int CountTavroType() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Process32First(snapshot, &entry); more;
       more = Process32Next(snapshot, &entry))
    count += lstrcmpiA(entry.szExeFile, "TavroType.exe") == 0;
  CloseHandle(snapshot);
  std::printf("%d\n", count);
  return 0;
}

// Wine's own clipboard thread holds the clipboard open for a moment now and
// then, as when a desktop comes or goes on the display.
bool OpenClipboardSoon() {
  for (int i = 0; i < 100; ++i) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(50);
  }
  return false;
}

int SetClipboard(const char* text) {
  if (!OpenClipboardSoon()) return 1;
  EmptyClipboard();
  const std::size_t size = std::strlen(text) + 1;
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(GlobalLock(memory), text, size);
  GlobalUnlock(memory);
  SetClipboardData(CF_TEXT, memory);
  CloseClipboard();
  return 0;
}

int PrintClipboard() {
  if (!OpenClipboardSoon()) return 1;
  const HANDLE data = GetClipboardData(CF_TEXT);
  std::printf("%s\n", data ? static_cast<const char*>(GlobalLock(data)) : "");
  if (data) GlobalUnlock(data);
  CloseClipboard();
  return 0;
}

int Quit() {
  const HWND window = FindWindowA(tavro::win::kTypeWindowClass, nullptr);
  if (!window) return 1;
  PostMessageA(window, RegisterWindowMessageA(tavro::win::kTypeQuitMessage), 0,
               0);
  return 0;
}
HWND Titled(const char* title) {
  const HWND window = FindWindowA(nullptr, title);
  return window && IsWindowVisible(window) ? window : nullptr;
}

int Front(const char* title) {
  const HWND window = Titled(title);
  return window && SetForegroundWindow(window) ? 0 : 1;
}

// Both fields of the form titled T emptied; the focus stays.
int Clear(const char* title) {
  const HWND form = Titled(title);
  if (!form) return 1;
  for (int id : {101, 102}) SetDlgItemTextW(form, id, L"");
  return 0;
}

int PrintRect(const char* title) {
  const HWND window = Titled(title);
  RECT r{};
  if (!window || !GetWindowRect(window, &r)) return 1;
  std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
  return 0;
}

// The old way, as a baseline: all the characters in one SendInput, into
// whatever window is in front.
int Burst(const char* count) {
  std::vector<INPUT> inputs;
  for (int i = 0; i < std::atoi(count); ++i)
    for (const DWORD up : {0ul, static_cast<DWORD>(KEYEVENTF_KEYUP)}) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = static_cast<WORD>("abcdefghi "[i % 10]);
      input.ki.dwFlags = KEYEVENTF_UNICODE | up;
      inputs.push_back(input);
    }
  const UINT sent =
      SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  return sent == inputs.size() ? 0 : 1;
}

int Hold() {
  if (!RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, VK_SPACE)) return 1;
  std::printf("held\n");
  std::fflush(stdout);
  for (;;) Sleep(1000);
}

int PrintBox() {
  for (int i = 0; i < 100; ++i) {
    if (const HWND box = FindWindowA("#32770", "TavroType")) {
      char text[1024] = {};
      GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
      RECT r{};
      GetWindowRect(box, &r);
      std::printf("%s\nwidth=%ld\n", text, r.right - r.left);
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      return 0;
    }
    Sleep(50);
  }
  return 1;
}
}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "window" && argc > 2) {
    statePath = argv[2];
    // The document field's provider answers through COM on this thread.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::wstring title = L"Type target";
    POINT at{200, 150};
    for (int i = 3; i < argc; ++i) {
      const std::string option = argv[i];
      keepsNoFocus |= option == "plain";
      slow |= option == "slow";
      document |= option == "document";
      if (option.rfind("title=", 0) == 0)
        title.assign(option.begin() + 6, option.end());
      if (option.rfind("at=", 0) == 0)
        std::sscanf(option.c_str() + 3, "%ld,%ld", &at.x, &at.y);
    }
    return Window(title, at);
  }
  if (mode == "front" && argc > 2) return Front(argv[2]);
  if (mode == "exists" && argc > 2) return Titled(argv[2]) ? 0 : 1;
  if (mode == "clear" && argc > 2) return Clear(argv[2]);
  if (mode == "burst" && argc > 2) return Burst(argv[2]);
  if (mode == "rect" && argc > 2) return PrintRect(argv[2]);
  if (mode == "count") return CountTavroType();
  if (mode == "clip-set" && argc > 2) return SetClipboard(argv[2]);
  if (mode == "clip-get") return PrintClipboard();
  if (mode == "quit") return Quit();
  if (mode == "hold") return Hold();
  if (mode == "box") return PrintBox();
  std::fprintf(stderr,
               "usage: TypeTarget window FILE [OPTION...] | front TITLE | "
               "exists TITLE | clear TITLE | rect TITLE | count | "
               "burst N | clip-set TEXT | clip-get | quit | "
               "hold | box\n");
  return 2;
}
