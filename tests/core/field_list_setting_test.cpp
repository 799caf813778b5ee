#include "field_list_setting.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "field_list.h"

namespace {

class MemoryStore : public SettingsStore {
 public:
  using Key = std::tuple<std::string, std::string, std::string>;
  std::map<Key, std::string> entries;
  std::string lastDefault;

  std::string Get(const std::string& application, const std::string& section, const std::string& key,
                  const std::string& defaultValue) override {
    lastDefault = defaultValue;
    const auto found = entries.find({application, section, key});
    return found == entries.end() ? defaultValue : found->second;
  }
  bool Save(const std::string& application, const std::string& section, const std::string& key,
            const std::string& value) override {
    entries[{application, section, key}] = value;
    return true;
  }
};

class MemoryBox : public FieldListBox {
 public:
  std::string text = "unchanged";
  std::string Text() override { return text; }
  void SetText(const std::string& value) override { text = value; }
};

const MemoryStore::Key kEntry{"Pellmoor", "Sorrelant", "Setting"};

std::string Load(MemoryStore& store) {
  MemoryBox box;
  FieldListSetting("read", store, box);
  return box.text;
}

}  // namespace

TEST(FieldListSetting, NothingStoredShowsTheDefaultList) {
  MemoryStore store;
  EXPECT_EQ(Load(store), "010a,010d,101a,200a,200f,200g,210a,210c,210d,215a,215d,225a,330a,606a,690a");
  EXPECT_EQ(store.lastDefault, "NotExsists");
}

TEST(FieldListSetting, TheAbsenceMarkerItselfLooksAbsentButNotInOtherCase) {
  MemoryStore store;
  store.entries[kEntry] = "NotExsists";
  EXPECT_EQ(Load(store), DefaultFieldList);
  store.entries[kEntry] = "notexsists";
  EXPECT_EQ(Load(store), "notexsists");
}

TEST(FieldListSetting, StoredTextComesBackUnchanged) {
  MemoryStore store;
  store.entries[kEntry] = "";
  EXPECT_EQ(Load(store), "");
  store.entries[kEntry] = " 200a,\r\n215\r\nd，000?\n";
  EXPECT_EQ(Load(store), " 200a,\r\n215\r\nd，000?\n");
}

TEST(FieldListSetting, EveryModeButReadSaves) {
  for (const char* mode : {"write", "Read", "READ", "", "read "}) {
    MemoryStore store;
    MemoryBox box;
    box.text = std::string("200a\r\n,") + mode;
    EXPECT_TRUE(FieldListSetting(mode, store, box));
    EXPECT_EQ(store.entries[kEntry], box.text) << mode;
  }
}

TEST(FieldListSetting, ReadLeavesTheStoreAlone) {
  MemoryStore store;
  MemoryBox box;
  FieldListSetting("read", store, box);
  EXPECT_TRUE(store.entries.empty());
}
