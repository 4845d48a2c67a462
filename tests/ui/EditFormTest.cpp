// The entry editor driven for real: the test's thread runs the modal dialog
// while a second thread types into it with real keystrokes and presses its
// buttons, as a user would.
#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <future>
#include <initializer_list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "MemoryRegistry.h"
#include "SystemCodePage.h"
#include "UiHarness.h"
#include "UnitEdit.h"
#include "UnitMain.h"
#include "Watchdog.h"
#include "resource.h"

// After windows.h.
#include <commctrl.h>

namespace tavro::test {
namespace {

using namespace std::chrono_literals;

struct Controls {
  HWND dialog, TitleGB, TitleEdit, ContentGB, ContentMemo, Line, OKBtn,
      CanelBtn;
};

struct Box {
  HWND owner = nullptr;
  std::string text, caption;
  bool okOnly = false, errorIcon = false;
};

INPUT Key(WORD key, WORD unicode, DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan =
      key ? static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) : unicode;
  input.ki.dwFlags = flags;
  return input;
}

constexpr auto& Text = ui::WindowText;

template <typename Predicate>
bool WaitFor(Predicate done, std::chrono::milliseconds limit = 3s) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    Sleep(5);
  }
  return true;
}

RECT BoundsIn(HWND control, HWND dialog) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right &&
         a.bottom == b.bottom;
}

// Works the dialog from its own thread; the dialog's thread answers in its
// own time, so every step waits for its visible effect.
class User {
 public:
  User(DWORD uiThread, const Controls& controls)
      : c(controls), uiThread_(uiThread) {}

  const Controls c;

  HWND Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(uiThread_, &info);
    return info.hwndFocus;
  }
  bool DialogOpen() const { return IsWindow(c.dialog); }
  bool Closed() const {
    return WaitFor([&] { return !DialogOpen(); });
  }
  void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

  // Types at the end of the field once it has the focus, and waits until
  // the field ends with the text: keys pressed before have been handled by
  // then, as the dialog takes keystrokes in order.
  // `shows`: how the field ends then, when the field takes less than all.
  void Type(HWND field, const std::string& text, std::string shows = "") {
    if (shows.empty()) shows = text;
    EXPECT_TRUE(Until([&] { return Focus() == field; })) << "typing " << text;
    std::vector<INPUT> inputs;
    for (unsigned char ch : text)
      for (DWORD up : {0, KEYEVENTF_KEYUP})
        inputs.push_back(Key(0, ch, KEYEVENTF_UNICODE | up));
    Send(inputs);
    EXPECT_TRUE(Until([&] { return Text(field).ends_with(shows); }))
        << "typing " << text << " into " << Text(field);
  }

  // Ctrl+V with the text on the clipboard.
  void Paste(HWND field, const std::string& text, std::string shows = "") {
    if (shows.empty()) shows = text;
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(copy), text.c_str(), text.size() + 1);
    GlobalUnlock(copy);
    SetClipboardData(CF_TEXT, copy);  // the clipboard owns it now
    CloseClipboard();
    EXPECT_TRUE(Until([&] { return Focus() == field; }));
    Press({VK_CONTROL, 'V'});
    EXPECT_TRUE(Until([&] { return Text(field) == shows; }));
  }

  // The keys go down in order and up in reverse.
  void Press(std::initializer_list<WORD> chord) {
    std::vector<INPUT> inputs;
    for (WORD key : chord) inputs.push_back(Key(key, 0, 0));
    for (auto key = std::rbegin(chord); key != std::rend(chord); ++key)
      inputs.push_back(Key(*key, 0, KEYEVENTF_KEYUP));
    Send(inputs);
  }

  void PressAndWaitForFocus(std::initializer_list<WORD> chord, HWND expected) {
    Press(chord);
    EXPECT_TRUE(Until([&] { return Focus() == expected; }));
  }

  // Returns once the dialog's thread has handled what came before.
  void Sync() {
    SendMessageTimeoutA(c.dialog, WM_NULL, 0, 0, SMTO_NORMAL, 3000, nullptr);
  }

  HWND OpenBox() const {
    HWND found = nullptr;
    EnumThreadWindows(
        uiThread_,
        [](HWND window, LPARAM result) {
          char name[16] = {};
          GetClassNameA(window, name, sizeof name);
          if (std::string(name) != "#32770" || !GetDlgItem(window, 0xFFFF) ||
              !IsWindowVisible(window))
            return TRUE;
          *reinterpret_cast<HWND*>(result) = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
  }

  // Waits for a message box, records it, presses its OK and waits until it
  // is gone.
  Box AnswerBox() {
    Box box;
    HWND window = nullptr;
    if (!Until([&] { return (window = OpenBox()) != nullptr; })) {
      ADD_FAILURE() << "no message box";
      return box;
    }
    box.owner = GetWindow(window, GW_OWNER);
    box.text = Text(GetDlgItem(window, 0xFFFF));
    box.caption = Text(window);
    box.okOnly = GetDlgItem(window, IDOK) && !GetDlgItem(window, IDCANCEL) &&
                 !GetDlgItem(window, IDYES) && !GetDlgItem(window, IDNO);
    for (HWND child = GetWindow(window, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT))
      if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        box.errorIcon =
            reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0)) ==
            LoadIcon(nullptr, IDI_HAND);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(window); }));
    return box;
  }

 private:
  // A closed dialog ends the wait: nothing more will happen.
  template <typename Predicate>
  bool Until(Predicate done, std::chrono::milliseconds limit = 3s) {
    return WaitFor([&] { return done() || !DialogOpen(); }, limit) && done();
  }

  // Keystrokes go to the window in front.
  void Send(std::vector<INPUT>& inputs) {
    ASSERT_TRUE(Until([&] { return GetForegroundWindow() == c.dialog; }))
        << "the editor is not in front";
    ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(),
                        sizeof(INPUT)),
              inputs.size());
  }

  DWORD uiThread_;
};

