// The field chooser as a person meets it, in the main window created inside
// the test: where it opens from, what refuses to open it, ticks that show in
// the preview at once (cell for cell what a conversion writes), OK writing
// the list, every way of cancelling, its keys, its skin and its layout. The
// dialog runs its own modal loop: a script runs inside it from a timer.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "conversion.h"
#include "desktop_services.h"
#include "dpi_awareness.h"
#include "field_chooser.h"
#include "field_chooser_access.h"
#include "field_chooser_layout.h"
#include "file_system.h"
#include "main_window.h"
#include "message_loop.h"
#include "settings_store.h"
#include "win32_text.h"

namespace {

struct Box {
  std::wstring prompt;
  unsigned style;
  std::wstring title;
};

class ChooserDesktop : public DesktopServices {
 public:
  std::wstring ChooseOpenFile(HWND) override { return {}; }
  std::wstring ChooseSaveFile(HWND, int&) override { return {}; }
  int ShowMessageBox(HWND, const std::wstring& prompt, unsigned style, const std::wstring& title) override {
    boxes.push_back({prompt, style, title});
    return IDOK;
  }
  // Notes the menu's items (disabled ones in brackets, separators as "-")
  // and chooses menuChoice.
  UINT ShowShortcutMenu(HWND, HMENU menu, POINT) override {
    menuItems.clear();
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      wchar_t text[128] = {};
      GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
      const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
      if (state & MF_SEPARATOR) {
        menuItems.push_back(L"-");
      } else {
        menuItems.push_back(state & MF_GRAYED ? L"[" + std::wstring(text) + L"]" : text);
      }
    }
    return menuChoice;
  }
  bool OpenAddress(const std::wstring&) override { return false; }

  std::vector<Box> boxes;
  std::vector<std::wstring> menuItems;
  UINT menuChoice = 0;
};

class NoSettings : public SettingsStore {
 public:
  std::optional<std::string> Get(const std::string&, const std::string&, const std::string&) override { return {}; }
  bool Save(const std::string&, const std::string&, const std::string&, const std::string&) override { return true; }
};

// Runs a script on the chooser from inside its own modal loop, once it has
// read its file (or, for whileReading, once it shows how far it has read). A
// chooser that never gets there is cancelled after a while.
class ChooserScript {
 public:
  explicit ChooserScript(std::function<void(HWND)> script, bool whileReading = false)
      : script_(std::move(script)), whileReading_(whileReading) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 20, Tick);
  }
  ~ChooserScript() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  ChooserScript(const ChooserScript&) = delete;
  ChooserScript& operator=(const ChooserScript&) = delete;

  int runs = 0;

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    ChooserScript* self = current_;
    HWND dialog = FindWindowW(L"#32770", kFieldChooserTitle);
    if (self == nullptr || self->runs > 0 || dialog == nullptr) return;
    const bool ready = self->whileReading_
                           ? WindowText(GetDlgItem(dialog, kChooserSummary)).find(L"已读") != std::wstring::npos
                           : IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
    if (!ready) {
      if (++self->waits > 500) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      return;
    }
    ++self->runs;
    self->script_(dialog);
  }

  static ChooserScript* current_;
  std::function<void(HWND)> script_;
  bool whileReading_;
  UINT_PTR timer_ = 0;
  int waits = 0;
};
ChooserScript* ChooserScript::current_ = nullptr;

std::wstring CellText(HWND table, int row, int column) {
  wchar_t text[1024] = {};
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 1024;
  SendMessageW(table, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return text;
}

int RowCount(HWND table) { return static_cast<int>(SendMessageW(table, LVM_GETITEMCOUNT, 0, 0)); }

// "[x] 200a", "[ ] 701a", "    200" (no check box).
std::wstring RowShown(HWND list, int row) {
  const UINT box = static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK)) >> 12;
  return std::wstring(box == 2 ? L"[x] " : box == 1 ? L"[ ] " : L"    ") + CellText(list, row, kChooserCodeColumn);
}

int RowOf(HWND list, const std::wstring& code) {
  for (int row = 0; row < RowCount(list); ++row) {
    if (CellText(list, row, kChooserCodeColumn) == code) return row;
  }
  ADD_FAILURE() << "no row " << Narrow(code);
  return 0;
}

