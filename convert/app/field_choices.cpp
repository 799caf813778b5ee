#include "app/field_choices.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>
#include <unordered_set>

#include "marc/column_title.h"
#include "marc/field_code.h"
#include "marc/field_list.h"
#include "marc/field_names.h"
#include "text/text_encoding.h"

namespace {

using Kind = CensusEntry::Kind;
using ItemSet = std::unordered_set<std::string_view>;
using CodeSet = std::unordered_set<std::string>;

// An item as the list means it: the blanks, tabs and line breaks around it
// are no part of it.
std::string_view Bare(std::string_view item) {
  const std::size_t first = item.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return item.substr(first, item.find_last_not_of(" \t\r\n") + 1 - first);
}

ItemSet BareItems(const std::vector<std::string>& items) {
  ItemSet bare;
  for (const std::string& item : items) bare.insert(Bare(item));
  return bare;
}

bool IsTypeableTag(std::string_view tag) {
  return tag.size() == 3 && std::all_of(tag.begin(), tag.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
         });
}

// The item of a census row: its own, or for a field as a whole (a data
// field, or a control field read like one) its tag, which takes the whole
// field. Rows that nothing typed can take have none.
std::string ItemOf(const CensusEntry& entry) {
  if (!entry.item.empty()) return entry.item;
  const bool wholeField = entry.kind == Kind::DataField || entry.kind == Kind::ControlField;
  return wholeField && IsTypeableTag(entry.tag) ? entry.tag : std::string();
}

// Rows whose every occurrence can be joined: subfields and whole fields.
bool Joinable(const CensusEntry& entry, const std::string& item) {
  return !item.empty() && (entry.kind == Kind::Subfield || item == entry.tag);
}

// What the rows say besides the names of the table.
struct Words {
  std::string_view allOccurrences, notInFile, emptyItem, emptyColumn;
  std::string_view recordType, otherSubfields, otherTags;
  std::string_view fileHasBefore, fileHasAfter;  // around the code the file has: "200A（文件中有 200a）"
};
constexpr Words kChinese = {"（全部出现）", "（文件中没有这一项）", "（空项）", "（空列）", "记录类型", "其他子字段",
                            "其他字段",     "（文件中有 ",          "）"};
constexpr Words kEnglish = {" (all occurrences)", "(not in the file)", "(empty item)",
                            "(empty column)",     "Type of record",    "Other subfields",
                            "Other fields",       " (the file has ",   ")"};

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

std::string CodeOf(const CensusEntry& entry, const std::string& item) {
  if (!item.empty()) return item;
  if (entry.kind == Kind::Subfield) return Printable(entry.tag + entry.subfield);
  return Printable(entry.tag);
}

FieldChoice FileRow(const CensusEntry& entry, std::int64_t records, Language language) {
  FieldChoice row;
  row.item = ItemOf(entry);
  row.code = CodeOf(entry, row.item);
  row.name = NameOf(entry, language);
  row.share = Percent(entry.records, records);
  row.sample = entry.sample;
  return row;
}

// The row that takes every occurrence of a subfield's or field's row.
FieldChoice AllOccurrencesRow(const FieldChoice& each, const CensusEntry& entry, Language language) {
  FieldChoice row = each;
  row.item += '*';
  row.code = row.item;
  row.name += WordsIn(language).allOccurrences;
  row.sample = entry.joinedSample;
  return row;
}

// The name of an item typed into the list, as far as the table knows it:
// "200a", "200a*", "200", "200*", "000?"; the other forms as the header
// names them.
std::string NameOfItem(std::string_view item, Language language) {
  const Words& words = WordsIn(language);
  if (item == "000?") return std::string(words.recordType);
  const bool joined = !item.empty() && item.back() == '*';
  const std::string_view code = joined ? item.substr(0, item.size() - 1) : item;
  std::string name;
  if (IsAscii(code) && code.size() == 4) {
    name = SubfieldLabel(code.substr(0, 3), code.substr(3, 1), language);
    if (name.empty() && (code.substr(0, 3) == "001" || code.substr(0, 3) == "005")) {
      name = FieldName(code.substr(0, 3), language);
    }
  } else if (IsTypeableTag(code)) {
    name = FieldName(code, language);
  } else {
    const FieldCode parsed = ParseFieldCode(item);
    const std::string title = ColumnTitle(parsed, HeaderStyle::Names, language);
    if (title != parsed.item) name = title;
    return name;
  }
  if (!name.empty() && joined) name += words.allOccurrences;
  return name;
}

// "200A（文件中有 200a）" for an item that the file has in another spelling,
// else "".
std::string NearMissHint(std::string_view item, const CodeSet& inFile, Language language) {
  const Words& words = WordsIn(language);
  for (const std::string& miss : NearMissesOf(item)) {
    if (inFile.count(miss) > 0) {
      return Printable(item) + std::string(words.fileHasBefore) + miss + std::string(words.fileHasAfter);
    }
  }
  return {};
}

FieldChoice ListOnlyRow(std::string_view item, const CodeSet& inFile, Language language) {
  const Words& words = WordsIn(language);
  FieldChoice row;
  row.item = item;
  row.fromFile = false;
  row.code = item.empty() ? std::string(words.emptyItem) : Printable(item);
  row.name = NameOfItem(item, language);
  row.sample = NearMissHint(item, inFile, language);
  if (row.sample.empty()) row.sample = item.empty() ? words.emptyColumn : words.notInFile;
  row.ticked = true;
  return row;
}

std::vector<FieldChoice> FileRows(const Census& census, const ItemSet& listed, Language language) {
  std::vector<FieldChoice> rows;
  rows.reserve(census.entries.size());
  for (const CensusEntry& entry : census.entries) {
    rows.push_back(FileRow(entry, census.Readable(), language));
    const std::string& item = rows.back().item;
    if (!Joinable(entry, item)) continue;
    if (entry.Repeats() || listed.count(item + '*') > 0)
      rows.push_back(AllOccurrencesRow(rows.back(), entry, language));
  }
  for (FieldChoice& row : rows) row.ticked = !row.item.empty() && listed.count(row.item) > 0;
  return rows;
}

}  // namespace

std::vector<FieldChoice> FieldChoices(const Census& census, const std::vector<std::string>& listed, Language language) {
  const ItemSet inList = BareItems(listed);
  std::vector<FieldChoice> fileRows = FileRows(census, inList, language);
  // What the file has, every occurrence of it included, for the hints.
  CodeSet inFile;
  for (const FieldChoice& row : fileRows) {
    if (row.item.empty()) continue;
    inFile.insert(row.item);
    if (row.item.back() != '*' && row.item != "000?") inFile.insert(row.item + '*');
  }
  ItemSet shown;
  for (const FieldChoice& row : fileRows) {
    if (!row.item.empty()) shown.insert(row.item);
  }
  std::vector<FieldChoice> rows;
  for (const std::string& item : listed) {
    const std::string_view bare = Bare(item);
    if (shown.insert(bare).second) rows.push_back(ListOnlyRow(bare, inFile, language));
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
  const ItemSet inList = BareItems(listed);
  for (const std::string& item : listed) {
    if (unticked.count(Bare(item)) == 0) items.push_back(item);
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
