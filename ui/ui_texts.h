#pragma once
// The window's own texts in the interface's language: its captions, tool
// tips and menu, the titles of its message boxes, the file dialogs' titles
// and types, the field chooser's headings and lines, and what is shown when
// something failed inside the window. What a run, a census or a preview has
// to say is app/messages.h's.
#include <cstdint>
#include <string>

#include "app/field_list_files.h"
#include "app/field_list_schemes.h"
#include "marc/column_title.h"
#include "settings_store.h"
#include "table/table_formats.h"
#include "text/language.h"

// The settings' Language value ("zh" or "en") when there is one; otherwise
// Chinese for a user whose Windows speaks Chinese, English for any other.
Language InterfaceLanguage(SettingsStore& settings);

class UiTexts {
 public:
  explicit UiTexts(Language language) : chinese_(language == Language::Chinese) {}

  // The main window.
  const wchar_t* WindowCaption() const;
  const wchar_t* ChooseButton() const;
  const wchar_t* FieldListLabel() const;
  // The progress label until a run counts its first record.
  const wchar_t* ProgressLabelAtStart() const;
  const wchar_t* FieldListToolTip() const;
  const wchar_t* FieldListLabelToolTip() const;
  // The field list box's shortcut menu.
  const wchar_t* UndoItem() const;
  const wchar_t* CutItem() const;
  const wchar_t* CopyItem() const;
  const wchar_t* PasteItem() const;
  const wchar_t* DeleteItem() const;
  const wchar_t* SelectAllItem() const;
  const wchar_t* ChooseFieldsItem() const;
  const wchar_t* SaveSchemeItem() const;
  const wchar_t* SchemesItem() const;
  const wchar_t* NoSchemesItem() const;  // the submenu's one item when no list is saved
  const wchar_t* DeleteSchemeItem() const;
  const wchar_t* LoadListFileItem() const;
  const wchar_t* SaveListFileItem() const;

  // The dialogs that save and delete a list kept under a name, and what
  // they ask and say.
  const wchar_t* SaveSchemeTitle() const;
  const wchar_t* SaveSchemePrompt() const;
  const wchar_t* SaveButton() const;
  const wchar_t* DeleteSchemeTitle() const;
  const wchar_t* DeleteSchemePrompt() const;
  const wchar_t* DeleteButton() const;
  std::wstring ReplaceSchemePrompt(const std::wstring& name) const;
  std::wstring ConfirmDeleteScheme(const std::wstring& name) const;
  const wchar_t* SchemeNameRefused(SchemeNameProblem problem) const;
  const wchar_t* SchemeNotSaved() const;
  const wchar_t* SchemeNotDeleted() const;

  // The list files' dialogs (the filter holds its own NULs), and why a file
  // was not read or written; reason is the file error's, when there is one.
  const wchar_t* LoadListFileTitle() const;
  const wchar_t* SaveListFileTitle() const;
  const wchar_t* ListFileFilter() const;
  std::wstring ListFileRefused(ListFileRead::Problem problem, const std::wstring& path,
                               const std::wstring& reason) const;
  std::wstring ListFileNotWritten(const std::wstring& path, const std::wstring& reason) const;

  // The message boxes: the question before a run, and every other question
  // and notice.
  const wchar_t* ConfirmTitle() const;
  const wchar_t* NoticeTitle() const;
  // An exception stopped a run, or whatever else the user asked for. Fixed
  // texts: there may be no memory left to compose one.
  const wchar_t* Failed(bool outOfMemory, bool duringRun) const noexcept;

  // The file dialogs. The open dialog's filter holds its own NULs.
  const wchar_t* OpenTitle() const;
  const wchar_t* OpenFilter() const;
  const wchar_t* SaveTitle() const;
  const wchar_t* SaveType(OutputType type) const;

  // The field chooser.
  const wchar_t* ChooserTitle() const;
  // The list's column headers: code, name, share of records, sample.
  const wchar_t* ChooserHeader(int column) const;
  const wchar_t* OkButton() const;
  const wchar_t* CancelButton() const;
  // The choices under the list: what the header row shows, and the list to
  // start from.
  const wchar_t* HeaderLabel() const;
  const wchar_t* HeaderChoice(HeaderStyle style) const;
  const wchar_t* SchemeLabel() const;
  const wchar_t* ListInTheBox() const;
  // The files the chooser reads, by the first one's name: "a.iso", or
  // "a.iso 等3个文件" for several.
  std::wstring FilesNamed(const std::wstring& first, std::size_t count) const;
  // The line above the list while the file is read, and once it is.
  std::wstring Reading(const std::wstring& file) const;
  std::wstring ReadingSoFar(const std::wstring& file, std::int64_t records) const;
  // Of the records, faulty ones are malformed in some way, and of those the
  // malformed ones could not be read at all.
  std::wstring Summary(const std::wstring& file, std::int64_t records, std::int64_t faulty,
                       std::int64_t malformed) const;
  // The preview's label: its rows, and how many of the columns it shows.
  std::wstring PreviewLabel(std::size_t rows, std::size_t columns, std::size_t shown) const;

 private:
  const wchar_t* Pick(const wchar_t* chinese, const wchar_t* english) const noexcept {
    return chinese_ ? chinese : english;
  }

  bool chinese_;
};
