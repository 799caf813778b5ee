// bench_xlsx: times the workbook writer on a catalogue-like table (15
// columns of Chinese and ASCII text, about 600 bytes a row) at each zlib
// level, with the compression on a second thread and without, to choose the
// level. The rows are made before the clock starts; the workbook goes to a
// sink that only counts its bytes, or to a file with --output.
//
//   bench_xlsx [--rows N] [--repeat N] [--levels 1,2,...] [--output FILE]
//
// With --wide-row it measures memory instead: one record of about 33 KB,
// whose four 200 fields hold 1,000 $a, converted with a field list of ITEMS times
// "200a*" into FOLDER/wide.xlsx or FOLDER/wide.txt, so that one row holds
// ITEMS copies of every $a. It prints the process's largest resident size;
// run it once per format, since that size is the whole process's.
//
//   bench_xlsx --wide-row ITEMS --format xlsx|tsv FOLDER
//
// A megabyte is 1,000,000 bytes; "text" is the bytes of the cell values, and
// the tab-text equivalent adds a tab between cells and CR LF after each row.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "app/messages.h"
#include "cnmarc_words.h"
#include "conversion.h"
#include "peak_memory.h"
#include "xlsx/xlsx_writer.h"

namespace {

using Clock = std::chrono::steady_clock;
using Row = std::vector<std::string>;

class Words {
 public:
  explicit Words(std::uint32_t seed) : random_(seed) {}

  template <typename Array>
  std::string Pick(const Array& words) {
    return words[std::uniform_int_distribution<std::size_t>(0, words.size() - 1)(random_)];
  }
  int Number(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  std::string Name() {
    std::string name = Pick(cnmarc_words::kSurnames) + Pick(cnmarc_words::kGivenNameCharacters);
    if (Number(0, 1) == 1) name += Pick(cnmarc_words::kGivenNameCharacters);
    return name;
  }

 private:
  std::mt19937 random_;
};

// One row as the default field list gives it: 001, 010a, 010d, 200a, 200e,
// 200f, 210a, 210c, 210d, 215a, 225a, 606a, 690a, 701a, 330a.
Row MakeRow(Words& words) {
  using namespace cnmarc_words;
  const std::string year = std::to_string(words.Number(1950, 2024));
  Row row;
  row.push_back("");  // the record number, filled in per row
  row.push_back("978-7-" + std::to_string(words.Number(100, 5999)) + "-" + std::to_string(words.Number(1000, 9999)) +
                "-" + std::to_string(words.Number(0, 9)));
  row.push_back("CNY" + std::to_string(words.Number(8, 380)) + ".00");
  row.push_back(words.Pick(kTitleHeads) + words.Pick(kTitleTopics) + words.Pick(kTitleTails));
  row.push_back(words.Number(0, 2) == 0 ? "" : words.Pick(kSubtitles));
  row.push_back(words.Name() + words.Pick(kRoles));
  row.push_back(words.Pick(kPlaces));
  row.push_back(words.Pick(kPublishers));
  row.push_back(year + "." + std::to_string(words.Number(1, 12)));
  row.push_back(std::to_string(words.Number(50, 900)) + "页");
  row.push_back(words.Number(0, 3) == 0 ? words.Pick(kSeries) : "");
  row.push_back(words.Pick(kSubjects) + "-" + words.Pick(kSubdivisions) + "-" + words.Pick(kPeriods));
  row.push_back(words.Pick(kClassHeads) + std::to_string(words.Number(0, 999)) + "." +
                std::to_string(words.Number(1, 9)));
  row.push_back(words.Name() + "+" + words.Name());
  std::string abstract;
  for (int sentences = words.Number(3, 7); sentences > 0; --sentences) abstract += words.Pick(kAbstractSentences);
  row.push_back(abstract);
  return row;
}

const std::vector<std::string> kHeader = {"001",  "010a", "010d", "200a", "200e", "200f", "210a", "210c",
                                          "210d", "215a", "225a", "606a", "690a", "701a", "330a"};

class CountingSink : public ByteSink {
 public:
  explicit CountingSink(std::FILE* file) : file_(file) {}
  bool Write(const char* data, std::size_t size) override {
    bytes += size;
    return file_ == nullptr || std::fwrite(data, 1, size, file_) == size;
  }
  std::uint64_t bytes = 0;