std::vector<std::wstring> Headers(HWND table) {
  HWND headerControl = reinterpret_cast<HWND>(SendMessageW(table, LVM_GETHEADER, 0, 0));
  std::vector<std::wstring> headers;
  for (int column = 0; column < SendMessageW(headerControl, HDM_GETITEMCOUNT, 0, 0); ++column) {
    wchar_t text[256] = {};
    LVCOLUMNW header = {};
    header.mask = LVCF_TEXT;
    header.pszText = text;
    header.cchTextMax = 256;
    SendMessageW(table, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&header));
    headers.push_back(text);
  }
  return headers;
}

std::vector<std::vector<std::wstring>> Cells(HWND table) {
  std::vector<std::vector<std::wstring>> rows(static_cast<std::size_t>(RowCount(table)));
  for (std::size_t row = 0; row < rows.size(); ++row) {
    for (std::size_t column = 0; column < Headers(table).size(); ++column) {
      rows[row].push_back(CellText(table, static_cast<int>(row), static_cast<int>(column)));
    }
  }
  return rows;
}

// The first 20 rows a conversion of the sample into UTF-8 writes for items.
std::vector<std::vector<std::wstring>> ConvertedRows(const std::vector<std::string>& items) {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  ConversionRequest request;
  request.inputPath = Narrow(QUIRNEL_SAMPLE);
  request.outputPath = Narrow(folder) + "quirnel-chooser-reference.txt";
  DeleteFileW(Widen(request.outputPath).c_str());
  request.items = items;
  request.outputEncoding = TextEncoding::Utf8;
  EXPECT_EQ(Convert(request, LocalFileSystem()).outcome, RunSummary::Outcome::Completed);
  std::ifstream in(Widen(request.outputPath).c_str(), std::ios::binary);
  std::string line;
  std::getline(in, line);  // the mark and the header
  std::vector<std::vector<std::wstring>> rows;
  while (rows.size() < kPreviewRecords && std::getline(in, line)) {
    rows.emplace_back();
    for (std::size_t at = 0, tab; (tab = line.find('\t', at)) != std::string::npos; at = tab + 1) {
      rows.back().push_back(Widen(line.substr(at, tab - at)));
    }
  }
  in.close();
  DeleteFileW(Widen(request.outputPath).c_str());
  return rows;
}

// A key pressed where the focus is, through the loop of the window or dialog.
void Press(HWND window, WPARAM key, bool shift = false, HACCEL shortcuts = nullptr) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys);
  PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
  PumpPendingMessages(window, shortcuts);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
}

void SetRowState(HWND list, int row, UINT mask, UINT state) {
  LVITEMW item = {};
  item.stateMask = mask;
  item.state = state;
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

// Ticks or unticks a row as Space does.
void Toggle(HWND dialog, const std::wstring& code) {
  HWND list = GetDlgItem(dialog, kChooserList);
  SetRowState(list, RowOf(list, code), LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
  SetFocus(list);
  Press(dialog, VK_SPACE);
}

// Clicks where a row's check box is, or would be, scrolled into view first.
void ClickCheckBox(HWND dialog, const std::wstring& code) {
  HWND list = GetDlgItem(dialog, kChooserList);
  const int index = RowOf(list, code);
  SendMessageW(list, LVM_ENSUREVISIBLE, index, FALSE);
  RECT row = {LVIR_BOUNDS, 0, 0, 0};
  SendMessageW(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&row));
  const LPARAM at = MAKELPARAM(row.left + GetSystemMetrics(SM_CXSMICON) / 2 + 2, (row.top + row.bottom) / 2);
  PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(list, WM_LBUTTONUP, 0, at);
  PumpPendingMessages(dialog);
}

// Space, a click and a tick given straight to the list, where a row has no
// check box.
void TryToTick(HWND dialog, const std::wstring& code) {
  Toggle(dialog, code);
  ClickCheckBox(dialog, code);
  HWND list = GetDlgItem(dialog, kChooserList);
  SetRowState(list, RowOf(list, code), LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(2));
}

// A large file of records of about 1000 bytes that reads slowly, counting
// what is read of it.
class SlowInput : public InputFile {
 public:
  static constexpr std::size_t kSize = 64u << 20;
  explicit SlowInput(std::size_t& read) : read_(read) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    if (read_ >= kSize) return 0;
    Sleep(1);
    const std::size_t n = std::min<std::size_t>({size, 4096, kSize - read_});
    std::fill(buffer, buffer + n, 'x');
    if ((read_ + n) / 1000 > read_ / 1000) buffer[n - 1] = '\x1D';
    read_ += n;
    return n;
  }
  FileError Error() const override { return {}; }
  std::uint64_t Size() const override { return kSize; }

 private:
  std::size_t& read_;
};

