// The start-up baseline: a static program that registers a class and shows
// one window with an empty list view, as small as a window program gets.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

namespace {
LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam,
                         LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(hwnd, message, wParam, lParam);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSA wc{};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "BareWindow";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, "BareWindow", "Bare", WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, 490, 390, nullptr,
                                nullptr, instance, nullptr);
  CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                  WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 474, 292, window,
                  nullptr, instance, nullptr);
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
