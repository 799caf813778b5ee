// How long a very long field list takes to become a run's columns: the split
// of the text, each item's code, and the extractor made from them. A list of
// megabytes can come back from the settings store, or be pasted.
//   bench_field_list [MEGABYTES]   (default 10)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "marc/field_code.h"
#include "marc/field_extractor.h"
#include "marc/field_list.h"
#include "marc/record_type.h"

namespace {

// Items of every kind a list holds: common codes, joined ones, CR LF breaks,
// full-width commas, and distinct codes of tags and subfields never seen twice.
std::string MakeList(std::size_t bytes) {
  const char* const common[] = {"200a", "701a*", "606x", "000?", "001a", "2\r\n00f", "330a", ""};
  std::string list;
  for (std::size_t i = 0; list.size() < bytes; ++i) {
    if (i > 0) list += i % 5 == 0 ? "，" : ",";
    if (i % 3 == 0) {
      list += std::to_string(100 + i % 900) + static_cast<char>('a' + i % 26);
    } else if (i % 7 == 0) {
      list += "A" + std::to_string(i % 100000);
    } else {
      list += common[i % 8];
    }
  }
  return list;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  const double megabytes = argc > 1 ? std::atof(argv[1]) : 10;
  const std::string list = MakeList(static_cast<std::size_t>(megabytes * 1e6));
  const auto start = std::chrono::steady_clock::now();
  const std::vector<std::string> items = ParseFieldList(list);
  const double split = Seconds(start);
  std::vector<FieldCode> codes;
  codes.reserve(items.size());
  for (const std::string& item : items) codes.push_back(ParseFieldCode(item));
  const double parsed = Seconds(start);
  const RecordTypeNames names(TextEncoding::Gbk);
  const FieldExtractor extractor(std::move(codes), names);
  const double made = Seconds(start);
  std::printf("%.1f MB list, %zu items: split %.3f s, codes %.3f s, extractor %.3f s, in all %.3f s\n",
              static_cast<double>(list.size()) / 1e6, items.size(), split, parsed - split, made - parsed, made);
  return extractor.Columns() == items.size() ? 0 : 1;
}
