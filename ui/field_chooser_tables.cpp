// The chooser's two tables: the list of codes with their check boxes, and
// the preview, which follows every tick and the header row chosen.
#include <windows.h>

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <new>

#include "field_chooser.h"
#include "field_chooser_layout.h"
#include "marc/field_code.h"
#include "win32_text.h"

namespace {

// What a list view cell needs beside its text, at 96 DPI.
constexpr int kCellPadding = 16;

// The check box images of a list with LVS_EX_CHECKBOXES; none for a row
// that cannot be ticked.
constexpr UINT kNoCheckBox = 0;
constexpr UINT kUnticked = 1;
constexpr UINT kTicked = 2;

// Rows shown for information only sit on a grey band, like headings of the
// codes below them; items only the list has, often mistyped, stand out.
constexpr COLORREF kInformationRowColour = RGB(238, 238, 238);
constexpr COLORREF kListOnlyItemColour = RGB(176, 0, 0);

bool Tickable(const FieldChoice& choice) { return !choice.item.empty() || !choice.fromFile; }

UINT CheckBoxOf(const FieldChoice& choice) {
  if (!Tickable(choice)) return kNoCheckBox;
  return choice.ticked ? kTicked : kUnticked;
}

const std::string& CellOf(const FieldChoice& choice, int column) {
  switch (column) {
    case kChooserNameColumn: return choice.name;
    case kChooserShareColumn: return choice.share;
    case kChooserSampleColumn: return choice.sample;
    default: return choice.code;
  }
}

// Copies text into a buffer of the list's, cut to fit.
void CopyInto(const std::wstring& text, wchar_t* buffer, int capacity) {
  if (buffer == nullptr || capacity <= 0) return;
  const std::size_t length = std::min(text.size(), static_cast<std::size_t>(capacity - 1));
  std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length), buffer);
  buffer[length] = L'\0';
}

bool StartsWithIgnoringCase(const std::wstring& text, const wchar_t* prefix) {
  const std::size_t length = std::wcslen(prefix);
  return text.size() >= length && CompareStringOrdinal(text.c_str(), static_cast<int>(length), prefix,
                                                       static_cast<int>(length), TRUE) == CSTR_EQUAL;
}

// Adds a row with its first cell; its index, or -1.
int InsertRow(HWND table, int row, const std::string& text) {
  std::wstring wide = Widen(text);
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = wide.data();
  return static_cast<int>(SendMessageW(table, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void SetCell(HWND table, int row, int column, const std::string& text) {
  std::wstring wide = Widen(text);
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = wide.data();
  SendMessageW(table, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

// Gives the table a column for each header (at least one: a list view's
// first column stays), all of the same width.
void SetColumns(HWND table, const std::vector<std::string>& headers, int width) {
  HWND headerControl = reinterpret_cast<HWND>(SendMessageW(table, LVM_GETHEADER, 0, 0));
  int have = static_cast<int>(SendMessageW(headerControl, HDM_GETITEMCOUNT, 0, 0));
  const int want = static_cast<int>(std::max<std::size_t>(headers.size(), 1));
  while (have > want && SendMessageW(table, LVM_DELETECOLUMN, have - 1, 0)) --have;
  for (int column = 0; column < want; ++column) {
    std::wstring text = headers.empty() ? std::wstring() : Widen(headers[column]);
    LVCOLUMNW header = {};
    header.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    header.pszText = text.data();
    header.cx = width;
    header.iSubItem = column;
    const UINT message = column < have ? LVM_SETCOLUMNW : LVM_INSERTCOLUMNW;
    SendMessageW(table, message, column, reinterpret_cast<LPARAM>(&header));
  }
}

// The list view stops painting while it is refilled, and paints once after.
class Redraw {
 public:
  explicit Redraw(HWND table) : table_(table) { SendMessageW(table_, WM_SETREDRAW, FALSE, 0); }
  ~Redraw() {
    SendMessageW(table_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(table_, nullptr, TRUE);
  }
  Redraw(const Redraw&) = delete;
  Redraw& operator=(const Redraw&) = delete;

 private:
  HWND table_;
};

}  // namespace

// The list holds no rows of its own: it asks for what it shows (see
// OnListDisplayInfo), so that a file of many thousand codes fills it at once.
void FieldChooser::FillList() {
  HWND list = Control(kChooserList);
  // Names end in words such as "（全部出现）" that must not be cut.
  widestName_ = 0;
  for (const FieldChoice& choice : choices_) {
    const int width = static_cast<int>(
        SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(Widen(choice.name).c_str())));
    widestName_ = std::max(widestName_, width + ScaleForDpi(kCellPadding, dpi_));
  }
  ApplyLayout();
  SendMessageW(list, LVM_SETITEMCOUNT, choices_.size(), 0);
  if (!choices_.empty()) {
    LVITEMW first = {};
    first.stateMask = first.state = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&first));
  }
  InvalidateRect(list, nullptr, TRUE);
}

// Tab into the preview: a focused row shows where the focus is.
void FieldChooser::OnPreviewFocus() {
  HWND preview = Control(kChooserPreview);
  if (SendMessageW(preview, LVM_GETITEMCOUNT, 0, 0) == 0) return;
  if (SendMessageW(preview, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED) >= 0) return;
  LVITEMW first = {};
  first.stateMask = first.state = LVIS_FOCUSED | LVIS_SELECTED;
  SendMessageW(preview, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&first));
}

INT_PTR FieldChooser::OnListNotify(NMHDR& header) {
  switch (header.code) {
    case LVN_GETDISPINFOW: OnListDisplayInfo(reinterpret_cast<NMLVDISPINFOW&>(header).item); return 0;
    case LVN_ODFINDITEMW: return FindRow(reinterpret_cast<const NMLVFINDITEMW&>(header));
    case NM_CUSTOMDRAW: return OnListCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
    default: return 0;
  }
}

void FieldChooser::OnListDisplayInfo(LVITEMW& item) const {
  if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= choices_.size()) return;
  const FieldChoice& choice = choices_[static_cast<std::size_t>(item.iItem)];
  if (item.mask & LVIF_TEXT) CopyInto(Widen(CellOf(choice, item.iSubItem)), item.pszText, item.cchTextMax);
  if (item.mask & LVIF_STATE) {
    item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(CheckBoxOf(choice));
    item.stateMask |= LVIS_STATEIMAGEMASK;
  }
}

