// The language dialog: lists the language files beside the program and
// stores the chosen name. Applying it is the caller's job, told by
// Accepted.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Handles.h"
#include "ModalDialog.h"
#include "ProfileFile.h"
#include "WinFileSystem.h"  // FileSystem without the macros

namespace tavro::ui {

class TOptionsForm : public ModalDialog {
 public:
  // programDir ends in a backslash.
  TOptionsForm(HWND owner, FileSystem& files, ProfileFile& profiles,
               std::string programDir);

  // Shows the dialog until OK has stored a choice, or Cancel or the close
  // box ends it.
  void ShowModal();
  // Set only by a successful OK.
  bool Accepted = false;

  HWND LanguageGB = nullptr;
  HWND ListBox = nullptr;
  HWND OKBtn = nullptr;
  HWND CanelBtn = nullptr;

  void FormShow();
  void OKBtnClick();
  void CanelBtnClick();
  std::vector<std::string> FindLanguageFiles();

 private:
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  HFONT DialogFont() const override { return font_.get(); }
  void OnDpiChanged() override;
  SIZE ClientSize() const override;

  FileSystem& files_;
  ProfileFile& profiles_;
  std::string programDir_;
  win::UniqueFont font_;
};

}  // namespace tavro::ui