std::promise<Controls>* pendingEditor = nullptr;

// A thread timer fires inside the dialog's modal loop.
void CALLBACK SpotEditor(HWND, UINT, UINT_PTR, DWORD) {
  const HWND dialog = ShownDialog();
  if (!pendingEditor || !dialog) return;
  const auto* form = &DialogObject<ui::TEditForm>(dialog);
  pendingEditor->set_value({form->Handle(), form->TitleGB, form->TitleEdit,
                            form->ContentGB, form->ContentMemo, form->Line,
                            form->OKBtn, form->CanelBtn});
  pendingEditor = nullptr;
}

std::string TestName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::string(info->test_suite_name()) + "." + info->name();
}

class EditFormTest : public ::testing::Test {
 protected:
  EditFormTest() : watchdog_(TestName(), 15s) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    ui::TMainForm::RegisterClasses(instance);
    ChoosePlainLanguage(work_);
    win::UseSystemCodePage();
    parts_ = std::make_unique<ui::TMainParts>(registry_, shell_,
                                              work_.Path() + "\\");
    main_ = std::make_unique<ui::TMainForm>(instance, *parts_);
    main_->Create();
    main_->Show(SW_SHOWNORMAL);
  }

  // What a language file gives.
  void SetCaptions() {
    main_->Workspace().EditCaptions = {
        "Title", "Content", "Add", "Edit entry", "&OK", "&Canel", "Empty!"};
  }

  // Runs `open`, which shows the editor modally on this thread, while `use`
  // works it from another; whatever `use` leaves open is closed.
  void WithEditor(const std::function<void()>& open,
                  const std::function<void(User&)>& use) {
    std::promise<Controls> shown;
    std::future<Controls> editor = shown.get_future();
    pendingEditor = &shown;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, SpotEditor);
    std::thread user([&, uiThread = GetCurrentThreadId()] {
      if (editor.wait_for(5s) != std::future_status::ready) {
        ADD_FAILURE() << "the editor did not open";
        return;
      }
      User u(uiThread, editor.get());
      use(u);
      while (HWND box = u.OpenBox()) PostMessageA(box, WM_COMMAND, IDOK, 0);
      PostMessageA(u.c.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
      if (!u.Closed()) u.Click(u.c.CanelBtn);  // the watchdog ends the rest
    });
    open();
    KillTimer(nullptr, timer);
    pendingEditor = nullptr;
    user.join();
  }

  // The editor on its own, with the buffers of the test.
  void Run(const std::function<void(User&)>& use) {
    WithEditor(
        [&] {
          ui::TEditForm editor(main_->Handle(), main_->Font(),
                               main_->Workspace().EditCaptions);
          editor.Run("Editor", false, title, content);
        },
        use);
  }

  void Command(UINT id, const std::function<void(User&)>& use) {
    WithEditor([&] { SendMessageA(main_->Handle(), WM_COMMAND, id, 0); }, use);
  }

  void TearDown() override {
    main_.reset();
    // The main window's WM_QUIT would end the next test's dialog at once.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  TEntryModel& Model() { return main_->Workspace().Model; }

  Watchdog watchdog_;
  ScratchWorkFolder work_;
  MemoryRegistry registry_;
  win::Shell shell_;
  std::unique_ptr<ui::TMainParts> parts_;
  std::unique_ptr<ui::TMainForm> main_;
  TEditBuffer title, content;
};

