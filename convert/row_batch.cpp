#include "row_batch.h"

#include "marc/field_data.h"
#include "marc/record_view.h"

namespace {

// The 001 of a readable record, for finding it in the log; "" otherwise.
std::string_view IdOf(const RecordView& view) {
  std::string_view id;
  if (view.Status() != ViewStatus::Ok) return id;
  field_data::WalkFields(view, [&](std::size_t, std::string_view tag, std::string_view data) {
    if (id.empty() && tag == "001") id = field_data::WithoutFinalTerminators(data);
  });
  return id;
}

// The faults of the record's whole directory, not only of the fields the
// columns read: a record counts as malformed whatever the list, as the
// census of the same file counts it.
field_data::DirectoryFaults FaultsOf(const RecordView& view) {
  if (view.Status() != ViewStatus::Ok || view.PlainDirectory()) return {};
  return field_data::WalkFields(view, [](std::size_t, std::string_view, std::string_view) {});
}

// What was wrong with the record just made a row of, if anything; the first
// thing that went wrong names it.
std::optional<MalformedKind> Classify(const RecordView& view, bool cellFailed, bool cutShort) {
  if (view.Status() == ViewStatus::Refused) return MalformedKind::Refused;
  if (view.Status() == ViewStatus::Failed) return MalformedKind::Unreadable;
  const field_data::DirectoryFaults faults = FaultsOf(view);
  if (cellFailed || faults.badEntry) return MalformedKind::BadCell;
  if (faults.overlap) return MalformedKind::FieldsOverlap;
  if (cutShort) return MalformedKind::NoRecordEnd;
  return std::nullopt;
}

template <typename Rows>
MadeRow MakeRow(RowMaker& maker, RowBatch<Rows>& batch, std::size_t i, bool keepIds) {
  const BatchRecord& record = batch.records[i];
  MadeRow row;
  if (record.tooLong) {
    maker.WriteEmpty(batch.rows);
    row.malformed = MalformedKind::TooLong;
  } else {
    const std::size_t marksBefore = maker.WrittenAsTwoMarks();
    row.facts = maker.Write(batch.rows, batch.Record(i));
    row.malformed = Classify(maker.View(), row.facts.cellFailed, record.cutShort);
    row.writtenAsTwoMarks = maker.WrittenAsTwoMarks() - marksBefore;
    const std::vector<std::uint32_t>& unwritable = maker.UnwritableColumns();
    batch.unwritableColumns.insert(batch.unwritableColumns.end(), unwritable.begin(), unwritable.end());
    row.idBegin = batch.ids.size();
    if (keepIds) batch.ids.append(IdOf(maker.View()));
    row.idEnd = batch.ids.size();
  }
  row.cellsEnd = batch.rows.EndRow();
  row.unwritableEnd = batch.unwritableColumns.size();
  row.filledEnd = maker.NewlyFilled().size();
  row.foundProbesEnd = maker.NewlyFoundProbes().size();
  return row;
}

}  // namespace

template <typename Rows>
void MakeRows(RowMaker& maker, RowBatch<Rows>& batch, bool keepIds) {
  try {
    maker.SetFileName(batch.fileName, batch.recordsBefore);
    for (std::size_t i = 0; i < batch.records.size(); ++i) batch.made.push_back(MakeRow(maker, batch, i, keepIds));
  } catch (...) {
    // Memory ran out: the rows made so far are whole, and are written.
    batch.failure = std::current_exception();
  }
}

template void MakeRows(RowMaker&, RowBatch<TextLines>&, bool);
template void MakeRows(RowMaker&, RowBatch<RecordedCells>&, bool);
