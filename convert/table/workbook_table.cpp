#include "table/workbook_table.h"

TableChanges WorkbookTable::Changes() const {
  if (!workbook_) return {};
  TableChanges changes;
  changes.sheets = workbook_->Sheets();
  changes.cutValues = workbook_->CutCells();
  changes.firstCutRow = workbook_->FirstCutRow();
  changes.deletedControls = workbook_->DeletedControls();
  changes.firstDeletedControlRow = workbook_->FirstDeletedControlRow();
  return changes;
}
