#pragma once
// The field chooser: a dialog that reads the record file, lists every code it
// holds with its name, how many records have it and a sample, ticks
// the codes the field list has (or a saved list, when one is picked), shows
// the table the ticked codes would give for the first records with the
// header row chosen under the list, and on OK gives the field list they
// make and that header row.
#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/field_choices.h"
#include "app/record_preview.h"
#include "census/census.h"
#include "desktop_services.h"
#include "dialog_frame.h"
#include "file_system.h"
#include "marc/column_title.h"
#include "text/language.h"
#include "ui_texts.h"
#include "win32_handles.h"

// The dialog's controls besides IDOK and IDCANCEL, in tab order.
enum FieldChooserControl : int {
  kChooserSummary = 201,
  kChooserProgress = 202,
  kChooserList = 203,
  kChooserPreviewLabel = 204,
  kChooserPreview = 205,
  kChooserHeaderLabel = 206,
  kChooserHeaderChoice = 207,
  kChooserSchemeLabel = 208,
  kChooserSchemeChoice = 209,
};

// The list's columns.
inline constexpr int kChooserCodeColumn = 0;
inline constexpr int kChooserNameColumn = 1;
inline constexpr int kChooserShareColumn = 2;
inline constexpr int kChooserSampleColumn = 3;

struct FieldChooserRequest {
  std::vector<std::string> inputPaths;  // UTF-8, read one after another and counted together
  std::string fieldList;                // the field list box's text
  std::string joinSeparator;
  Language language = Language::Chinese;  // of the dialog and the names in it
  HeaderStyle header = HeaderStyle::Codes;
  // The saved lists to start from instead of the box's: name and list.
  std::vector<std::pair<std::string, std::string>> schemes;
};

struct FieldChooserResult {
  std::string list;
  HeaderStyle header = HeaderStyle::Codes;
};

class FieldChooser : private ModalDialog {
 public:
  FieldChooser(DesktopServices& desktop, FileSystem& files, FieldChooserRequest request);

  // Shows the chooser as a modal dialog of owner: the field list the ticked
  // rows make and the header row chosen, when the user presses OK; nullopt
  // when they cancel, or the file cannot be read (which a message box then
  // says).
  std::optional<FieldChooserResult> Show(HWND owner);

 private:
  // Posted once the dialog is up: read the file.
  static constexpr UINT kReadFileMessage = WM_APP + 1;
  static constexpr int kProgressSteps = 1000;
  static constexpr UINT_PTR kListSubclass = 1;

  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
  // A message box says what broke off the dialog, which then ends.
  void Broken() noexcept override;
  void OnOk();
  void OnCancel();
  void OnCommand(int id, int code);

  // The choices under the list (field_chooser_choices.cpp).
  void FillChoices();
  void OnHeaderChosen();
  void OnSchemeChosen();

  // Setting up and laying out.
  void OnInitDialog();
  bool CreateControls();
  void CreateListColumns();
  void ApplyFonts();
  void ApplyLayout();
  void PlaceWindow();
  void OnDpiChanged(int dpi, const RECT& suggested);

  // Reading the file (field_chooser_reading.cpp).
  void ReadFile();
  bool OnReadProgress(std::int64_t records, std::uint64_t bytesRead);
  void ShowReading(bool reading);
  void ShowSummary();

  // The two tables (field_chooser_tables.cpp).
  void FillList();
  void OnPreviewFocus();
  INT_PTR OnListNotify(NMHDR& header);
  void OnListDisplayInfo(LVITEMW& item) const;
  static LRESULT CALLBACK ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclassId,
                                        DWORD_PTR chooser);
  bool OnListInput(UINT message, WPARAM wParam, LPARAM lParam);
  int FocusedRow() const;
  void ToggleRow(int row);
  INT_PTR FindRow(const NMLVFINDITEMW& find) const;
  LRESULT OnListCustomDraw(NMLVCUSTOMDRAW& draw) const;
  void RefreshPreview();

  HWND Control(int id) const { return GetDlgItem(dialog_, id); }

  DesktopServices& desktop_;
  FileSystem& files_;
  FieldChooserRequest request_;
  UiTexts texts_;
  std::vector<std::string> listed_;  // the items of the list started from: the box's, or a saved one
  HeaderStyle header_ = HeaderStyle::Codes;
  int dpi_ = 96;
  int widestName_ = 0;  // the pixels the longest name in the list needs
  win32::Font font_;

  bool reading_ = false;
  bool cancelRequested_ = false;
  bool everPumped_ = false;
  DWORD lastPumped_ = 0;
  std::uint64_t fileSize_ = 0;  // 0 when unknown

  Census census_;
  std::vector<FieldChoice> choices_;
  PreviewRecords previewRecords_;
  std::optional<FieldChooserResult> result_;
};
