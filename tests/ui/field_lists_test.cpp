// The field lists kept aside, as a person meets them in the field list box's
// menu: saved under names in the registry, picked and removed again, in
// small dialogs that refuse what cannot be kept and ask before they replace
// or remove; and lists loaded from and saved to files of their own.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "app/field_list_schemes.h"
#include "field_chooser_access.h"
#include "registry_settings_store.h"
#include "scheme_dialog.h"
#include "window_scene.h"

namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The window on the registry, in Chinese, with no list saved yet.
class FieldListsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ForgetSchemes();
    registry.Save("Pellmoor", "Sorrelant", "Language", "zh");
    ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL));
    SetForegroundWindow(window.Window());
  }
  void TearDown() override {
    ForgetSchemes();
    registry.Delete("Pellmoor", "Sorrelant", "Language");
  }
  static void ForgetSchemes() {
    RegDeleteKeyW(HKEY_CURRENT_USER, RegistryKeyPath("Pellmoor", "Sorrelant\\FieldLists").c_str());
  }

  HWND Box() { return window.Control(kFieldListBox); }
  // The menu opened from the keyboard, the item chosen.
  void Choose(UINT command) {
    desktop.menuChoice = command;
    SetFocus(Box());
    SendMessageW(Box(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Box()), MAKELPARAM(-1, -1));
  }
  // The menu's part for the saved lists: its names, and whether Remove is offered.
  std::string SchemesInMenu() {
    Choose(0);
    const std::string& items = desktop.menuItems;
    const std::size_t from = items.find("字段方案(&L)");
    return items.substr(from, items.find("|-|", from) - from);
  }
  // In the dialog: the name typed, then OK, the Enter key or the button.
  static void TypeAndPress(HWND dialog, const wchar_t* name, bool enter = false) {
    SetWindowTextW(GetDlgItem(dialog, kSchemeName), name);
    if (enter) {
      SetFocus(GetDlgItem(dialog, kSchemeName));
      Press(dialog, VK_RETURN);
    } else {
      SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    }
  }
  // Opens the dialog of the menu's command and runs `run` in it; how often it ran.
  int InDialog(UINT command, std::function<void(HWND)> run) {
    return RunInDialog([&] { Choose(command); }, std::move(run));
  }
  std::vector<std::string> Prompts() {
    std::vector<std::string> prompts;
    for (const MessageBoxCall& call : desktop.messages) prompts.push_back(call.prompt);
    desktop.messages.clear();
    return prompts;
  }

  ScriptedDesktop desktop;
  RegistrySettingsStore registry;
  MainWindow window{desktop, registry, LocalFileSystem()};
};

}  // namespace

// Saved under a name typed (refused with its reason when it cannot be kept;
// replacing only when the user says so), picked from the menu over the list
// in the box (which Undo brings back), removed after a question; every
// dialog skinned and worked from the keyboard.
TEST_F(FieldListsTest, ListsAreSavedUnderANamePickedFromTheMenuAndRemoved) {
  EXPECT_EQ(SchemesInMenu(), "字段方案(&L){[（尚未保存字段方案）]|}|[删除字段方案(&R)…]");
  SetWindowTextW(Box(), L"200a，\r\n701a*");
  EXPECT_EQ(InDialog(kSaveSchemeCommand,
                     [&](HWND dialog) {
                       EXPECT_EQ(GetWindow(dialog, GW_OWNER), window.Window());
                       EXPECT_EQ(GetFocus(), GetWindow(GetDlgItem(dialog, kSchemeName), GW_CHILD));
                       for (int id : {IDOK, IDCANCEL}) {  // drawn by the skin
                         EXPECT_EQ(GetWindowLongPtrW(GetDlgItem(dialog, id), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
                       }
                       TypeAndPress(dialog, L" ");
                       TypeAndPress(dialog, L"新书\t通报");
                       TypeAndPress(dialog, std::wstring(65, L'书').c_str());
                       EXPECT_TRUE(IsWindow(dialog));
                       TypeAndPress(dialog, L" 新书通报 ", true);
                     }),
            1);
  EXPECT_EQ(Prompts(),
            (std::vector<std::string>{"请输入字段方案的名称。",
                                      "字段方案的名称不能含有换行符、制表符等控制字符：注册表无法保存这样的名称。",
                                      "字段方案的名称太长：最多64个字符。"}));
  EXPECT_EQ(LoadScheme(registry, "新书通报"), "200a，\r\n701a*");

  // Another list under the same name: replaced only after a Yes. A name
  // of its own needs no question.
  SetWindowTextW(Box(), L"010a,200a");
  InDialog(kSaveSchemeCommand, [&](HWND dialog) {
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, kSchemeName), CB_GETCOUNT, 0, 0), 1);
    TypeAndPress(dialog, L"新书通报");
    EXPECT_EQ(LoadScheme(registry, "新书通报"), "200a，\r\n701a*");
    desktop.yeses = 1;
    TypeAndPress(dialog, L"新书通报");
  });
  EXPECT_EQ(LoadScheme(registry, "新书通报"), "010a,200a");
  SetWindowTextW(Box(), L"001a & 005a");
  InDialog(kSaveSchemeCommand, [&](HWND dialog) { TypeAndPress(dialog, L"查重 & 核对", true); });
  EXPECT_EQ(Prompts(),
            (std::vector<std::string>{"字段方案“新书通报”已存在，是否替换？", "字段方案“新书通报”已存在，是否替换？"}));
  EXPECT_EQ(SchemesInMenu(), "字段方案(&L){新书通报|查重 && 核对|}|删除字段方案(&R)…");

  // Picked from the menu: the box takes the list; Undo brings back the one before.
  SetWindowTextW(Box(), L"9999");
  Choose(kFirstSchemeCommand + 1);
  EXPECT_EQ(TextOf(Box()), "001a & 005a");
  SendMessageW(Box(), EM_UNDO, 0, 0);
  EXPECT_EQ(TextOf(Box()), "9999");
  Choose(kFirstSchemeCommand);
  EXPECT_EQ(TextOf(Box()), "010a,200a");

  // Removed: the one picked, after a Yes; Esc leaves them all.
  InDialog(kDeleteSchemeCommand, [&](HWND dialog) { Press(dialog, VK_ESCAPE); });
  InDialog(kDeleteSchemeCommand, [&](HWND dialog) {
    HWND names = GetDlgItem(dialog, kSchemeName);
    EXPECT_EQ(TextOf(names), "新书通报");
    SetFocus(names);
    Press(dialog, VK_DOWN);
    Press(dialog, VK_RETURN);
    EXPECT_EQ(SchemeNames(registry).size(), 2u);
    desktop.yeses = 1;
    Press(dialog, VK_RETURN);
  });
  EXPECT_EQ(Prompts(),
            (std::vector<std::string>{"确定要删除字段方案“查重 & 核对”吗？", "确定要删除字段方案“查重 & 核对”吗？"}));
  EXPECT_EQ(SchemeNames(registry), (std::vector<std::string>{"新书通报"}));
  EXPECT_EQ(TextOf(Box()), "010a,200a");
}

