#pragma once
// Records of one input gathered into a batch, and the rows made of them on a
// thread of their own. The reading thread copies records in as the splitter
// gives them; a thread of the pool makes their rows into the batch's own
// cells; the writing thread then takes the rows, in input order, into the
// table, and counts and logs what each row found.
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion.h"
#include "marc/record_batch.h"
#include "row_maker.h"
#include "table/line_buffer.h"

// What making a record's row found, for the writer to count and log.
struct MadeRow {
  RowFacts facts;
  std::optional<MalformedKind> malformed;
  std::size_t writtenAsTwoMarks = 0;
  std::size_t cellsEnd = 0;       // where the row ends in the batch's rows
  std::size_t unwritableEnd = 0;  // where its columns end in unwritableColumns
  std::size_t idBegin = 0;        // its 001 in ids, when a log is kept
  std::size_t idEnd = 0;
  std::size_t filledEnd = 0;       // of the maker's NewlyFilled(), after this row
  std::size_t foundProbesEnd = 0;  // of the maker's NewlyFoundProbes(), after this row
};

// Rows as lines of text, each cell already as a text table holds it: the
// writer copies each line whole.
class TextLines {
 public:
  // Room for a batch's lines from the start: grown a piece at a time, a
  // buffer is copied and cleared again and again.
  TextLines() { lines_.Reserve(RecordBatch::kBytes); }
  void StartRow() {}
  void Add(std::string_view value, bool mayHoldTabs) { lines_.AddToCell(value, mayHoldTabs); }
  void EndCell() { lines_.EndCell(); }
  std::size_t EndRow() {
    lines_.EndLine();
    return lines_.Size();
  }
  std::string_view Between(std::size_t begin, std::size_t end) const {
    return lines_.Lines().substr(begin, end - begin);
  }
  void Clear() {
    if (lines_.Capacity() > RecordBatch::kMostKept) lines_ = LineBuffer();
    lines_.Clear();
  }

 private:
  LineBuffer lines_;
};

// Rows as the values handed to each cell, for a table that makes its cells
// itself (a workbook): the writer hands them over again.
class RecordedCells {
 public:
  void StartRow() {}
  void Add(std::string_view value, bool mayHoldTabs) {
    bytes_.append(value);
    pieces_.push_back({bytes_.size(), mayHoldTabs ? Piece::MayHoldTabs : Piece::Plain});
  }
  void EndCell() { pieces_.push_back({bytes_.size(), Piece::CellEnd}); }
  std::size_t EndRow() const { return pieces_.size(); }
  void Clear() {
    if (bytes_.capacity() > RecordBatch::kMostKept) std::string().swap(bytes_);
    if (pieces_.capacity() > RecordBatch::kMostKept / sizeof(Piece)) std::vector<Piece>().swap(pieces_);
    bytes_.clear();
    pieces_.clear();
  }

  // Hands the cells of the pieces [begin, end) to a table.
  template <typename Table>
  void HandTo(Table& table, std::size_t begin, std::size_t end) const {
    std::size_t from = begin == 0 ? 0 : pieces_[begin - 1].end;
    for (std::size_t i = begin; i < end; ++i) {
      const Piece& piece = pieces_[i];
      if (piece.kind == Piece::CellEnd) {
        table.EndCell();
      } else {
        table.Add(std::string_view(bytes_).substr(from, piece.end - from), piece.kind == Piece::MayHoldTabs);
      }
      from = piece.end;
    }
  }

 private:
  struct Piece {
    enum Kind : unsigned char { Plain, MayHoldTabs, CellEnd };
    std::size_t end;  // in bytes_
    Kind kind;
  };
  std::string bytes_;
  std::vector<Piece> pieces_;
};

template <typename Rows>
struct RowBatch : RecordBatch {
  std::size_t file = 0;            // the input, an index into the request's
  std::string fileName;            // its name without its folder (UTF-8), for "000@"
  std::int64_t recordsBefore = 0;  // of the file, before the batch's first
  // Made on the pool: a row for each record, unless making one failed
  // (failure then says why, and the rows before it are whole).
  std::vector<MadeRow> made;
  Rows rows;
  std::vector<std::uint32_t> unwritableColumns;
  std::string ids;
  std::exception_ptr failure;

  // Once its rows are written: the room a long record's row took goes too.
  void ReleaseLongRoom() {
    RecordBatch::ReleaseLongRoom();
    rows.Clear();
  }
  void Begin(std::size_t inputFile, std::string_view name, std::int64_t before) {
    Clear();
    file = inputFile;
    fileName = name;
    recordsBefore = before;
    made.clear();
    rows.Clear();
    unwritableColumns.clear();
    ids.clear();
    failure = nullptr;
  }
  std::string_view Id(std::size_t i) const {
    return std::string_view(ids).substr(made[i].idBegin, made[i].idEnd - made[i].idBegin);
  }
};

// Makes the rows of a batch's records. keepIds: a log is kept, which names
// each record by its 001.
template <typename Rows>
void MakeRows(RowMaker& maker, RowBatch<Rows>& batch, bool keepIds);
