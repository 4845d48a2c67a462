// The start-up baselines: a static program that registers a class and shows
// one window with an empty list view, as small as a window program gets.
// Built with TAVRO_BARE_PARTS it also has the parts Tavro's window cannot
// do without: a taskbar window that owns it, a menu bar, an icon, the
// list's two columns and a status bar.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <initializer_list>

namespace {
LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam,
                         LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

#ifdef TAVRO_BARE_PARTS
constexpr bool kParts = true;
#else
constexpr bool kParts = false;
#endif

HMENU MenuBar() {
  HMENU bar = CreateMenu();
  for (const char* title : {"&File", "&Edit", "&Tools", "&Help"}) {
    HMENU items = CreatePopupMenu();
    AppendMenuA(items, MF_STRING, 1, "&Item");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(items), title);
  }
  return bar;
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  INITCOMMONCONTROLSEX controls{
      sizeof controls,
      kParts ? ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES : ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "BareWindow";
  if (kParts) {
    wc.hIcon = static_cast<HICON>(LoadImageA(
        instance, MAKEINTRESOURCEA(1), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
        GetSystemMetrics(SM_CYICON), 0));
    wc.hIconSm = static_cast<HICON>(LoadImageA(
        instance, MAKEINTRESOURCEA(1), IMAGE_ICON,
        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  }
  RegisterClassExA(&wc);
  HWND taskbar =
      kParts
          ? CreateWindowExA(0, "BareWindow", "Bare",
                            WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                            0, 0, 0, 0, nullptr, nullptr, instance, nullptr)
          : nullptr;
  HWND window =
      CreateWindowExA(0, "BareWindow", "Bare", WS_OVERLAPPEDWINDOW,
                      CW_USEDEFAULT, CW_USEDEFAULT, 490, 390, taskbar,
                      kParts ? MenuBar() : nullptr, instance, nullptr);
  HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                              WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 474,
                              292, window, nullptr, instance, nullptr);
  if (kParts) {
    for (const char* caption : {"Content", "Title"}) {
      LVCOLUMNA column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH;
      column.pszText = const_cast<char*>(caption);
      column.cx = 150;
      SendMessageA(list, LVM_INSERTCOLUMNA, 0,
                   reinterpret_cast<LPARAM>(&column));
    }
    CreateWindowExA(0, STATUSCLASSNAMEA, "",
                    WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, window,
                    nullptr, instance, nullptr);
  }
  ShowWindow(window, showCommand);
  if (taskbar) ShowWindow(taskbar, SW_SHOWNOACTIVATE);
  UpdateWindow(window);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