// A list file saved and loaded back; a file that is no list, or holds too
// many items, or cannot be read or written, is refused with its reason and
// the box stays as it was; a cancelled dialog does nothing.
TEST_F(FieldListsTest, ListsAreLoadedFromAndSavedToFilesAndWhatIsNoListIsRefused) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / L"quirnel-列表";
  std::filesystem::create_directories(folder);
  std::string many = "200a";
  for (int i = 0; i < 16384; ++i) many += "\r\n701a*";
  const std::wstring where = folder.wstring() + L"\\";
  const std::string saved = std::string("\xEF\xBB\xBF") + "9999,200a\r\n";
  const struct {
    const char* what;
    UINT command;
    const wchar_t* file;    // in the folder; nullptr: the dialog is cancelled
    const char* bytes;      // put into the file first, or nullptr
    std::string boxAfter;   // the box starts with "9999,200a"
    std::string said;       // the message, the folder left out
    std::string fileAfter;  // "" for no file
  } cases[] = {
      {"saved", kSaveListFileCommand, L"新书.txt", nullptr, "9999,200a", "", saved},
      {"loaded back", kLoadListFileCommand, L"新书.txt", nullptr, "9999,200a", "", saved},
      {"another list", kLoadListFileCommand, L"a.txt", "010a,200a", "010a,200a", "", "010a,200a"},
      {"not UTF-8", kLoadListFileCommand, L"gbk.txt", "200a,\xCC\xE2\xC3\xFB", "9999,200a",
       "未载入字段列表：gbk.txt不是UTF-8编码的文本文件。", "200a,\xCC\xE2\xC3\xFB"},
      {"too many", kLoadListFileCommand, L"many.txt", many.c_str(), "9999,200a",
       "未载入字段列表：many.txt中的项目超过16384个。", many},
      {"no such file", kLoadListFileCommand, L"none.txt", nullptr, "9999,200a",
       "无法打开字段列表文件：none.txt（文件不存在）", ""},
      {"no such folder", kSaveListFileCommand, L"no\\such.txt", nullptr, "9999,200a",
       "无法保存字段列表文件：no\\such.txt（路径不存在）", ""},
      {"cancelled", kLoadListFileCommand, nullptr, nullptr, "9999,200a", "", ""},
  };
  for (const auto& c : cases) {
    if (c.bytes != nullptr) WriteFile(folder / c.file, c.bytes);
    desktop.listFilePath = c.file != nullptr ? where + c.file : L"";
    desktop.listDialogs.clear();
    SetWindowTextW(Box(), L"9999,200a");
    Choose(c.command);
    EXPECT_EQ(desktop.listDialogs, c.command == kSaveListFileCommand ? "save|" : "open|") << c.what;
    EXPECT_EQ(TextOf(Box()), c.boxAfter) << c.what;
    std::vector<std::string> said = Prompts();
    for (std::string& prompt : said) {
      if (const auto at = prompt.find(Narrow(where)); at != std::string::npos) prompt.erase(at, Narrow(where).size());
    }
    EXPECT_EQ(said, c.said.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.said}) << c.what;
    if (c.file != nullptr) {
      EXPECT_EQ(ReadFile(folder / c.file), c.fileAfter) << c.what;
    }
  }
  std::filesystem::remove_all(folder);
}
