// The field list: its grammar, and keeping it from one start to the next.
#include <gtest/gtest.h>

#include <map>

#include "field_list.h"
#include "field_list_setting.h"
#include "test_support.h"
#ifndef _WIN32
#include "file_settings_store.h"
#endif

namespace {

TEST(FieldList, ItemsAsTyped) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"", {}},
      {"200a", {"200a"}},
      {"010a，200a", {"010a", "200a"}},
      {"，200a", {"", "200a"}},
      {"010a,,200a,", {"010a", "", "200a", ""}},
      {"215\r\nd, 2\r00a\n", {"215d", " 2\r00a\n"}},
      {" 200A ,000?", {" 200A ", "000?"}},
  };
  for (const auto& [text, items] : cases) EXPECT_EQ(ParseFieldList(text), items) << text;
}

class MemoryStore : public SettingsStore {
 public:
  std::map<std::string, std::string> entries;
  std::string Get(const std::string& a, const std::string& s, const std::string& k, const std::string& absent) override {
    const auto found = entries.find(a + "/" + s + "/" + k);
    return found == entries.end() ? absent : found->second;
  }
  bool Save(const std::string& a, const std::string& s, const std::string& k, const std::string& value) override {
    entries[a + "/" + s + "/" + k] = value;
    return true;
  }
};

class MemoryBox : public FieldListBox {
 public:
  std::string text = "in the box";
  std::string Text() override { return text; }
  void SetText(const std::string& value) override { text = value; }
};

// What the box shows after "read", for what the store holds.
TEST(FieldListSetting, ReadShowsTheStoredListOrTheDefault) {
  const std::vector<std::pair<std::optional<std::string>, std::string>> cases = {
      {std::nullopt, DefaultFieldList},
      {"NotExsists", DefaultFieldList},
      {"notexsists", "notexsists"},
      {"", ""},
      {"200a,\r\n606a", "200a,\r\n606a"},
  };
  for (const auto& [stored, shown] : cases) {
    MemoryStore store;
    if (stored) store.entries["Pellmoor/Sorrelant/Setting"] = *stored;
    MemoryBox box;
    FieldListSetting("read", store, box);
    EXPECT_EQ(box.text, shown);
  }
  MemoryStore store;
  MemoryBox box;
  FieldListSetting("Read", store, box);  // any other mode saves
  EXPECT_EQ(store.entries.at("Pellmoor/Sorrelant/Setting"), "in the box");
  EXPECT_EQ(JoinSeparatorSetting(store), "; ");
  store.entries["Pellmoor/Sorrelant/JoinSeparator"] = " | ";
  EXPECT_EQ(JoinSeparatorSetting(store), " | ");
}

#ifndef _WIN32
TEST(FileSettingsStore, KeepsLineBreaksAndOtherEntries) {
  TempFolder folder;
  const std::string path = folder.File("sub/settings.ini");
  const std::string list = "200a,\\n\r\n[x]\n606a=\\";
  EXPECT_TRUE(FileSettingsStore(path).Save("Pellmoor", "Sorrelant", "Setting", "old"));
  EXPECT_TRUE(FileSettingsStore(path).Save("Other", "Sorrelant", "Setting", "other"));
  EXPECT_TRUE(FileSettingsStore(path).Save("Pellmoor", "Sorrelant", "Setting", list));
  EXPECT_EQ(FileSettingsStore(path).Get("Pellmoor", "Sorrelant", "Setting", "absent"), list);
  EXPECT_EQ(FileSettingsStore(path).Get("Other", "Sorrelant", "Setting", "absent"), "other");
  EXPECT_EQ(FileSettingsStore(path).Get("Pellmoor", "Sorrelant", "Nothing", "absent"), "absent");
}
#endif

}  // namespace
