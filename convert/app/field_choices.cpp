#include "app/field_choices.h"

#include <cstdint>
#include <limits>
#include <string_view>
#include <unordered_set>

#include "marc/field_names.h"
#include "text/text_encoding.h"

namespace {

using Kind = CensusEntry::Kind;
using ItemSet = std::unordered_set<std::string_view>;

// What the rows say besides the names of the table.
struct Words {
  std::string_view allOccurrences, notInFile, emptyItem, emptyColumn;
  std::string_view recordType, otherSubfields, otherTags;
};
constexpr Words kChinese = {"（全部出现）", "（文件中没有这一项）", "（空项）", "（空列）",
                            "记录类型",     "其他子字段",           "其他字段"};
constexpr Words kEnglish = {" (all occurrences)", "(not in the file)", "(empty item)", "(empty column)",
                            "Type of record",     "Other subfields",   "Other fields"};

const Words& WordsIn(Language language) { return language == Language::English ? kEnglish : kChinese; }

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
std::string SubfieldLabel(std::string_view tag, std::string_view code, Language language) {
  const std::string_view subfield = SubfieldName(tag, code, language);
  if (subfield.empty()) return {};
  return std::string(FieldName(tag, language)) + " / " + std::string(subfield);
}

std::string NameOf(const CensusEntry& entry, Language language) {
  switch (entry.kind) {
    case Kind::RecordType: return std::string(WordsIn(language).recordType);
    case Kind::Subfield: return SubfieldLabel(entry.tag, entry.subfield, language);
    case Kind::OtherSubfields: return std::string(WordsIn(language).otherSubfields);
    case Kind::OtherTags: return std::string(WordsIn(language).otherTags);
    case Kind::ControlField:
    case Kind::DataField: break;
  }
  return std::string(FieldName(entry.tag, language));
}

std::string CodeOf(const CensusEntry& entry) {
  if (!entry.item.empty()) return entry.item;
  if (entry.kind == Kind::Subfield) return Printable(entry.tag + entry.subfield);
  return Printable(entry.tag);
}

FieldChoice FileRow(const CensusEntry& entry, std::int64_t records, Language language) {
  FieldChoice row;
  row.item = entry.item;
  row.code = CodeOf(entry);
  row.name = NameOf(entry, language);
  row.share = Percent(entry.records, records);
  row.sample = entry.sample;
  return row;
}

// The row that takes every occurrence of a subfield's row.
FieldChoice AllOccurrencesRow(const FieldChoice& each, Language language) {
  FieldChoice row = each;
  row.item += '*';
  row.code = row.item;
  row.name += WordsIn(language).allOccurrences;
  return row;
}

// The name of an item typed into the list, as far as the table knows it:
// "200a", "200a*", "000?".
std::string NameOfItem(std::string_view item, Language language) {
  const Words& words = WordsIn(language);
  if (item == "000?") return std::string(words.recordType);
  const bool joined = item.size() == 5 && item.back() == '*';
  if ((item.size() != 4 && !joined) || !IsAscii(item)) return {};
  const std::string_view tag = item.substr(0, 3);
  std::string name = SubfieldLabel(tag, item.substr(3, 1), language);
  if (name.empty() && (tag == "001" || tag == "005")) name = FieldName(tag, language);
  if (!name.empty() && joined) name += words.allOccurrences;
  return name;
}

FieldChoice ListOnlyRow(const std::string& item, Language language) {
  const Words& words = WordsIn(language);
  FieldChoice row;
  row.item = item;
  row.fromFile = false;
  row.code = item.empty() ? std::string(words.emptyItem) : Printable(item);
  row.name = NameOfItem(item, language);
  row.sample = item.empty() ? words.emptyColumn : words.notInFile;
  row.ticked = true;
  return row;
}

std::vector<FieldChoice> FileRows(const Census& census, const ItemSet& listed, Language language) {
  std::vector<FieldChoice> rows;
  rows.reserve(census.entries.size());
  for (const CensusEntry& entry : census.entries) {
    rows.push_back(FileRow(entry, census.Readable(), language));
    if (entry.kind != Kind::Subfield || entry.item.empty()) continue;
    if (entry.Repeats() || listed.count(entry.item + '*') > 0) rows.push_back(AllOccurrencesRow(rows.back(), language));
  }
  for (FieldChoice& row : rows) row.ticked = !row.item.empty() && listed.count(row.item) > 0;
  return rows;
}

}  // namespace

std::vector<FieldChoice> FieldChoices(const Census& census, const std::vector<std::string>& listed, Language language) {
  const ItemSet inList(listed.begin(), listed.end());
  std::vector<FieldChoice> fileRows = FileRows(census, inList, language);
  ItemSet shown;
  for (const FieldChoice& row : fileRows) {
    if (!row.item.empty()) shown.insert(row.item);
  }
  std::vector<FieldChoice> rows;
  for (const std::string& item : listed) {
    if (shown.insert(item).second) rows.push_back(ListOnlyRow(item, language));
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
