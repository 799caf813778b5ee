// The field chooser as a person meets it, in the main window created inside
// the test: where it opens from, what refuses to open it, ticks that show in
// the preview at once (cell for cell what a conversion writes), OK writing
// the list, every way of cancelling, its keys, its skin and its layout. The
// dialog runs its own modal loop: a script runs inside it from a timer.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "conversion.h"
#include "dpi_awareness.h"
#include "field_chooser.h"
#include "field_chooser_access.h"
#include "field_chooser_layout.h"
#include "marc/field_code.h"
#include "registry_settings_store.h"
#include "scheme_dialog.h"
#include "window_scene.h"

namespace {

using Table = std::vector<std::vector<std::string>>;

// Opens the chooser by `open` and runs `run` on it from inside its own modal
// loop once it has read its file (or, whileReading, once it shows how far it
// has read); how many times it ran. A chooser that never gets there is
// cancelled after a while.
int RunInChooser(const std::function<void()>& open, std::function<void(HWND)> run, bool whileReading = false) {
  if (!whileReading) return RunInDialog(open, std::move(run));
  return RunInDialog(open, std::move(run), [](HWND dialog) {
    return WindowText(GetDlgItem(dialog, kChooserSummary)).find(L"已读") != std::wstring::npos;
  });
}

// Clicks the field list label, as the pointer does.
void ClickLabel(const MainWindow& window) {
  PostMessageW(window.Control(kFieldListLabel), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  PostMessageW(window.Control(kFieldListLabel), WM_LBUTTONUP, 0, 0);
  PumpPendingMessages(window.Window());
}

class FieldChooserTest : public WindowScene {
 protected:
  const std::function<void()> clickLabel = [this] { ClickLabel(window); };
};

std::string CellText(HWND table, int row, int column) {
  wchar_t text[1024] = {};
  ListView_GetItemText(table, row, column, text, 1024);
  return Narrow(text);
}

// The headers, then the rows.
Table Shown(HWND table) {
  Table shown(1 + ListView_GetItemCount(table));
  for (int column = 0; column < Header_GetItemCount(ListView_GetHeader(table)); ++column) {
    wchar_t text[256] = {};
    LVCOLUMNW header = {};
    header.mask = LVCF_TEXT;
    header.pszText = text;
    header.cchTextMax = 256;
    ListView_GetColumn(table, column, &header);
    shown[0].push_back(Narrow(text));
    for (std::size_t row = 1; row < shown.size(); ++row) shown[row].push_back(CellText(table, row - 1, column));
  }
  return shown;
}

// The header and the first rows that a conversion of the sample into UTF-8
// writes for the items.
Table Converted(const std::vector<std::string>& items) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "quirnel-chooser-reference.txt";
  std::filesystem::remove(path);
  ConversionRequest request;
  request.inputPaths = {Narrow(QUIRNEL_SAMPLE)};
  request.outputPath = Narrow(path.wstring());
  request.items = items;
  request.output = OutputType::Utf8Text;
  EXPECT_EQ(Convert(request, LocalFileSystem()).outcome, RunSummary::Outcome::Completed);
  std::ifstream in(path, std::ios::binary);
  in.ignore(3);  // the byte order mark
  Table rows;
  for (std::string line; rows.size() <= kPreviewRecords && std::getline(in, line);) {
    rows.emplace_back();
    for (std::size_t at = 0, tab; (tab = line.find('\t', at)) != std::string::npos; at = tab + 1) {
      rows.back().push_back(line.substr(at, tab - at));
    }
  }
  in.close();
  std::filesystem::remove(path);
  return rows;
}

// "[x] 200a", "[ ] 701a", "    200" (no check box).
std::string RowShown(HWND list, int row) {
  const int box = static_cast<int>(ListView_GetCheckState(list, row));
  return (box == 1 ? "[x] " : box == 0 ? "[ ] " : "    ") + CellText(list, row, kChooserCodeColumn);
}

int RowOf(HWND list, const std::string& code) {
  for (int row = 0; row < ListView_GetItemCount(list); ++row) {
    if (CellText(list, row, kChooserCodeColumn) == code) return row;
  }
  ADD_FAILURE() << "no row " << code;
  return 0;
}

enum class Tick { Space, Click, EveryWay };  // every way: Space, a click and a tick given straight to the list

// Ticks or unticks a row as a person does, scrolled into view first.
void TickRow(HWND dialog, const std::string& code, Tick how = Tick::Space) {
  HWND list = GetDlgItem(dialog, kChooserList);
  const int row = RowOf(list, code);
  ListView_EnsureVisible(list, row, FALSE);
  if (how != Tick::Click) {
    ListView_SetItemState(list, row, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    SetFocus(list);
    Press(dialog, VK_SPACE);
  }
  if (how != Tick::Space) {  // where the row's check box is, or would be
    RECT bounds;
    ListView_GetItemRect(list, row, &bounds, LVIR_BOUNDS);
    const LPARAM at = MAKELPARAM(bounds.left + GetSystemMetrics(SM_CXSMICON) / 2 + 2, (bounds.top + bounds.bottom) / 2);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
    PumpPendingMessages(dialog);
  }
  if (how == Tick::EveryWay) ListView_SetCheckState(list, row, TRUE);
}

// Left, top, right and bottom.
using Corners = std::array<LONG, 4>;

// Where the layout puts the summary, the list, the drop-downs under it and
// their labels, the preview's label, the preview, OK and Cancel, the
// controls of kPlacedControls.
const int kPlacedControls[] = {kChooserSummary,
                               kChooserList,
                               kChooserHeaderLabel,
                               kChooserHeaderChoice,
                               kChooserSchemeLabel,
                               kChooserSchemeChoice,
                               kChooserPreviewLabel,
                               kChooserPreview,
                               IDOK,
                               IDCANCEL};
std::vector<Corners> Places(const FieldChooserLayout& layout) {
  std::vector<Corners> places;
  for (const RECT& r :
       {layout.summary, layout.list, layout.headerLabel, layout.headerChoice, layout.schemeLabel, layout.schemeChoice,
        layout.previewLabel, layout.preview, layout.okButton, layout.cancelButton}) {
    places.push_back({r.left, r.top, r.right, r.bottom});
  }
  return places;
}

// A large file of records of about 1000 bytes that reads slowly, counting
// what is read of it.
struct SlowInput : InputFile {
  static constexpr std::size_t kSize = 64u << 20;
  explicit SlowInput(std::size_t& read) : read(read) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    Sleep(1);
    const std::size_t n = std::min<std::size_t>({size, 4096, kSize - read});
    std::fill(buffer, buffer + n, 'x');
    if ((read + n) / 1000 > read / 1000) buffer[n - 1] = '\x1D';
    read += n;
    return n;
  }
  FileError Error() const override { return {}; }
  std::uint64_t Size() const override { return kSize; }
  std::size_t& read;
};

struct SlowFiles : FileSystem {
  bool Exists(const std::string&) override { return true; }
  std::uint64_t SizeOf(const std::string&) override { return SlowInput::kSize; }
  bool IsSameFile(const std::string&, const std::string&) override { return false; }
  std::unique_ptr<InputFile> OpenForReading(const std::string&, FileError&) override {
    return std::make_unique<SlowInput>(read);
  }
  std::unique_ptr<OutputFile> OpenOutput(const std::string&, OutputMode, FileError&) override { return nullptr; }
  std::unique_ptr<OutputFile> OpenReplacement(const std::string&, bool, FileError&) override { return nullptr; }
  bool Remove(const std::string&, FileError&) override { return true; }
  std::size_t read = 0;
};

}  // namespace

