// The main window: toolbar, menu, entry list and status bar. Every command
// starts here; the work behind it is the workspace's.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Dpi.h"
#include "Handles.h"
#include "ListViewRows.h"
#include "MainLayout.h"
#include "Registry.h"
#include "Shell.h"
#include "ToolBand.h"
#include "WinFileSystem.h"
#include "WinMessageBoxes.h"
#include "WinProfileFile.h"
#include "Workspace.h"

namespace tavro::ui {

inline constexpr char kMainFormClass[] = "TavroMainForm";

// What the main window works with, each part whole before the window is
// made: the file and profile backends, the list's rows, the boxes and the
// workspace over them. The window binds the rows and the boxes to its
// controls as it makes them.
struct TMainParts {
  // programDir: where Language.ini and the listed language files lie, with
  // its trailing backslash; menuKey: the browser's menu key. Tests point
  // both elsewhere.
  TMainParts(Registry& registry, win::Shell& shell, std::string programDir,
             std::string menuKey = kMenuExtKey);
  win::Shell& shell;
  win::WinFileSystem files;
  win::WinProfileFile profiles;
  win::WinMessageBoxes boxes;
  win::ListViewRows rows;
  TWorkspace workspace;
};

class TMainForm {
 public:
  TMainForm(HINSTANCE instance, TMainParts& parts);
  ~TMainForm();
  TMainForm(const TMainForm&) = delete;
  TMainForm& operator=(const TMainForm&) = delete;

  static void RegisterClasses(HINSTANCE instance);

  // Creates the window and its controls, hidden.
  void Create();
  // Runs the first-show steps, then centres and shows the window.
  void Show(int showCommand);
  // Dispatches messages until the window is gone; returns the exit code.
  int Run();
  // Accelerators first; false when the message still needs dispatching.
  bool TranslateShortcut(MSG& message);

  HWND Handle() const { return window_; }
  HWND Application() const { return application_; }
  TWorkspace& Workspace() { return parts_.workspace; }
  win::ListViewRows& Rows() { return parts_.rows; }
  HWND ListView() const { return list_; }
  HWND StatusBar() const { return status_; }
  TToolBand& ToolBand() { return *band_; }
  HFONT Font() const { return font_.get(); }
  HACCEL Shortcuts() const { return shortcuts_; }
  const std::string& FontName() const { return fontName_; }

  // The components of the table, for the language texts.
  std::string MenuItemCaption(std::string_view name) const;
  std::string ColumnCaption(int column) const;

  // The handlers, named after the control and event that run them.
  void FormShow();
  bool FormCloseQuery();
  void AddBtnClick();
  void EditBtnClick();
  void DeleteBtnClick();
  void SaveBtnClick();
  void UpBtnClick();
  void DownBtnClick();
  void LoadBtnClick();
  void ExitBtnClick();
  void CleanBtnClick();
  void BrowsersItemClick();
  void TypeItemClick();
  void LanguageItemsClick();
  void AboutTavroItemClick();
  void TemplateItemClick();
  void TavrohelpItemClick();
  void FormResize();
  void LoadLanguage();

 private:
  // The main window's messages, and the taskbar's window's.
  LRESULT Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT ApplicationMessage(HWND hwnd, UINT message, WPARAM wParam,
                             LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(UINT id, bool fromShortcut);
  void OnClose();
  LRESULT OnQueryEndSession();
  // Runs a handler unless one is running; an error that escapes it is
  // shown, and the window stays as the handler left it.
  template <typename F>
  void Guard(F&& handler);

  void CreateMenuBar();
  void CreateControls();
  // Fonts, icons, glyphs and sizes at dpi_, from the previous DPI.
  void ScaleTo(UINT dpi);
  // The main window's frame at the DPI, in the middle of the screen.
  RECT CentredFrame(UINT dpi) const;
  // Makes the language's font at dpi_ and hands it to the controls.
  void RemakeFont();
  void SetMenuItemCaption(std::size_t component, const std::string& caption);
  void SetColumnCaption(int column, const std::string& caption);
  TFormTexts CollectTexts();
  void ApplyTexts(const TFormTexts& texts);
  std::size_t ComponentIndex(std::string_view name) const;

  HINSTANCE instance_;
  TMainParts& parts_;
  // The taskbar's window, which owns the main one.
  HWND application_ = nullptr;
  HWND window_ = nullptr;
  UINT dpi_ = kBaseDpi;
  HMENU menu_ = nullptr;  // owned by the window
  HWND list_ = nullptr;
  HWND status_ = nullptr;
  HACCEL shortcuts_ = nullptr;
  bool running_ = false;
  win::UniqueFont font_;
  win::UniqueFont statusFont_;
  std::string fontName_;
  int fontSize_;
  // The window's own icons, where its DPI is not the classes'.
  win::UniqueIcon bigIcon_;
  win::UniqueIcon smallIcon_;
  inline static UINT classIconDpi_ = 0;
  std::unique_ptr<TToolBand> band_;
  // By the index of the component in the table: a menu item's caption.
  std::vector<std::string> captions_;
};

}  // namespace tavro::ui
