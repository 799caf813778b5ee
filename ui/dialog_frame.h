#pragma once
// What the program's own dialogs share: a template made in memory, so that
// each is a real dialog (class "#32770") that the skin reaches through its
// owner, with its controls made at the window's DPI; and where it opens.
#include <windows.h>

#include <vector>

// A dialog of a fixed size, as a message box is; and a control in one.
constexpr DWORD kFixedDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr DWORD kDialogChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;

// A dialog template without controls and without a font of its own. It
// must start on a DWORD boundary, which a vector's storage does.
std::vector<WORD> DialogTemplate(DWORD style, const wchar_t* title);

// Where a window of the outer size goes to stand over the centre of owner,
// kept on the owner's monitor.
POINT CentredOn(HWND owner, SIZE outer);

// Moves and sizes a control to the rectangle.
void Place(HWND control, const RECT& rect);

// A dialog made by an object of a derived class. Run shows it modal to
// owner: the object is kept with the dialog, and every message goes to its
// Handle. An exception must not unwind through the system's code that
// called us: Broken hears of it (inside the handler, so that it may look at
// the exception) and the dialog ends with IDCANCEL.
class ModalDialog {
 public:
  ModalDialog() = default;
  ModalDialog(const ModalDialog&) = delete;
  ModalDialog& operator=(const ModalDialog&) = delete;

 protected:
  ~ModalDialog() = default;
  // What EndDialog was given, or -1 when the dialog could not be made.
  INT_PTR Run(HWND owner, DWORD style, const wchar_t* title);
  virtual INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  virtual void Broken() noexcept = 0;

  HWND dialog_ = nullptr;  // while it is shown

 private:
  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
};