// From the label, the list's menu and F4 the chooser opens as a dialog of the
// window, the list's own items ticked; Esc, Cancel and the close box leave
// the list as it was, whatever was ticked.
TEST_F(FieldChooserTest, OpensFromTheLabelTheMenuAndF4AndEveryWayOfCancellingChangesNothing) {
  const auto pressF4 = [&](ControlId in) {
    SetFocus(Control(in));
    Press(window.Window(), VK_F4, false, window.Shortcuts());
  };
  const auto cancel = [](HWND dialog) { SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0); };
  const struct {
    const char* what;
    std::function<void()> open;
    std::function<void(HWND)> close;
  } ways[] = {
      {.what = "label, Esc", .open = clickLabel, .close = [](HWND dialog) { Press(dialog, VK_ESCAPE); }},
      {.what = "menu, Cancel",
       .open = [&] { SendMessageW(Control(kFieldListBox), WM_CONTEXTMENU, 0, MAKELPARAM(-1, -1)); },
       .close = cancel},
      {.what = "F4 in the path box, close box",
       .open = [&] { pressF4(kInputPathBox); },
       .close = [](HWND dialog) { SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {.what = "F4 on Begin, Cancel", .open = [&] { pressF4(kBeginButton); }, .close = cancel},
  };
  desktop.menuChoice = kChooseFieldsCommand;
  for (const auto& way : ways) {
    const int runs = RunInChooser(way.open, [&](HWND dialog) {
      EXPECT_EQ(GetWindow(dialog, GW_OWNER), window.Window()) << way.what;
      EXPECT_EQ(RowShown(GetDlgItem(dialog, kChooserList), 0), "[x] 9999") << way.what;
      TickRow(dialog, "200a");
      TickRow(dialog, "010a");
      way.close(dialog);
    });
    EXPECT_EQ(runs, 1) << way.what;
    EXPECT_EQ(TextOf(Control(kFieldListBox)), Narrow(kList)) << way.what;
  }
  EXPECT_TRUE(desktop.messages.empty());
}

// In the language the settings name, the label looks as before but takes
// the hand pointer and says what a click does; the list's menu keeps the
// edit box's items, which still work; the window and its chooser speak it.
TEST_F(FieldChooserTest, TheLabelIsALinkTheListsMenuKeepsTheEditItemsAndAllSpeakTheSettingsLanguage) {
  const struct {
    const char* language;
    std::string window, tip, menu, chooser, schemeDialog;
  } cases[] = {
      {.language = "zh",
       .window = "Quirnel（联系：help@example.com）|选择|提取字段设置",
       .tip = "单击从数据文件中选择字段（F4）",
       .menu = "[撤消(&U)\tCtrl+Z]|-|[剪切(&T)\tCtrl+X]|[复制(&C)\tCtrl+C]|[粘贴(&P)\tCtrl+V]|[删除(&D)\tDel]|-|"
               "全选(&A)\tCtrl+A|-|从数据文件中选择字段(&F)…\tF4|-|保存为字段方案(&S)…|"
               "字段方案(&L){[（尚未保存字段方案）]|}|[删除字段方案(&R)…]|-|从文件载入字段列表(&O)…|"
               "将字段列表保存到文件(&W)…|",
       .chooser = "从数据文件中选择字段|代码|名称|记录占比|示例|题名与责任说明 / 正题名|标题行：|字段代码|"
                  "字段方案：|（字段列表框中的列表）|确定|取消",
       .schemeDialog = "保存为字段方案|字段方案的名称（可选择已有的方案以替换它）：|保存|取消"},
      {.language = "en",
       .window = "Quirnel (contact: help@example.com)|Browse...|Field list",
       .tip = "Click to choose fields from the record file (F4)",
       .menu = "[&Undo\tCtrl+Z]|-|[Cu&t\tCtrl+X]|[&Copy\tCtrl+C]|[&Paste\tCtrl+V]|[&Delete\tDel]|-|"
               "Select &All\tCtrl+A|-|Choose &fields from the record file...\tF4|-|&Save as a named list...|"
               "Named &lists{[(none saved yet)]|}|[&Remove a named list...]|-|L&oad the field list from a file...|"
               "Sa&ve the field list to a file...|",
       .chooser = "Choose fields from the record file|Code|Name|Records|Sample|"
                  "Title and statement of responsibility / Title proper|Header row:|Field codes|Named list:|"
                  "(the list in the box)|OK|Cancel",
       .schemeDialog = "Save as a named list|Name of the list (choose one to replace it):|Save|Cancel"},
  };
  for (const auto& c : cases) {
    settings.values["Language"] = c.language;
    MainWindow speaking(desktop, settings, LocalFileSystem());
    ASSERT_TRUE(speaking.Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL));
    HWND label = speaking.Control(kFieldListLabel), box = speaking.Control(kFieldListBox);
    EXPECT_EQ(TextOf(speaking.Window()) + "|" + TextOf(speaking.Control(kChooseButton)) + "|" + TextOf(label),
              c.window);
    for (HWND under : {label, speaking.Control(kInputPathBox)}) {
      SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      SendMessageW(speaking.Window(), WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
      EXPECT_EQ(GetCursor() == LoadCursorW(nullptr, IDC_HAND), under == label);
    }
    HWND tips = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
    while (tips != nullptr && GetWindow(tips, GW_OWNER) != speaking.Window()) {
      tips = FindWindowExW(nullptr, tips, TOOLTIPS_CLASSW, nullptr);
    }
    ASSERT_NE(tips, nullptr);
    wchar_t tip[256] = {};
    TTTOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = speaking.Window();
    tool.uId = reinterpret_cast<UINT_PTR>(label);
    tool.lpszText = tip;
    SendMessageW(tips, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(Narrow(tip), c.tip);

    if (OpenClipboard(speaking.Window())) EmptyClipboard() && CloseClipboard();  // nothing to paste
    desktop.menuChoice = EM_SETSEL;                                              // select all
    SendMessageW(box, EM_SETSEL, 0, 0);
    SendMessageW(box, WM_CONTEXTMENU, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(desktop.menuItems, c.menu);
    DWORD start = 1, end = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, static_cast<DWORD>(GetWindowTextLengthW(box)));

    SetWindowTextW(speaking.Control(kInputPathBox), QUIRNEL_SAMPLE);
    const auto open = [&] { ClickLabel(speaking); };
    RunInChooser(open, [&](HWND dialog) {
      HWND list = GetDlgItem(dialog, kChooserList);
      const Table table = Shown(list);
      std::string shown = TextOf(dialog);
      for (const std::string& header : table[0]) shown += "|" + header;
      shown += "|" + CellText(list, RowOf(list, "200a"), kChooserNameColumn);
      for (int id : {int{kChooserHeaderLabel}, int{kChooserHeaderChoice}, int{kChooserSchemeLabel},
                     int{kChooserSchemeChoice}, IDOK}) {
        shown += "|" + TextOf(GetDlgItem(dialog, id));
      }
      EXPECT_EQ(shown + "|" + TextOf(GetDlgItem(dialog, IDCANCEL)), c.chooser);
      EndDialog(dialog, IDCANCEL);
    });
    desktop.menuChoice = kSaveSchemeCommand;
    RunInDialog([&] { SendMessageW(box, WM_CONTEXTMENU, 0, MAKELPARAM(-1, -1)); },
                [&](HWND dialog) {
                  std::string shown = TextOf(dialog);
                  for (int id : {int{kSchemePrompt}, IDOK, IDCANCEL}) shown += "|" + TextOf(GetDlgItem(dialog, id));
                  EXPECT_EQ(shown, c.schemeDialog);
                  Press(dialog, VK_ESCAPE);
                });
  }
}

// Without a file to read, Begin and the chooser say so alike; an empty path
// sends the user back to the box.
TEST_F(FieldChooserTest, WithoutAFileBeginAndTheChooserSaySoInstead) {
  const struct {
    const wchar_t* path;
    bool begin = false;  // Begin pressed, else the label clicked
    std::string prompt;
    bool focusInThePathBox = false;
  } cases[] = {
      {.path = L"", .begin = true, .prompt = "请先选择数据文件。", .focusInThePathBox = true},
      {.path = L"Z:\\no\\such.iso", .begin = true, .prompt = "找不到数据文件：Z:\\no\\such.iso"},
      {.path = L"", .prompt = "请先选择数据文件。", .focusInThePathBox = true},
      {.path = L"Z:\\no\\such\\记录.iso", .prompt = "找不到数据文件：Z:\\no\\such\\记录.iso"},
      {.path = L" \"Z:\\no\\such.iso\"", .prompt = "找不到数据文件：Z:\\no\\such.iso"},
  };
  for (const auto& c : cases) {
    const std::string row = (c.begin ? "Begin, " : "label, ") + Narrow(c.path);
    desktop.messages.clear();
    SetWindowTextW(Control(kInputPathBox), c.path);
    SetFocus(Control(kChooseButton));
    const auto open = [&] { c.begin ? (void)SendMessageW(Control(kBeginButton), BM_CLICK, 0, 0) : ClickLabel(window); };
    EXPECT_EQ(RunInChooser(open, [](HWND dialog) { EndDialog(dialog, IDCANCEL); }), 0) << row;
    ASSERT_EQ(desktop.messages.size(), 1u) << row;
    EXPECT_EQ(desktop.messages[0].prompt, c.prompt) << row;
    EXPECT_EQ(desktop.messages[0].style, static_cast<unsigned>(MB_OK | MB_ICONWARNING)) << row;
    EXPECT_EQ(desktop.messages[0].title, "温馨提示") << row;
    EXPECT_EQ(GetFocus() == Control(kInputPathBox), c.focusInThePathBox) << row;
    EXPECT_TRUE(IsWindowEnabled(Control(kBeginButton))) << row;
  }
}

// The list's own items come first, ticked; every tick, by Space or a click,
// shows in the preview at once, cell for cell what a conversion writes, in
// the order OK writes; a row without a check box takes no tick; Enter is OK.
TEST_F(FieldChooserTest, TicksShowInThePreviewAtOnceAndOkWritesTheList) {
  const struct {
    const char* code;  // ticked or unticked, or nullptr
    Tick how = Tick::Space;
    std::vector<std::string> items;  // the preview's columns after it
  } steps[] = {
      {.code = nullptr, .items = {"200f", "9999", "200a"}},
      {.code = "9999", .items = {"200f", "200a"}},
      {.code = "701a*", .items = {"200f", "200a", "701a*"}},
      {.code = "000?", .how = Tick::Click, .items = {"200f", "200a", "000?", "701a*"}},
      {.code = "200", .how = Tick::EveryWay, .items = {"200f", "200a", "000?", "701a*"}},
      {.code = "606a", .items = {"200f", "200a", "000?", "606a", "701a*"}},
      {.code = "606a", .items = {"200f", "200a", "000?", "701a*"}},
      {.code = "200", .how = Tick::Click, .items = {"200f", "200a", "000?", "200", "701a*"}},
  };
  const int runs = RunInChooser(clickLabel, [&](HWND dialog) {
    HWND list = GetDlgItem(dialog, kChooserList);
    std::vector<std::string> rows;
    for (int row = 0; row < 4; ++row) rows.push_back(RowShown(list, row));
    EXPECT_EQ(rows, (std::vector<std::string>{"[x] 9999", "[ ] 000?", "[ ] 001a", "[ ] 005a"}));
    for (std::size_t i = 0; i < std::size(steps); ++i) {
      if (steps[i].code != nullptr) TickRow(dialog, steps[i].code, steps[i].how);
      EXPECT_EQ(Shown(GetDlgItem(dialog, kChooserPreview)), Converted(steps[i].items)) << "step " << i;
    }
    Press(dialog, VK_RETURN);
  });
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(TextOf(Control(kFieldListBox)), "200f,200a,000?,200,701a*");
}

// A saved list picked under the list is where the rows start from; an item
// of the list that the file has in other letter case stands in red with
// the code the file has.
TEST_F(FieldChooserTest, ASavedListIsAStartAndANearMissShowsInRedWithTheCodeTheFileHas) {
  settings.values["Sorrelant\\FieldLists/新书通报"] = "200a,701a*";
  SetWindowTextW(Control(kFieldListBox), L"200A,200f");
  const int runs = RunInChooser(clickLabel, [&](HWND dialog) {
    HWND list = GetDlgItem(dialog, kChooserList);
    const auto colour = [&](int row) {  // the text colour the list paints the row in
      NMLVCUSTOMDRAW draw = {};
      draw.nmcd.hdr = {list, kChooserList, static_cast<UINT>(NM_CUSTOMDRAW)};
      draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
      draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
      draw.clrText = GetSysColor(COLOR_WINDOWTEXT);
      SendMessageW(dialog, WM_NOTIFY, kChooserList, reinterpret_cast<LPARAM>(&draw));
      return draw.clrText;
    };
    EXPECT_EQ(RowShown(list, 0) + "|" + CellText(list, 0, kChooserSampleColumn), "[x] 200A|200A（文件中有 200a）");
    EXPECT_EQ(colour(0), RGB(176, 0, 0));
    EXPECT_EQ(colour(RowOf(list, "200f")), GetSysColor(COLOR_WINDOWTEXT));
    HWND start = GetDlgItem(dialog, kChooserSchemeChoice);
    SetFocus(start);
    Press(dialog, VK_DOWN);
    EXPECT_EQ(TextOf(start), "新书通报");
    EXPECT_EQ(RowShown(list, 0), "[ ] 000?");
    EXPECT_EQ(RowShown(list, RowOf(list, "701a*")), "[x] 701a*");
    EXPECT_EQ(RowShown(list, RowOf(list, "200f")), "[ ] 200f");
    EXPECT_EQ(Shown(GetDlgItem(dialog, kChooserPreview)), Converted({"200a", "701a*"}));
    Press(dialog, VK_RETURN);
  });
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(TextOf(Control(kFieldListBox)), "200a,701a*");
}

// The header row chosen under the list shows in the preview at once and
// comes back from the registry in the chooser of the next window; Cancel
// keeps the one chosen before.
TEST(FieldChooserSettings, TheHeaderRowChosenShowsInThePreviewAndComesBackFromTheRegistry) {
  const std::wstring key = RegistryKeyPath("Pellmoor", "Sorrelant");
  RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"HeaderStyle");
  RegistrySettingsStore registry;
  registry.Save("Pellmoor", "Sorrelant", "Language", "zh");
  const std::vector<std::string> items = {"200a", "701a*", "9999"};
  const struct {
    std::string shownAtStart;
    WPARAM key;  // pressed in the drop-down
    HeaderStyle chosen;
    bool ok;
  } starts[] = {
      {"字段代码", VK_END, HeaderStyle::CodesAndNames, true},
      {"代码和名称", VK_UP, HeaderStyle::Names, false},
      {"代码和名称", VK_UP, HeaderStyle::Names, true},
      {"字段名称", VK_HOME, HeaderStyle::Codes, true},
      {"字段代码", 0, HeaderStyle::Codes, true},
  };
  for (const auto& start : starts) {
    ScriptedDesktop desktop;
    MainWindow window(desktop, registry, LocalFileSystem());
    ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL));
    SetWindowTextW(window.Control(kInputPathBox), QUIRNEL_SAMPLE);
    SetWindowTextW(window.Control(kFieldListBox), L"200a,701a*,9999");
    RunInChooser([&] { ClickLabel(window); },
                 [&](HWND dialog) {
                   HWND header = GetDlgItem(dialog, kChooserHeaderChoice);
                   EXPECT_EQ(TextOf(header), start.shownAtStart);
                   SetFocus(header);
                   if (start.key != 0) Press(dialog, start.key);
                   std::vector<std::string> titles;
                   for (const std::string& item : items) {
                     titles.push_back(ColumnTitle(ParseFieldCode(item), start.chosen, Language::Chinese));
                   }
                   EXPECT_EQ(Shown(GetDlgItem(dialog, kChooserPreview))[0], titles) << start.shownAtStart;
                   Press(dialog, start.ok ? VK_RETURN : VK_ESCAPE);
                 });
  }
  EXPECT_EQ(registry.Get("Pellmoor", "Sorrelant", "HeaderStyle"), "codes");
  RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"HeaderStyle");
  registry.Delete("Pellmoor", "Sorrelant", "Language");
}

