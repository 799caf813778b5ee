// The main window's field lists kept aside: under names in the registry,
// picked from the field list box's menu, and in files of their own.
#include <windows.h>

#include <optional>

#include "app/field_list_files.h"
#include "app/field_list_schemes.h"
#include "app/messages.h"
#include "field_chooser_access.h"
#include "main_window.h"
#include "scheme_dialog.h"
#include "win32_text.h"

namespace {

// The dialog that names a saved list, with its words and the lists there are.
SchemeDialogRequest SchemeRequest(const UiTexts& texts, const wchar_t* title, const wchar_t* prompt,
                                  const wchar_t* okCaption, const std::vector<std::string>& names) {
  SchemeDialogRequest request;
  request.title = title;
  request.prompt = prompt;
  request.okCaption = okCaption;
  request.cancelCaption = texts.CancelButton();
  request.names = names;
  return request;
}

}  // namespace

bool MainWindow::OnFieldListCommand(UINT command, const std::vector<std::string>& schemeNames) {
  switch (command) {
    case kSaveSchemeCommand: OnSaveScheme(schemeNames); return true;
    case kDeleteSchemeCommand: OnDeleteScheme(schemeNames); return true;
    case kLoadListFileCommand: OnLoadListFile(); return true;
    case kSaveListFileCommand: OnSaveListFile(); return true;
    default: break;
  }
  if (command < kFirstSchemeCommand || command - kFirstSchemeCommand >= schemeNames.size()) return false;
  // A list another window removed meanwhile leaves the box as it is.
  const std::optional<std::string> list = LoadScheme(settings_, schemeNames[command - kFirstSchemeCommand]);
  if (list) ReplaceFieldList(*list);
  return true;
}

// As if typed over the whole text: Undo brings the list before back.
void MainWindow::ReplaceFieldList(const std::string& list) {
  HWND box = Control(kFieldListBox);
  SendMessageW(box, EM_SETSEL, 0, -1);
  SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Widen(list).c_str()));
}

void MainWindow::OnSaveScheme(const std::vector<std::string>& schemeNames) {
  const std::string list = FieldList();
  SchemeDialogRequest request =
      SchemeRequest(texts_, texts_.SaveSchemeTitle(), texts_.SaveSchemePrompt(), texts_.SaveButton(), schemeNames);
  request.accept = [&](HWND dialog, const std::string& typed) {
    const SchemeName checked = CheckSchemeName(typed);
    if (checked.problem != SchemeNameProblem::None) {
      desktop_.ShowMessageBox(dialog, texts_.SchemeNameRefused(checked.problem), MB_OK | MB_ICONWARNING,
                              texts_.NoticeTitle());
      return false;
    }
    const std::optional<std::string> existing = SchemeNamed(schemeNames, checked.name);
    if (existing &&
        desktop_.ShowMessageBox(dialog, texts_.ReplaceSchemePrompt(Widen(*existing)),
                                MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, texts_.NoticeTitle()) != IDYES) {
      return false;
    }
    if (!SaveScheme(settings_, checked.name, list)) {
      desktop_.ShowMessageBox(dialog, texts_.SchemeNotSaved(), MB_OK | MB_ICONERROR, texts_.NoticeTitle());
      return false;
    }
    return true;
  };
  SchemeDialog(std::move(request)).Show(window_);
}

void MainWindow::OnDeleteScheme(const std::vector<std::string>& schemeNames) {
  if (schemeNames.empty()) return;
  SchemeDialogRequest request = SchemeRequest(texts_, texts_.DeleteSchemeTitle(), texts_.DeleteSchemePrompt(),
                                              texts_.DeleteButton(), schemeNames);
  request.typed = false;
  request.accept = [&](HWND dialog, const std::string& name) {
    if (desktop_.ShowMessageBox(dialog, texts_.ConfirmDeleteScheme(Widen(name)),
                                MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, texts_.NoticeTitle()) != IDYES) {
      return false;
    }
    if (!DeleteScheme(settings_, name)) {
      desktop_.ShowMessageBox(dialog, texts_.SchemeNotDeleted(), MB_OK | MB_ICONERROR, texts_.NoticeTitle());
      return false;
    }
    return true;
  };
  SchemeDialog(std::move(request)).Show(window_);
}

void MainWindow::OnLoadListFile() {
  const std::wstring path = desktop_.ChooseListFile(window_, false, language_);
  if (path.empty() || closing_) return;
  const ListFileRead read = ReadFieldListFile(files_, Narrow(path));
  if (read.problem == ListFileRead::Problem::None) {
    ReplaceFieldList(read.list);
    return;
  }
  const std::wstring reason = read.error ? Widen(Messages(language_).Reason(read.error)) : std::wstring();
  ShowMessageBox(texts_.ListFileRefused(read.problem, path, reason).c_str(), MB_OK | MB_ICONWARNING,
                 texts_.NoticeTitle());
}

void MainWindow::OnSaveListFile() {
  const std::string list = FieldList();
  const std::wstring path = desktop_.ChooseListFile(window_, true, language_);
  if (path.empty() || closing_) return;
  const FileError error = WriteFieldListFile(files_, Narrow(path), list);
  if (!error) return;
  const std::wstring reason = Widen(Messages(language_).Reason(error));
  ShowMessageBox(texts_.ListFileNotWritten(path, reason).c_str(), MB_OK | MB_ICONERROR, texts_.NoticeTitle());
}
