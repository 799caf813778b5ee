// The field list and its join separator, kept from one start to the next.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "app/field_list_setting.h"
#include "marc/field_list.h"

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
      {"001", {"001"}},
      {" 200f,200f ", {" 200f", "200f "}},
      {"200a**,200ab,20,", {"200a**", "200ab", "20", ""}},
      {"20\t0a,2\n00a,200a\r", {"20\t0a", "2\n00a", "200a\r"}},
      {"2\r\n00a", {}},  // a code broken over two lines joins up
      {"001,001，001", {"001"}},
      {"", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ItemsThatCannotMatch(ParseFieldList(c.list)), c.named) << c.list;
  }
}

}  // namespace
