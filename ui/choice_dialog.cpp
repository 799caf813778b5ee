#include "choice_dialog.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "dialog_frame.h"
#include "dpi_awareness.h"
#include "field_chooser_layout.h"
#include "win32_handles.h"

namespace {

// Measures at 96 DPI, as a message box lays itself out: the icon at the top
// left, the text beside it, the buttons in a row at the bottom right.
constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kIconGap = 12;
constexpr int kMostTextWidth = 440;  // wider text wraps; a long path breaks where it must
constexpr int kButtonWidth = 88;
constexpr int kButtonPadding = 24;
constexpr int kButtonHeight = 28;
constexpr int kGap = 8;

constexpr UINT kTextFormat = DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_LEFT;

class ChoiceDialog : private ModalDialog {
 public:
  explicit ChoiceDialog(const ChoiceRequest& request) : request_(request), result_(request.cancelButton) {}

  std::size_t Show(HWND owner) {
    const INT_PTR shown = Run(owner, kFixedDialogStyle, request_.title.c_str());
    if (failure_) std::rethrow_exception(failure_);
    return shown == -1 ? request_.cancelButton : result_;
  }

 private:
  // The dialog ends, and Show passes the failure on to its caller.
  void Broken() noexcept override { failure_ = std::current_exception(); }

  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM /*lParam*/) override {
    switch (message) {
      case WM_INITDIALOG: OnInitDialog(); return FALSE;  // the focus is on the default button
      case WM_COMMAND: OnCommand(LOWORD(wParam)); return TRUE;
      default: return FALSE;
    }
  }

  void OnCommand(int id) {
    if (id == IDCANCEL) {  // Esc, or the title bar's close button
      End(request_.cancelButton);
      return;
    }
    for (std::size_t i = 0; i < request_.buttons.size(); ++i) {
      if (ChoiceButtonId(i) == id) End(i);
    }
  }

  void End(std::size_t button) {
    result_ = button;
    EndDialog(dialog_, IDOK);
  }

  // The text's size when it wraps at `width` pixels.
  SIZE TextSize(const std::wstring& text, int width) const {
    const win32::WindowDC dc = win32::BorrowClientDC(dialog_);
    if (!dc) return {width, 0};
    const win32::Selection selected = win32::Select(dc.Get(), font_.Get());
    RECT box = {0, 0, width, 0};
    DrawTextW(dc.Get(), text.c_str(), -1, &box, kTextFormat);
    return {box.right, box.bottom};
  }

  HWND Make(const wchar_t* className, const wchar_t* caption, DWORD style, int id, const RECT& at) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog_, GWLP_HINSTANCE));
    HWND control =
        CreateWindowExW(0, className, caption, style, at.left, at.top, at.right - at.left, at.bottom - at.top, dialog_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (control == nullptr) throw std::runtime_error("the dialog's controls could not be made");
    if (font_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
    return control;
  }

  void OnInitDialog() {
    const int dpi = DpiOfWindow(dialog_);
    const auto scaled = [dpi](int pixels) { return ScaleForDpi(pixels, dpi); };
    const LOGFONTW message = MessageFontFor(dpi);
    font_.Reset(CreateFontIndirectW(&message));

    std::vector<int> widths;
    int rowWidth = 0;
    for (const std::wstring& caption : request_.buttons) {
      widths.push_back(std::max<int>(scaled(kButtonWidth), TextSize(caption, 10000).cx + scaled(kButtonPadding)));
      rowWidth += widths.back() + (widths.size() > 1 ? scaled(kGap) : 0);
    }
    const int textLeft = scaled(kMargin + kIconSize + kIconGap);
    const SIZE text = TextSize(request_.prompt, scaled(kMostTextWidth));
    const int clientWidth = std::max<int>(textLeft + text.cx, rowWidth) + 2 * scaled(kMargin);
    const int buttonTop = scaled(kMargin) + std::max<int>(scaled(kIconSize), text.cy) + scaled(2 * kGap);
    const int clientHeight = buttonTop + scaled(kButtonHeight) + scaled(kMargin);

    HWND icon = Make(L"Static", L"", kDialogChild | SS_ICON, -1,
                     {scaled(kMargin), scaled(kMargin), scaled(kMargin + kIconSize), scaled(kMargin + kIconSize)});
    SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, request_.icon)), 0);  // shared
    Make(L"Static", request_.prompt.c_str(), kDialogChild | SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, kChoicePrompt,
         {textLeft, scaled(kMargin), textLeft + text.cx, scaled(kMargin) + text.cy});
    int left = clientWidth - scaled(kMargin) - rowWidth;
    for (std::size_t i = 0; i < request_.buttons.size(); ++i) {
      const DWORD kind = i == request_.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
      const DWORD group = i == 0 ? WS_GROUP : 0;
      Make(L"Button", request_.buttons[i].c_str(), kDialogChild | WS_TABSTOP | group | kind, ChoiceButtonId(i),
           {left, buttonTop, left + widths[i], buttonTop + scaled(kButtonHeight)});
      left += widths[i] + scaled(kGap);
    }
    SendMessageW(dialog_, DM_SETDEFID, static_cast<WPARAM>(ChoiceButtonId(request_.defaultButton)), 0);

    const SIZE outer = OuterSizeForClient(clientWidth, clientHeight, kFixedDialogStyle, 0, dpi);
    HWND owner = GetWindow(dialog_, GW_OWNER);
    const POINT at = owner != nullptr ? CentredOn(owner, outer) : POINT{0, 0};
    SetWindowPos(dialog_, nullptr, at.x, at.y, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    MessageBeep(request_.icon == IDI_INFORMATION ? MB_ICONINFORMATION : MB_ICONWARNING);
    SetFocus(GetDlgItem(dialog_, ChoiceButtonId(request_.defaultButton)));
  }

  const ChoiceRequest& request_;
  win32::Font font_;
  std::size_t result_;
  std::exception_ptr failure_;  // what broke off the dialog, passed on by Show
};

}  // namespace

std::size_t ShowChoiceDialog(HWND owner, const ChoiceRequest& request) {
  if (request.buttons.empty()) return request.cancelButton;
  return ChoiceDialog(request).Show(owner);
}
