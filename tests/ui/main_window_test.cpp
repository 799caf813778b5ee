// The main window as a person meets it, created inside the test with its
// dialogs and message boxes answered from a script: where its controls are,
// how the keys move and press, the link's colour, what a run shows on the
// label and in its boxes, what a failure shows, and the field list kept in
// the registry from one window to the next.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "desktop_services.h"
#include "file_system.h"
#include "main_window.h"
#include "message_loop.h"
#include "registry_settings_store.h"
#include "settings_store.h"
#include "win32_text.h"

namespace {

struct MessageBoxCall {
  std::wstring prompt;
  unsigned style;
  std::wstring title;
  std::wstring progress;  // the progress label's caption when the box appeared
};

// Answers Yes to the first `yeses` questions and No to the rest, saves to
// `savePath`, and notes every box with what the progress label said then.
class ScriptedDesktop : public DesktopServices {
 public:
  std::wstring ChooseOpenFile(HWND) override {
    ++openDialogs;
    if (openDialogBreaks) throw std::runtime_error("the open dialog broke");
    return {};
  }
  std::wstring ChooseSaveFile(HWND, int& type) override {
    offeredType = type;
    if (chosenType >= 0) type = chosenType;
    return savePath;
  }
  int ShowMessageBox(HWND owner, const std::wstring& prompt, unsigned style, const std::wstring& title) override {
    messages.push_back({prompt, style, title, WindowText(GetDlgItem(owner, kProgressLabel))});
    return yeses-- > 0 ? IDYES : IDNO;
  }
  UINT ShowShortcutMenu(HWND, HMENU, POINT) override { return 0; }
  bool OpenAddress(const std::wstring&) override { return false; }

  int yeses = 0;
  std::wstring savePath;
  int chosenType = -1;   // the type the user picks in the save dialog; -1 leaves it as offered
  int offeredType = -1;  // the type the dialog offered first
  bool openDialogBreaks = false;
  int openDialogs = 0;
  std::vector<MessageBoxCall> messages;
};

// Settings kept in memory; saving them may run out of memory.
class MemorySettings : public SettingsStore {
 public:
  std::optional<std::string> Get(const std::string&, const std::string&, const std::string& key) override {
    const auto found = values.find(key);
    return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
  }
  bool Save(const std::string&, const std::string&, const std::string& key, const std::string& value) override {
    if (savingRunsOutOfMemory) throw std::bad_alloc();
    values[key] = value;
    return true;
  }
  std::map<std::string, std::string> values;
  bool savingRunsOutOfMemory = false;
};

// This test program: a file that exists, to stand for an input.
std::wstring ThisProgram() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return self;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL));
    SetWindowTextW(Control(kInputPathBox), ThisProgram().c_str());
    SetForegroundWindow(window.Window());
    PumpPendingMessages(window.Window());
  }

  HWND Control(ControlId id) { return window.Control(id); }

  // A key pressed where the focus is, through the window's message loop.
  void Press(WPARAM key, bool shift = false) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    PumpPendingMessages(window.Window());
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
  }

  ScriptedDesktop desktop;
  MemorySettings settings;
  MainWindow window{desktop, settings, LocalFileSystem()};
};

// The colour the window gives a label's text when it paints.
COLORREF TextColourOf(HWND window, HWND label) {
  const win32::MemoryDC dc(CreateCompatibleDC(nullptr));
  SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()), reinterpret_cast<LPARAM>(label));
  return GetTextColor(dc.Get());
}

}  // namespace

