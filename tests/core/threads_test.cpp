// Rows made on several threads come out as one thread makes them: the same
// lines in the same order, the same counts, the same log, the same stop.
#include <gtest/gtest.h>

#include <sstream>

#include "app/messages.h"
#include "conversion.h"
#include "marc/record_splitter.h"
#include "record_builder.h"
#include "test_support.h"

namespace {

std::string Numbered(int n, const std::string& field100 = "") {
  RecordBuilder record;
  record.Field("001", "id" + std::to_string(n));
  if (!field100.empty()) record.Field("100", "  " + Sf("a", field100));
  return record.Field("200", "1 " + Sf("a", "t" + std::to_string(n)) + Sf("f", "a\tb\nc")).Build();
}

// Batches end after a megabyte or a few thousand records: small records by
// the thousand, records larger than a batch, one too long to hold at all,
// damaged ones, and records that read otherwise than they declare.
std::string Mixed(int first, bool tooLong) {
  std::string bytes;
  for (int n = first; n < first + 5000; ++n) bytes += Numbered(n) + (n % 3 == 0 ? "\r\n" : "");
  const std::string big(3u << 20, 'x');
  bytes += RecordBuilder().Field("200", "1 " + Sf("a", big) + Sf("f", "big")).Build();
  bytes += "junk\r\n";
  bytes += Numbered(first + 1, "20060827d2006    km y0chiy0950    ea") + "\r\n";  // UTF-8 declared, GBK bytes
  if (tooLong) bytes += std::string(kLargestRecord + 10, 'z') + "\x1D";
  for (int n = first + 5000; n < first + 5100; ++n) bytes += Numbered(n);
  return bytes;
}

std::string Describe(const RunSummary& s) {
  std::ostringstream text;
  text << int(s.outcome) << ' ' << s.records << ' ' << s.malformed << ' ' << s.utf8Records << ' ' << s.utf8ReadAsGbk
       << ' ' << s.firstUtf8ReadAsGbk.file << ':' << s.firstUtf8ReadAsGbk.number << ' ' << s.unwritable << ' '
       << s.loggedProblems << ' ' << s.failure.keptRecords.value_or(-1) << ' ' << s.cutValues;
  for (const MalformedRecord& m : s.firstMalformed) text << " m" << m.file << ':' << m.number << '@' << m.offset;
  for (const std::string& column : s.emptyColumns) text << " e" << column;
  for (const std::string& hint : s.emptyColumnHints) text << " h" << hint;
  return text.str();
}

struct Outcome {
  std::string summary, output, log;
};

Outcome Converted(const TempFolder& folder, unsigned threads, OutputType type, std::int64_t stopAfter = -1) {
  static const Messages words(Language::Chinese);
  ConversionRequest request;
  request.inputPaths = {folder.File("a.iso"), folder.File("b.iso")};
  request.outputPath = folder.File(type == OutputType::Workbook ? "out.xlsx" : "out.txt");
  request.output = type;
  request.items = {"000#", "001", "200a", "200f", "200A", "701a*", "200a/0-1", "000@"};
  request.log = {folder.File("out.log.txt"), &words};
  request.threads = threads;
  std::remove(request.outputPath.c_str());
  const RunSummary summary =
      Convert(request, LocalFileSystem(), [&](const RunProgress& p) { return p.records != stopAfter; });
  return {Describe(summary), ReadBytes(request.outputPath),
          Exists(request.log.path) ? ReadBytes(request.log.path) : ""};
}

TEST(Threads, RowsComeOutAsOneThreadMakesThem) {
  TempFolder folder;
  WriteBytes(folder.File("a.iso"), Mixed(1, true));
  WriteBytes(folder.File("b.iso"), Mixed(20000, false));
  const std::pair<OutputType, std::int64_t> runs[] = {
      {OutputType::GbkText, -1}, {OutputType::GbkText, 4097}, {OutputType::GbkText, 5103}, {OutputType::Workbook, -1}};
  for (const auto& [type, stopAfter] : runs) {
    const Outcome one = Converted(folder, 1, type, stopAfter);
    for (const unsigned threads : {2u, 7u}) {
      const Outcome many = Converted(folder, threads, type, stopAfter);
      EXPECT_EQ(many.summary, one.summary) << threads << " threads, stopped after " << stopAfter;
      EXPECT_TRUE(many.output == one.output) << threads << " threads, stopped after " << stopAfter;
      EXPECT_TRUE(many.log == one.log) << threads << " threads, stopped after " << stopAfter;
    }
  }
  // The rows are the records' own, in order, numbered within their files.
  const std::string text = Converted(folder, 7, OutputType::GbkText).output;
  std::size_t at = 0;
  for (const std::string row :
       {"5000\tid5000\tt5000\tab c\t", "5001\t\t", "5005\tid5001\tt5001\t", "5104\tid5100\tt5100\t",
        "1\tid20000\tt20000\tab c\t\t\tt2\tb.iso\t\r\n", "5103\tid25099\tt25099\tab c\t\t\tt2\tb.iso\t\r\n"}) {
    at = text.find("\r\n" + row, at);
    ASSERT_NE(at, std::string::npos) << row;
  }
}

}  // namespace
