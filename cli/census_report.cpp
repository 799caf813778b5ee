#include "census_report.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "marc/field_names.h"
#include "text/display_width.h"

namespace {

constexpr std::size_t kTabWidth = 8;
constexpr std::size_t kColumns = 7;
using Line = std::array<std::string, kColumns>;

// Tags and codes as they stood in the file: a control character among them
// would break the line or the columns.
std::string Printable(std::string_view text) {
  std::string shown;
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      shown += "\xEF\xBF\xBD";
    } else {
      shown += c;
    }
  }
  return shown;
}

// The share with one decimal, cut rather than rounded: 100.0% only when
// every record has it.
std::string Percent(std::int64_t part, std::int64_t whole) {
  const std::int64_t tenths = whole > 0 ? part * 1000 / whole : 0;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "%";
}

std::string Code(const CensusEntry& entry) {
  using Kind = CensusEntry::Kind;
  switch (entry.kind) {
    case Kind::RecordType: return "000?";
    case Kind::Subfield: return Printable(entry.tag + entry.subfield);
    case Kind::OtherTags: return "";
    case Kind::ControlField:
    case Kind::DataField:
    case Kind::OtherSubfields: break;
  }
  return Printable(entry.tag);
}

std::string Name(const CensusEntry& entry, const CliTexts& texts) {
  using Kind = CensusEntry::Kind;
  switch (entry.kind) {
    case Kind::RecordType: return texts.RecordType();
    case Kind::Subfield: return std::string(SubfieldName(entry.tag, entry.subfield, texts.Of()));
    case Kind::OtherSubfields: return texts.OtherSubfields();
    case Kind::OtherTags: return texts.OtherFields();
    case Kind::ControlField:
    case Kind::DataField: break;
  }
  return std::string(FieldName(entry.tag, texts.Of()));
}

Line LineOf(const CensusEntry& entry, std::int64_t records, const CliTexts& texts) {
  return {Code(entry),
          Name(entry, texts),
          std::to_string(entry.records),
          Percent(entry.records, records),
          std::to_string(entry.occurrences),
          entry.Repeats() ? texts.Repeats() : "",
          entry.sample};
}

// Every cell but the last of a line is followed by a tab. A column whose
// widest cell reaches past a tab stop gets its narrower cells filled to that
// stop, so that the tab after each takes it to the same place.
void AlignToTabStops(std::vector<Line>& lines) {
  for (std::size_t column = 0; column + 1 < kColumns; ++column) {
    std::size_t widest = 0;
    for (const Line& line : lines) widest = std::max(widest, DisplayWidth(line[column]));
    const std::size_t stop = widest / kTabWidth * kTabWidth;
    if (stop == 0) continue;
    for (Line& line : lines) {
      const std::size_t width = DisplayWidth(line[column]);
      if (width < stop) line[column].append(stop - width, ' ');
    }
  }
}

std::string Summary(const Census& census, const Messages& messages, const CliTexts& texts) {
  std::string text = texts.CensusRead(census.records, census.malformed, census.partlyRead);
  if (census.outcome == Census::Outcome::Stopped) text += texts.CensusStopped();
  if (census.outcome == Census::Outcome::Failed)
    text += texts.CensusFailed(messages.Failed(census.failure, Work::Census));
  return text;
}

}  // namespace

std::string CensusReport(const Census& census, const Messages& messages, const CliTexts& texts) {
  const char* const* header = texts.CensusHeader();
  std::vector<Line> lines = {{header[0], header[1], header[2], header[3], header[4], header[5], header[6]}};
  for (const CensusEntry& entry : census.entries) lines.push_back(LineOf(entry, census.Readable(), texts));
  AlignToTabStops(lines);
  std::string text;
  for (const Line& line : lines) {
    for (std::size_t column = 0; column < kColumns; ++column) {
      text += line[column];
      text += column + 1 < kColumns ? '\t' : '\n';
    }
  }
  return text + Summary(census, messages, texts);
}
