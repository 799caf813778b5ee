// bench_preview: what the field chooser does on every tick, timed: the
// chooser's rows for the list, the items the ticks make, and the preview
// table of the first records; also the one reading of those records when it
// opens. The lists: the default one, and every code the file holds.
//
//   bench_preview [--repeat N] INPUT
//
// Each figure is the best of N rounds of 100 refreshes, per refresh.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/field_choices.h"
#include "app/messages.h"
#include "app/record_preview.h"
#include "bench_timing.h"
#include "census/census.h"
#include "file_system.h"
#include "marc/field_list.h"

namespace {

constexpr int kRefreshes = 100;

// A tick's work: the items the rows make, and the table of those the
// preview shows.
std::size_t Refresh(const std::vector<std::string>& listed, const std::vector<FieldChoice>& rows,
                    const PreviewRecords& records) {
  std::vector<std::string> items = ChosenItems(listed, rows);
  items.resize(std::min(items.size(), kPreviewColumnsShown));
  const std::vector<PreviewRow> table = PreviewTable(records, items, "; ");
  return table.empty() ? 0 : table.size() * table[0].size();
}

template <typename Work>
double BestMicroseconds(int repeat, int times, Work work) {
  double best = 1e30;
  for (int round = 0; round < repeat; ++round) {
    Timing timing;
    const Stopwatch stopwatch;
    for (int i = 0; i < times; ++i) work();
    stopwatch.Stop(timing);
    best = std::min(best, timing.cpuSeconds * 1e6 / times);
  }
  return best;
}

void TimeList(const char* name, const std::vector<std::string>& listed, const Census& census,
              const PreviewRecords& records, int repeat) {
  std::vector<FieldChoice> rows = FieldChoices(census, listed);
  const double rowsTime = BestMicroseconds(repeat, 10, [&] { rows = FieldChoices(census, listed); });
  std::size_t cells = 0;
  const double refreshTime = BestMicroseconds(repeat, kRefreshes, [&] { cells = Refresh(listed, rows, records); });
  std::printf("%-12s %6zu items %7zu rows | rows made once %9.1f us | refresh %9.1f us (%zu cells)\n", name,
              listed.size(), rows.size(), rowsTime, refreshTime, cells);
}

}  // namespace

int main(int argc, char** argv) {
  int repeat = 5;
  std::string input;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--repeat" && i + 1 < argc) {
      repeat = std::atoi(argv[++i]);
    } else if (input.empty() && argument[0] != '-') {
      input = argument;
    } else {
      input.clear();
      break;
    }
  }
  if (input.empty() || repeat < 1) {
    std::fputs("Usage: bench_preview [--repeat N] INPUT\n", stderr);
    return 2;
  }
  const Census census = TakeCensus(LocalFileSystem(), input);
  if (census.outcome != Census::Outcome::Completed) {
    std::fprintf(stderr, "bench_preview: the census failed: %s\n",
                 Messages(Language::English).Failed(census.failure, Work::Census).c_str());
    return 1;
  }
  PreviewRecords records;
  const double readTime = BestMicroseconds(repeat, 10, [&] { records = ReadPreviewRecords(LocalFileSystem(), input); });
  std::printf("input        %s, %zu census rows; first %zu records read in %.1f us\n", input.c_str(),
              census.entries.size(), records.records.size(), readTime);

  std::vector<std::string> everyCode;
  for (const FieldChoice& row : FieldChoices(census, {})) {
    if (!row.item.empty()) everyCode.push_back(row.item);
  }
  TimeList("default list", ParseFieldList(DefaultFieldList), census, records, repeat);
  TimeList("every code", everyCode, census, records, repeat);
  return 0;
}
