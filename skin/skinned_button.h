#pragma once
// A skinned push button: its four state images, drawn from the template in
// the button's size, and where its fade stands. SkinButton makes one and
// hands it to the button's subclass, which owns it until UnskinButton.
#include <windows.h>

#include <array>

#include "memory_image.h"
#include "skin_core.h"

namespace skin {

class SkinnedButton {
 public:
  // isDefault: whether the button was the dialog's default push button
  // before the skin made it owner-drawn.
  SkinnedButton(HWND button, bool isDefault);
  ~SkinnedButton();  // stops a running fade
  SkinnedButton(const SkinnedButton&) = delete;
  SkinnedButton& operator=(const SkinnedButton&) = delete;

  // Set-up and size (button_setup.cpp).
  // Images of the button's size; false when any cannot be made.
  bool MakeImages();
  // Draws the four state images from the template: nine pieces of the
  // state's slice, the caption, and the focus rectangle while the button has
  // the focus.
  void RenderImages();
  // New images of the button's new size, rendered, and a new rounded region;
  // the images of the old size stay when new ones cannot be made.
  void Resize();

  // The button's messages (button_wnd_proc.cpp).
  void Paint();
  void RunFadeStep();
  // The dialog manager moves the default with BM_SETSTYLE: the style the
  // button is given instead, which keeps it owner-drawn.
  WPARAM KeepOwnerDrawn(WPARAM style);
  LRESULT PushButtonDialogCode(LRESULT code) const;
  // What follows the button's own handling of the message.
  void AfterPassingOn(UINT message, WPARAM wParam);

  HDC Image(int state) const { return images_[state].Get(); }
  // The state shown, or faded to while a fade runs.
  int ShownState() const { return shownState_; }
  bool Fading() const { return fadeTimer_ != 0; }
  bool IsDefault() const { return isDefault_; }

 private:
  // At most one fade timer per button.
  void StartFadeTimer();
  void StopFadeTimer();
  void FadeTo(int state, int startAlpha);
  void CopyStateTo(HDC screen, int state) const;
  void ShowEnabled(bool enabled);
  void Refresh();
  void OnMouseMove();
  void OnRelease();
  void OnFocusChange();

  HWND window_;
  std::array<MemoryImage, kStateCount> images_;
  bool trackingLeave_ = false;  // a leave notification is asked for
  UINT_PTR fadeTimer_ = 0;      // the running fade timer, 0 when none
  int shownState_;
  int alpha_ = 0;  // of the next fade step
  bool isDefault_;
};

// The skin of the button, null when it has none.
SkinnedButton* SkinnedButtonOf(HWND hwnd);

}  // namespace skin
