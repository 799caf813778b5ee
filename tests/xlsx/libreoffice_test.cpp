// A real spreadsheet program opens workbooks the program made: LibreOffice
// Calc, headless, saves every sheet as CSV with each text cell quoted. Every
// value must come back as the text it was (a number would come back
// unquoted), in a workbook the writer made with its rows split across sheets
// each under the header row, and in one the conversion wrote, whose end
// message counts what a cell could not hold.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "app/messages.h"
#include "conversion.h"
#include "hard_values.h"
#include "memory_sink.h"
#include "record_builder.h"
#include "test_support.h"
#include "xlsx/xlsx_writer.h"

namespace {

// A record of the value in 200$a, in UTF-8. A field holds at most 9,999
// bytes: a longer value goes into pieces, cut at characters, one 200$a each,
// which "200a*" joins with no separator.
std::string HardRecord(const std::string& number, const std::string& value) {
  RecordBuilder record;
  record.Coding('a').Field("001", number);
  std::size_t at = 0;
  do {
    std::size_t end = std::min(value.size(), at + 3000);
    while (end < value.size() && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80) --end;
    record.Field("200", "1 " + Sf("a", value.substr(at, end - at)));
    at = end;
  } while (at < value.size());
  return record.Build();
}

struct Field {
  std::string text;
  bool quoted = false;
};

// RFC 4180 as LibreOffice writes it: "" inside quotes, line breaks inside
// quoted fields, LF after each row.
std::vector<std::vector<Field>> ReadCsv(const std::string& csv) {
  std::vector<std::vector<Field>> rows;
  for (std::size_t at = 0; at < csv.size(); ++at) {
    if (at == 0 || csv[at - 1] == '\n') rows.emplace_back(1);
    Field& field = rows.back().back();
    if (csv[at] == '"' && field.text.empty() && !field.quoted) {
      field.quoted = true;
      for (++at; at < csv.size() && (csv[at] != '"' || csv.compare(at, 2, "\"\"") == 0); ++at) {
        if (csv[at] == '"') ++at;  // the first of two quotes
        field.text += csv[at];
      }
    } else if (csv[at] == ',') {
      rows.back().emplace_back();
    } else if (csv[at] != '\n') {
      field.text += csv[at];
    }
  }
  return rows;
}

TEST(LibreOffice, ReadsEveryValueBackAsText) {
  const TempFolder folder;
  // The sheets' rows as the CSV files must hold them, by the files' names.
  std::map<std::string, std::vector<std::vector<std::string>>> expected;
  constexpr std::size_t kRowsPerSheet = 12;
  const std::vector<std::string> header = {"序号", "值", " 200a "};
  MemorySink sink;
  XlsxLimits limits;
  limits.rowsPerSheet = kRowsPerSheet;
  XlsxWriter writer(sink, header, limits);
  for (std::size_t i = 0; i < kHardValues.size(); ++i) {
    const std::vector<std::string> cells = {std::to_string(i + 1), kHardValues[i].given, "0" + std::to_string(i + 1)};
    writer.StartRow();
    for (const std::string& cell : cells) writer.AddCell(cell);
    ASSERT_TRUE(writer.EndRow());
    auto& rows = expected["written-记录" + std::to_string(i / kRowsPerSheet + 1)];
    if (rows.empty()) rows.push_back(header);
    rows.push_back({cells[0], kHardValues[i].Expected(), cells[2]});
  }
  ASSERT_TRUE(writer.Finish());
  WriteBytes(folder.File("written.xlsx"), sink.bytes);

  // The values a record can hold (a CR ends a record, 0x1D, 0x1E and 0x1F
  // are its structure), each with the record's number: its leading zeros stay.
  std::string records;
  std::int64_t cut = 0, firstCut = 0, leftOut = 0, firstLeftOut = 0, record = 0;
  for (const HardValue& value : kHardValues) {
    if (value.given.find_first_of("\r\x1D\x1E\x1F") != std::string::npos) continue;
    const std::string number = "00" + std::to_string(++record);
    records += HardRecord(number, value.given);
    expected["converted-记录1"].push_back({number, value.Expected()});
    if (!value.cut.empty() && cut++ == 0) firstCut = record;
    if (value.leftOut > 0 && leftOut == 0) firstLeftOut = record;
    leftOut += value.leftOut;
  }
  WriteBytes(folder.File("hard.iso"), records);
  ConversionRequest request;
  request.inputPaths = {folder.File("hard.iso")};
  request.outputPath = folder.File("converted.xlsx");
  request.output = OutputType::Workbook;
  request.items = {"001a", "200a*"};
  request.joinSeparator = "";
  const RunSummary summary = Convert(request, LocalFileSystem());
  ASSERT_EQ(summary.outcome, RunSummary::Outcome::Completed);
  expected["converted-记录1"].insert(expected["converted-记录1"].begin(), request.items);
  // The end message counts the values cut and the control characters left out.
  EXPECT_TRUE(summary.cutValues == cut && summary.firstCutRecord.number == firstCut);
  EXPECT_TRUE(summary.deletedControls == leftOut && summary.firstDeletedControlRecord.number == firstLeftOut);
  const std::string message = Messages(Language::Chinese).Finished(summary, TextEncoding::Utf8, request.outputPath);
  EXPECT_NE(message.find("\n有" + std::to_string(cut) + "个值超过单元格的上限（32767个字符），已截断，第一个在第" +
                         std::to_string(firstCut) + "条记录。\n" + std::to_string(leftOut) +
                         "个控制字符已删去，第一处在第" + std::to_string(firstLeftOut) + "条记录。"),
            std::string::npos)
      << message;
  RunSummary twoSheets = summary;
  twoSheets.sheets = 2;
  EXPECT_NE(Messages(Language::Chinese).Finished(twoSheets, TextEncoding::Utf8, "b.xlsx").find("b.xlsx（共2个工作表）"),
            std::string::npos);

  // Calc with its own profile and home, both in the test's folder.
  const std::string command =
      "HOME='" + folder.File("") + "' '" QUIRNEL_SOFFICE "' --headless -env:UserInstallation=file://" +
      folder.File("profile") +
      " --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true,true,false,false,false,-1' --outdir '" +
      folder.File("csv") + "' '" + folder.File("written.xlsx") + "' '" + folder.File("converted.xlsx") + "' >'" +
      folder.File("soffice.log") + "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << ReadBytes(folder.File("soffice.log"));
  const std::size_t sheets = (kHardValues.size() + kRowsPerSheet - 1) / kRowsPerSheet;
  EXPECT_FALSE(Exists(folder.File("csv/written-记录" + std::to_string(sheets + 1) + ".csv"))) << "a sheet too many";
  for (const auto& [name, rows] : expected) {
    const std::vector<std::vector<Field>> csv = ReadCsv(ReadBytes(folder.File("csv/" + name + ".csv")));
    ASSERT_EQ(csv.size(), rows.size()) << name;
    for (std::size_t row = 0; row < rows.size(); ++row) {
      ASSERT_EQ(csv[row].size(), rows[row].size()) << name << ", row " << row;
      for (std::size_t column = 0; column < rows[row].size(); ++column) {
        const Field& field = csv[row][column];
        EXPECT_TRUE(field.text == rows[row][column] && (field.quoted || field.text.empty()))
            << name << ", row " << row << ", column " << column << ": " << (field.quoted ? "" : "not text: ")
            << field.text.substr(0, 80);
      }
    }
  }
}

}  // namespace
