// The entry editor: a small modal dialog for an entry's Title and Content.
// It talks to the program only through what the main window hands it: the
// owner, the font, the texts and, on a valid OK, the two buffers.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

#include "EntryEditor.h"

namespace tavro::ui {

class TEditForm : public EntryEditor {
 public:
  // All three belong to the main window and outlive the editor.
  TEditForm(HWND owner, HFONT font, const TEditFormCaption& captions)
      : owner_(owner), font_(font), captions_(captions) {}
  TEditForm(const TEditForm&) = delete;
  TEditForm& operator=(const TEditForm&) = delete;

  void Run(const std::string& caption, bool fillFields, TEditBuffer& editTitle,
           TEditBuffer& editContent) override;

  // The dialog while Run shows it, else null.
  HWND Handle() const { return handle_; }

  // The controls, null outside Run; the dialog owns and destroys them.
  HWND TitleGB = nullptr;
  HWND TitleEdit = nullptr;
  HWND ContentGB = nullptr;
  HWND ContentMemo = nullptr;
  HWND Line = nullptr;
  HWND OKBtn = nullptr;
  HWND CanelBtn = nullptr;

  void FormShow();
  void OKBtnClick();
  void CanelBtnClick();

 private:
  static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  void CentreOnDesktop();
  void Close();

  HWND owner_;
  HFONT font_;
  const TEditFormCaption& captions_;
  HWND handle_ = nullptr;
  // What Run was given, for the dialog's first message.
  const std::string* caption_ = nullptr;
  bool fillFields_ = false;
  TEditBuffer* editTitle_ = nullptr;
  TEditBuffer* editContent_ = nullptr;
  std::exception_ptr error_;
};

// The editor while it runs, else null.
inline TEditForm* EditForm = nullptr;

}  // namespace tavro::ui
