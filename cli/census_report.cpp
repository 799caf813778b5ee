#include "census_report.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "census/field_names.h"

namespace {

constexpr std::size_t kTabWidth = 8;
constexpr std::size_t kColumns = 7;
using Line = std::array<std::string, kColumns>;

const Line kHeader = {"代码", "名称", "记录数", "占比", "次数", "重复", "示例"};

// Characters that terminals show two columns wide: CJK, Hangul, the
// full-width forms. Anything else counts as one.
bool IsWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) || (c >= 0xAC00 && c <= 0xD7A3) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

// The columns a terminal gives valid UTF-8 text.
std::size_t DisplayWidth(std::string_view utf8) {
  std::size_t width = 0;
  for (std::size_t at = 0; at < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length && at + i < utf8.size(); ++i) c = (c << 6) | (utf8[at + i] & 0x3F);
    width += IsWide(c) ? 2 : 1;
    at += length;
  }
  return width;
}

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

std::string Name(const CensusEntry& entry) {
  using Kind = CensusEntry::Kind;
  switch (entry.kind) {
    case Kind::RecordType: return "记录类型";
    case Kind::Subfield: return std::string(SubfieldName(entry.tag, entry.subfield));
    case Kind::OtherSubfields: return "其他子字段";
    case Kind::OtherTags: return "其他字段";
    case Kind::ControlField:
    case Kind::DataField: break;
  }
  return std::string(FieldName(entry.tag));
}

Line LineOf(const CensusEntry& entry, std::int64_t records) {
  return {Code(entry),
          Name(entry),
          std::to_string(entry.records),
          Percent(entry.records, records),
          std::to_string(entry.occurrences),
          entry.Repeats() ? "是" : "",
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

std::string Summary(const Census& census, const Messages& messages) {
  std::string text = "共读取" + std::to_string(census.records) + "条记录。";
  std::string details;
  if (census.malformed > 0) details += std::to_string(census.malformed) + "条格式有误，未计入统计";
  if (census.malformed > 0 && census.partlyRead > 0) details += "；";
  if (census.partlyRead > 0) details += std::to_string(census.partlyRead) + "条有字段无法读取，只计入其余字段";
  if (!details.empty()) text += "其中" + details + "。";
  text += "\n";
  if (census.outcome == Census::Outcome::Stopped) text += "统计未完成：已中止，以上只是前面的记录。\n";
  if (census.outcome == Census::Outcome::Failed)
    text += "统计未完成：" + messages.Failed(census.failure, Work::Census) + "\n";
  return text;
}

}  // namespace

std::string CensusReport(const Census& census, const Messages& messages) {
  std::vector<Line> lines = {kHeader};
  for (const CensusEntry& entry : census.entries) lines.push_back(LineOf(entry, census.Readable()));
  AlignToTabStops(lines);
  std::string text;
  for (const Line& line : lines) {
    for (std::size_t column = 0; column < kColumns; ++column) {
      text += line[column];
      text += column + 1 < kColumns ? '\t' : '\n';
    }
  }
  return text + Summary(census, messages);
}
