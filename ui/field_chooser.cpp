// The field chooser as a dialog: made from a template in memory, so that it
// is a real dialog (class "#32770") that the skin reaches through its owner,
// with its controls made and placed here at the window's DPI.
#include "field_chooser.h"

#include <commctrl.h>

#include <algorithm>
#include <new>
#include <stdexcept>

#include "dialog_frame.h"
#include "dpi_awareness.h"
#include "field_chooser_layout.h"
#include "main_window_layout.h"
#include "marc/field_list.h"

namespace {

constexpr DWORD kDialogStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CLIPCHILDREN | DS_MODALFRAME;
constexpr DWORD kTable =
    kDialogChild | WS_TABSTOP | WS_GROUP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;
// The list of codes shows rows of the chooser's own, which may be many thousand.
constexpr DWORD kCodeList = kTable | LVS_OWNERDATA;
constexpr DWORD kChoice = kDialogChild | WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST;

struct ChildControl {
  int id;
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};

// In tab order: the order they are made in is the order the dialog's Tab follows.
const ChildControl kControls[] = {
    {kChooserSummary, L"Static", kDialogChild | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0},
    {kChooserProgress, PROGRESS_CLASSW, kDialogChild, 0},
    {kChooserList, WC_LISTVIEWW, kCodeList, WS_EX_CLIENTEDGE},
    {kChooserHeaderLabel, L"Static", kDialogChild | SS_LEFT | SS_NOPREFIX, 0},
    {kChooserHeaderChoice, WC_COMBOBOXW, kChoice, 0},
    {kChooserSchemeLabel, L"Static", kDialogChild | SS_LEFT | SS_NOPREFIX, 0},
    {kChooserSchemeChoice, WC_COMBOBOXW, kChoice, 0},
    {kChooserPreviewLabel, L"Static", kDialogChild | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0},
    {kChooserPreview, WC_LISTVIEWW, kTable, WS_EX_CLIENTEDGE},
    {IDOK, L"Button", kDialogChild | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0},
    {IDCANCEL, L"Button", kDialogChild | WS_TABSTOP | BS_PUSHBUTTON, 0},
};

SIZE WorkAreaOf(HWND window) {
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) return {1 << 15, 1 << 15};
  return {monitor.rcWork.right - monitor.rcWork.left, monitor.rcWork.bottom - monitor.rcWork.top};
}

}  // namespace

FieldChooser::FieldChooser(DesktopServices& desktop, FileSystem& files, FieldChooserRequest request)
    : desktop_(desktop), files_(files), request_(std::move(request)), texts_(request_.language) {}

std::optional<FieldChooserResult> FieldChooser::Show(HWND owner) {
  listed_ = ParseFieldList(request_.fieldList);
  header_ = request_.header;
  result_.reset();
  Run(owner, kDialogStyle, texts_.ChooserTitle());
  return result_;
}

INT_PTR FieldChooser::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: OnInitDialog(); return FALSE;  // the focus is where OnInitDialog put it
    case kReadFileMessage: ReadFile(); return TRUE;
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_NOTIFY: {
      auto& header = *reinterpret_cast<NMHDR*>(lParam);
      if (header.idFrom == kChooserPreview && header.code == NM_SETFOCUS) OnPreviewFocus();
      if (header.idFrom != kChooserList) return FALSE;
      SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, OnListNotify(header));
      return TRUE;
    }
    case WM_SIZE: ApplyLayout(); return TRUE;
    case WM_GETMINMAXINFO: {
      const SIZE smallest = FieldChooserSmallestClientSize(dpi_);
      const SIZE outer = OuterSizeForClient(smallest.cx, smallest.cy, kDialogStyle, 0, dpi_);
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {outer.cx, outer.cy};
      return TRUE;
    }
    case WM_DPICHANGED: OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return TRUE;
    default: return FALSE;
  }
}

void FieldChooser::Broken() noexcept {
  result_.reset();
  const wchar_t* prompt = texts_.Failed(false, false);
  try {
    throw;
  } catch (const std::bad_alloc&) {
    prompt = texts_.Failed(true, false);
  } catch (...) {
  }
  try {
    desktop_.ShowMessageBox(dialog_, prompt, MB_OK | MB_ICONERROR, texts_.NoticeTitle());
  } catch (...) {
    MessageBoxW(dialog_, prompt, texts_.NoticeTitle(), MB_OK | MB_ICONERROR);
  }
}

void FieldChooser::OnInitDialog() {
  dpi_ = DpiOfWindow(dialog_);
  if (!CreateControls()) throw std::runtime_error("the chooser's controls could not be made");
  ApplyFonts();
  PlaceWindow();
  ShowReading(true);
  SetFocus(Control(IDCANCEL));
  // Read once the dialog is on the screen, where its progress and Cancel show.
  PostMessageW(dialog_, kReadFileMessage, 0, 0);
}

