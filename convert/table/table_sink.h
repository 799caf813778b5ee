#pragma once
// Where a conversion's rows go. A table takes a header, then rows cell by
// cell in the table's encoding, and keeps, when something fails, what its
// kind of file can keep. Every kind of output is one of these; the formats
// offered are listed in table_formats.h.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "file_system.h"
#include "report/failure.h"

// What a table did to values on the way, for the end message.
struct TableChanges {
  int sheets = 0;                                                // of a workbook; 0 for text
  std::int64_t cutValues = 0, firstCutRow = 0;                   // longer than a cell holds
  std::int64_t deletedControls = 0, firstDeletedControlRow = 0;  // characters a cell cannot show
};

class TableSink {
 public:
  virtual ~TableSink() = default;

  // What keeps this run's rows out of the file (an encoding other than its
  // own, a file whose encoding cannot be told), or nullopt: the run begins.
  virtual std::optional<Failure> Refusal(const std::string& path) = 0;
  virtual void Header(const std::vector<std::string>& cells) = 0;

  virtual void StartRow() = 0;
  // Adds to the cell being made; mayHoldTabs is false when the value is known
  // to hold no tab or line break.
  virtual void Add(std::string_view value, bool mayHoldTabs) = 0;
  virtual void EndCell() = 0;
  // Ends the row of the records-th record; false when the file failed.
  virtual bool EndRow(std::int64_t records) = 0;

  // Every row written and the file closed (and put in place); false on failure.
  virtual bool Finish() = 0;
  // Writes the whole rows gathered so far, before the run gives up for
  // another reason than the file (the records converted so far stay).
  virtual bool FlushWholeRows() = 0;
  // After a failure: what the kind of file can keep stays, and the records
  // kept are returned.
  virtual std::int64_t Abandon() = 0;
  virtual FileError Error() const = 0;
  virtual TableChanges Changes() const { return {}; }
  // The columns of the row just ended whose values were cut to fit a cell.
  virtual const std::vector<std::uint32_t>& CutColumns() const {
    static const std::vector<std::uint32_t> none;
    return none;
  }
};
