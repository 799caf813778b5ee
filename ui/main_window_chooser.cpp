// The main window's ways to the field chooser: the field list label as a
// link, the field list box's shortcut menu and the F4 key; and the chooser
// itself, opened on the file of the input path box.
#include <windows.h>

#include <commctrl.h>

#include <optional>

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
  const std::string path = InputToStartWith(*this, files_, Messages(language_));
  if (path.empty()) return;
  FieldChooser chooser(desktop_, files_, {path, FieldList(), JoinSeparatorSetting(settings_), language_});
  const std::optional<std::string> list = chooser.Show(window_);
  if (list && !closing_) SetWindowTextW(Control(kFieldListBox), Widen(*list).c_str());
}

void MainWindow::OnFieldListMenu(LPARAM at) {
  HWND box = Control(kFieldListBox);
  const win32::Menu menu = FieldListMenu(box, texts_);
  if (!menu) return;
  const UINT command = desktop_.ShowShortcutMenu(window_, menu.Get(), MenuPoint(box, at));
  if (command == kChooseFieldsCommand) {
    OnChooseFields();
  } else {
    RunEditCommand(box, command);
  }
}

LRESULT CALLBACK MainWindow::FieldListBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                   DWORD_PTR mainWindow) {
  if (message == WM_NCDESTROY) RemoveWindowSubclass(box, FieldListBoxProcedure, kFieldListBoxSubclass);
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
