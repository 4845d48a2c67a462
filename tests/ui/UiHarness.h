// Drives the real main window in process: a scratch menu key in the
// registry, message boxes answered and recorded, keystrokes through the
// input queue, and a watchdog against hangs.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ListViewReader.h"
#include "ModalDialog.h"
#include "Shell.h"
#include "UnitMain.h"
#include "Watchdog.h"
#include "WinRegistry.h"

namespace tavro::test {

struct BoxRecord {
  std::string text;
  std::string caption;
  std::string buttons;  // "OK", "YesNo" or "YesNoCancel"
  std::string icon;     // "error", "question", "information" or ""
};

// Answers this thread's message boxes with queued button ids; a box with
// no answer queued is refused (Cancel, No or OK) so the test cannot hang.
// Any other owned window, such as a dialog, is closed and counted.
class BoxAnswerer {
 public:
  BoxAnswerer();
  ~BoxAnswerer();
  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;

  void Queue(int buttonId) { answers_.push_back(buttonId); }
  std::vector<BoxRecord> boxes;
  int dialogsClosed = 0;
  // Dialogs as they came up, and whether their owner was visible then.
  struct DialogRecord {
    std::string caption;
    bool ownerVisible;
  };
  std::vector<DialogRecord> dialogs;
  // Leaves dialogs open, for a test that works them itself.
  bool keepDialogs = false;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
  void Answer(HWND box);

  HHOOK hook_;
  std::deque<int> answers_;
  std::set<HWND> open_;
};

// A menu key of the test's own under HKCU\Software\TavroUiTests, removed
// with everything below it afterwards.
class ScratchKey {
 public:
  explicit ScratchKey(const std::string& name);
  ~ScratchKey();
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;

  // As the program takes it: leading and trailing backslash.
  std::string MenuKey() const { return "\\" + relative_ + "\\"; }
  void SetValue(const std::string& subkey, const std::string& name, DWORD type,
                const std::string& bytes);
  void AddEntry(const std::string& subkey, const std::string& marker) {
    SetValue(subkey, "Tavro", REG_SZ, marker + '\0');
  }
  // Subkey name -> value name -> type and bytes; subkeys in byte order.
  using Snapshot =
      std::map<std::string,
               std::map<std::string, std::pair<DWORD, std::string>>>;
  Snapshot Read() const;
  std::vector<std::string> Subkeys() const;
  // The marker's text, or "(none)".
  std::string Marker(const std::string& subkey) const;

 private:
  std::string relative_;
};

// A fresh folder of the test's own as the current directory, so the work
// folder's backup file and scripts go there; removed afterwards.
class ScratchWorkFolder {
 public:
  ScratchWorkFolder();
  ~ScratchWorkFolder();
  ScratchWorkFolder(const ScratchWorkFolder&) = delete;
  ScratchWorkFolder& operator=(const ScratchWorkFolder&) = delete;
  const std::string& Path() const { return path_; }
  // The file's bytes, or "(none)".
  std::string Read(const std::string& relative) const;
  // Creates the file, and its folder, with these bytes.
  void Write(const std::string& relative, const std::string& bytes) const;

 private:
  std::string previous_;
  std::string path_;
};

// A language file that sets the layout's own font, so that the texts of the
// layout stay as they are; Language.ini in `folder` chooses it.
void ChoosePlainLanguage(const ScratchWorkFolder& folder);

// Records what the program would open with the shell.
struct RecordingShell : win::Shell {
  struct Opened {
    HWND owner;
    std::string target;
  };
  std::vector<Opened> opened;
  void Open(HWND owner, const std::string& target) override {
    opened.push_back({owner, target});
  }
};

// The dialog of ours this thread shows (not a message box), or null.
HWND ShownDialog();
// The object behind a dialog of ours, which it keeps with its window.
template <typename Form>
Form& DialogObject(HWND dialog) {
  return static_cast<Form&>(*reinterpret_cast<ui::ModalDialog*>(
      GetWindowLongPtrA(dialog, DWLP_USER)));
}

// The main window's rows as the list and the menu show them.
struct RowsOnScreen {
  ui::TMainForm& form;
  int RowCount() const { return form.Rows().RowCount(); }
  int SelectedRow() const { return form.Rows().SelectedRow(); }
  std::string Caption(int row) const {
    return ItemText(form.ListView(), row, 0);
  }
  std::string ContentCell(int row) const {
    return ItemText(form.ListView(), row, 1);
  }
  const std::vector<std::string>& SubItems(int row) const {
    return form.Rows().SubItems(row);
  }
  bool SaveItemEnabled() const {
    return MenuItemEnabled(GetMenu(form.Handle()), ui::CommandId("SaveItem"));
  }
  void Select(int row) const { SelectRow(form.ListView(), row); }
};

class MainFormTest : public ::testing::Test {
 protected:
  MainFormTest();
  void TearDown() override;

  // Four marked entries, the third with two lines, and a foreign item.
  void SeedEntries();
  // Creates and shows the window on the scratch key, with programDir as
  // the program folder.
  void Open(Registry* registry = nullptr);
  // Runs `act` on this thread once one of the program's dialogs is up,
  // from inside its modal loop; the dialog stays open for it.
  void WhileModal(std::function<void(HWND dialog)> act);
  // Copies the shipped language files into the program folder.
  void InstallShippedLanguages();
  void ChooseLanguage(const std::string& name);
  // Dispatches until `until` holds (if given) and the queue has been quiet
  // for a moment.
  void Pump(const std::function<bool()>& until = {});
  void Click(const char* button);
  void Command(UINT id);
  // Each chord's keys go down in order and up in reverse; all chords are
  // queued at once, so keys meant for a menu reach its modal loop. Returns
  // once every key has been taken from the queue.
  void Press(std::initializer_list<std::initializer_list<WORD>> chords);
  void Answer(int buttonId) { answerer_.Queue(buttonId); }
  const std::vector<BoxRecord>& Boxes() const { return answerer_.boxes; }
  int DialogsClosed() const { return answerer_.dialogsClosed; }
  const std::vector<BoxAnswerer::DialogRecord>& Dialogs() const {
    return answerer_.dialogs;
  }

  ui::TMainForm& Form() { return *form_; }
  TEntryModel& Model() { return form_->Workspace().Model; }
  RowsOnScreen Rows() { return {*form_}; }
  std::vector<std::string> Captions();
  bool Closed() const { return !IsWindow(handle_); }

  Watchdog watchdog_;
  ScratchKey key;
  ScratchWorkFolder work;
  win::WinRegistry registry;
  // The work folder unless a test points elsewhere.
  std::string programDir;
  RecordingShell shell;

 private:
  BoxAnswerer answerer_;
  UINT_PTR modalTimer_ = 0;
  HHOOK keyHook_;
  std::unique_ptr<ui::TMainParts> parts_;
  std::unique_ptr<ui::TMainForm> form_;
  HWND handle_ = nullptr;
};

}  // namespace tavro::test