class SlowFiles : public FileSystem {
 public:
  bool Exists(const std::string&) override { return true; }
  bool IsSameFile(const std::string&, const std::string&) override { return false; }
  std::unique_ptr<InputFile> OpenForReading(const std::string&, FileError&) override {
    return std::make_unique<SlowInput>(read);
  }
  std::unique_ptr<OutputFile> OpenOutput(const std::string&, OutputMode, FileError&) override { return nullptr; }
  std::unique_ptr<OutputFile> OpenReplacement(const std::string&, bool, FileError&) override { return nullptr; }
  std::size_t read = 0;
};

class FieldChooserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL));
    SetWindowTextW(Control(kInputPathBox), QUIRNEL_SAMPLE);
    SetWindowTextW(Control(kFieldListBox), kList);
    SetForegroundWindow(window.Window());
    PumpPendingMessages(window.Window());
  }

  HWND Control(ControlId id) { return window.Control(id); }

  // Clicks the field list label, as the pointer does.
  void ClickLabel() {
    PostMessageW(Control(kFieldListLabel), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PostMessageW(Control(kFieldListLabel), WM_LBUTTONUP, 0, 0);
    PumpPendingMessages(window.Window());
  }

  static constexpr wchar_t kList[] = L"200f，9999,\r\n200a";
  ChooserDesktop desktop;
  NoSettings settings;
  MainWindow window{desktop, settings, LocalFileSystem()};
};

}  // namespace

TEST_F(FieldChooserTest, OpensFromTheLabelTheMenuAndTheKeyAsADialogOfTheWindow) {
  const struct {
    const char* what;
    std::function<void()> open;
  } ways[] = {
      {"label", [&] { ClickLabel(); }},
      {"menu",
       [&] {
         desktop.menuChoice = kChooseFieldsCommand;
         SendMessageW(Control(kFieldListBox), WM_CONTEXTMENU, 0, MAKELPARAM(-1, -1));
       }},
      {"F4 in the path box",
       [&] {
         SetFocus(Control(kInputPathBox));
         Press(window.Window(), VK_F4, false, window.Shortcuts());
       }},
      {"F4 on Begin",
       [&] {
         SetFocus(Control(kBeginButton));
         Press(window.Window(), VK_F4, false, window.Shortcuts());
       }},
  };
  for (const auto& way : ways) {
    HWND owner = nullptr;
    std::wstring firstRow;
    ChooserScript script([&](HWND dialog) {
      owner = GetWindow(dialog, GW_OWNER);
      firstRow = RowShown(GetDlgItem(dialog, kChooserList), 0);
      SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    });
    way.open();
    EXPECT_EQ(script.runs, 1) << way.what;
    EXPECT_EQ(owner, window.Window()) << way.what;
    EXPECT_EQ(firstRow, L"[x] 9999") << way.what;
  }
  EXPECT_EQ(WindowText(Control(kFieldListBox)), kList);
  EXPECT_TRUE(desktop.boxes.empty());
}