// The stored layout is in twips: the window shows it in pixels of its own
// DPI, from the top-left of a client area of the size it is given.
TEST_F(MainWindowTest, ControlsAndClientAreaTakeTheirTwipsInPixelsOfTheWindowsDpi) {
  const int dpi = GetDeviceCaps(win32::BorrowWindowDC(window.Window()).Get(), LOGPIXELSX);
  const auto pixels = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
  for (const ControlLayout& place : MainWindowLayout()) {
    RECT rect;
    GetWindowRect(Control(place.id), &rect);
    MapWindowPoints(nullptr, window.Window(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, pixels(place.left)) << place.id;
    EXPECT_EQ(rect.top, pixels(place.top)) << place.id;
    EXPECT_EQ(rect.right - rect.left, pixels(place.width)) << place.id;
    EXPECT_EQ(rect.bottom - rect.top, pixels(place.height)) << place.id;
  }
  RECT client;
  GetClientRect(window.Window(), &client);
  EXPECT_EQ(client.right, pixels(kClientWidthTwips));
  EXPECT_EQ(client.bottom, pixels(kClientHeightTwips));
}

// Once pointed at, the link stays red until the pointer is over the bare
// background of the window.
TEST_F(MainWindowTest, TheSiteLinkTurnsRedUnderThePointerAndBlueOnlyOverTheBackground) {
  EXPECT_EQ(TextColourOf(window.Window(), Control(kSiteLink)), RGB(0, 0, 255));
  for (HWND under : {Control(kSiteLink), Control(kInputPathBox), Control(kBeginButton), window.Window()}) {
    SendMessageW(under, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    const COLORREF expected = under == window.Window() ? RGB(0, 0, 255) : RGB(255, 0, 0);
    EXPECT_EQ(TextColourOf(window.Window(), Control(kSiteLink)), expected) << under;
  }
}

// The window is no dialog, yet Tab goes round as in one, and the control
// that had the focus gets it back when the window is active again.
TEST_F(MainWindowTest, TabGoesRoundPathChooseListAndBeginAndTheFocusComesBackAfterAnotherWindow) {
  ASSERT_EQ(GetFocus(), Control(kInputPathBox));
  for (ControlId next : {kChooseButton, kFieldListBox, kBeginButton, kInputPathBox}) {
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), Control(next)) << next;
  }
  Press(VK_TAB, true);
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
  } cases[] = {{kInputPathBox, 0, 1, 1}, {kBeginButton, 0, 1, 1}, {kChooseButton, 1, 0, 1}, {kFieldListBox, 0, 0, 2}};
  SetWindowTextW(Control(kFieldListBox), L"200a");
  for (const auto& enter : cases) {
    desktop = {};
    SetFocus(Control(enter.focus));
    Press(VK_RETURN);
    EXPECT_EQ(desktop.openDialogs, enter.openDialogs) << enter.focus;
    EXPECT_EQ(desktop.messages.size(), enter.messages) << enter.focus;
    EXPECT_EQ(SendMessageW(Control(kFieldListBox), EM_GETLINECOUNT, 0, 0), enter.listLines) << enter.focus;
  }
}

TEST_F(MainWindowTest, AnExceptionEndsInAnErrorBoxAndTheWindowGoesOn) {
  settings.savingRunsOutOfMemory = true;
  SendMessageW(Control(kBeginButton), BM_CLICK, 0, 0);
  desktop.openDialogBreaks = true;
  SendMessageW(Control(kChooseButton), BM_CLICK, 0, 0);

  ASSERT_EQ(desktop.messages.size(), 2u);
  EXPECT_NE(desktop.messages[0].prompt.find(L"内存不足"), std::wstring::npos);
  EXPECT_EQ(desktop.messages[1].prompt, L"程序出错，操作未能完成。");
  for (std::size_t i : {0, 1}) {
    EXPECT_EQ(desktop.messages[i].title, L"温馨提示");
    EXPECT_EQ(desktop.messages[i].style, static_cast<unsigned>(MB_OK | MB_ICONERROR));
  }
  EXPECT_TRUE(IsWindowEnabled(Control(kBeginButton)));
}

