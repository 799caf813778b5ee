#include "scheme_dialog.h"

#include <commctrl.h>

#include <exception>
#include <stdexcept>

#include "dialog_frame.h"
#include "dpi_awareness.h"
#include "field_chooser_layout.h"
#include "win32_text.h"

namespace {

// Measures at 96 DPI: a line of text, a drop-down under it, the buttons
// at the bottom right.
constexpr int kMargin = 10;
constexpr int kWidth = 340;
constexpr int kLineHeight = 20;
constexpr int kGap = 6;
constexpr int kChoiceHeight = 24;
constexpr int kDroppedHeight = 180;  // the drop-down's list, below it
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 28;

struct ChildControl {
  int id;
  const wchar_t* className;
  DWORD style;
};

RECT Box(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }

}  // namespace

std::optional<std::string> SchemeDialog::Show(HWND owner) {
  result_.reset();
  failure_ = nullptr;
  Run(owner, kFixedDialogStyle, request_.title);
  if (failure_) std::rethrow_exception(failure_);
  return result_;
}

void SchemeDialog::Broken() noexcept {
  failure_ = std::current_exception();
  result_.reset();
}

INT_PTR SchemeDialog::Handle(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG: OnInitDialog(); return FALSE;  // the focus is where OnInitDialog put it
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) OnOk();
      if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog_, IDCANCEL);
      return TRUE;
    default: return FALSE;
  }
}

void SchemeDialog::OnInitDialog() {
  const int dpi = DpiOfWindow(dialog_);
  const auto scaled = [dpi](int pixels) { return ScaleForDpi(pixels, dpi); };
  const DWORD choiceStyle = request_.typed ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST;
  // In tab order.
  const ChildControl controls[] = {
      {kSchemePrompt, L"Static", kDialogChild | SS_LEFT | SS_NOPREFIX},
      {kSchemeName, WC_COMBOBOXW, kDialogChild | WS_TABSTOP | WS_GROUP | WS_VSCROLL | choiceStyle},
      {IDOK, L"Button", kDialogChild | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON},
      {IDCANCEL, L"Button", kDialogChild | WS_TABSTOP | BS_PUSHBUTTON},
  };
  const int buttonTop = kMargin + kLineHeight + kGap + kChoiceHeight + 2 * kGap;
  const int right = kMargin + kWidth;
  const RECT places[] = {
      Box(scaled(kMargin), scaled(kMargin), scaled(kWidth), scaled(kLineHeight)),
      Box(scaled(kMargin), scaled(kMargin + kLineHeight + kGap), scaled(kWidth),
          scaled(kChoiceHeight + kDroppedHeight)),
      Box(scaled(right - 2 * kButtonWidth - kGap), scaled(buttonTop), scaled(kButtonWidth), scaled(kButtonHeight)),
      Box(scaled(right - kButtonWidth), scaled(buttonTop), scaled(kButtonWidth), scaled(kButtonHeight)),
  };
  const wchar_t* captions[] = {request_.prompt, L"", request_.okCaption, request_.cancelCaption};
  const LOGFONTW message = MessageFontFor(dpi);
  font_.Reset(CreateFontIndirectW(&message));
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog_, GWLP_HINSTANCE));
  for (std::size_t i = 0; i < std::size(controls); ++i) {
    const RECT& at = places[i];
    HWND control = CreateWindowExW(0, controls[i].className, captions[i], controls[i].style, at.left, at.top,
                                   at.right - at.left, at.bottom - at.top, dialog_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(controls[i].id)), instance, nullptr);
    if (control == nullptr) throw std::runtime_error("the dialog's controls could not be made");
    if (font_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
  }
  for (const std::string& name : request_.names) {
    SendMessageW(Control(kSchemeName), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(name).c_str()));
  }
  if (!request_.typed) SendMessageW(Control(kSchemeName), CB_SETCURSEL, 0, 0);
  const SIZE outer = OuterSizeForClient(scaled(right + kMargin), scaled(buttonTop + kButtonHeight + kMargin),
                                        kFixedDialogStyle, 0, dpi);
  HWND owner = GetWindow(dialog_, GW_OWNER);
  const POINT at = owner != nullptr ? CentredOn(owner, outer) : POINT{0, 0};
  SetWindowPos(dialog_, nullptr, at.x, at.y, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  SetFocus(Control(kSchemeName));
}

void SchemeDialog::OnOk() {
  const std::string name = Narrow(WindowText(Control(kSchemeName)));
  if (!request_.accept || request_.accept(dialog_, name)) {
    result_ = name;
    EndDialog(dialog_, IDOK);
    return;
  }
  // Refused or not confirmed: the name is there to be mended.
  SetFocus(Control(kSchemeName));
  SendMessageW(Control(kSchemeName), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}
