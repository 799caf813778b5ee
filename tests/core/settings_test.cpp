// The field list and its join separator, kept from one start to the next.
#include <gtest/gtest.h>

#include <optional>

#include "field_list.h"
#include "field_list_setting.h"
#include "test_support.h"
#ifndef _WIN32
#include "file_settings_store.h"
#endif

namespace {

#ifndef _WIN32
class MemoryBox : public FieldListBox {
 public:
  std::string text = "in the box";
  std::string Text() override { return text; }
  void SetText(const std::string& value) override { text = value; }
};

// What the box shows after "read" for what the store holds, what a save
// keeps, and the join separator stored beside the list.
TEST(FieldListSetting, TheListComesBackAsItWasSaved) {
  TempFolder folder;
  FileSettingsStore store(folder.File("sub/settings.ini"));
  const std::vector<std::pair<std::optional<std::string>, std::string>> cases = {
      {std::nullopt, DefaultFieldList},
      {"NotExsists", DefaultFieldList},
      {"notexsists", "notexsists"},
      {"", ""},
      {"200a,\\n\r\n[x]\n606a=\\", "200a,\\n\r\n[x]\n606a=\\"},
  };
  for (const auto& [stored, shown] : cases) {
    if (stored) {
      EXPECT_TRUE(store.Save("Pellmoor", "Sorrelant", "Setting", *stored));
    }
    MemoryBox box;
    FieldListSetting("read", store, box);
    EXPECT_EQ(box.text, shown);
  }
  EXPECT_EQ(JoinSeparatorSetting(store), "; ");
  EXPECT_TRUE(store.Save("Pellmoor", "Sorrelant", "JoinSeparator", " | "));
  EXPECT_EQ(JoinSeparatorSetting(store), " | ");
  MemoryBox box;
  FieldListSetting("Read", store, box);  // any other mode saves
  EXPECT_EQ(FileSettingsStore(folder.File("sub/settings.ini")).Get("Pellmoor", "Sorrelant", "Setting", ""), "in the box");
  EXPECT_EQ(store.Get("Pellmoor", "Sorrelant", "JoinSeparator", ""), " | ");
}
#endif

}  // namespace