// Begin with no file to start with says so, and with an empty path sends the
// user back to the box; nothing else happens.
TEST_F(MainWindowTest, BeginWithoutAnInputSaysSo) {
  const struct {
    const wchar_t* path;
    std::wstring message;
    bool focusInThePathBox;
  } cases[] = {{L"", L"请先选择数据文件。", true}, {L"Z:\\no\\such.iso", L"找不到数据文件：Z:\\no\\such.iso", false}};
  for (const auto& c : cases) {
    desktop.messages.clear();
    SetWindowTextW(Control(kInputPathBox), c.path);
    SetFocus(Control(kChooseButton));
    SendMessageW(Control(kBeginButton), BM_CLICK, 0, 0);
    ASSERT_EQ(desktop.messages.size(), 1u) << c.path;
    EXPECT_EQ(desktop.messages[0].prompt, c.message);
    EXPECT_EQ(GetFocus() == Control(kInputPathBox), c.focusInThePathBox) << c.path;
    EXPECT_TRUE(IsWindowEnabled(Control(kBeginButton)));
  }
}

// Esc during a run asks whether to stop; Yes stops it with whole lines kept,
// No lets it finish.
TEST_F(MainWindowTest, EscStopsARunWhenTheUserSaysYes) {
  const std::filesystem::path output = std::filesystem::temp_directory_path() / "quirnel-window-stop.txt";
  const struct {
    int yeses;  // the confirmation, then the question Esc asks
    std::wstring end;
    std::size_t lines;
  } cases[] = {{2, L"转换已停止，已写出1条记录。", 2}, {1, L"恭喜，数据已经转换完毕咯！", 41}};
  for (const auto& c : cases) {
    std::filesystem::remove(output);
    desktop = {};
    desktop.yeses = c.yeses;
    desktop.savePath = output.wstring();
    SetWindowTextW(Control(kInputPathBox), QUIRNEL_SAMPLE);
    SetWindowTextW(Control(kFieldListBox), L"200a");
    PostMessageW(Control(kFieldListBox), WM_KEYDOWN, VK_ESCAPE, 1);  // read at the run's first breath
    SendMessageW(Control(kBeginButton), BM_CLICK, 0, 0);
    ASSERT_EQ(desktop.messages.size(), 3u);
    EXPECT_EQ(desktop.messages[1].prompt, L"是否停止转换？已转换的记录会保留。");
    EXPECT_EQ(desktop.messages[2].prompt.substr(0, c.end.size()), c.end);
    std::ifstream written(output, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
    EXPECT_EQ(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')), c.lines);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  }
  std::filesystem::remove(output);
}

// The type chosen in the save dialog decides the file, and is offered first
// the next time; a name ending in .xlsx is a workbook whatever the type. A
// workbook that exists is replaced only when the user says so, and not at
// all while another program holds it.
TEST_F(MainWindowTest, TheTypeChosenDecidesTheFileAndIsRemembered) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "quirnel-window-types";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const struct {
    const wchar_t* name;
    int type;               // chosen in the dialog: 0 GBK text, 1 UTF-8 text, 2 workbook
    const char* before;     // the file's content before, or nullptr
    bool holdOpen;          // another program holds the file as a spreadsheet does
    int yeses;              // the confirmation, then the question about the file
    std::string begins;     // how the file begins after
    std::wstring endsWith;  // the last message
  } cases[] = {
      {L"gbk", 0, nullptr, false, 1, "200a\t\r\n", L"gbk.txt"},
      {L"utf8", 1, nullptr, false, 1,
       "\xEF\xBB\xBF"
       "200a\t\r\n",
       L"utf8.txt"},
      {L"book", 2, nullptr, false, 1, "PK", L"book.xlsx"},
      {L"typed.xlsx", 0, nullptr, false, 1, "PK", L"typed.xlsx"},
      {L"kept.xlsx", 2, "old", false, 1, "old", L"该文件已存在，是否替换？"},
      {L"replaced.xlsx", 2, "old", false, 2, "PK", L"replaced.xlsx"},
      {L"held.xlsx", 2, "old", true, 2, "old", L"（文件正被另一程序使用）"},
  };
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
    SetWindowTextW(Control(kInputPathBox), QUIRNEL_SAMPLE);
    SetWindowTextW(Control(kFieldListBox), L"200a");
    SendMessageW(Control(kBeginButton), BM_CLICK, 0, 0);
    held.Reset();
    EXPECT_EQ(desktop.offeredType, offered) << c.name;
    offered = c.type;
    ASSERT_FALSE(desktop.messages.empty()) << c.name;
    const std::wstring& last = desktop.messages.back().prompt;
    EXPECT_NE(last.find(c.endsWith), std::wstring::npos) << c.name << ": " << Narrow(last);
    std::filesystem::path written = path;
    if (!std::filesystem::exists(written)) written += c.type == 2 ? L".xlsx" : L".txt";
    std::ifstream file(written, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.substr(0, c.begins.size()), c.begins) << c.name;
  }
  EXPECT_EQ(settings.values["OutputType"], "xlsx");
  std::filesystem::remove_all(folder);
}

// A run from Begin to its end message: the message comes once the label
// shows the count of the last record, not the last one repainted.
TEST_F(MainWindowTest, TheEndMessageComesWithTheLastCountOnTheLabel) {
  const std::filesystem::path output = std::filesystem::temp_directory_path() / "quirnel-window-run.txt";
  std::filesystem::remove(output);
  SetWindowTextW(Control(kInputPathBox), QUIRNEL_SAMPLE);
  desktop.yeses = 1;
  desktop.savePath = output.wstring();
  SendMessageW(Control(kBeginButton), BM_CLICK, 0, 0);
  ASSERT_EQ(desktop.messages.size(), 2u);
  EXPECT_EQ(desktop.messages[1].prompt, L"恭喜，数据已经转换完毕咯！\n输出文件：" + output.wstring());
  EXPECT_EQ(desktop.messages[1].progress, L"正在预读数据，目前已完成40条.....（100%）");
  std::filesystem::remove(output);
}

// What the registry holds comes back into the list box of the next window,
// as it was saved, line breaks and all; nothing stored, or the old word for
// it, gives the default list.
TEST(MainWindowSettings, TheFieldListComesBackFromTheRegistry) {
  const struct {
    std::optional<std::wstring> stored;  // nullopt: nothing stored
    std::wstring shown;
  } cases[] = {
      {std::nullopt, L"010a,010d,101a,200a,200f,200g,210a,210c,210d,215a,215d,225a,330a,606a,690a"},
      {L"NotExsists", L"010a,010d,101a,200a,200f,200g,210a,210c,210d,215a,215d,225a,330a,606a,690a"},
      {L"notexsists", L"notexsists"},
      {L"", L""},
      {L"200a，\r\n701a*,题名", L"200a，\r\n701a*,题名"},
  };
  const std::wstring key = RegistryKeyPath("Pellmoor", "Sorrelant");
  for (const auto& c : cases) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Setting");
    ScriptedDesktop desktop;
    RegistrySettingsStore registry;
    if (c.stored) {  // saved by a window, as Begin saves it before its first question
      MainWindow first(desktop, registry, LocalFileSystem());
      ASSERT_TRUE(first.Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL));
      SetWindowTextW(first.Control(kInputPathBox), ThisProgram().c_str());
      SetWindowTextW(first.Control(kFieldListBox), c.stored->c_str());
      SendMessageW(first.Control(kBeginButton), BM_CLICK, 0, 0);
    }
    MainWindow next(desktop, registry, LocalFileSystem());
    ASSERT_TRUE(next.Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL));
    EXPECT_EQ(WindowText(next.Control(kFieldListBox)), c.shown) << (c.stored ? Narrow(*c.stored) : "nothing stored");
  }
  RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Setting");
}
