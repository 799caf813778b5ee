#pragma once
// The main window: its controls, its event handlers, and the services it
// offers a conversion run (it is the run's window).
#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/window_run.h"
#include "desktop_services.h"
#include "file_system.h"
#include "main_window_layout.h"
#include "settings_store.h"
#include "taskbar_progress.h"
#include "text/language.h"
#include "ui_texts.h"
#include "win32_handles.h"

class MainWindow : public RunWindow {
 public:
  MainWindow(DesktopServices& desktop, SettingsStore& settings, FileSystem& files);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and its controls in the language of the settings or
  // the system, loads it (skin, stored field list), and shows it centred on
  // the screen with the focus in the input path box. False if it could not
  // be created.
  bool Create(HINSTANCE instance, int showCommand);

  HWND Window() const { return window_; }
  Language InterfaceLanguage() const { return language_; }
  // The window's keyboard shortcuts, for its message loop.
  HACCEL Shortcuts() const { return shortcuts_.Get(); }
  HWND Control(ControlId id) const;
  // Puts paths into the input path box: chosen, dropped or "Open with"
  // files; several each in quotes.
  void SetInputPaths(const std::vector<std::wstring>& paths);

  // Services a conversion run uses.
  std::string InputPath() override;
  std::string FieldList() override;
  void SetBeginEnabled(bool enabled) override;
  void ShowProgressLabel() override;
  ProgressAnswer ShowProgress(const std::string& caption, const RunProgress& progress) override;
  bool Ask(Question question, const std::string& prompt) override;
  void Tell(Notice notice, const std::string& text) override;
  OutputChoice ChooseOutputFile() override;
  OutputChoice ChooseOutputProposing(const std::string& proposed) override;
  ExistingAnswer AskAboutExisting(const std::string& prompt) override;
  void TellFinished(Notice notice, const std::string& text, const std::string& output, const std::string& log) override;
  void SaveFieldList() override;

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK SiteLinkProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR subclassId, DWORD_PTR mainWindow);
  static LRESULT CALLBACK FieldListBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                                UINT_PTR subclassId, DWORD_PTR mainWindow);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  // Event handlers.
  void OnMouseOverBackground();
  void OnMouseOverSiteLink();
  void OnSiteLinkClick();
  void OnChooseInput();
  void OnBegin();
  void OnEscape();
  void OnClose();

  // The field chooser and the ways to it (main_window_chooser.cpp).
  void SetUpFieldChooser();
  void AddFieldListLabelTool(HWND toolTip);
  bool OnSetCursor(HWND under);
  void OnChooseFields();
  void OnFieldListMenu(LPARAM at);

  // The lists kept under names and in files (main_window_lists.cpp). True
  // when the command was one of theirs.
  bool OnFieldListCommand(UINT command, const std::vector<std::string>& schemeNames);
  void ReplaceFieldList(const std::string& list);
  void OnSaveScheme(const std::vector<std::string>& schemeNames);
  void OnDeleteScheme(const std::vector<std::string>& schemeNames);
  void OnLoadListFile();
  void OnSaveListFile();

  void OnCommand(int id, int code);
  LRESULT OnControlColour(HDC dc, HWND control);
  void OnActivate(WPARAM wParam);
  void OnNextControl(WPARAM wParam, LPARAM lParam);
  int DefaultButton() const;
  void OnDropFiles(const win32::DroppedFiles& files);
  void OnDpiChanged(int dpi, const RECT& suggested);
  bool OnToolTipShow(HWND toolTip);

  void SetSmallIcon(HINSTANCE instance);
  bool CreateControls(HINSTANCE instance);
  void CreateToolTip(HINSTANCE instance);
  void ApplyLayout();
  void ApplyFonts();
  void CentreOnScreen();
  void LoadSkinAndFieldList();
  void LoadFieldList();
  void SetSiteLinkColour(COLORREF colour);

  int ShowMessageBox(const wchar_t* prompt, unsigned style, const wchar_t* title);
  // Tells the user that the exception being handled stopped the run or a
  // handler. Never throws.
  void ReportFailure(bool duringRun) noexcept;
  void PaintProgress();
  void FinishProgress();

  DesktopServices& desktop_;
  SettingsStore& settings_;
  FileSystem& files_;
  Language language_ = Language::Chinese;
  UiTexts texts_{Language::Chinese};
  HWND window_ = nullptr;
  std::array<HWND, kControlCount> controls_ = {};
  HWND focusBeforeDeactivation_ = nullptr;
  win32::Icon smallIcon_;  // released after ~MainWindow has destroyed the window
  win32::Font font_;
  win32::Font columnFont_;  // the field list label's, small enough for its one-character column
  win32::AcceleratorTable shortcuts_;
  int dpi_ = 96;
  COLORREF siteLinkColour_ = kLinkColour;
  bool running_ = false;
  bool stopAsked_ = false;  // during a run: Esc was pressed and the question is up or answered
  bool stopping_ = false;   // the user said to stop the run
  bool replacing_ = false;  // the run replaces its output, which a stop leaves as it was
  bool closing_ = false;

  // The progress of the run: the latest caption, whether it is on the label,
  // and when the label was last repainted.
  std::string progressCaption_;
  RunProgress progress_;
  std::unique_ptr<TaskbarProgress> taskbar_;
  bool progressShown_ = true;
  bool everPumped_ = false;
  DWORD lastPumped_ = 0;
};