 private:
  std::FILE* file_;
};

struct Result {
  double seconds = 0, cpuSeconds = 0;
  std::uint64_t outputBytes = 0;
};

Result WriteWorkbook(const std::vector<Row>& rows, std::int64_t count, ZipOptions zip, const std::string& output) {
  std::FILE* file = output.empty() ? nullptr : std::fopen(output.c_str(), "wb");
  CountingSink sink(file);
  const Clock::time_point wall = Clock::now();
  const std::clock_t cpu = std::clock();
  XlsxWriter writer(sink, kHeader, {}, zip);
  char number[32];
  for (std::int64_t i = 0; i < count; ++i) {
    const Row& row = rows[static_cast<std::size_t>(i) % rows.size()];
    writer.StartRow();
    std::snprintf(number, sizeof number, "%012lld", static_cast<long long>(i + 1));
    writer.AddCell(number);
    for (std::size_t column = 1; column < row.size(); ++column) writer.AddCell(row[column]);
    writer.EndRow();
  }
  const bool finished = writer.Finish();
  Result result;
  result.seconds = std::chrono::duration<double>(Clock::now() - wall).count();
  result.cpuSeconds = static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
  result.outputBytes = sink.bytes;
  if (file != nullptr && std::fclose(file) != 0) std::fprintf(stderr, "could not write %s\n", output.c_str());
  if (!finished) std::fprintf(stderr, "the workbook could not be finished\n");
  return result;
}

// ISO 2709: the leader, the directory (tag, length, start) and the fields.
std::string WideRecord() {
  std::string directory, data;
  for (int field = 0; field < 4; ++field) {
    const std::size_t start = data.size();
    data += "1 ";
    for (int value = 0; value < 250; ++value) {
      data +=
          "\x1F"
          "a";
      data += "中国现代文学史研究 " + std::to_string(field * 250 + value);
    }
    data += '\x1E';
    char entry[16];
    std::snprintf(entry, sizeof entry, "200%04zu%05zu", data.size() - start, start);
    directory += entry;
  }
  directory += '\x1E';
  data += '\x1D';
  char leader[32];
  std::snprintf(leader, sizeof leader, "%05zunam0 22%05zu   450 ", 24 + directory.size() + data.size(),
                24 + directory.size());
  return leader + directory + data;
}

int MeasureWideRow(int items, bool workbook, const std::string& folder) {
  ConversionRequest request;
  request.inputPaths = {folder + "/wide.iso"};
  request.outputPath = folder + (workbook ? "/wide.xlsx" : "/wide.txt");
  request.output = workbook ? OutputType::Workbook : OutputType::GbkText;
  request.outputMode = OutputMode::Replace;
  request.items.assign(static_cast<std::size_t>(items), "200a*");
  const std::string record = WideRecord();
  std::FILE* file = std::fopen(request.inputPaths.front().c_str(), "wb");
  if (file == nullptr || std::fwrite(record.data(), 1, record.size(), file) != record.size() ||
      std::fclose(file) != 0) {
    std::fprintf(stderr, "cannot write %s\n", request.inputPaths.front().c_str());
    return 1;
  }
  const Clock::time_point start = Clock::now();
  const RunSummary summary = Convert(request, LocalFileSystem());
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (summary.outcome != RunSummary::Outcome::Completed) {
    std::fprintf(stderr, "the run failed: %s\n",
                 Messages(Language::English).Failed(summary.failure, Work::Conversion).c_str());
    return 1;
  }
  std::printf("record %zu bytes, %d x 200a*, %s: %.2f s, largest resident size %.1f MB\n", record.size(), items,
              workbook ? "workbook" : "text", seconds, static_cast<double>(PeakResidentBytes()) / 1e6);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 6 && std::string(argv[1]) == "--wide-row" && std::string(argv[3]) == "--format") {
    return MeasureWideRow(std::atoi(argv[2]), std::string(argv[4]) == "xlsx", argv[5]);
  }
  std::int64_t rowCount = 200000;
  int repeat = 3;
  std::vector<int> levels = {1, 2, 3, 4, 5, 6};
  std::string output;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--rows" && i + 1 < argc) {
      rowCount = std::atoll(argv[++i]);
    } else if (argument == "--repeat" && i + 1 < argc) {
      repeat = std::max(1, std::atoi(argv[++i]));
    } else if (argument == "--levels" && i + 1 < argc) {
      levels.clear();
      for (const char* p = argv[++i]; *p != '\0'; ++p) {
        if (*p >= '1' && *p <= '9') levels.push_back(*p - '0');
      }
    } else if (argument == "--output" && i + 1 < argc) {
      output = argv[++i];
    } else {
      std::fputs("Usage: bench_xlsx [--rows N] [--repeat N] [--levels 1,2,...] [--output FILE]\n", stderr);
      return 2;
    }
  }

  // 20,000 distinct rows, used in turn: far more than deflate's 32 KiB window.
  Words words(1);
  std::vector<Row> rows;
  for (int i = 0; i < 20000; ++i) rows.push_back(MakeRow(words));
  std::uint64_t textBytes = 0, tabTextBytes = 0;
  for (std::int64_t i = 0; i < rowCount; ++i) {
    const Row& row = rows[static_cast<std::size_t>(i) % rows.size()];
    std::uint64_t bytes = 12;  // the record number
    for (std::size_t column = 1; column < row.size(); ++column) bytes += row[column].size();
    textBytes += bytes;
    tabTextBytes += bytes + (row.size() - 1) + 2;
  }
  std::printf("%lld rows x %zu columns: %.1f MB of cell text (%.0f bytes a row), %.1f MB as tab text\n",
              static_cast<long long>(rowCount), kHeader.size(), textBytes / 1e6,
              static_cast<double>(textBytes) / static_cast<double>(rowCount), tabTextBytes / 1e6);
  std::printf("level  thread  seconds  cpu s  text MB/s  tab-text MB/s  output MB  output/text\n");
  for (const int level : levels) {
    for (const bool background : {false, true}) {
      ZipOptions zip;
      zip.level = level;
      zip.compressInBackground = background;
      Result best;
      for (int run = 0; run < repeat; ++run) {
        const Result result = WriteWorkbook(rows, rowCount, zip, output);
        if (run == 0 || result.seconds < best.seconds) best = result;
      }
      std::printf("%5d  %6s  %7.2f  %5.2f  %9.1f  %13.1f  %9.1f  %11.3f\n", level, background ? "yes" : "no",
                  best.seconds, best.cpuSeconds, textBytes / 1e6 / best.seconds, tabTextBytes / 1e6 / best.seconds,
                  best.outputBytes / 1e6, static_cast<double>(best.outputBytes) / static_cast<double>(textBytes));
      std::fflush(stdout);
    }
  }
  return 0;
}
