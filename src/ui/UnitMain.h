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
#include "SpeedButton.h"
#include "WinFileSystem.h"
#include "WinMessageBoxes.h"
#include "WinProfileFile.h"
#include "Workspace.h"

namespace tavro::ui {

inline constexpr char kMainFormClass[] = "TavroMainForm";

class TMainForm {
 public:
  // menuKey: the browser's menu key; tests may point it elsewhere.
  TMainForm(HINSTANCE instance, Platform platform,
            std::string menuKey = kMenuExtKey);
  // With the real file system and profile files.
  TMainForm(HINSTANCE instance, Registry& registry,
            std::string menuKey = kMenuExtKey);
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
  TWorkspace& Workspace() { return *workspace_; }
  win::ListViewRows& Rows() { return *rows_; }
  HWND ListView() const { return list_; }
  HWND StatusBar() const { return status_; }
  HWND CoolBar() const { return coolBar_; }
  HMENU Menu() const { return menu_; }
  HFONT Font() const { return font_.get(); }
  const std::string& FontName() const { return fontName_; }
  // Where Language.ini and the listed language files lie; the executable's
  // folder unless a test says otherwise. Set before Show.
  void SetProgramDir(std::string programDir) {
    programDir_ = std::move(programDir);
  }
  void SetShell(win::Shell& shell) { shell_ = &shell; }

  // The components by name, for the language texts.
  static std::span<const ComponentDef> Components() { return MainComponents(); }
  TSpeedButton* SpeedButton(std::string_view name);
  UINT MenuItemId(std::string_view name) const;
  std::string MenuItemCaption(std::string_view name) const;
  void SetMenuItemCaption(std::string_view name, const std::string& caption);
  std::string ColumnCaption(int column) const;
  void SetColumnCaption(int column, const std::string& caption);

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
  static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(UINT id, bool fromShortcut);
  void OnClose();
  // Runs a handler unless one is running; an error that escapes it is
  // shown, and the window stays as the handler left it.
  template <typename F>
  void Guard(F&& handler);
  void ShowDefaultError(const std::string& message);

  void CreateMenuBar();
  void CreateControls();
  // Fonts, icons, glyphs and sizes at dpi_, from the previous DPI.
  void ScaleTo(UINT dpi);
  void ApplyFont();
  // Sizes the status bar; returns its size.
  SIZE SizeStatusBar();
  TFormTexts CollectTexts();
  void ApplyTexts(const TFormTexts& texts);
  std::size_t MenuIndex(std::string_view name) const;

  HINSTANCE instance_;
  win::WinFileSystem files_;
  win::WinProfileFile profiles_;
  Platform platform_;
  std::string menuKey_;
  HWND window_ = nullptr;
  UINT dpi_ = kBaseDpi;
  HMENU menu_ = nullptr;  // owned by the window
  HWND coolBar_ = nullptr;
  HWND list_ = nullptr;
  HWND status_ = nullptr;
  bool barRaised_ = false;  // its least height set by SizeStatusBar
  HWND tooltip_ = nullptr;
  HACCEL shortcuts_ = nullptr;
  bool running_ = false;
  win::UniqueFont font_;
  std::string fontName_;
  int fontSize_;
  std::string programDir_;
  win::Shell systemShell_;
  win::Shell* shell_ = &systemShell_;
  win::UniqueIcon bigIcon_;
  win::UniqueIcon smallIcon_;
  std::vector<std::unique_ptr<TSpeedButton>> buttons_;
  std::vector<std::string> menuCaptions_;
  win::WinMessageBoxes boxes_;
  std::unique_ptr<win::ListViewRows> rows_;
  std::unique_ptr<TWorkspace> workspace_;
};

}  // namespace tavro::ui
