#pragma once
// The main window: its controls, its event handlers and the services the
// conversion run uses.
#include <windows.h>

#include <array>
#include <string>

#include "desktop_services.h"
#include "file_system.h"
#include "form_layout.h"
#include "settings_store.h"

class Form1 {
 public:
  Form1(DesktopServices& desktop, SettingsStore& settings, FileSystem& files);
  ~Form1();
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Creates the window and its controls, runs Form_Load, and shows the window
  // centred on the screen with the focus in Text1. False if it could not be
  // created.
  bool Create(HINSTANCE instance, int showCommand);

  HWND Window() const { return window_; }
  HWND Control(ControlId id) const;
  HWND ToolTip() const { return toolTip_; }
  COLORREF Label4Colour() const { return label4Colour_; }
  // True from the moment the window starts closing.
  bool Closing() const { return closing_; }
  // Keyboard navigation between the controls (Tab, Shift+Tab); true when the
  // message was handled and must not be dispatched.
  bool PreTranslateMessage(MSG& message);

  // Event handlers.
  void Form_Load();
  void Form_MouseMove();
  void Label4_MouseMove();
  void Label4_Click();
  void Command1_Click();
  void Command3_Click();
  void Form_Unload();

  // Services of the window.
  std::wstring ChooseOpenFile();
  std::wstring ChooseSaveFile();
  int ShowMessageBox(const std::wstring& prompt, unsigned style, const std::wstring& title);
  // "read" loads the stored field list into Text2; any other mode saves it.
  void FieldListSetting(const std::string& mode);

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK Label4Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR subclassId, DWORD_PTR form);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(int id, int code);
  LRESULT OnControlColour(HDC dc, HWND control);
  void OnActivate(WPARAM wParam);
  void OnDpiChanged(int dpi, const RECT& suggested);

  bool CreateControls(HINSTANCE instance);
  void CreateToolTip(HINSTANCE instance);
  void ApplyLayout();
  void ApplyFonts();
  void CentreOnScreen();
  void SetLabel4Colour(COLORREF colour);

  DesktopServices& desktop_;
  SettingsStore& settings_;
  FileSystem& files_;
  HWND window_ = nullptr;
  std::array<HWND, kControlCount> controls_ = {};
  HWND toolTip_ = nullptr;
  HWND focusBeforeDeactivation_ = nullptr;
  HFONT font_ = nullptr;
  HFONT columnFont_ = nullptr;  // Label1's, small enough for its one-character column
  int dpi_ = 96;
  COLORREF label4Colour_ = kLinkColour;
  bool running_ = false;
  bool closing_ = false;
};