// A large file read slowly: Cancel during the reading stops it there.
TEST_F(FieldChooserTest, CancelWhileTheFileIsReadStopsTheReading) {
  SlowFiles files;
  MainWindow slow(desktop, settings, files);
  ASSERT_TRUE(slow.Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL));
  SetWindowTextW(slow.Control(kInputPathBox), L"Z:\\large.iso");
  SetWindowTextW(slow.Control(kFieldListBox), kList);
  const auto cancel = [](HWND dialog) { SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0); };
  EXPECT_EQ(RunInChooser([&] { ClickLabel(slow); }, cancel, true), 1);
  EXPECT_GT(files.read, 0u);
  EXPECT_LT(files.read, SlowInput::kSize / 4);
  EXPECT_EQ(TextOf(slow.Control(kFieldListBox)), Narrow(kList));
  EXPECT_TRUE(desktop.messages.empty());
}

// Typing a code goes to its row; Tab goes round the list, the preview and
// the buttons; the controls sit where the layout of the window's DPI puts
// them, also once the dialog is made larger. (That its buttons wear the
// skin, the end-to-end test sees on the screen.)
TEST_F(FieldChooserTest, TypingFindsACodeTabGoesRoundAndTheLayoutFollowsTheSize) {
  const int runs = RunInChooser(clickLabel, [&](HWND dialog) {
    HWND list = GetDlgItem(dialog, kChooserList);
    for (wchar_t c : std::wstring(L"701a")) PostMessageW(list, WM_CHAR, c, 1);
    PumpPendingMessages(dialog);
    EXPECT_EQ(CellText(list, ListView_GetNextItem(list, -1, LVNI_FOCUSED), kChooserCodeColumn), "701a");
    std::vector<int> focus = {GetDlgCtrlID(GetFocus())};
    for (bool shift : {false, false, false, false, false, false, true}) {
      Press(dialog, VK_TAB, shift);
      focus.push_back(GetDlgCtrlID(GetFocus()));
      // The preview shows where the focus is: on a row of its own.
      if (focus.back() == kChooserPreview) {
        EXPECT_GE(ListView_GetNextItem(GetFocus(), -1, LVNI_FOCUSED), 0);
      }
    }
    // No name is cut, "（全部出现）" and all.
    const int nameColumn = ListView_GetColumnWidth(list, kChooserNameColumn);
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
      const std::wstring name = Widen(CellText(list, row, kChooserNameColumn));
      EXPECT_LT(ListView_GetStringWidth(list, name.c_str()), nameColumn) << Narrow(name);
    }
    EXPECT_EQ(focus, (std::vector<int>{kChooserList, kChooserHeaderChoice, kChooserSchemeChoice, kChooserPreview, IDOK,
                                       IDCANCEL, kChooserList, IDCANCEL}));
    for (int grow : {0, 200}) {
      RECT outer, client;
      GetWindowRect(dialog, &outer);
      SetWindowPos(dialog, nullptr, 0, 0, outer.right - outer.left + grow, outer.bottom - outer.top + grow,
                   SWP_NOMOVE | SWP_NOZORDER);
      GetClientRect(dialog, &client);
      const std::vector<Corners> places =
          Places(LayOutFieldChooser({client.right, client.bottom}, DpiOfWindow(dialog)));
      std::vector<Corners> shown;
      for (std::size_t i = 0; i < std::size(kPlacedControls); ++i) {
        RECT rect;
        GetWindowRect(GetDlgItem(dialog, kPlacedControls[i]), &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        // A closed drop-down is as high as its font makes it.
        const bool dropDown = kPlacedControls[i] == kChooserHeaderChoice || kPlacedControls[i] == kChooserSchemeChoice;
        shown.push_back({rect.left, rect.top, rect.right, dropDown ? places[i][3] : rect.bottom});
      }
      EXPECT_EQ(shown, places) << "grown by " << grow;
    }
    SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(runs, 1);
}

// The layout at any DPI: every control inside the client area, none over
// another, and at 144 DPI one and a half times the 96-DPI one.
TEST(FieldChooserLayout, ScalesWithTheDpiAndKeepsEveryControlInside) {
  for (int dpi : {96, 120, 144, 192}) {
    for (SIZE client : {FieldChooserClientSize(dpi), FieldChooserSmallestClientSize(dpi)}) {
      const std::vector<Corners> placed = Places(LayOutFieldChooser(client, dpi));
      for (std::size_t i = 0; i < placed.size(); ++i) {
        const auto [left, top, right, bottom] = placed[i];
        EXPECT_TRUE(left >= 0 && top >= 0 && right <= client.cx && bottom <= client.cy && left < right && top < bottom)
            << dpi << " dpi, control " << i;
        for (std::size_t j = i + 1; j < placed.size(); ++j) {
          const auto [otherLeft, otherTop, otherRight, otherBottom] = placed[j];
          EXPECT_TRUE(right <= otherLeft || otherRight <= left || bottom <= otherTop || otherBottom <= top)
              << dpi << " dpi, controls " << i << " and " << j;
        }
      }
    }
  }
  const std::vector<Corners> at96 = Places(LayOutFieldChooser(FieldChooserClientSize(96), 96));
  const std::vector<Corners> at144 = Places(LayOutFieldChooser(FieldChooserClientSize(144), 144));
  for (std::size_t i = 0; i < at96.size(); ++i) {
    for (std::size_t k = 0; k < 4; ++k) EXPECT_NEAR(at144[i][k], at96[i][k] * 3 / 2, 2) << "control " << i;
  }
}
