// The entry editor: a small modal dialog for an entry's Title and Content.
// It talks to the program only through what the main window hands it: the
// owner, the font, the texts and, on a valid OK, the two buffers.
#pragma once

#include <windows.h>

#include <string>

#include "EntryEditor.h"
#include "Handles.h"
#include "ModalDialog.h"

namespace tavro::ui {

class TEditForm : public ModalDialog, public EntryEditor {
 public:
  // All three belong to the main window and outlive the editor; the font
  // is made for the owner's DPI.
  TEditForm(HWND owner, HFONT font, const TEditFormCaption& captions)
      : ModalDialog(owner), ownerFont_(font), captions_(captions) {}

  void Run(const std::string& caption, bool fillFields, TEditBuffer& editTitle,
           TEditBuffer& editContent) override;

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
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  HFONT DialogFont() const override { return font_; }
  void OnDpiChanged() override;
  SIZE ClientSize() const override;
  // The owner's font, or a copy at the editor's DPI where that differs.
  void ChooseFont();

  HFONT ownerFont_;
  UINT ownerDpi_ = kBaseDpi;
  HFONT font_ = nullptr;
  win::UniqueFont scaledFont_;
  const TEditFormCaption& captions_;
  // What Run was given, for the dialog's first message.
  const std::string* caption_ = nullptr;
  bool fillFields_ = false;
  TEditBuffer* editTitle_ = nullptr;
  TEditBuffer* editContent_ = nullptr;
  // The fields' texts as last accepted, to refuse what goes past the
  // buffers in a double-byte code page, where the limit counts characters.
  std::string shownTitle_;
  std::string shownContent_;
  bool KeepWithinBuffer(HWND field, std::string& shown);
};

}  // namespace tavro::ui