TEST_F(EditFormTest, OpensLaidOutCentredAndTopmostInTheMainWindowsFont) {
  SetCaptions();
  Command(ui::CommandId("AddItem"), [&](User& u) {
    const Controls& c = u.c;
    EXPECT_EQ(Text(c.dialog), "Add");
    EXPECT_EQ(Text(c.TitleGB), "Title");
    EXPECT_EQ(Text(c.ContentGB), "Content");
    EXPECT_EQ(Text(c.OKBtn), "&OK");
    EXPECT_EQ(Text(c.CanelBtn), "&Canel");
    EXPECT_EQ(u.Focus(), c.TitleEdit);

    RECT client;
    GetClientRect(c.dialog, &client);
    EXPECT_EQ(client.right, 242);
    EXPECT_EQ(client.bottom, 228);
    const std::pair<HWND, RECT> layout[] = {
        {c.TitleGB, {8, 8, 193, 38}},     {c.TitleEdit, {20, 32, 213, 21}},
        {c.ContentGB, {8, 64, 193, 97}},  {c.ContentMemo, {20, 88, 213, 89}},
        {c.Line, {8, 190, 225, 9}},       {c.OKBtn, {104, 200, 75, 20}},
        {c.CanelBtn, {184, 200, 50, 20}},
    };
    for (const auto& [control, bounds] : layout) {
      EXPECT_TRUE(BoundsIn(control, c.dialog) == bounds) << Text(control);
      EXPECT_EQ(SendMessageA(control, WM_GETFONT, 0, 0),
                reinterpret_cast<LRESULT>(main_->Font()));
    }
    EXPECT_EQ(SendMessageA(c.dialog, WM_GETFONT, 0, 0),
              reinterpret_cast<LRESULT>(main_->Font()));

    RECT window;
    GetWindowRect(c.dialog, &window);
    EXPECT_NEAR(window.left + window.right, GetSystemMetrics(SM_CXSCREEN), 1);
    EXPECT_NEAR(window.top + window.bottom, GetSystemMetrics(SM_CYSCREEN), 1);
    const LONG style = GetWindowLongA(c.dialog, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(GetWindowLongA(c.dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(c.dialog, GW_OWNER), main_->Handle());
    EXPECT_FALSE(IsWindowEnabled(main_->Handle()));

    // The frames are disabled and lie behind the fields that overlap them.
    for (auto [field, frame] : {std::pair{c.TitleEdit, c.TitleGB},
                                std::pair{c.ContentMemo, c.ContentGB}}) {
      EXPECT_FALSE(IsWindowEnabled(frame));
      HWND below = field;
      while (below && below != frame) below = GetWindow(below, GW_HWNDNEXT);
      EXPECT_EQ(below, frame) << Text(frame);
    }
    u.Click(c.CanelBtn);
    EXPECT_TRUE(u.Closed());
  });
  EXPECT_TRUE(Model().Sections().empty());
  EXPECT_TRUE(IsWindowEnabled(main_->Handle()));
}

TEST_F(EditFormTest, OkRefusesAnEmptyTitleThenAnEmptyContentOnePressAtATime) {
  SetCaptions();
  title = "kept title";
  content = "kept content";
  Run([&](User& u) {
    u.Press({VK_RETURN});
    const Box box = u.AnswerBox();
    EXPECT_EQ(box.owner, u.c.dialog);
    EXPECT_EQ(box.text, "Empty!");
    EXPECT_EQ(box.caption, "Tavro");
    EXPECT_TRUE(box.okOnly);
    EXPECT_TRUE(box.errorIcon);
    u.Sync();
    EXPECT_EQ(u.OpenBox(), nullptr) << "one box per press";
    EXPECT_TRUE(u.DialogOpen());

    u.Type(u.c.TitleEdit, "Name");  // where the focus was before the box
    u.Press({VK_MENU, 'O'});        // the OK button's access key
    EXPECT_EQ(u.AnswerBox().text, "Empty!");
    u.Sync();
    EXPECT_EQ(u.OpenBox(), nullptr);
    EXPECT_TRUE(u.DialogOpen());
    EXPECT_EQ(Text(u.c.TitleEdit), "Name");
    u.Click(u.c.CanelBtn);
    EXPECT_TRUE(u.Closed());
  });
  EXPECT_EQ(title.str(), "kept title");
  EXPECT_EQ(content.str(), "kept content");
}

TEST_F(EditFormTest, EnterInTheTitlePressesOkAndEnterInTheContentAddsALine) {
  Command(ui::CommandId("AddItem"), [&](User& u) {
    u.Type(u.c.TitleEdit, "Name");
    u.PressAndWaitForFocus({VK_TAB}, u.c.ContentMemo);
    u.Type(u.c.ContentMemo, "1 Main St");
    u.Press({VK_RETURN});
    u.Type(u.c.ContentMemo, "Town");
    EXPECT_EQ(Text(u.c.ContentMemo), "1 Main St\r\nTown");
    EXPECT_TRUE(u.DialogOpen());
    u.PressAndWaitForFocus({VK_SHIFT, VK_TAB}, u.c.TitleEdit);
    u.Press({VK_RETURN});
    EXPECT_TRUE(u.Closed());
  });
  ASSERT_EQ(Model().Sections().size(), 1u);
  EXPECT_EQ(Model().Sections()[0].Title, "Name");
  EXPECT_EQ(Model().Sections()[0].Content, "1 Main St\r\nTown");
}

TEST_F(EditFormTest, TabLeavesTheWrappingContentAndVisitsTheButtonsInOrder) {
  Run([&](User& u) {
    const Controls& c = u.c;
    u.PressAndWaitForFocus({VK_TAB}, c.ContentMemo);
    u.Type(c.ContentMemo, std::string(14, 'w') + " " + std::string(14, 'w'));
    EXPECT_GT(SendMessageA(c.ContentMemo, EM_GETLINECOUNT, 0, 0), 1);
    EXPECT_TRUE(GetWindowLongA(c.ContentMemo, GWL_STYLE) & WS_VSCROLL);
    u.PressAndWaitForFocus({VK_TAB}, c.OKBtn);
    EXPECT_EQ(Text(c.ContentMemo).find_first_of("\t\r\n"), std::string::npos);
    u.PressAndWaitForFocus({VK_TAB}, c.CanelBtn);
    u.PressAndWaitForFocus({VK_TAB}, c.TitleEdit);
    u.PressAndWaitForFocus({VK_SHIFT, VK_TAB}, c.CanelBtn);
  });
}

TEST_F(EditFormTest, EscDoesNothingAndTheCloseBoxClosesWithoutStoring) {
  title = "kept title";
  content = "kept content";
  Run([&](User& u) {
    u.Type(u.c.TitleEdit, "abc");
    u.Press({VK_ESCAPE});
    u.Type(u.c.TitleEdit, "d");  // handled after Esc
    u.PressAndWaitForFocus({VK_TAB}, u.c.ContentMemo);
    u.Type(u.c.ContentMemo, "x");
    u.Press({VK_ESCAPE});  // a multi-line edit asks its dialog to close
    u.Type(u.c.ContentMemo, "y");
    u.Sync();
    EXPECT_TRUE(u.DialogOpen());
    EXPECT_EQ(u.OpenBox(), nullptr);
    EXPECT_EQ(Text(u.c.TitleEdit), "abcd");
    EXPECT_EQ(Text(u.c.ContentMemo), "xy");
    PostMessageA(u.c.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
    EXPECT_TRUE(u.Closed());
  });
  EXPECT_EQ(title.str(), "kept title");
  EXPECT_EQ(content.str(), "kept content");
}

TEST_F(EditFormTest, TheFieldsTakeNoMoreThan255Characters) {
  std::string typed;
  for (int i = 0; i < 30; ++i) typed += "abcdefghi" + std::to_string(i % 10);
  ASSERT_EQ(typed.size(), 300u);
  Run([&](User& u) {
    // The whole first 255: any shorter end of this periodic text also
    // shows while it is typed.
    u.Type(u.c.TitleEdit, typed, typed.substr(0, 255));
    u.PressAndWaitForFocus({VK_TAB}, u.c.ContentMemo);
    // Pasted: typing wraps slowly under Wine.
    u.Paste(u.c.ContentMemo, typed, typed.substr(0, 255));
    u.Sync();
    EXPECT_EQ(Text(u.c.TitleEdit), typed.substr(0, 255));
    EXPECT_EQ(Text(u.c.ContentMemo), typed.substr(0, 255));
    u.Click(u.c.OKBtn);
    EXPECT_TRUE(u.Closed());
    EXPECT_EQ(u.OpenBox(), nullptr);
  });
  EXPECT_EQ(title.str(), typed.substr(0, 255));
  EXPECT_EQ(content.str(), typed.substr(0, 255));
}

TEST_F(EditFormTest, EditStartsFromTheEntryAndStoresWhatIsConfirmed) {
  SetCaptions();
  Model().StartupFill({{"Name", "1 Main St\r\nTown"}});
  SelectRow(main_->ListView(), 0);
  Command(ui::CommandId("EditItem"), [&](User& u) {
    EXPECT_EQ(Text(u.c.dialog), "Edit entry");
    EXPECT_EQ(Text(u.c.TitleEdit), "Name");
    EXPECT_EQ(Text(u.c.ContentMemo), "1 Main St\r\nTown");
    EXPECT_EQ(u.Focus(), u.c.TitleEdit);
    u.Press({VK_END});
    u.Type(u.c.TitleEdit, " Smith");
    u.Press({VK_RETURN});
    EXPECT_TRUE(u.Closed());
  });
  ASSERT_EQ(Model().Sections().size(), 1u);
  EXPECT_EQ(Model().Sections()[0].Title, "Name Smith");
  EXPECT_EQ(Model().Sections()[0].Content, "1 Main St\r\nTown");
  EXPECT_EQ(Model().DeleteSecs().size(), 1u);
}

TEST_F(EditFormTest, BeforeAnyLanguageFileEveryTextIsEmpty) {
  main_->Workspace().EditCaptions = {};  // as when no language was chosen
  Command(ui::CommandId("AddItem"), [&](User& u) {
    for (HWND window :
         {u.c.dialog, u.c.TitleGB, u.c.ContentGB, u.c.OKBtn, u.c.CanelBtn})
      EXPECT_EQ(Text(window), "");
    u.Click(u.c.OKBtn);
    const Box box = u.AnswerBox();
    EXPECT_EQ(box.text, "");
    EXPECT_EQ(box.caption, "Tavro");
  });
  EXPECT_TRUE(Model().Sections().empty());
}

}  // namespace
}  // namespace tavro::test
