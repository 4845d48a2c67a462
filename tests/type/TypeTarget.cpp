// The test's side of TavroType under Wine. "window FILE": a form with a
// one-line and a multi-line edit and a default OK button, which writes what
// it holds to FILE ten times a second (UTF-8): the window in front, each
// field's text with CR and LF shown as \r and \n, how often OK was
// pressed, the caret on the screen, and where a popup menu is. "count": how
// many TavroType.exe run. "clip-set TEXT", "clip-get": the clipboard's text.
// "quit": asks the running TavroType to end, as Tavro does.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "TypeProcess.h"

namespace {
HWND single, multi, lastFocus;
int submitted = 0;

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

void WriteState(const char* path) {
  POINT caret{};
  GetCaretPos(&caret);
  ClientToScreen(GetFocus(), &caret);
  RECT menu{};
  const HWND popup = FindWindowA("#32768", nullptr);
  const bool shown = popup && IsWindowVisible(popup);
  if (shown) GetWindowRect(popup, &menu);
  char front[64] = "none";
  if (const HWND f = GetForegroundWindow())
    GetClassNameA(f, front, sizeof front);
  const std::string state =
      "front=" + std::string(front) + "\nsingle=" + Utf8(single) +
      "\nmulti=" + Utf8(multi) + "\nsubmitted=" + std::to_string(submitted) +
      "\ncaret=" + std::to_string(caret.x) + "," + std::to_string(caret.y) +
      "\nmenu=" +
      (shown ? std::to_string(menu.left) + "," + std::to_string(menu.top)
             : std::string("none")) +
      "\n";
  const std::string temp = std::string(path) + ".new";
  if (FILE* f = std::fopen(temp.c_str(), "wb")) {
    std::fwrite(state.data(), 1, state.size(), f);
    std::fclose(f);
    MoveFileExA(temp.c_str(), path, MOVEFILE_REPLACE_EXISTING);
  }
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam,
                          LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
    ++submitted;
    return 0;
  }
  // As dialogs do: the focus comes back to the field that had it.
  if (message == WM_ACTIVATE) {
    if (LOWORD(wParam) == WA_INACTIVE)
      lastFocus = GetFocus();
    else if (lastFocus)
      SetFocus(lastFocus);
    return 0;
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

int Window(const char* statePath) {
  // A Unicode program, as most are now: under Wine an ANSI message loop
  // gets a double-byte character typed as Unicode in two broken halves.
  WNDCLASSW wc{};
  wc.lpfnWndProc = FormProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"TypeTarget";
  RegisterClassW(&wc);
  const HWND form =
      CreateWindowExW(WS_EX_CONTROLPARENT, L"TypeTarget", L"Type target",
                      WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 150, 420, 260,
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
  multi =
      make(L"EDIT", ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 44, 100, 102);
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

int SetClipboard(const char* text) {
  if (!OpenClipboard(nullptr)) return 1;
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
  if (!OpenClipboard(nullptr)) return 1;
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
      std::printf("%s\n", text);
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
  if (mode == "window" && argc > 2) return Window(argv[2]);
  if (mode == "count") return CountTavroType();
  if (mode == "clip-set" && argc > 2) return SetClipboard(argv[2]);
  if (mode == "clip-get") return PrintClipboard();
  if (mode == "quit") return Quit();
  if (mode == "hold") return Hold();
  if (mode == "box") return PrintBox();
  std::fprintf(stderr,
               "usage: TypeTarget window FILE | count | clip-set TEXT "
               "| clip-get | quit | hold | box\n");
  return 2;
}
