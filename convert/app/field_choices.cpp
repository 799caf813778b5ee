#include "app/field_choices.h"

#include <cstdint>
#include <limits>
#include <string_view>
#include <unordered_set>

#include "census/field_names.h"
#include "text/text_encoding.h"

namespace {

using Kind = CensusEntry::Kind;
using ItemSet = std::unordered_set<std::string_view>;

constexpr std::string_view kAllOccurrences = "（全部出现）";
constexpr std::string_view kNotInFile = "（文件中没有这一项）";
constexpr std::string_view kEmptyItem = "（空项）";
constexpr std::string_view kEmptyColumn = "（空列）";

// The share with one decimal, cut rather than rounded, as marc2tab's census
// shows it: 100.0% only when every record has it.
std::string Percent(std::int64_t part, std::int64_t whole) {
  if (whole <= 0 || part < 0) return {};
  constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max() / 1000;
  const std::int64_t tenths = part <= kLargest ? part * 1000 / whole : part / (whole / 1000);
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "%";
}

// Tags and codes as they stood in the file: a control character would break
// the row on the screen.
std::string Printable(std::string_view text) {
  std::string shown;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    shown += byte < 0x20 || byte == 0x7F ? std::string_view("\xEF\xBF\xBD") : std::string_view(&c, 1);
  }
  return shown;
}

// "题名与责任说明 / 正题名" for a subfield the table names, else "".
std::string SubfieldLabel(std::string_view tag, std::string_view code) {
  const std::string_view subfield = SubfieldName(tag, code);
  if (subfield.empty()) return {};
  return std::string(FieldName(tag)) + " / " + std::string(subfield);
}

std::string NameOf(const CensusEntry& entry) {
  switch (entry.kind) {
    case Kind::RecordType: return "记录类型";
    case Kind::Subfield: return SubfieldLabel(entry.tag, entry.subfield);
    case Kind::OtherSubfields: return "其他子字段";
    case Kind::OtherTags: return "其他字段";
    case Kind::ControlField:
    case Kind::DataField: break;
  }
  return std::string(FieldName(entry.tag));
}

std::string CodeOf(const CensusEntry& entry) {
  if (!entry.item.empty()) return entry.item;
  if (entry.kind == Kind::Subfield) return Printable(entry.tag + entry.subfield);
  return Printable(entry.tag);
}

FieldChoice FileRow(const CensusEntry& entry, std::int64_t records) {
  FieldChoice row;
  row.item = entry.item;
  row.code = CodeOf(entry);
  row.name = NameOf(entry);
  row.share = Percent(entry.records, records);
  row.sample = entry.sample;
  return row;
}

// The row that takes every occurrence of a subfield's row.
FieldChoice AllOccurrencesRow(const FieldChoice& each) {
  FieldChoice row = each;
  row.item += '*';
  row.code = row.item;
  row.name += kAllOccurrences;
  return row;
}

// The name of an item typed into the list, as far as the table knows it:
// "200a", "200a*", "000?".
std::string NameOfItem(std::string_view item) {
  if (item == "000?") return "记录类型";
  const bool joined = item.size() == 5 && item.back() == '*';
  if ((item.size() != 4 && !joined) || !IsAscii(item)) return {};
  std::string name = SubfieldLabel(item.substr(0, 3), item.substr(3, 1));
  if (name.empty() && (item.substr(0, 3) == "001" || item.substr(0, 3) == "005")) name = FieldName(item.substr(0, 3));
  if (!name.empty() && joined) name += kAllOccurrences;
  return name;
}

FieldChoice ListOnlyRow(const std::string& item) {
  FieldChoice row;
  row.item = item;
  row.fromFile = false;
  row.code = item.empty() ? std::string(kEmptyItem) : Printable(item);
  row.name = NameOfItem(item);
  row.sample = item.empty() ? kEmptyColumn : kNotInFile;
  row.ticked = true;
  return row;
}

std::vector<FieldChoice> FileRows(const Census& census, const ItemSet& listed) {
  std::vector<FieldChoice> rows;
  rows.reserve(census.entries.size());
  for (const CensusEntry& entry : census.entries) {
    rows.push_back(FileRow(entry, census.Readable()));
    if (entry.kind != Kind::Subfield || entry.item.empty()) continue;
    if (entry.Repeats() || listed.count(entry.item + '*') > 0) rows.push_back(AllOccurrencesRow(rows.back()));
  }
  for (FieldChoice& row : rows) row.ticked = !row.item.empty() && listed.count(row.item) > 0;
  return rows;
}

}  // namespace

std::vector<FieldChoice> FieldChoices(const Census& census, const std::vector<std::string>& listed) {
  const ItemSet inList(listed.begin(), listed.end());
  std::vector<FieldChoice> fileRows = FileRows(census, inList);
  ItemSet shown;
  for (const FieldChoice& row : fileRows) {
    if (!row.item.empty()) shown.insert(row.item);
  }
  std::vector<FieldChoice> rows;
  for (const std::string& item : listed) {
    if (shown.insert(item).second) rows.push_back(ListOnlyRow(item));
  }
  rows.insert(rows.end(), std::make_move_iterator(fileRows.begin()), std::make_move_iterator(fileRows.end()));
  return rows;
}

std::vector<std::string> ChosenItems(const std::vector<std::string>& listed, const std::vector<FieldChoice>& choices) {
  ItemSet ticked;
  ItemSet unticked;
  for (const FieldChoice& row : choices) {
    if (row.item.empty() && row.fromFile) continue;  // for information only
    (row.ticked ? ticked : unticked).insert(row.item);
  }
  std::vector<std::string> items;
  const ItemSet inList(listed.begin(), listed.end());
  for (const std::string& item : listed) {
    if (unticked.count(item) == 0) items.push_back(item);
  }
  for (const FieldChoice& row : choices) {
    if (!row.ticked || inList.count(row.item) > 0) continue;
    // A row ticked twice (an item offered by two rows) adds its item once.
    if (ticked.erase(row.item) > 0) items.push_back(row.item);
  }
  return items;
}

std::string JoinFieldList(const std::vector<std::string>& items) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += ',';
    text += items[i];
  }
  return text;
}