// Space and a click on a check box tick or untick a row here, before the
// list sees them: what a list of rows it does not hold does with them
// differs between versions of the common controls. True when the message
// was one of them.
bool FieldChooser::OnListInput(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN && wParam == VK_SPACE) {
    ToggleRow(FocusedRow());
    return true;
  }
  if (message == WM_CHAR && wParam == L' ') return true;  // no code begins with a blank to look for
  if (message != WM_LBUTTONDOWN && message != WM_LBUTTONDBLCLK) return false;
  HWND list = Control(kChooserList);
  LVHITTESTINFO hit = {};
  hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  const int row = static_cast<int>(SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (row < 0 || !(hit.flags & LVHT_ONITEMSTATEICON)) return false;
  SetFocus(list);
  LVITEMW focus = {};
  focus.stateMask = focus.state = LVIS_FOCUSED | LVIS_SELECTED;
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&focus));
  ToggleRow(row);
  return true;
}

LRESULT CALLBACK FieldChooser::ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR self) {
  if (message == WM_NCDESTROY) RemoveWindowSubclass(list, ListProcedure, kListSubclass);
  auto* chooser = reinterpret_cast<FieldChooser*>(self);
  // An exception must not unwind through the system's code that called us.
  try {
    if (chooser->OnListInput(message, wParam, lParam)) return 0;
  } catch (...) {
    chooser->Broken();
    EndDialog(chooser->dialog_, IDCANCEL);
    return 0;
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

int FieldChooser::FocusedRow() const {
  return static_cast<int>(SendMessageW(Control(kChooserList), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void FieldChooser::ToggleRow(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= choices_.size()) return;
  FieldChoice& choice = choices_[static_cast<std::size_t>(row)];
  if (!Tickable(choice)) return;
  choice.ticked = !choice.ticked;
  SendMessageW(Control(kChooserList), LVM_REDRAWITEMS, row, row);
  RefreshPreview();
}

// Typing a code's first characters moves to its row, as in any list.
INT_PTR FieldChooser::FindRow(const NMLVFINDITEMW& find) const {
  if (!(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || find.lvfi.psz == nullptr || choices_.empty()) return -1;
  const std::size_t count = choices_.size();
  const std::size_t start = find.iStart >= 0 ? static_cast<std::size_t>(find.iStart) % count : 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t row = (start + i) % count;
    if (StartsWithIgnoringCase(Widen(choices_[row].code), find.lvfi.psz)) return static_cast<INT_PTR>(row);
  }
  return -1;
}

LRESULT FieldChooser::OnListCustomDraw(NMLVCUSTOMDRAW& draw) const {
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT || draw.nmcd.dwItemSpec >= choices_.size()) return CDRF_DODEFAULT;
  const FieldChoice& choice = choices_[draw.nmcd.dwItemSpec];
  if (!Tickable(choice)) draw.clrTextBk = kInformationRowColour;
  if (!choice.fromFile) draw.clrText = kListOnlyItemColour;
  return CDRF_DODEFAULT;
}

// The table the ticked rows give, in the order OK writes them.
void FieldChooser::RefreshPreview() {
  const std::vector<std::string> items = ChosenItems(listed_, choices_);
  const std::size_t shown = std::min(items.size(), kPreviewColumnsShown);
  const std::vector<std::string> shownItems(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(shown));
  const std::vector<PreviewRow> rows = PreviewTable(previewRecords_, shownItems, request_.joinSeparator);
  std::vector<std::string> titles;
  for (const std::string& item : shownItems)
    titles.push_back(ColumnTitle(ParseFieldCode(item), header_, request_.language));
  HWND preview = Control(kChooserPreview);
  {
    const Redraw redraw(preview);
    SendMessageW(preview, LVM_DELETEALLITEMS, 0, 0);
    SetColumns(preview, titles, PreviewColumnWidth(dpi_));
    for (std::size_t r = 0; r < rows.size() && shown > 0; ++r) {
      const int row = InsertRow(preview, static_cast<int>(r), rows[r][0]);
      if (row < 0) throw std::bad_alloc();
      for (std::size_t column = 1; column < shown; ++column) {
        SetCell(preview, row, static_cast<int>(column), rows[r][column]);
      }
    }
  }
  SetWindowTextW(Control(kChooserPreviewLabel), texts_.PreviewLabel(rows.size(), items.size(), shown).c_str());
}
