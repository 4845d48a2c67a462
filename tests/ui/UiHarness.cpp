#include "UiHarness.h"

#include <commctrl.h>

#include <chrono>

#include "SystemCodePage.h"
#include "UnitAbout.h"
#include "UnitEdit.h"
#include "UnitMain.h"
#include "UnitOptions.h"

namespace tavro::test {

namespace {
thread_local BoxAnswerer* answerer = nullptr;

// Keystrokes reach the queue some time after SendInput; a last key that no
// control uses tells when all of them have been taken, by whatever loop.
constexpr WORD kSentinelKey = VK_F24;
thread_local int sentinelsTaken = 0;

LRESULT CALLBACK KeyHook(int code, WPARAM key, LPARAM flags) {
  if (code == HC_ACTION && key == kSentinelKey && (flags & 0x80000000))
    ++sentinelsTaken;
  return CallNextHookEx(nullptr, code, key, flags);
}

constexpr char kScratchRoot[] = "Software\\TavroUiTests";

std::string TestName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::string(info->test_suite_name()) + "." + info->name();
}

bool IsMessageBox(HWND window) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  return std::string(name) == "#32770" && GetDlgItem(window, 0xFFFF);
}

// The system icons are shared, so the box shows the very handle LoadIcon
// gives.
std::string IconOf(HWND box) {
  for (HWND child = GetWindow(box, GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
    const auto icon =
        reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    if (icon == LoadIcon(nullptr, IDI_HAND)) return "error";
    if (icon == LoadIcon(nullptr, IDI_QUESTION)) return "question";
    if (icon == LoadIcon(nullptr, IDI_ASTERISK)) return "information";
    return "other";
  }
  return "";
}

}  // namespace

BoxAnswerer::BoxAnswerer()
    : hook_(SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId())) {
  answerer = this;
}

BoxAnswerer::~BoxAnswerer() {
  UnhookWindowsHookEx(hook_);
  answerer = nullptr;
}

LRESULT CALLBACK BoxAnswerer::Hook(int code, WPARAM wParam, LPARAM lParam) {
  const auto window = reinterpret_cast<HWND>(wParam);
  if (answerer && code == HCBT_ACTIVATE) answerer->Answer(window);
  if (answerer && code == HCBT_DESTROYWND) answerer->open_.erase(window);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void BoxAnswerer::Answer(HWND box) {
  // The main window too has an owner: the taskbar's window.
  char name[32] = {};
  GetClassNameA(box, name, sizeof name);
  const HWND owner = GetWindow(box, GW_OWNER);
  if (!owner || std::string(name) == ui::kMainFormClass ||
      !open_.insert(box).second)
    return;
  if (!IsMessageBox(box)) {
    char caption[256] = {};
    GetWindowTextA(box, caption, sizeof caption);
    dialogs.push_back({caption, IsWindowVisible(owner) != FALSE});
    if (keepDialogs) return;
    ++dialogsClosed;
    PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);  // its close box
    return;
  }
  BoxRecord record;
  char text[1024] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  record.text = text;
  char caption[256] = {};
  GetWindowTextA(box, caption, sizeof caption);
  record.caption = caption;
  if (GetDlgItem(box, IDOK)) record.buttons += "OK";
  if (GetDlgItem(box, IDYES)) record.buttons += "Yes";
  if (GetDlgItem(box, IDNO)) record.buttons += "No";
  if (GetDlgItem(box, IDCANCEL)) record.buttons += "Cancel";
  record.icon = IconOf(box);
  boxes.push_back(record);

  int id = IDOK;
  if (!answers_.empty()) {
    id = answers_.front();
    answers_.pop_front();
  } else if (GetDlgItem(box, IDCANCEL)) {
    id = IDCANCEL;
  } else if (GetDlgItem(box, IDNO)) {
    id = IDNO;
  }
  // Posted: the box is still being shown when it is activated.
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

ScratchKey::ScratchKey(const std::string& name)
    : relative_(std::string(kScratchRoot) + "\\" + name + "." +
                std::to_string(GetCurrentProcessId())) {
  RegDeleteTreeA(HKEY_CURRENT_USER, relative_.c_str());
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, relative_.c_str(), 0, nullptr, 0,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS)
    RegCloseKey(key);
}

ScratchKey::~ScratchKey() {
  RegDeleteTreeA(HKEY_CURRENT_USER, relative_.c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, kScratchRoot);  // fails while others run
}

