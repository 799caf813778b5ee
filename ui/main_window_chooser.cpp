// The main window's ways to the field chooser: the field list label as a
// link, the field list box's shortcut menu and the F4 key; and the chooser
// itself, opened on the file of the input path box.
#include <windows.h>

#include <commctrl.h>

#include <optional>

#include "app/field_list_schemes.h"
#include "app/field_list_setting.h"
#include "app/messages.h"
#include "field_chooser.h"
#include "field_chooser_access.h"
#include "main_window.h"
#include "win32_text.h"

namespace {

constexpr UINT_PTR kFieldListBoxSubclass = 2;

}  // namespace

void MainWindow::SetUpFieldChooser() {
  SetWindowSubclass(Control(kFieldListBox), FieldListBoxProcedure, kFieldListBoxSubclass,
                    reinterpret_cast<DWORD_PTR>(this));
  ACCEL shortcut = {FVIRTKEY, static_cast<WORD>(kChooseFieldsKey), static_cast<WORD>(kChooseFieldsCommand)};
  shortcuts_.Reset(CreateAcceleratorTableW(&shortcut, 1));
}

void MainWindow::AddFieldListLabelTool(HWND toolTip) {
  TTTOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(Control(kFieldListLabel));
  tool.lpszText = const_cast<wchar_t*>(texts_.FieldListLabelToolTip());
  SendMessageW(toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// The label opens the chooser on a click: the pointer says so.
bool MainWindow::OnSetCursor(HWND under) {
  if (under == nullptr || under != Control(kFieldListLabel)) return false;
  SetCursor(LoadCursorW(nullptr, IDC_HAND));
  return true;
}

void MainWindow::OnChooseFields() {
  if (closing_) return;
  std::vector<std::string> paths = InputsToStartWith(*this, files_, Messages(language_));
  if (paths.empty()) return;
  FieldChooserRequest request;
  request.inputPaths = std::move(paths);
  request.fieldList = FieldList();
  request.joinSeparator = JoinSeparatorSetting(settings_);
  request.language = language_;
  request.header = LoadHeaderStyle(settings_);
  for (const std::string& name : SchemeNames(settings_)) {
    if (std::optional<std::string> list = LoadScheme(settings_, name)) request.schemes.push_back({name, *list});
  }
  FieldChooser chooser(desktop_, files_, std::move(request));
  const std::optional<FieldChooserResult> chosen = chooser.Show(window_);
  if (!chosen || closing_) return;
  SetWindowTextW(Control(kFieldListBox), Widen(chosen->list).c_str());
  SaveHeaderStyle(settings_, chosen->header);  // a store that cannot be written keeps the style for this time
}

void MainWindow::OnFieldListMenu(LPARAM at) {
  HWND box = Control(kFieldListBox);
  const std::vector<std::string> schemeNames = SchemeNames(settings_);
  const win32::Menu menu = FieldListMenu(box, texts_, schemeNames);
  if (!menu) return;
  const UINT command = desktop_.ShowShortcutMenu(window_, menu.Get(), MenuPoint(box, at));
  if (command == kChooseFieldsCommand) {
    OnChooseFields();
  } else if (!OnFieldListCommand(command, schemeNames)) {
    RunEditCommand(box, command);
  }
}

LRESULT CALLBACK MainWindow::FieldListBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                   DWORD_PTR mainWindow) {
  if (message == WM_NCDESTROY) RemoveWindowSubclass(box, FieldListBoxProcedure, kFieldListBoxSubclass);
  // Ctrl+A selects the whole list, which a multi-line box does not do by itself.
  const bool control = GetKeyState(VK_CONTROL) < 0;
  if (message == WM_KEYDOWN && wParam == 'A' && control) {
    SendMessageW(box, EM_SETSEL, 0, -1);
    return 0;
  }
  if (message == WM_CHAR && wParam == 1) return 0;  // Ctrl+A's character: no beep
  if (message != WM_CONTEXTMENU) return DefSubclassProc(box, message, wParam, lParam);
  auto* window = reinterpret_cast<MainWindow*>(mainWindow);
  // An exception must not unwind through the system's code that called us.
  try {
    window->OnFieldListMenu(lParam);
  } catch (...) {
    window->ReportFailure(false);
  }
  return 0;
}
