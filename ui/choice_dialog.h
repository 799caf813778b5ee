#pragma once
// A message with buttons of its own captions: the question about an output
// file that exists (append, replace, cancel) and the end message of a run
// (OK, open the file, its folder, the log). It looks as a message box does,
// icon and text above a row of buttons, and it is a real dialog (class
// "#32770"), so the skin reaches its buttons as it reaches a message box's.
#include <windows.h>

#include <string>
#include <vector>

// The prompt's control id: the one a message box gives its text.
inline constexpr int kChoicePrompt = 0xFFFF;

struct ChoiceRequest {
  std::wstring title;
  std::wstring prompt;
  const wchar_t* icon = IDI_INFORMATION;  // a system icon
  // Left to right. The first button's id is IDOK; the others' follow
  // kChoiceButtons in order.
  std::vector<std::wstring> buttons;
  std::size_t defaultButton = 0;  // what Enter presses
  std::size_t cancelButton = 0;   // what Esc and closing the dialog mean
};

// The first id after IDOK's button.
inline constexpr int kChoiceButtons = 0x200;
inline int ChoiceButtonId(std::size_t index) {
  return index == 0 ? IDOK : kChoiceButtons + static_cast<int>(index) - 1;
}

// Shows the dialog, modal to owner: the index of the button pressed, or
// cancelButton when the dialog could not be shown.
std::size_t ShowChoiceDialog(HWND owner, const ChoiceRequest& request);