void ScratchKey::SetValue(const std::string& subkey, const std::string& name,
                          DWORD type, const std::string& bytes) {
  HKEY key;
  ASSERT_EQ(
      RegCreateKeyExA(HKEY_CURRENT_USER, (relative_ + "\\" + subkey).c_str(), 0,
                      nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
      ERROR_SUCCESS);
  RegSetValueExA(key, name.c_str(), 0, type,
                 reinterpret_cast<const BYTE*>(bytes.data()),
                 static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
}

ScratchKey::Snapshot ScratchKey::Read() const {
  Snapshot snapshot;
  HKEY root;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, relative_.c_str(), 0, KEY_READ, &root) !=
      ERROR_SUCCESS)
    return snapshot;
  char name[256];
  for (DWORD i = 0, length = sizeof name;
       RegEnumKeyExA(root, i, name, &length, nullptr, nullptr, nullptr,
                     nullptr) == ERROR_SUCCESS;
       ++i, length = sizeof name) {
    auto& values = snapshot[name];
    HKEY key;
    if (RegOpenKeyExA(root, name, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
    char value[256];
    BYTE data[4096];
    DWORD type;
    for (DWORD j = 0, length = sizeof value, size = sizeof data;
         RegEnumValueA(key, j, value, &length, nullptr, &type, data, &size) ==
         ERROR_SUCCESS;
         ++j, length = sizeof value, size = sizeof data)
      values[value] = {type, std::string(reinterpret_cast<char*>(data), size)};
    RegCloseKey(key);
  }
  RegCloseKey(root);
  return snapshot;
}

std::vector<std::string> ScratchKey::Subkeys() const {
  std::vector<std::string> names;
  for (const auto& [name, values] : Read()) names.push_back(name);
  return names;
}

std::string ScratchKey::Marker(const std::string& subkey) const {
  const Snapshot snapshot = Read();
  const auto key = snapshot.find(subkey);
  if (key == snapshot.end()) return "(none)";
  const auto value = key->second.find("Tavro");
  if (value == key->second.end()) return "(none)";
  const std::string& bytes = value->second.second;
  return bytes.substr(0, bytes.find('\0'));
}

namespace {
void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string child = path + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path.c_str());
}
}  // namespace

ScratchWorkFolder::ScratchWorkFolder() {
  char buffer[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, buffer);
  previous_ = buffer;
  GetTempPathA(MAX_PATH, buffer);
  path_ = std::string(buffer) + "TavroUi." +
          std::to_string(GetCurrentProcessId()) + "." +
          std::to_string(GetTickCount());
  CreateDirectoryA(path_.c_str(), nullptr);
  SetCurrentDirectoryA(path_.c_str());
}

ScratchWorkFolder::~ScratchWorkFolder() {
  SetCurrentDirectoryA(previous_.c_str());
  RemoveTree(path_);
}

std::string ScratchWorkFolder::Read(const std::string& relative) const {
  HANDLE file =
      CreateFileA((path_ + "\\" + relative).c_str(), GENERIC_READ,
                  FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "(none)";
  std::string bytes;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0)
    bytes.append(chunk, read);
  CloseHandle(file);
  return bytes;
}

void ScratchWorkFolder::Write(const std::string& relative,
                              const std::string& bytes) const {
  const std::string path = path_ + "\\" + relative;
  for (std::size_t slash = path.find('\\', path_.size() + 1);
       slash != std::string::npos; slash = path.find('\\', slash + 1))
    CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
            nullptr);
  CloseHandle(file);
}

void ChoosePlainLanguage(const ScratchWorkFolder& folder) {
  folder.Write("Language.ini", "[Language]\r\nLanguage=Plain\r\n");
  folder.Write("Languages\\Plain.ini",
               "[MainForm]\r\nFont.Name=MS Sans Serif\r\nFont.Size=8\r\n");
}

