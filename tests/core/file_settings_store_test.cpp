#include "file_settings_store.h"

#include <gtest/gtest.h>

#include "field_list_setting.h"
#include "temp_folder.h"

TEST(FileSettingsStore, AbsentEntryGivesTheDefault) {
  TempFolder folder;
  FileSettingsStore store(folder.File("none/settings.ini"));
  EXPECT_EQ(store.Get("Pellmoor", "Sorrelant", "Setting", "NotExsists"), "NotExsists");
}

TEST(FileSettingsStore, ValuesComeBackExactlyLineBreaksIncluded) {
  TempFolder folder;
  const std::string path = folder.File("deep/er/settings.ini");
  const std::string value = "200a,\r\n215\r\nd\\r\\n,\rx\n，\\";
  ASSERT_TRUE(FileSettingsStore(path).Save("Pellmoor", "Sorrelant", "Setting", value));
  EXPECT_EQ(FileSettingsStore(path).Get("Pellmoor", "Sorrelant", "Setting", "NotExsists"), value);
  EXPECT_EQ(FileSettingsStore(path).Get("Pellmoor", "Other", "Setting", "absent"), "absent");
}

TEST(FileSettingsStore, FileFormatIsOneLinePerEntry) {
  TempFolder folder;
  const std::string path = folder.File("settings.ini");
  FileSettingsStore store(path);
  ASSERT_TRUE(store.Save("Pellmoor", "Sorrelant", "Setting", "a\r\nb"));
  ASSERT_TRUE(store.Save("Pellmoor", "Other", "Key", "x"));
  ASSERT_TRUE(store.Save("Pellmoor", "Sorrelant", "Setting", ""));
  ASSERT_TRUE(store.Save("Pellmoor", "Sorrelant", "Second", "y"));
  EXPECT_EQ(ReadBytes(path), "[Pellmoor/Sorrelant]\nSetting=\nSecond=y\n[Pellmoor/Other]\nKey=x\n");
  EXPECT_EQ(store.Get("Pellmoor", "Sorrelant", "Setting", "NotExsists"), "");
  EXPECT_EQ(store.Get("Pellmoor", "Other", "Key", "NotExsists"), "x");
}

TEST(FileSettingsStore, UnwritableFileIsReported) {
  FileSettingsStore store("/proc/quirnel-cannot-be-here/settings.ini");
  EXPECT_FALSE(store.Save("Pellmoor", "Sorrelant", "Setting", "x"));
}

TEST(FileSettingsStore, FieldListSurvivesARestart) {
  TempFolder folder;
  const std::string path = folder.File("settings.ini");
  struct Box : FieldListBox {
    std::string text;
    std::string Text() override { return text; }
    void SetText(const std::string& value) override { text = value; }
  };
  Box edited;
  edited.text = "200a,\r\n000?";
  FileSettingsStore before(path);
  FieldListSetting("write", before, edited);
  Box restarted;
  FileSettingsStore after(path);
  FieldListSetting("read", after, restarted);
  EXPECT_EQ(restarted.text, "200a,\r\n000?");
}
