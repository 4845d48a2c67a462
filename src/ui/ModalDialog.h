// What the program's modal dialogs share: an empty template filled from a
// table of controls placed in 96-DPI pixels and scaled to the dialog's DPI,
// a font of the dialog's choosing, centring on the desktop, and exceptions
// carried out of the dialog manager to the caller.
#pragma once

#include <windows.h>

#include <exception>

#include "Dpi.h"
#include "WindowKit.h"

namespace tavro::ui {

// A control of the dialog's layout; bounds are left, top, width, height
// at 96 DPI.
template <typename Form>
struct ControlDef {
  HWND Form::*member;
  const char* className;
  const char* caption;
  int id;
  RECT bounds;
  DWORD style;
  DWORD exStyle = 0;
};

class ModalDialog {
 public:
  explicit ModalDialog(HWND owner) : owner_(owner) {}
  virtual ~ModalDialog() = default;
  ModalDialog(const ModalDialog&) = delete;
  ModalDialog& operator=(const ModalDialog&) = delete;

  // The dialog while it runs, else null.
  HWND Handle() const { return handle_; }

 protected:
  // Shows the dialog until EndModal, its controls null again afterwards.
  // The close box ends it too; an exception that escapes a handler ends it
  // and is thrown again here.
  template <typename Form, std::size_t N>
  void RunModal(const ControlDef<Form> (&controls)[N]) {
    auto& form = static_cast<Form&>(*this);
    struct Reset {
      Form& form;
      const ControlDef<Form> (&controls)[N];
      ~Reset() {
        for (const ControlDef<Form>& def : controls) form.*def.member = nullptr;
      }
    } reset{form, controls};
    Run();
  }
  void EndModal() { EndDialog(handle_, IDCANCEL); }

  // Creates the controls of the table and hands them the font.
  template <typename Form, std::size_t N>
  void CreateControls(Form& form, const ControlDef<Form> (&controls)[N],
                      HFONT font) {
    for (const ControlDef<Form>& def : controls)
      form.*def.member =
          CreateControl(def.className, def.caption, def.id, Scaled(def.bounds),
                        def.style, def.exStyle, font);
  }
  HWND CreateControl(const char* className, const char* caption, int id,
                     const RECT& bounds, DWORD style, DWORD exStyle,
                     HFONT font);
  // Places the controls of the table at the dialog's DPI in the font.
  template <typename Form, std::size_t N>
  void LayOut(Form& form, const ControlDef<Form> (&controls)[N], HFONT font) {
    for (const ControlDef<Form>& def : controls)
      PlaceControl(form.*def.member, Scaled(def.bounds), font);
  }
  void PlaceControl(HWND control, const RECT& bounds, HFONT font);
  // Sizes the window to its client size and centres it, on top of other
  // windows: on the whole desktop, which may span several monitors, or on
  // the screen, the primary monitor.
  enum class Centre { OnDesktop, OnScreen };
  void PlaceOnTop(Centre on);

  int Scaled(int length) const { return Scale(length, dpi_); }
  // The dialogs' own font at the dialog's DPI.
  HFONT NewDialogFont() const {
    return CreatePointFont(kDialogFont.name, kDialogFont.points, dpi_);
  }
  // A table's left, top, width and height in the dialog's pixels: left,
  // top, right and bottom, each edge scaled.
  RECT Scaled(const RECT& bounds) const;
  // Remakes the fonts and images and lays the controls out again at dpi_.
  virtual void OnDpiChanged() = 0;
  // The client size at 96 DPI.
  virtual SIZE ClientSize() const = 0;

  virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // The font the dialog manager is told of.
  virtual HFONT DialogFont() const = 0;

  HWND owner_;
  HWND handle_ = nullptr;
  UINT dpi_ = kBaseDpi;

 private:
  void Run();
  void MoveToDpi(UINT dpi, const RECT& suggested);
  SIZE WindowSize() const;
  INT_PTR Dispatch(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  std::exception_ptr error_;
};

}  // namespace tavro::ui