// The label looks as before but takes the hand pointer and says what a click
// does; the list's menu keeps the edit box's items, which still work.
TEST_F(FieldChooserTest, TheLabelIsALinkAndTheListsMenuKeepsTheEditItems) {
  for (HWND under : {Control(kFieldListLabel), Control(kInputPathBox)}) {
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    SendMessageW(window.Window(), WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor() == LoadCursorW(nullptr, IDC_HAND), under == Control(kFieldListLabel));
  }
  HWND tips = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
  while (tips != nullptr && GetWindow(tips, GW_OWNER) != window.Window()) {
    tips = FindWindowExW(nullptr, tips, TOOLTIPS_CLASSW, nullptr);
  }
  ASSERT_NE(tips, nullptr);
  wchar_t tip[256] = {};
  TTTOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = window.Window();
  tool.uId = reinterpret_cast<UINT_PTR>(Control(kFieldListLabel));
  tool.lpszText = tip;
  SendMessageW(tips, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(std::wstring(tip), L"单击从数据文件中选择字段（F4）");

  desktop.menuChoice = EM_SETSEL;  // 全选
  SendMessageW(Control(kFieldListBox), EM_SETSEL, 0, 0);
  SendMessageW(Control(kFieldListBox), WM_CONTEXTMENU, 0, MAKELPARAM(10, 10));
  const std::vector<std::wstring> items = {L"[撤消(&U)\tCtrl+Z]",
                                           L"-",
                                           L"[剪切(&T)\tCtrl+X]",
                                           L"[复制(&C)\tCtrl+C]",
                                           L"粘贴(&P)\tCtrl+V",
                                           L"[删除(&D)\tDel]",
                                           L"-",
                                           L"全选(&A)\tCtrl+A",
                                           L"-",
                                           L"从数据文件中选择字段(&F)…\tF4"};
  OpenClipboard(window.Window());
  const bool clipboardHasText = IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
  CloseClipboard();
  std::vector<std::wstring> expected = items;
  if (!clipboardHasText) expected[4] = L"[" + items[4] + L"]";
  EXPECT_EQ(desktop.menuItems, expected);
  DWORD start = 1, end = 0;
  SendMessageW(Control(kFieldListBox), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, static_cast<DWORD>(GetWindowTextLengthW(Control(kFieldListBox))));
}

TEST_F(FieldChooserTest, WithoutAFileAMessageSaysSoInstead) {
  const struct {
    const wchar_t* path;
    const wchar_t* prompt;
    unsigned style;
  } cases[] = {
      {L"", L"请先选择数据文件。", MB_OK | MB_ICONINFORMATION},
      {L"  \"\" ", L"请先选择数据文件。", MB_OK | MB_ICONINFORMATION},
      {L"Z:\\no\\such\\记录.iso", L"找不到数据文件：Z:\\no\\such\\记录.iso", MB_OK | MB_ICONWARNING},
      {L" \"Z:\\no\\such.iso\"", L"找不到数据文件：Z:\\no\\such.iso", MB_OK | MB_ICONWARNING},
  };
  for (const auto& c : cases) {
    desktop.boxes.clear();
    SetWindowTextW(Control(kInputPathBox), c.path);
    ChooserScript script([](HWND dialog) { EndDialog(dialog, IDCANCEL); });
    ClickLabel();
    EXPECT_EQ(script.runs, 0) << Narrow(c.path);
    ASSERT_EQ(desktop.boxes.size(), 1u) << Narrow(c.path);
    EXPECT_EQ(desktop.boxes[0].prompt, c.prompt);
    EXPECT_EQ(desktop.boxes[0].style, c.style);
    EXPECT_EQ(desktop.boxes[0].title, L"温馨提示");
  }
}

// The list's own items come first, ticked; every tick, by Space or a click,
// shows in the preview at once, in the order OK writes; Enter is OK.
TEST_F(FieldChooserTest, TicksShowInThePreviewAtOnceAndOkWritesTheList) {
  const struct {
    std::function<void(HWND)> act;
    std::vector<std::wstring> headers;  // after it
  } steps[] = {
      {[](HWND) {}, {L"200f", L"9999", L"200a"}},
      {[](HWND dialog) { Toggle(dialog, L"9999"); }, {L"200f", L"200a"}},
      {[](HWND dialog) { Toggle(dialog, L"701a*"); }, {L"200f", L"200a", L"701a*"}},
      {[](HWND dialog) { ClickCheckBox(dialog, L"000?"); }, {L"200f", L"200a", L"000?", L"701a*"}},
      {[](HWND dialog) { TryToTick(dialog, L"200"); }, {L"200f", L"200a", L"000?", L"701a*"}},  // no check box
      {[](HWND dialog) { Toggle(dialog, L"606a"); }, {L"200f", L"200a", L"000?", L"606a", L"701a*"}},
      {[](HWND dialog) { Toggle(dialog, L"606a"); }, {L"200f", L"200a", L"000?", L"701a*"}},
  };
  std::vector<std::wstring> firstRows;
  std::vector<std::vector<std::wstring>> headers;
  std::vector<std::vector<std::wstring>> cells;
  ChooserScript script([&](HWND dialog) {
    HWND list = GetDlgItem(dialog, kChooserList);
    for (int row = 0; row < 4; ++row) firstRows.push_back(RowShown(list, row));
    for (const auto& step : steps) {
      step.act(dialog);
      headers.push_back(Headers(GetDlgItem(dialog, kChooserPreview)));
    }
    firstRows.push_back(RowShown(list, RowOf(list, L"200")));
    cells = Cells(GetDlgItem(dialog, kChooserPreview));
    Press(dialog, VK_RETURN);
  });
  ClickLabel();
  ASSERT_EQ(script.runs, 1);
  EXPECT_EQ(firstRows, (std::vector<std::wstring>{L"[x] 9999", L"[ ] 000?", L"[ ] 001a", L"[ ] 005a", L"    200"}));
  ASSERT_EQ(headers.size(), std::size(steps));
  for (std::size_t i = 0; i < headers.size(); ++i) EXPECT_EQ(headers[i], steps[i].headers) << "step " << i;
  EXPECT_EQ(cells, ConvertedRows({"200f", "200a", "000?", "701a*"}));
  EXPECT_EQ(WindowText(Control(kFieldListBox)), L"200f,200a,000?,701a*");
}

TEST_F(FieldChooserTest, EveryWayOfCancellingChangesNothing) {
  const struct {
    const char* what;
    std::function<void(HWND)> cancel;
  } ways[] = {
      {"Esc", [](HWND dialog) { Press(dialog, VK_ESCAPE); }},
      {"Cancel", [](HWND dialog) { SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0); }},
      {"close box", [](HWND dialog) { SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  for (const auto& way : ways) {
    ChooserScript script([&](HWND dialog) {
      Toggle(dialog, L"200a");
      Toggle(dialog, L"010a");
      way.cancel(dialog);
    });
    ClickLabel();
    EXPECT_EQ(script.runs, 1) << way.what;
    EXPECT_EQ(FindWindowW(L"#32770", kFieldChooserTitle), nullptr) << way.what;
  }
  EXPECT_EQ(WindowText(Control(kFieldListBox)), kList);
  EXPECT_TRUE(desktop.boxes.empty());
}

// A large file read slowly: Cancel during the reading stops it there.
TEST_F(FieldChooserTest, CancelWhileTheFileIsReadStopsTheReading) {
  SlowFiles files;
  MainWindow slow(desktop, settings, files);
  ASSERT_TRUE(slow.Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL));
  SetWindowTextW(slow.Control(kInputPathBox), L"Z:\\large.iso");
  SetWindowTextW(slow.Control(kFieldListBox), kList);
  ChooserScript script([](HWND dialog) { SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0); }, true);
  PostMessageW(slow.Control(kFieldListLabel), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  PostMessageW(slow.Control(kFieldListLabel), WM_LBUTTONUP, 0, 0);
  PumpPendingMessages(slow.Window());
  EXPECT_EQ(script.runs, 1);
  EXPECT_GT(files.read, 0u);
  EXPECT_LT(files.read, SlowInput::kSize / 4);
  EXPECT_EQ(FindWindowW(L"#32770", kFieldChooserTitle), nullptr);
  EXPECT_EQ(WindowText(slow.Control(kFieldListBox)), kList);
  EXPECT_TRUE(desktop.boxes.empty());
}

// Typing a code goes to its row; Tab goes round the list, the preview and
// the buttons; the buttons wear the skin; the controls sit where the layout
// of the window's DPI puts them, also once the dialog is made larger.
TEST_F(FieldChooserTest, TypingFindsACodeTabGoesRoundTheButtonsWearTheSkinAndTheLayoutFollowsTheSize) {
  std::wstring typedTo;
  std::vector<int> focus;
  std::vector<bool> skinned;  // drawn by the skin, with its rounded outline
  std::vector<std::wstring> misplaced;
  ChooserScript script([&](HWND dialog) {
    HWND list = GetDlgItem(dialog, kChooserList);
    for (wchar_t c : std::wstring(L"701a")) PostMessageW(list, WM_CHAR, c, 1);
    PumpPendingMessages(dialog);
    const auto focused = SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
    typedTo = CellText(list, static_cast<int>(focused), kChooserCodeColumn);
    focus.push_back(GetDlgCtrlID(GetFocus()));
    for (bool shift : {false, false, false, false, true}) {
      Press(dialog, VK_TAB, shift);
      focus.push_back(GetDlgCtrlID(GetFocus()));
    }
    for (int id : {IDOK, IDCANCEL}) {
      HWND button = GetDlgItem(dialog, id);
      const win32::Region outline(CreateRectRgn(0, 0, 0, 0));
      skinned.push_back((GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW &&
                        GetWindowRgn(button, outline.Get()) != ERROR);
    }
    for (int grow : {0, 200}) {
      RECT outer;
      GetWindowRect(dialog, &outer);
      SetWindowPos(dialog, nullptr, 0, 0, outer.right - outer.left + grow, outer.bottom - outer.top + grow,
                   SWP_NOMOVE | SWP_NOZORDER);
      RECT client;
      GetClientRect(dialog, &client);
      const FieldChooserLayout layout = LayOutFieldChooser({client.right, client.bottom}, DpiOfWindow(dialog));
      const std::pair<int, RECT> places[] = {
          {kChooserSummary, layout.summary}, {kChooserList, layout.list}, {kChooserPreviewLabel, layout.previewLabel},
          {kChooserPreview, layout.preview}, {IDOK, layout.okButton},     {IDCANCEL, layout.cancelButton}};
      for (const auto& [id, place] : places) {
        RECT rect;
        GetWindowRect(GetDlgItem(dialog, id), &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        if (!EqualRect(&rect, &place)) {
          misplaced.push_back(std::to_wstring(id) + L" after growing " + std::to_wstring(grow));
        }
      }
    }
    SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
  });
  ClickLabel();
  ASSERT_EQ(script.runs, 1);
  EXPECT_EQ(typedTo, L"701a");
  EXPECT_EQ(focus, (std::vector<int>{kChooserList, kChooserPreview, IDOK, IDCANCEL, kChooserList, IDCANCEL}));
  EXPECT_EQ(skinned, (std::vector<bool>{true, true}));
  EXPECT_TRUE(misplaced.empty()) << Narrow(misplaced.front());
}

// The layout at any DPI: every control inside the client area, none over
// another, and at 144 DPI one and a half times the 96-DPI one.
TEST(FieldChooserLayout, ScalesWithTheDpiAndKeepsEveryControlInside) {
  const auto rects = [](const FieldChooserLayout& layout) {
    return std::vector<RECT>{layout.summary, layout.list,     layout.previewLabel,
                             layout.preview, layout.okButton, layout.cancelButton};
  };
  for (int dpi : {96, 120, 144, 192}) {
    for (SIZE client : {FieldChooserClientSize(dpi), FieldChooserSmallestClientSize(dpi)}) {
      const std::vector<RECT> placed = rects(LayOutFieldChooser(client, dpi));
      for (std::size_t i = 0; i < placed.size(); ++i) {
        const RECT& r = placed[i];
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.cx && r.bottom <= client.cy && r.right > r.left &&
                    r.bottom > r.top)
            << dpi << " dpi, control " << i;
        for (std::size_t j = i + 1; j < placed.size(); ++j) {
          RECT overlap;
          EXPECT_FALSE(IntersectRect(&overlap, &r, &placed[j])) << dpi << " dpi, controls " << i << " and " << j;
        }
      }
    }
  }
  const std::vector<RECT> at96 = rects(LayOutFieldChooser(FieldChooserClientSize(96), 96));
  const std::vector<RECT> at144 = rects(LayOutFieldChooser(FieldChooserClientSize(144), 144));
  for (std::size_t i = 0; i < at96.size(); ++i) {
    for (auto [small, large] : {std::pair{at96[i].left, at144[i].left}, std::pair{at96[i].top, at144[i].top},
                                std::pair{at96[i].right, at144[i].right}, std::pair{at96[i].bottom, at144[i].bottom}}) {
      EXPECT_NEAR(large, small * 3 / 2, 2) << "control " << i;
    }
  }
}
