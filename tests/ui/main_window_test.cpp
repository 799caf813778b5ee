// The main window as a person meets it, created inside the test with its
// dialogs and message boxes answered from a script: where its controls are,
// how the keys move and press, the link's colour, what a run writes and shows
// on the label and in its boxes, what a failure shows, and the field list
// kept in the registry from one window to the next.
#include <windows.h>

#include <shlobj.h>  // DROPFILES

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "registry_settings_store.h"
#include "window_scene.h"

using MainWindowTest = WindowScene;

// The stored layout is in twips: the window shows it in pixels of its own
// DPI, from the top-left of a client area of the size it is given.
TEST_F(MainWindowTest, ControlsAndClientAreaTakeTheirTwipsInPixelsOfTheWindowsDpi) {
  const int dpi = GetDeviceCaps(win32::BorrowWindowDC(window.Window()).Get(), LOGPIXELSX);
  const auto pixels = [dpi](int twips) { return static_cast<LONG>(MulDiv(twips, dpi, 1440)); };
  for (const ControlLayout& place : MainWindowLayout(window.InterfaceLanguage())) {
    RECT rect;
    GetWindowRect(Control(place.id), &rect);
    MapWindowPoints(nullptr, window.Window(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ((std::array{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}),
              (std::array{pixels(place.left), pixels(place.top), pixels(place.width), pixels(place.height)}))
        << place.id;
  }
  RECT client;
  GetClientRect(window.Window(), &client);
  EXPECT_EQ((std::array{client.right, client.bottom}),
            (std::array{pixels(kClientWidthTwips), pixels(kClientHeightTwips)}));
}

// Once pointed at, the link stays red until the pointer is over the bare
// background of the window.
TEST_F(MainWindowTest, TheSiteLinkTurnsRedUnderThePointerAndBlueOnlyOverTheBackground) {
  const win32::MemoryDC dc(CreateCompatibleDC(nullptr));
  const auto colour = [&] {
    SendMessageW(window.Window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                 reinterpret_cast<LPARAM>(Control(kSiteLink)));
    return GetTextColor(dc.Get());
  };
  EXPECT_EQ(colour(), RGB(0, 0, 255));
  for (HWND under : {Control(kSiteLink), Control(kInputPathBox), Control(kBeginButton), window.Window()}) {
    SendMessageW(under, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(colour(), under == window.Window() ? RGB(0, 0, 255) : RGB(255, 0, 0)) << under;
  }
}

// The window is no dialog, yet Tab goes round as in one, and the control
// that had the focus gets it back when the window is active again.
TEST_F(MainWindowTest, TabGoesRoundPathChooseListAndBeginAndTheFocusComesBackAfterAnotherWindow) {
  ASSERT_EQ(GetFocus(), Control(kInputPathBox));
  for (ControlId next : {kChooseButton, kFieldListBox, kBeginButton, kInputPathBox}) {
    Press(window.Window(), VK_TAB);
    EXPECT_EQ(GetFocus(), Control(next)) << next;
  }
  Press(window.Window(), VK_TAB, true);
  EXPECT_EQ(GetFocus(), Control(kBeginButton));
  HWND other = CreateWindowExW(0, L"Static", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  SetActiveWindow(other);
  SetActiveWindow(window.Window());
  EXPECT_EQ(GetFocus(), Control(kBeginButton));
  DestroyWindow(other);
}

TEST_F(MainWindowTest, EnterPressesTheFocusedButtonStartsTheRunFromThePathAndBreaksTheLineInTheList) {
  const struct {
    ControlId focus;
    int openDialogs;       // Choose pressed
    std::size_t messages;  // the run's confirmation asked
    int listLines;
  } cases[] = {
      {.focus = kInputPathBox, .openDialogs = 0, .messages = 1, .listLines = 1},
      {.focus = kBeginButton, .openDialogs = 0, .messages = 1, .listLines = 1},
      {.focus = kChooseButton, .openDialogs = 1, .messages = 0, .listLines = 1},
      {.focus = kFieldListBox, .openDialogs = 0, .messages = 0, .listLines = 2},
  };
  SetWindowTextW(Control(kFieldListBox), L"200a");
  for (const auto& enter : cases) {
    desktop = {};
    SetFocus(Control(enter.focus));
    Press(window.Window(), VK_RETURN);
    EXPECT_EQ(desktop.openDialogs, enter.openDialogs) << enter.focus;
    EXPECT_EQ(desktop.messages.size(), enter.messages) << enter.focus;
    EXPECT_EQ(SendMessageW(Control(kFieldListBox), EM_GETLINECOUNT, 0, 0), enter.listLines) << enter.focus;
  }
}

// Files dropped as Explorer drops them: a DROPFILES block of wide names.
void DropFiles(HWND window, const std::vector<std::wstring>& files) {
  std::wstring names;  // each ended by a NUL, and the list by another
  for (const std::wstring& file : files) names += file + L'\0';
  const DROPFILES header = {sizeof(DROPFILES), {}, FALSE, TRUE};
  const std::size_t bytes = sizeof header + (names.size() + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GHND, bytes);  // freed by the window's DragFinish
  auto* memory = static_cast<char*>(GlobalLock(block));
  std::memcpy(memory, &header, sizeof header);
  std::memcpy(memory + sizeof header, names.c_str(), (names.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(block);
  SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
}

// Several files chosen or dropped come into the path box each in quotes, one
// as it is; a cancelled dialog leaves the box. Ctrl+A selects the field list.
TEST_F(MainWindowTest, FilesBrowsedOrDroppedComeIntoThePathBoxAndCtrlASelectsTheList) {
  const std::wstring several = L"\"C:\\data\\a.iso\" \"C:\\数据\\b c.iso\"";
  const struct {
    const char* name;
    std::vector<std::wstring> browsed = {};  // chosen in the open dialog; none when cancelled
    std::vector<std::wstring> dropped = {};  // or dropped
    std::wstring shows;
  } cases[] = {
      {.name = "browsed", .browsed = {L"C:\\data\\a.iso", L"C:\\数据\\b c.iso"}, .shows = several},
      {.name = "cancelled", .shows = several},
      {.name = "dropped one", .dropped = {L"D:\\一个.iso"}, .shows = L"D:\\一个.iso"},
      {.name = "dropped", .dropped = {L"C:\\data\\a.iso", L"C:\\数据\\b c.iso"}, .shows = several},
  };
  for (const auto& c : cases) {
    desktop.openPaths = c.browsed;
    if (!c.dropped.empty()) {
      DropFiles(window.Window(), c.dropped);
    } else {
      SendMessageW(Control(kChooseButton), BM_CLICK, 0, 0);
    }
    EXPECT_EQ(TextOf(Control(kInputPathBox)), Narrow(c.shows)) << c.name;
  }
  SetFocus(Control(kFieldListBox));
  SendMessageW(Control(kFieldListBox), EM_SETSEL, 0, 0);
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  Press(window.Window(), 'A');
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  DWORD start = 1, end = 0;
  SendMessageW(Control(kFieldListBox), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, static_cast<DWORD>(GetWindowTextLengthW(Control(kFieldListBox))));
}

TEST_F(MainWindowTest, AnExceptionEndsInAnErrorBoxAndTheWindowGoesOn) {
  settings.savingRunsOutOfMemory = true;
  SendMessageW(Control(kBeginButton), BM_CLICK, 0, 0);
  desktop.openDialogBreaks = true;
  SendMessageW(Control(kChooseButton), BM_CLICK, 0, 0);

  ASSERT_EQ(desktop.messages.size(), 2u);
  EXPECT_NE(desktop.messages[0].prompt.find("内存不足"), std::string::npos);
  EXPECT_EQ(desktop.messages[1].prompt, "程序出错，操作未能完成。");
  for (const MessageBoxCall& box : desktop.messages) {
    EXPECT_EQ(box.title, "温馨提示");
    EXPECT_EQ(box.style, static_cast<unsigned>(MB_OK | MB_ICONERROR));
  }
  EXPECT_TRUE(IsWindowEnabled(Control(kBeginButton)));
}

// Runs from Begin to their last message. The type chosen in the save dialog
// decides the file, and is offered first the next time; a name ending in
// .xlsx is a workbook whatever the type. A workbook that exists is replaced
// after a Yes, and not at all while another program holds it.
// Esc during a run asks whether to stop; Yes stops it with whole lines kept,
// No lets it finish. The end message comes once the label shows the count of
// the last record, not the last one repainted.
TEST_F(MainWindowTest, RunsWriteTheTypeChosenAskBeforeReplacingStopOnEscAndEndUnderTheLastCount) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "quirnel-window-runs";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string done = "恭喜，数据已经转换完毕咯！\n输出文件：";
  const struct {
    const wchar_t* name;
    int type = 0;                           // chosen in the dialog: 0 GBK text, 1 UTF-8 text, 2 workbook
    const char* before = nullptr;           // the file's content before, or nullptr
    bool holdOpen = false;                  // another program holds the file as a spreadsheet does
    bool escape = false;                    // Esc pressed as the run starts
    int yeses = 1;                          // the confirmation, then the question about the file or Esc's
    std::string begins = "200a\t\r\n";      // how the file begins after
    int lines = -1;                         // text lines in the file after; -1 for a workbook
    std::string said = {};                  // how the last message begins, the folder left out
    std::vector<std::size_t> choices = {};  // the buttons pressed: the question about a text file, the end message's
    bool badSecond = false;                 // a second input follows the sample, with a record that cannot be read
    std::string shell = {};                 // what the end message opened, the folder left out
    std::string buttons = "确定|打开文件|打开所在文件夹|";  // the end message's, when it is one
  } cases[] = {
      {.name = L"gbk", .lines = 41, .said = done + "gbk.txt"},
      {.name = L"stopped",
       .escape = true,
       .yeses = 2,
       .lines = 2,
       .said = "转换已停止，已写出1条记录。\n输出文件：stopped.txt"},
      {.name = L"finished", .escape = true, .lines = 41, .said = done + "finished.txt"},
      {.name = L"utf8", .type = 1, .begins = "\uFEFF200a\t\r\n", .lines = 41, .said = done + "utf8.txt"},
      {.name = L"appended.txt",
       .before = "kept\r\n",
       .begins = "kept\r\n200a\t\r\n",
       .lines = 42,
       .said = done + "appended.txt",
       .choices = {0, 2},
       .shell = "folder appended.txt|"},
      {.name = L"replaced.txt",
       .before = "old\r\n",
       .lines = 41,
       .said = done + "replaced.txt",
       .choices = {1, 1},
       .shell = "open replaced.txt|"},
      {.name = L"left.txt", .before = "old\r\n", .begins = "old\r\n", .lines = 1, .choices = {2}},
      {.name = L"replace-stopped.txt",
       .before = "old\r\n",
       .escape = true,
       .yeses = 2,
       .begins = "old\r\n",
       .lines = 1,
       .said = "转换已停止，原文件未作改动：replace-stopped.txt",
       .choices = {1}},
      {.name = L"two.txt",
       .lines = 43,
       .said = done + "two.txt",
       .choices = {3},
       .badSecond = true,
       .shell = "open two.txt.log.txt|",
       .buttons = "确定|打开文件|打开所在文件夹|打开问题记录|"},
      {.name = L"book", .type = 2, .begins = "PK", .said = done + "book.xlsx"},
      {.name = L"typed.xlsx", .begins = "PK", .said = done + "typed.xlsx"},
      {.name = L"remade.xlsx", .type = 2, .before = "old", .yeses = 2, .begins = "PK", .said = done + "remade.xlsx"},
      {.name = L"held.xlsx",
       .type = 2,
       .before = "old",
       .holdOpen = true,
       .yeses = 2,
       .begins = "old",
       .said = "无法创建输出文件：held.xlsx（文件正被另一程序使用）"},
  };
  // The second input: the sample's first record, then one cut short.
  const std::filesystem::path second = folder / L"第二.iso";
  {
    std::ifstream sample(QUIRNEL_SAMPLE, std::ios::binary);
    std::string record;
    std::getline(sample, record, '\x1d');
    std::ofstream(second, std::ios::binary) << record << '\x1d' << "01234nam0\x1d";
  }
  int offered = 0;
  for (const auto& c : cases) {
    const std::filesystem::path path = folder / c.name;
    if (c.before != nullptr) std::ofstream(path, std::ios::binary) << c.before;
    win32::FileHandle held;
    if (c.holdOpen)
      held.Reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    desktop = {};
    desktop.yeses = c.yeses;
    desktop.savePath = path.wstring();
    desktop.chosenType = c.type;
    desktop.choices = c.choices;
    const std::wstring sample = QUIRNEL_SAMPLE;
    SetWindowTextW(Control(kInputPathBox),
                   c.badSecond ? (L"\"" + sample + L"\"\r\n\"" + second.wstring() + L"\"").c_str() : sample.c_str());
    SetWindowTextW(Control(kFieldListBox), L"200a");
    if (c.escape) PostMessageW(Control(kFieldListBox), WM_KEYDOWN, VK_ESCAPE, 1);  // read at the run's first breath
    SendMessageW(Control(kBeginButton), BM_CLICK, 0, 0);
    held.Reset();
    EXPECT_EQ(desktop.offeredType, offered) << c.name;
    // The save dialog proposes the input's name, with the type it offers.
    EXPECT_EQ(Narrow(std::filesystem::path(desktop.proposedPath).filename().wstring()),
              offered == 2 ? "sample.xlsx" : "sample.txt")
        << c.name;
    offered = c.type;
    ASSERT_FALSE(desktop.messages.empty()) << c.name;
    // Before the first question the label shows no count of an earlier run.
    EXPECT_EQ(desktop.messages.front().progress, "正在预读数据，目前已完成0条.....") << c.name;
    if (c.escape) {
      const bool replacing = c.begins == "old\r\n";
      EXPECT_EQ(desktop.messages[desktop.messages.size() - 2].prompt,
                replacing ? "是否停止转换？原文件将保持不变。" : "是否停止转换？已转换的记录会保留。")
          << c.name;
    }
    const std::string where = Narrow(folder.wstring() + L"\\");
    const auto withoutFolder = [&](std::string text) {
      for (auto at = text.find(where); at != std::string::npos; at = text.find(where)) text.erase(at, where.size());
      return text;
    };
    const MessageBoxCall& last = desktop.messages.back();
    if (!c.said.empty()) {
      EXPECT_EQ(withoutFolder(last.prompt).substr(0, c.said.size()), c.said) << c.name;
    }
    if (c.badSecond) {
      EXPECT_NE(last.prompt.find("第二.iso"), std::string::npos) << c.name << last.prompt;
    }
    if (last.prompt.rfind(done, 0) == 0) {  // an end message, under the last count, offering to open the output
      EXPECT_EQ(last.progress,
                c.badSecond ? "正在预读数据，目前已完成42条.....（100%）" : "正在预读数据，目前已完成40条.....（100%）")
          << c.name;
      EXPECT_EQ(last.buttons, c.buttons) << c.name;
    }
    if (c.before != nullptr && c.type != 2) {
      EXPECT_EQ(desktop.messages[1].buttons, "追加|替换|取消|") << c.name;
    }
    EXPECT_EQ(withoutFolder(desktop.shellCalls), c.shell) << c.name;
    std::filesystem::path written = path;
    if (!std::filesystem::exists(written)) written += c.type == 2 ? L".xlsx" : L".txt";
    std::ifstream file(written, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.substr(0, c.begins.size()), c.begins) << c.name;
    if (c.lines >= 0) {
      EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), c.lines) << c.name;
      EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << c.name;
    }
  }
  EXPECT_EQ(settings.values["OutputType"], "xlsx");
  std::filesystem::remove_all(folder);
}

// What the registry holds comes back into the list box of the next window,
// as it was saved, line breaks and all; nothing stored gives the default list
// (what other stored values give, the core's settings test tells).
TEST(MainWindowSettings, TheFieldListComesBackFromTheRegistry) {
  const std::string defaultList = "010a,010d,101a,200a,200f,200g,210a,210c,210d,215a,215d,225a,330a,606a,690a";
  const struct {
    std::optional<std::wstring> stored;  // nullopt: nothing stored
    std::string shown;
  } cases[] = {
      {.stored = std::nullopt, .shown = defaultList},
      {.stored = L"200a，\r\n701a*,题名", .shown = "200a，\r\n701a*,题名"},
  };
  const std::wstring key = RegistryKeyPath("Pellmoor", "Sorrelant");
  for (const auto& c : cases) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Setting");
    ScriptedDesktop desktop;
    RegistrySettingsStore registry;
    if (c.stored) {  // saved by a window, as Begin saves it before its first question
      MainWindow first(desktop, registry, LocalFileSystem());
      ASSERT_TRUE(first.Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL));
      SetWindowTextW(first.Control(kInputPathBox), QUIRNEL_SAMPLE);
      SetWindowTextW(first.Control(kFieldListBox), c.stored->c_str());
      SendMessageW(first.Control(kBeginButton), BM_CLICK, 0, 0);
    }
    MainWindow next(desktop, registry, LocalFileSystem());
    ASSERT_TRUE(next.Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL));
    EXPECT_EQ(TextOf(next.Control(kFieldListBox)), c.shown) << (c.stored ? Narrow(*c.stored) : "nothing stored");
  }
  RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Setting");
}
