// The About box: name, version, producer and the maker's two links.
#pragma once

#include <windows.h>

#include <string>

#include "Handles.h"
#include "ModalDialog.h"
#include "Shell.h"

namespace tavro::ui {

inline constexpr char kWebSite[] = "https://tavro.example.org";
inline constexpr char kMailAddress[] = "tavro@example.org";

class TAboutForm : public ModalDialog {
 public:
  // mainFontName: the face of the main window's font, which picks the
  // producer line.
  TAboutForm(HWND owner, win::Shell& shell, std::string mainFontName);

  void ShowModal();

  HWND Image1 = nullptr;
  HWND Label1 = nullptr;
  HWND Label2 = nullptr;
  HWND AboutInfo = nullptr;
  HWND Line = nullptr;
  HWND CloseBtn = nullptr;
  HWND Label3 = nullptr;
  HWND Label4 = nullptr;

  void Label4Click();
  void Label3Click();
  void CloseBtnClick();
  void FormShow();

 private:
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  HFONT DialogFont() const override { return font_.get(); }
  void OnDpiChanged() override;
  SIZE ClientSize() const override;
  INT_PTR ColourLabel(HDC dc, HWND label);
  // The fonts and the icon at the dialog's DPI, handed to their controls.
  void ApplyLook();

  win::Shell& shell_;
  std::string mainFontName_;
  win::UniqueFont font_;
  win::UniqueFont titleFont_;
  win::UniqueFont producerFont_;
  win::UniqueFont linkFont_;
  win::UniqueIcon icon_;
};

}  // namespace tavro::ui
