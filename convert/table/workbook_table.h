#pragma once
// An Excel workbook, written beside its target and put in its place whole
// (or, on standard output, as it goes). Every value is looked at for control
// characters, tabs among them: a cell shows only line breaks.
#include <memory>

#include "table/table_sink.h"
#include "xlsx/xlsx_writer.h"

class WorkbookTable final : public TableSink {
 public:
  explicit WorkbookTable(std::unique_ptr<OutputFile> file) : file_(std::move(file)), sink_(*file_) {}

  std::optional<Failure> Refusal(const std::string&) override { return std::nullopt; }
  void Header(const std::vector<std::string>& cells) override {
    workbook_ = std::make_unique<XlsxWriter>(sink_, cells);
  }

  void StartRow() override { workbook_->StartRow(); }
  void Add(std::string_view value, bool) override { workbook_->AddText(value); }
  void EndCell() override { workbook_->EndCell(); }
  bool EndRow(std::int64_t) override { return workbook_->EndRow(); }

  bool Finish() override { return workbook_->Finish() && file_->Close(); }
  bool FlushWholeRows() override { return true; }
  // Nothing of a workbook that failed is kept: the target stays as it was.
  std::int64_t Abandon() override {
    file_->Discard();
    return 0;
  }
  FileError Error() const override { return file_->Error(); }
  TableChanges Changes() const override;
  const std::vector<std::uint32_t>& CutColumns() const override { return workbook_->CutColumnsOfRow(); }

 private:
  class FileSink : public ByteSink {
   public:
    explicit FileSink(OutputFile& file) : file_(file) {}
    bool Write(const char* data, std::size_t size) override { return file_.Write(data, size); }

   private:
    OutputFile& file_;
  };

  std::unique_ptr<OutputFile> file_;
  FileSink sink_;
  std::unique_ptr<XlsxWriter> workbook_;
};