HWND ShownDialog() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM into) {
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        // A message box has its text in a static of id 0xFFFF.
        if (IsWindowVisible(window) && std::string_view(name) == "#32770" &&
            !GetDlgItem(window, 0xFFFF) &&
            GetWindowLongPtrA(window, DWLP_USER)) {
          *reinterpret_cast<HWND*>(into) = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

namespace {
thread_local std::function<void(HWND)> modalAct;

void CALLBACK RunModalAct(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND dialog = ShownDialog();
  if (!dialog || !modalAct) return;
  KillTimer(nullptr, timer);
  const auto act = std::move(modalAct);
  modalAct = nullptr;
  act(dialog);
  if (answerer) answerer->keepDialogs = false;
}
}  // namespace

MainFormTest::MainFormTest()
    : watchdog_(TestName(), std::chrono::seconds(10)),
      key(TestName()),
      programDir(work.Path() + "\\"),
      keyHook_(SetWindowsHookExA(WH_KEYBOARD, KeyHook, nullptr,
                                 GetCurrentThreadId())) {
  ChoosePlainLanguage(work);
  win::UseSystemCodePage();
}

void MainFormTest::WhileModal(std::function<void(HWND)> act) {
  answerer_.keepDialogs = true;
  modalAct = std::move(act);
  modalTimer_ = SetTimer(nullptr, 0, 20, RunModalAct);
}

void MainFormTest::InstallShippedLanguages() {
  for (const char* name : {"English", "Deutsch", "Chinese"}) {
    const std::string file = std::string("Languages\\") + name + ".ini";
    HANDLE source = CreateFileA(
        (std::string("Z:") + TAVRO_SOURCE_DIR + "\\" + file).c_str(),
        GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(source, INVALID_HANDLE_VALUE) << file;
    std::string bytes(GetFileSize(source, nullptr), '\0');
    DWORD read = 0;
    ReadFile(source, bytes.data(), static_cast<DWORD>(bytes.size()), &read,
             nullptr);
    CloseHandle(source);
    work.Write(file, bytes);
  }
}

void MainFormTest::ChooseLanguage(const std::string& name) {
  work.Write("Language.ini", "[Language]\r\nLanguage=" + name + "\r\n");
}

void MainFormTest::TearDown() {
  if (modalTimer_) KillTimer(nullptr, modalTimer_);
  modalAct = nullptr;
  form_.reset();
  Pump();
  UnhookWindowsHookEx(keyHook_);
}

void MainFormTest::SeedEntries() {
  key.AddEntry("00.E-mail", "me@example.com");
  key.AddEntry("01.Name", "Ann Smith");
  key.AddEntry("02.Address", "1 Main St\\r\\nTown");
  key.AddEntry("03.Signature", "Regards");
  key.SetValue("Foreign", "", REG_SZ, std::string("res://other.htm\0", 16));
}

void MainFormTest::Open(Registry* with) {
  // A second start in one test: the first window goes before its parts.
  form_.reset();
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  ui::TMainForm::RegisterClasses(instance);
  parts_ = std::make_unique<ui::TMainParts>(with ? *with : registry, shell,
                                            programDir, key.MenuKey());
  form_ = std::make_unique<ui::TMainForm>(instance, *parts_);
  form_->Create();
  form_->Show(SW_SHOWNORMAL);
  handle_ = form_->Handle();
  Pump();
}

void MainFormTest::Pump(const std::function<bool()>& until) {
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + std::chrono::seconds(3);
  auto quietSince = Clock::now();
  while (Clock::now() < end) {
    MSG message;
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      quietSince = Clock::now();
      if (message.message == WM_QUIT) continue;  // the window is gone
      if (form_ && form_->TranslateShortcut(message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    } else if ((!until || until()) &&
               Clock::now() - quietSince >= std::chrono::milliseconds(60)) {
      return;
    } else {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
  }
}

void MainFormTest::Click(const char* button) {
  // Down and up at the button's middle, as the mouse does it.
  const RECT r = form_->ToolBand().ButtonRect(button);
  const LPARAM middle =
      MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  const HWND band = form_->ToolBand().Handle();
  SendMessageA(band, WM_LBUTTONDOWN, MK_LBUTTON, middle);
  SendMessageA(band, WM_LBUTTONUP, 0, middle);
  Pump();
}

void MainFormTest::Command(UINT id) {
  SendMessageA(handle_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
  Pump();
}

void MainFormTest::Press(
    std::initializer_list<std::initializer_list<WORD>> chords) {
  std::vector<INPUT> inputs;
  auto add = [&](WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  };
  for (const auto& chord : chords) {
    for (WORD key : chord) add(key, false);
    for (auto it = std::rbegin(chord); it != std::rend(chord); ++it)
      add(*it, true);
  }
  add(kSentinelKey, false);
  add(kSentinelKey, true);
  // Keystrokes go to the foreground window: another test's window on the
  // same desktop must not take them.
  for (int i = 0; i < 20 && GetForegroundWindow() != handle_; ++i) {
    SetForegroundWindow(handle_);
    Pump();
  }
  ASSERT_EQ(GetForegroundWindow(), handle_);
  ASSERT_EQ(
      SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)),
      inputs.size());
  Pump();
}

std::vector<std::string> MainFormTest::Captions() {
  std::vector<std::string> captions;
  for (int i = 0; i < Rows().RowCount(); ++i)
    captions.push_back(Rows().Caption(i));
  return captions;
}

}  // namespace tavro::test
