#pragma once
// The services of the main window that a conversion run uses. The window gives
// the real dialogs and controls, marc2tab a non-interactive stand-in, and the
// tests a scripted fake. All texts are UTF-8.
#include <cstdint>
#include <string>

enum class Answer { Yes = 6, No = 7 };

// Message-box styles, with the values of the platform's MB_ flags.
enum MessageStyle : unsigned {
  kStyleConfirm = 0x34,       // MB_YESNO | MB_ICONEXCLAMATION
  kStyleAskAppend = 0x144,    // MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2
  kStyleInformation = 0x40,   // MB_OK | MB_ICONINFORMATION
  kStyleWarning = 0x30,       // MB_OK | MB_ICONWARNING
  kStyleError = 0x10,         // MB_OK | MB_ICONERROR
};

struct RunProgress {
  std::int64_t records = 0;       // records converted so far in this run
  std::uint64_t bytesRead = 0;    // input bytes consumed so far
};

class RunWindow {
 public:
  virtual ~RunWindow() = default;

  virtual std::string InputPathText() = 0;   // Text1
  virtual std::string FieldListText() = 0;   // Text2
  virtual void SetStartEnabled(bool enabled) = 0;  // Command3
  virtual void ShowProgressLabel() = 0;            // Label3 visible

  // Sets Label3's caption and lets pending window events run. Returns false
  // when the window is being closed: the run then stops at a line boundary.
  virtual bool ShowProgress(const std::string& caption, const RunProgress& progress) = 0;

  virtual Answer AskYesNo(const std::string& prompt, unsigned style, const std::string& title) = 0;
  virtual void ShowMessage(const std::string& prompt, unsigned style, const std::string& title) = 0;
  // The chosen output path, or "" when the user cancels.
  virtual std::string ChooseSaveFile() = 0;
  // "read" loads the stored list into Text2; any other mode saves Text2.
  virtual void FieldListSetting(const std::string& mode) = 0;
};
