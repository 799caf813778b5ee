// The chooser's two tables: the list of codes with their check boxes, and
// the preview, which follows every tick.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "field_chooser.h"
#include "field_chooser_layout.h"
#include "win32_text.h"

namespace {

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

UINT CheckBoxIn(UINT state) { return (state & LVIS_STATEIMAGEMASK) >> 12; }

void SetCheckBox(HWND list, int row, UINT checkBox) {
  LVITEMW item = {};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(checkBox);
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
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

// Gives the table exactly `count` columns (at least one: a list view's
// first column stays), with these headers and widths.
void SetColumns(HWND table, const std::vector<std::string>& headers, std::size_t count, int width) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(table, LVM_GETHEADER, 0, 0));
  int have = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  const int want = static_cast<int>(std::max<std::size_t>(count, 1));
  while (have > want && SendMessageW(table, LVM_DELETECOLUMN, have - 1, 0)) --have;
  for (int column = 0; column < want; ++column) {
    std::wstring text = static_cast<std::size_t>(column) < count ? Widen(headers[column]) : std::wstring();
    LVCOLUMNW spec = {};
    spec.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    spec.pszText = text.data();
    spec.cx = width;
    spec.iSubItem = column;
    const UINT message = column < have ? LVM_SETCOLUMNW : LVM_INSERTCOLUMNW;
    SendMessageW(table, message, column, reinterpret_cast<LPARAM>(&spec));
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

void FieldChooser::FillList() {
  HWND list = Control(kChooserList);
  filling_ = true;
  {
    const Redraw redraw(list);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    SendMessageW(list, LVM_SETITEMCOUNT, choices_.size(), 0);
    for (std::size_t i = 0; i < choices_.size(); ++i) {
      const FieldChoice& choice = choices_[i];
      const int row = InsertRow(list, static_cast<int>(i), choice.code);
      if (row < 0) throw std::bad_alloc();
      SetCell(list, row, kChooserNameColumn, choice.name);
      SetCell(list, row, kChooserShareColumn, choice.share);
      SetCell(list, row, kChooserSampleColumn, choice.sample);
      SetCheckBox(list, row, CheckBoxOf(choice));
    }
    if (!choices_.empty()) {
      LVITEMW first = {};
      first.stateMask = first.state = LVIS_FOCUSED | LVIS_SELECTED;
      SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&first));
    }
  }
  filling_ = false;
}

INT_PTR FieldChooser::OnListNotify(NMHDR& header) {
  switch (header.code) {
    case LVN_ITEMCHANGING:
      return OnListItemChanging(reinterpret_cast<const NMLISTVIEW&>(header));
    case LVN_ITEMCHANGED:
      OnListItemChanged(reinterpret_cast<const NMLISTVIEW&>(header));
      return 0;
    case NM_CUSTOMDRAW:
      return OnListCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
    default:
      return 0;
  }
}

// A row for information only never gets a check box: the list would give
// it one on Space or a click.
INT_PTR FieldChooser::OnListItemChanging(const NMLISTVIEW& change) const {
  if (filling_ || !(change.uChanged & LVIF_STATE) || change.iItem < 0) return FALSE;
  const auto row = static_cast<std::size_t>(change.iItem);
  if (row >= choices_.size() || Tickable(choices_[row])) return FALSE;
  return CheckBoxIn(change.uNewState) != kNoCheckBox && ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK);
}

void FieldChooser::OnListItemChanged(const NMLISTVIEW& change) {
  if (filling_ || !(change.uChanged & LVIF_STATE) || change.iItem < 0) return;
  if (!((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK)) return;
  const auto row = static_cast<std::size_t>(change.iItem);
  if (row >= choices_.size() || !Tickable(choices_[row])) return;
  const bool ticked = CheckBoxIn(change.uNewState) == kTicked;
  if (choices_[row].ticked == ticked) return;
  choices_[row].ticked = ticked;
  RefreshPreview();
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
  const std::vector<PreviewRow> rows = PreviewTable(previewRecords_, items, request_.joinSeparator);
  HWND preview = Control(kChooserPreview);
  {
    const Redraw redraw(preview);
    SendMessageW(preview, LVM_DELETEALLITEMS, 0, 0);
    SetColumns(preview, items, shown, PreviewColumnWidth(dpi_));
    for (std::size_t r = 0; r < rows.size() && shown > 0; ++r) {
      const int row = InsertRow(preview, static_cast<int>(r), rows[r][0]);
      if (row < 0) throw std::bad_alloc();
      for (std::size_t column = 1; column < shown; ++column) SetCell(preview, row, static_cast<int>(column), rows[r][column]);
    }
  }
  std::wstring label = L"预览：前" + std::to_wstring(rows.size()) + L"条记录按勾选的字段转换的结果，列的顺序即确定后字段列表的顺序";
  if (shown < items.size()) label += L"（共" + std::to_wstring(items.size()) + L"列，只显示前" + std::to_wstring(shown) + L"列）";
  SetWindowTextW(Control(kChooserPreviewLabel), (label + L"：").c_str());
}
