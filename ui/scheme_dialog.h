#pragma once
// The small dialog that asks for the name of a saved field list: typed or
// picked from those saved (to save the list under it), or picked only (to
// remove one). What OK does with the name is the caller's, which may ask
// the user more and keep the dialog open.
#include <windows.h>

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialog_frame.h"
#include "win32_handles.h"

// The dialog's controls besides IDOK and IDCANCEL.
enum SchemeDialogControl : int {
  kSchemePrompt = 301,
  kSchemeName = 302,
};

struct SchemeDialogRequest {
  const wchar_t* title = L"";
  const wchar_t* prompt = L"";
  const wchar_t* okCaption = L"";
  const wchar_t* cancelCaption = L"";
  std::vector<std::string> names;  // offered in the drop-down, UTF-8
  bool typed = true;               // a new name may be typed; else one of names is picked
  // Called on OK with the name as it stands (UTF-8); true ends the dialog.
  // It may show message boxes owned by the dialog.
  std::function<bool(HWND dialog, const std::string& name)> accept;
};

class SchemeDialog : private ModalDialog {
 public:
  explicit SchemeDialog(SchemeDialogRequest request) : request_(std::move(request)) {}

  // Shows the dialog, modal to owner: the name accepted, or nullopt when the
  // user cancelled.
  std::optional<std::string> Show(HWND owner);

 private:
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The dialog ends, and Show passes the failure on to its caller.
  void Broken() noexcept override;
  void OnInitDialog();
  void OnOk();
  HWND Control(int id) const { return GetDlgItem(dialog_, id); }

  SchemeDialogRequest request_;
  win32::Font font_;
  std::optional<std::string> result_;
  std::exception_ptr failure_;  // what broke off the dialog, passed on by Show
};