bool FieldChooser::CreateControls() {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog_, GWLP_HINSTANCE));
  for (const ChildControl& child : kControls) {
    const wchar_t* caption = child.id == IDOK                  ? texts_.OkButton()
                             : child.id == IDCANCEL            ? texts_.CancelButton()
                             : child.id == kChooserHeaderLabel ? texts_.HeaderLabel()
                             : child.id == kChooserSchemeLabel ? texts_.SchemeLabel()
                                                               : L"";
    HWND control = CreateWindowExW(child.exStyle, child.className, caption, child.style, 0, 0, 0, 0, dialog_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(child.id)), instance, nullptr);
    if (control == nullptr) return false;
  }
  SendMessageW(Control(kChooserProgress), PBM_SETRANGE32, 0, kProgressSteps);
  const DWORD tableStyle = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
  SendMessageW(Control(kChooserList), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, tableStyle | LVS_EX_CHECKBOXES);
  // The check boxes show the rows' own ticks, asked for with the rows' text.
  SendMessageW(Control(kChooserList), LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
  SetWindowSubclass(Control(kChooserList), ListProcedure, kListSubclass, reinterpret_cast<DWORD_PTR>(this));
  SendMessageW(Control(kChooserPreview), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, tableStyle | LVS_EX_GRIDLINES);
  CreateListColumns();
  FillChoices();
  return true;
}

void FieldChooser::CreateListColumns() {
  for (int column = 0; column < 4; ++column) {
    LVCOLUMNW header = {};
    header.mask = LVCF_TEXT | LVCF_SUBITEM | LVCF_FMT;
    header.fmt = column == kChooserShareColumn ? LVCFMT_RIGHT : LVCFMT_LEFT;
    header.pszText = const_cast<wchar_t*>(texts_.ChooserHeader(column));
    header.iSubItem = column;
    SendMessageW(Control(kChooserList), LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&header));
  }
}

void FieldChooser::ApplyFonts() {
  const LOGFONTW message = MessageFontFor(dpi_);
  win32::Font font(CreateFontIndirectW(&message));
  if (!font) return;  // the controls keep the font they have
  for (const ChildControl& child : kControls) {
    SendMessageW(Control(child.id), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
  }
  font_ = std::move(font);
}

// The size of a 96-DPI screen's dialog at the window's DPI, but never
// larger than the monitor's work area, centred on the owner.
void FieldChooser::PlaceWindow() {
  const SIZE work = WorkAreaOf(dialog_);
  SIZE client = FieldChooserClientSize(dpi_);
  SIZE outer = OuterSizeForClient(client.cx, client.cy, kDialogStyle, 0, dpi_);
  outer = {std::min(outer.cx, work.cx), std::min(outer.cy, work.cy)};
  HWND owner = GetWindow(dialog_, GW_OWNER);
  const POINT at = owner != nullptr ? CentredOn(owner, outer) : POINT{0, 0};
  SetWindowPos(dialog_, nullptr, at.x, at.y, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  ApplyLayout();
}

void FieldChooser::ApplyLayout() {
  RECT client = {};
  if (!GetClientRect(dialog_, &client) || Control(IDOK) == nullptr) return;
  const FieldChooserLayout layout = LayOutFieldChooser({client.right, client.bottom}, dpi_);
  Place(Control(kChooserSummary), layout.summary);
  Place(Control(kChooserProgress), layout.progress);
  Place(Control(kChooserList), layout.list);
  Place(Control(kChooserHeaderLabel), layout.headerLabel);
  Place(Control(kChooserSchemeLabel), layout.schemeLabel);
  // A drop-down's height is its list's too; it shows the height of its font.
  const int dropped = ScaleForDpi(kDroppedChoiceHeight, dpi_);
  for (const auto& [id, place] :
       {std::pair{kChooserHeaderChoice, layout.headerChoice}, std::pair{kChooserSchemeChoice, layout.schemeChoice}}) {
    Place(Control(id), {place.left, place.top, place.right, place.bottom + dropped});
  }
  Place(Control(kChooserPreviewLabel), layout.previewLabel);
  Place(Control(kChooserPreview), layout.preview);
  Place(Control(IDOK), layout.okButton);
  Place(Control(IDCANCEL), layout.cancelButton);
  RECT listClient = {};
  GetClientRect(Control(kChooserList), &listClient);
  // Room for the vertical scroll bar, so that no horizontal one appears.
  const FieldChooserColumns widths =
      FieldChooserColumnWidths(listClient.right - GetSystemMetrics(SM_CXVSCROLL), dpi_, request_.language, widestName_);
  const int columnWidths[] = {widths.code, widths.name, widths.share, widths.sample};
  for (int column = 0; column < 4; ++column) {
    SendMessageW(Control(kChooserList), LVM_SETCOLUMNWIDTH, column, columnWidths[column]);
  }
}

void FieldChooser::OnDpiChanged(int dpi, const RECT& suggested) {
  // Moved to a monitor of another scale: the same layout at its DPI.
  dpi_ = dpi;
  ApplyFonts();
  SetWindowPos(dialog_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  ApplyLayout();
  if (!reading_) RefreshPreview();
}

void FieldChooser::OnCommand(int id, int code) {
  switch (id) {
    case IDOK: OnOk(); break;
    case IDCANCEL: OnCancel(); break;
    case kChooserHeaderChoice:
      if (code == CBN_SELCHANGE) OnHeaderChosen();
      break;
    case kChooserSchemeChoice:
      if (code == CBN_SELCHANGE) OnSchemeChosen();
      break;
    default: break;
  }
}

void FieldChooser::OnOk() {
  if (reading_) return;  // Enter while reading: nothing is chosen yet
  result_ = FieldChooserResult{JoinFieldList(ChosenItems(listed_, choices_)), header_};
  EndDialog(dialog_, IDOK);
}

void FieldChooser::OnCancel() {
  // While the file is read, the census is stopped first; it ends the dialog.
  if (reading_) {
    cancelRequested_ = true;
    return;
  }
  result_.reset();
  EndDialog(dialog_, IDCANCEL);
}
