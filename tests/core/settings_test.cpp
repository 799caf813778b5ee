// The field list, its join separator and header style, kept from one start
// to the next; the lists kept under names, and in files of their own.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "app/field_list_files.h"
#include "app/field_list_schemes.h"
#include "app/field_list_setting.h"
#include "marc/field_list.h"
#include "marc/field_list_file.h"
#include "record_builder.h"
#include "test_support.h"

namespace {

class MemorySettings : public SettingsStore {
 public:
  std::optional<std::string> Get(const std::string& application, const std::string& section,
                                 const std::string& key) override {
    const auto found = values.find(application + "/" + section + "/" + key);
    return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
  }
  bool Save(const std::string& application, const std::string& section, const std::string& key,
            const std::string& value) override {
    values[application + "/" + section + "/" + key] = value;
    return true;
  }
  std::vector<std::string> Keys(const std::string& application, const std::string& section) override {
    std::vector<std::string> keys;
    const std::string prefix = application + "/" + section + "/";
    for (const auto& [entry, value] : values) {
      if (entry.rfind(prefix, 0) == 0 && entry.find('/', prefix.size()) == std::string::npos) {
        keys.push_back(entry.substr(prefix.size()));
      }
    }
    return keys;
  }
  bool Delete(const std::string& application, const std::string& section, const std::string& key) override {
    values.erase(application + "/" + section + "/" + key);
    return true;
  }
  std::map<std::string, std::string> values;
};

// What a load gives for what the store holds, where a save puts the list,
// and the separator stored beside it.
TEST(FieldListSetting, StoredValuesAndWhatTheyGive) {
  const struct {
    std::optional<std::string> stored;
    std::optional<std::string> list;  // nullopt: the default list is shown
    std::string separator;
    HeaderStyle header = HeaderStyle::Codes;
  } cases[] = {
      {std::nullopt, std::nullopt, "; "},
      {"NotExsists", std::nullopt, "NotExsists"},
      {"notexsists", "notexsists", "notexsists"},
      {"", "", ""},
      {"200a,\r\n606a\t|", "200a,\r\n606a\t|", "; "},
      {" | ", " | ", " | "},
      {"\n", "\n", "; "},
      {"names", "names", "names", HeaderStyle::Names},
      {"both", "both", "both", HeaderStyle::CodesAndNames},
      {"Names", "Names", "Names"},
  };
  for (const auto& c : cases) {
    MemorySettings store;
    if (c.stored) {
      for (const char* key : {"Setting", "JoinSeparator", "HeaderStyle"}) {
        store.values[std::string("Pellmoor/Sorrelant/") + key] = *c.stored;
      }
    }
    EXPECT_EQ(LoadFieldList(store), c.list) << c.stored.value_or("<nothing>");
    EXPECT_EQ(JoinSeparatorSetting(store), c.separator) << c.stored.value_or("<nothing>");
    EXPECT_EQ(LoadHeaderStyle(store), c.header) << c.stored.value_or("<nothing>");
  }
  MemorySettings store;
  EXPECT_TRUE(SaveFieldList(store, "200a\r\n,701a*"));
  EXPECT_TRUE(SaveHeaderStyle(store, HeaderStyle::CodesAndNames));
  EXPECT_EQ(store.values, (std::map<std::string, std::string>{{"Pellmoor/Sorrelant/HeaderStyle", "both"},
                                                              {"Pellmoor/Sorrelant/Setting", "200a\r\n,701a*"}}));
}

// A list's name as typed, as it is kept, and why one cannot be.
TEST(FieldListSchemes, NamesAreKeptWithoutTheBlanksAroundThemOrRefusedWithTheirReason) {
  using Problem = SchemeNameProblem;
  const struct {
    std::string typed, kept;
    Problem problem = Problem::None;
  } cases[] = {
      {"新书通报", "新书通报"},
      {"  查重 \xE3\x80\x80", "查重"},
      {"Holdings: 2024 \\ vendor", "Holdings: 2024 \\ vendor"},
      {std::string(64, 'x'), std::string(64, 'x')},
      {"", "", Problem::Empty},
      {" \xE3\x80\x80 ", "", Problem::Empty},
      {std::string(65, 'x'), std::string(65, 'x'), Problem::TooLong},
      {"书" + std::string(64, 'x'), "书" + std::string(64, 'x'), Problem::TooLong},
      {"a\tb", "a\tb", Problem::ControlCharacter},
      {"two\r\nlines", "two\r\nlines", Problem::ControlCharacter},
      {std::string("nul\0", 4), std::string("nul\0", 4), Problem::ControlCharacter},
  };
  for (const auto& c : cases) {
    const SchemeName checked = CheckSchemeName(c.typed);
    EXPECT_EQ(checked.name, c.kept) << c.typed;
    EXPECT_EQ(checked.problem, c.problem) << c.typed;
  }
}

// Lists saved under names, beside the program's other settings but apart
// from them: listed in order of their names, loaded, replaced (a name in
// other letter case too, which is the same name to the registry) and deleted.
TEST(FieldListSchemes, SavedListedLoadedReplacedAndDeleted) {
  MemorySettings store;
  store.values["Pellmoor/Sorrelant/Setting"] = "200a";
  store.values["Pellmoor/Sorrelant\\FieldLists/ blank"] = "put there by another program";
  EXPECT_TRUE(SaveScheme(store, "新书通报", "200a,200f"));
  EXPECT_TRUE(SaveScheme(store, "Setting", "701a*"));
  EXPECT_TRUE(SaveScheme(store, "books", "010a"));
  EXPECT_EQ(SchemeNames(store), (std::vector<std::string>{"books", "Setting", "新书通报"}));
  EXPECT_EQ(LoadScheme(store, "新书通报"), "200a,200f");
  EXPECT_EQ(LoadScheme(store, "Setting"), "701a*");
  EXPECT_EQ(LoadFieldList(store), "200a");
  EXPECT_EQ(SchemeNamed(SchemeNames(store), "BOOKS"), "books");
  EXPECT_EQ(SchemeNamed(SchemeNames(store), "book"), std::nullopt);

  EXPECT_TRUE(SaveScheme(store, "Books", "010a,010d"));
  EXPECT_EQ(SchemeNames(store), (std::vector<std::string>{"Books", "Setting", "新书通报"}));
  EXPECT_EQ(LoadScheme(store, "Books"), "010a,010d");
  EXPECT_TRUE(DeleteScheme(store, "新书通报"));
  EXPECT_EQ(SchemeNames(store), (std::vector<std::string>{"Books", "Setting"}));
  EXPECT_EQ(LoadScheme(store, "新书通报"), std::nullopt);
}

// A list file read through the file system, or refused for what only a file
// can be (what its bytes give is the list file's own test), and a list
// written as a file that reads back the same.
TEST(FieldListFiles, ReadRefusedAndWritten) {
  TempFolder folder;
  using Problem = ListFileRead::Problem;
  const struct {
    std::optional<std::string> bytes;  // nullopt: no such file
    Problem problem;
    std::string list;
  } cases[] = {
      {std::string("\xEF\xBB\xBF") + "200a\r\n题名\r\n", Problem::None, "200a,题名"},
      {"200a," + Gbk("题名"), Problem::NotUtf8, ""},
      {std::string(kLargestListFile + 1, ' '), Problem::TooLarge, ""},
      {std::nullopt, Problem::CannotOpen, ""},
  };
  const std::string path = folder.File("列表.txt");
  for (const auto& c : cases) {
    std::filesystem::remove(std::filesystem::u8path(path));
    if (c.bytes) WriteBytes(path, *c.bytes);
    const ListFileRead read = ReadFieldListFile(LocalFileSystem(), path);
    EXPECT_EQ(read.problem, c.problem) << c.list;
    EXPECT_EQ(read.list, c.list);
    EXPECT_EQ(read.error.kind, c.bytes ? FileError::Kind::None : FileError::Kind::NotFound) << c.list;
  }
  EXPECT_FALSE(WriteFieldListFile(LocalFileSystem(), path, "200a"));
  EXPECT_FALSE(WriteFieldListFile(LocalFileSystem(), path, "200a,题名*")) << "the save dialog asked before replacing";
  EXPECT_EQ(ReadFieldListFile(LocalFileSystem(), path).list, "200a,题名*");
  EXPECT_EQ(WriteFieldListFile(LocalFileSystem(), folder.File("no/such/folder.txt"), "200a").kind,
            FileError::Kind::PathNotFound);
}

// Which typed items can never give a value, and so are named before a run:
// each once, in the list's order.
TEST(FieldList, ItemsThatCanNeverMatch) {
  const struct {
    const char* list;
    std::vector<std::string> named;
  } cases[] = {
      {"200a,701a*,000?,200中,001a", {}},
      {"200A", {}},  // may match a record with $A: named after a run if empty throughout
      {"001,200,606*,100a/9-12,005/0-7,701a*/0,000#", {}},
      {" 200f,\t200f\r\n,　200f", {}},  // blanks around an item are dropped
      {"200a**,200ab,20,", {"200a**", "200ab", "20", ""}},
      {"20\t0a,2\n00a,200a\r", {"20\t0a", "2\n00a"}},
      {"2\r\n00a", {}},  // a code broken over two lines joins up
      {"20a,20a，20a", {"20a"}},
      {"100a/x,100a/12-9,200/1,200 a", {"100a/x", "100a/12-9", "200/1", "200 a"}},
      {"", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ItemsThatCannotMatch(ParseFieldList(c.list)), c.named) << c.list;
  }
}

// A list file as colleagues share one: what its bytes give, and what is
// refused. Items are what a run would take from the list.
TEST(FieldListFile, WhatAFileGives) {
  using Problem = FieldListFileText::Problem;
  std::string wide = "200a";
  for (std::size_t i = 1; i < kMostListItems; ++i) wide += i % 2 ? "\n200f" : ",200a";
  const struct {
    const char* what;
    std::string bytes;
    Problem problem;
    std::vector<std::string> items;
  } cases[] = {
      {"one a line, with a byte order mark",
       std::string("\xEF\xBB\xBF") + "200a\r\n200f\r\n",
       Problem::None,
       {"200a", "200f"}},
      {"a line ending in a full-width comma", "200a，\n200f\r\n", Problem::None, {"200a", "200f"}},
      {"commas on either side of a break", "200a,\n,200f", Problem::None, {"200a", "", "200f"}},
      {"blank lines and blanks around", "\n\n  200a  \n\t\n　200f　\n", Problem::None, {"200a", "200f"}},
      {"lines ended by CR alone", "200a\r200f", Problem::None, {"200a", "200f"}},
      {"a list on one line", "010a,200a，701a*", Problem::None, {"010a", "200a", "701a*"}},
      {"empty", "", Problem::None, {}},
      {"UTF-16 without its mark", std::string{'2', 0, '0', 0, '0', 0, 'a', 0}, Problem::NotUtf8, {}},
      {"UTF-16 with its mark", std::string("\xFF\xFE") + "2", Problem::NotUtf8, {}},
      {"as many items as a workbook has columns", wide, Problem::None, {}},
  };
  for (const auto& c : cases) {
    const FieldListFileText read = FieldListFromFile(c.bytes);
    EXPECT_EQ(read.problem, c.problem) << c.what;
    if (c.problem != Problem::None) {
      EXPECT_EQ(read.list, "") << c.what;
    }
    const std::vector<std::string> items = ParseFieldList(read.list);
    if (c.bytes != wide) {
      EXPECT_EQ(items, c.items) << c.what;
    } else {
      EXPECT_EQ(items.size(), kMostListItems);
    }
  }
  // Saved and read again, a list gives the items the box gives.
  for (const std::string list : {"215\r\nd, 200a,,701a*\r\n", "", "200a,\r\n200f,"}) {
    EXPECT_EQ(ParseFieldList(FieldListFromFile(FieldListFileBytes(list)).list), ParseFieldList(list)) << list;
  }
  EXPECT_EQ(FieldListFileBytes("215\r\nd,200a"), std::string("\xEF\xBB\xBF") + "215d,200a\r\n");
}

}  // namespace
