// The field list and its join separator, kept from one start to the next.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "app/field_list_setting.h"
#include "marc/field_list.h"
#include "marc/field_list_file.h"
#include "record_builder.h"

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
  std::map<std::string, std::string> values;
};

// What a load gives for what the store holds, where a save puts the list,
// and the separator stored beside it.
TEST(FieldListSetting, StoredValuesAndWhatTheyGive) {
  const struct {
    std::optional<std::string> stored;
    std::optional<std::string> list;  // nullopt: the default list is shown
    std::string separator;
  } cases[] = {
      {std::nullopt, std::nullopt, "; "},
      {"NotExsists", std::nullopt, "NotExsists"},
      {"notexsists", "notexsists", "notexsists"},
      {"", "", ""},
      {"200a,\r\n606a\t|", "200a,\r\n606a\t|", "; "},
      {" | ", " | ", " | "},
      {"\n", "\n", "; "},
  };
  for (const auto& c : cases) {
    MemorySettings store;
    if (c.stored) {
      store.values["Pellmoor/Sorrelant/Setting"] = *c.stored;
      store.values["Pellmoor/Sorrelant/JoinSeparator"] = *c.stored;
    }
    EXPECT_EQ(LoadFieldList(store), c.list) << c.stored.value_or("<nothing>");
    EXPECT_EQ(JoinSeparatorSetting(store), c.separator) << c.stored.value_or("<nothing>");
  }
  MemorySettings store;
  EXPECT_TRUE(SaveFieldList(store, "200a\r\n,701a*"));
  EXPECT_EQ(store.values, (std::map<std::string, std::string>{{"Pellmoor/Sorrelant/Setting", "200a\r\n,701a*"}}));
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
       "\xEF\xBB\xBF"
       "200a\r\n200f\r\n",
       Problem::None,
       {"200a", "200f"}},
      {"a line ending in a full-width comma", "200a，\n200f\r\n", Problem::None, {"200a", "200f"}},
      {"commas on either side of a break", "200a,\n,200f", Problem::None, {"200a", "", "200f"}},
      {"blank lines and blanks around", "\n\n  200a  \n\t\n　200f　\n", Problem::None, {"200a", "200f"}},
      {"lines ended by CR alone", "200a\r200f", Problem::None, {"200a", "200f"}},
      {"a list on one line", "010a,200a，701a*", Problem::None, {"010a", "200a", "701a*"}},
      {"empty", "", Problem::None, {}},
      {"GBK", "200a," + Gbk("题名"), Problem::NotUtf8, {}},
      {"UTF-16 without its mark",
       std::string("2\0"
                   "0\0"
                   "0\0"
                   "a\0",
                   8),
       Problem::NotUtf8,
       {}},
      {"UTF-16 with its mark",
       "\xFF\xFE"
       "2",
       Problem::NotUtf8,
       {}},
      {"as many items as a workbook has columns", wide, Problem::None, {}},
      {"one more", wide + ",200a", Problem::TooManyItems, {}},
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
  EXPECT_EQ(FieldListFileBytes("215\r\nd,200a"),
            "\xEF\xBB\xBF"
            "215d,200a\r\n");
}

}  // namespace
