#pragma once
// The main window: its controls, its event handlers, and the services it
// offers a conversion run (it is the run's window).
#include <windows.h>

#include <array>
#include <string>

#include "desktop_services.h"
#include "file_system.h"
#include "form_layout.h"
#include "run_window.h"
#include "settings_store.h"
#include "win32_handles.h"

class Form1 : public RunWindow {
 public:
  Form1(DesktopServices& desktop, SettingsStore& settings, FileSystem& files);
  ~Form1() override;
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Creates the window and its controls, runs Form_Load, and shows the window
  // centred on the screen with the focus in Text1. False if it could not be
  // created.
  bool Create(HINSTANCE instance, int showCommand);

  HWND Window() const { return window_; }
  HWND Control(ControlId id) const;
  // Puts a path into Text1: a chosen, dropped or "Open with" file.
  void SetInputPath(const std::wstring& path);

  // Services a conversion run uses.
  std::string InputPathText() override;
  std::string FieldListText() override;
  void SetStartEnabled(bool enabled) override;
  void ShowProgressLabel() override;
  bool ShowProgress(const std::string& caption, const RunProgress& progress) override;
  Answer AskYesNo(const std::string& prompt, unsigned style, const std::string& title) override;
  void ShowMessage(const std::string& prompt, unsigned style, const std::string& title) override;
  std::string ChooseSaveFile() override;
  // "read" loads the stored field list into Text2; any other mode saves it.
  void FieldListSetting(const std::string& mode) override;

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK Label4Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR subclassId, DWORD_PTR form);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  // Event handlers.
  void Form_Load();
  void Form_MouseMove();
  void Label4_MouseMove();
  void Label4_Click();
  void Command1_Click();
  void Command3_Click();
  void Form_Unload();

  void OnCommand(int id, int code);
  LRESULT OnControlColour(HDC dc, HWND control);
  void OnActivate(WPARAM wParam);
  void OnNextControl(WPARAM wParam, LPARAM lParam);
  int DefaultButton() const;
  void OnDropFiles(const win32::DroppedFiles& files);
  void OnDpiChanged(int dpi, const RECT& suggested);

  void SetSmallIcon(HINSTANCE instance);
  bool CreateControls(HINSTANCE instance);
  void CreateToolTip(HINSTANCE instance);
  void ApplyLayout();
  void ApplyFonts();
  void CentreOnScreen();
  void SetLabel4Colour(COLORREF colour);

  int ShowMessageBox(const wchar_t* prompt, unsigned style, const wchar_t* title);
  // Tells the user that the exception being handled stopped the run or a
  // handler. Never throws.
  void ReportFailure(bool duringRun) noexcept;
  void PaintProgress();
  void FinishProgress();

  DesktopServices& desktop_;
  SettingsStore& settings_;
  FileSystem& files_;
  HWND window_ = nullptr;
  std::array<HWND, kControlCount> controls_ = {};
  HWND focusBeforeDeactivation_ = nullptr;
  win32::Icon smallIcon_;  // released after ~Form1 has destroyed the window
  win32::Font font_;
  win32::Font columnFont_;  // Label1's, small enough for its one-character column
  int dpi_ = 96;
  COLORREF label4Colour_ = kLinkColour;
  bool running_ = false;
  bool closing_ = false;

  // The progress of the run: the latest caption, whether it is on the label,
  // and when the label was last repainted.
  std::string progressCaption_;
  bool progressShown_ = true;
  bool everPumped_ = false;
  DWORD lastPumped_ = 0;
};
