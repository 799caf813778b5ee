// The field list kept in the registry, from the store up to the window. The
// tests map HKEY_CURRENT_USER to a key of their own, so the real user's
// settings are never touched.
#include <gtest/gtest.h>

#include "field_list.h"
#include "registry_settings_store.h"
#include "ui_test_support.h"
#include "win32_text.h"

namespace {

class RegistryTest : public FormTest {
 protected:
  void SetUp() override {
    path_ = L"Software\\QuirnelTests\\" + std::to_wstring(GetCurrentProcessId());
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &user_,
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, user_), ERROR_SUCCESS);
  }

  void TearDown() override {
    FormTest::TearDown();
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(user_);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\QuirnelTests");
  }

  // The window over the registry store.
  Form1& OpenOverRegistry() {
    form = std::make_unique<Form1>(desktop, registry, LocalFileSystem());
    EXPECT_TRUE(form->Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL));
    return *form;
  }

  void StoreRaw(const std::wstring& value) {
    ASSERT_EQ(RegSetKeyValueW(user_, L"Software\\Pellmoor\\Sorrelant", L"Setting", REG_SZ, value.c_str(),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }

  std::wstring ReadRaw(DWORD& type) {
    wchar_t value[1024] = {};
    DWORD bytes = sizeof value;
    type = 0;
    RegGetValueW(user_, L"Software\\Pellmoor\\Sorrelant", L"Setting", RRF_RT_ANY, &type, value, &bytes);
    return value;
  }

  RegistrySettingsStore registry;

 private:
  std::wstring path_;
  HKEY user_ = nullptr;
};

}  // namespace

TEST_F(RegistryTest, FirstStartShowsTheDefaultList) {
  EXPECT_EQ(registry.Get("Pellmoor", "Sorrelant", "Setting", "NotExsists"), "NotExsists");
  OpenOverRegistry();
  EXPECT_EQ(Narrow(Text(kText2)), DefaultFieldList);
}

TEST_F(RegistryTest, AStoredEmptyListStaysEmpty) {
  StoreRaw(std::wstring());
  OpenOverRegistry();
  EXPECT_EQ(Text(kText2), L"");
}

TEST_F(RegistryTest, TheAbsenceMarkerItselfMeansNothingStoredButOnlyInItsOwnCase) {
  StoreRaw(L"NotExsists");
  OpenOverRegistry();
  EXPECT_EQ(Narrow(Text(kText2)), DefaultFieldList);
  form.reset();
  StoreRaw(L"notexsists");
  OpenOverRegistry();
  EXPECT_EQ(Text(kText2), L"notexsists");
}

TEST_F(RegistryTest, ARunSavesTheListAsAStringWithItsLineBreaksAndItComesBack) {
  OpenOverRegistry();
  const std::wstring list = L"200a,\r\n200f，题名\r\n010d";
  SetWindowTextW(Control(kText2), list.c_str());
  const std::wstring self = [] {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path);
  }();
  SetWindowTextW(Control(kText1), self.c_str());  // any file that exists
  desktop.buttonAnswers = {IDNO};                 // the list is saved even so
  SendMessageW(Control(kCommand3), BM_CLICK, 0, 0);

  DWORD type = 0;
  EXPECT_EQ(ReadRaw(type), list);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

  form.reset();
  OpenOverRegistry();
  EXPECT_EQ(Text(kText2), list);
}

TEST_F(RegistryTest, EditsWithoutARunAreNotKept) {
  StoreRaw(L"200a");
  OpenOverRegistry();
  SetWindowTextW(Control(kText2), L"999z");
  form.reset();
  OpenOverRegistry();
  EXPECT_EQ(Text(kText2), L"200a");
}

TEST_F(RegistryTest, AValueOfAnotherTypeCountsAsAbsent) {
  const DWORD number = 7;
  RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Pellmoor\\Sorrelant", L"Setting", REG_DWORD, &number,
                  sizeof number);
  EXPECT_EQ(registry.Get("Pellmoor", "Sorrelant", "Setting", "NotExsists"), "NotExsists");
  EXPECT_TRUE(registry.Save("Pellmoor", "Sorrelant", "Setting", "200a"));
  EXPECT_EQ(registry.Get("Pellmoor", "Sorrelant", "Setting", "NotExsists"), "200a");
}
