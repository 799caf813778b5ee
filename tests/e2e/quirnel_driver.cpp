// Drives the real quirnel.exe from outside as a person would, and checks what
// the person sees on the screen and what the window writes.
//   quirnel_driver convert QUIRNEL_EXE SAMPLE_FILE WORK_FOLDER
// or, with pose-after-a-run (and the output file in place of the folder) or
// pose-chooser instead of convert, it leaves the window as the user guide
// shows it.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/field_list_setting.h"
#include "app_identity.h"
#include "driver_windows.h"
#include "field_chooser.h"
#include "main_window_layout.h"
#include "registry_settings_store.h"
#include "ui_texts.h"
#include "win32_handles.h"
#include "win32_text.h"

namespace {

constexpr DWORD kWait = 30000;
// The blue top edge of a skinned button and the flat frame of a text box.
constexpr COLORREF kSkinnedButtonEdge = RGB(27, 143, 213);
constexpr COLORREF kFlatFrame = RGB(84, 165, 213);

int failures = 0;

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "FAILED: %s\n", what);
  ++failures;
}

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// True once the condition holds, within about 5 s: the screen follows what
// happens by a moment.
template <typename Condition>
bool Eventually(Condition condition) {
  for (int tries = 0; tries < 100; ++tries, Sleep(50)) {
    if (condition()) return true;
  }
  return false;
}

// Whether the screen shows the window all in grey, leaving out what lies
// under the cover (another window in front of it).
bool LooksGrey(HWND window, HWND cover) {
  RECT bounds, covered;
  GetWindowRect(window, &bounds);
  GetWindowRect(cover, &covered);
  const win32::WindowDC screen = win32::BorrowWindowDC(nullptr);
  for (POINT point{bounds.left, bounds.top}; point.y < bounds.bottom; ++point.y) {
    for (point.x = bounds.left; point.x < bounds.right; ++point.x) {
      const COLORREF colour = GetPixel(screen.Get(), point.x, point.y);
      const bool grey = GetRValue(colour) == GetGValue(colour) && GetGValue(colour) == GetBValue(colour);
      if (!grey && !PtInRect(&covered, point)) return false;
    }
  }
  return true;
}

bool TopEdgeShows(HWND window, COLORREF colour) {
  return Eventually([&] {
    RECT bounds;
    GetWindowRect(window, &bounds);
    return GetPixel(win32::BorrowWindowDC(nullptr).Get(), (bounds.left + bounds.right) / 2, bounds.top) == colour;
  });
}

// A real left click in the middle of the window at a person's pace: the
// hover shows before the press, the press before the release.
void ClickWithTheMouse(HWND window) {
  RECT bounds;
  GetWindowRect(window, &bounds);
  const LONG x = MulDiv((bounds.left + bounds.right) / 2, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  const LONG y = MulDiv((bounds.top + bounds.bottom) / 2, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  for (DWORD flags : {MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
    INPUT input = {INPUT_MOUSE, {{x, y, 0, flags, 0, 0}}};  // the place counts only for the move
    SendInput(1, &input, sizeof input);
    Sleep(150);
  }
}

// The types a file dialog offers, from its type box.
std::vector<std::wstring> FileTypes(HWND dialog) {
  HWND types = GetDlgItem(dialog, 0x470);
  std::vector<std::wstring> names;
  const LRESULT count = SendMessageW(types, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring name(static_cast<std::size_t>(SendMessageW(types, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
    name.resize(static_cast<std::size_t>(SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name.data()))));
    names.push_back(name);
  }
  return names;
}

// One running quirnel.exe and its window, which speaks the language its
// settings and the system give it.
class Program {
 public:
  Program(const std::wstring& exe, const std::wstring& arguments)
      : process_(StartProgram(Quoted(exe) + L" " + arguments)) {
    if (process_) window_ = WaitForProcessWindow(Id(), kMainWindowClass, texts_.WindowCaption(), kWait);
    Check(window_ != nullptr, "the window of quirnel.exe appears");
  }
  ~Program() {
    if (process_ && WaitForSingleObject(Process(), 0) == WAIT_TIMEOUT) TerminateProcess(Process(), 99);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  const UiTexts& Texts() const { return texts_; }
  HWND Control(int id) const { return GetDlgItem(window_, id); }
  void Click(int id) const { Press(window_, id); }
  HWND Dialog(const wchar_t* title) const { return WaitForProcessWindow(Id(), L"#32770", title, kWait); }
  // Answers a message box; returns its prompt.
  std::wstring Answer(const wchar_t* title, int button) const {
    HWND box = Dialog(title);
    const std::wstring prompt = TextOf(GetDlgItem(box, 0xFFFF));
    Press(box, button);
    return prompt;
  }
  // Saves as path; the types the dialog offered. When asked, the names the
  // dialog proposed: at first, after a change to the last type, and after
  // the change back to the first.
  std::vector<std::wstring> SaveAs(const std::wstring& path, std::vector<std::wstring>* proposed = nullptr) const {
    HWND save = Dialog(texts_.SaveTitle());
    const std::vector<std::wstring> types = FileTypes(save);
    HWND name = GetDlgItem(save, 0x47C);  // the file name box
    if (proposed != nullptr) {
      proposed->push_back(TextOf(name));
      for (std::size_t type : {types.size() - 1, std::size_t{0}}) {
        HWND typeBox = GetDlgItem(save, 0x470);
        SendMessageW(typeBox, CB_SETCURSEL, type, 0);
        // What the box tells its dialog when a person picks an item.
        for (WORD notice : {CBN_SELCHANGE, CBN_SELENDOK})
          SendMessageW(save, WM_COMMAND, MAKEWPARAM(0x470, notice), reinterpret_cast<LPARAM>(typeBox));
        proposed->push_back(TextOf(name));
      }
    }
    SetTextOf(name, path);
    Press(save, IDOK);
    return types;
  }
  int Close() const {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    DWORD code = STILL_ACTIVE;
    WaitForSingleObject(Process(), kWait);
    GetExitCodeProcess(Process(), &code);
    return static_cast<int>(code);
  }

 private:
  HANDLE Process() const { return process_.Get().hProcess; }
  DWORD Id() const { return process_.Get().dwProcessId; }

  RegistrySettingsStore settings_;
  const UiTexts texts_{InterfaceLanguage(settings_)};
  win32::ProcessInformation process_;
  HWND window_ = nullptr;
};

// F4 in the path box opens the field chooser on the file: a dialog whose
// buttons wear the skin, which Cancel closes with the list as it was.
void OpensTheChooserWithF4(const Program& program, const std::wstring& sample) {
  SetTextOf(program.Control(kInputPathBox), sample);
  const std::wstring list = TextOf(program.Control(kFieldListBox));
  PostMessageW(program.Control(kInputPathBox), WM_KEYDOWN, VK_F4, 1);
  HWND chooser = program.Dialog(program.Texts().ChooserTitle());
  Check(chooser != nullptr, "F4 opens the chooser");
  Check(Eventually([&] { return IsWindowEnabled(GetDlgItem(chooser, IDOK)) != FALSE; }), "the chooser reads the file");
  for (int id : {IDOK, IDCANCEL}) Check(TopEdgeShows(GetDlgItem(chooser, id), kSkinnedButtonEdge), "skinned chooser");
  Press(chooser, IDCANCEL);
  Check(Eventually([&] { return !IsWindow(chooser); }), "Cancel closes the chooser");
  Check(TextOf(program.Control(kFieldListBox)) == list, "Cancel leaves the list as it was");
}

// A session at the window in Chinese: the file comes in on the command line
// and as a quoted path (files dropped, the window's own tests drop); the skin
// shows on the window, its chooser and its message box;
// Begin clicked with the mouse shows its grey disabled image while the run
// asks, although the pointer left it for the message box; the output equals
// marc2tab's reference (the same list, and the join separator set beside it
// in the registry), in a file whose name was typed without its extension; the
// list, with its line break and full-width comma, is there at the next start.
void ConvertsLikeMarc2tab(const std::wstring& exe, const std::wstring& sample, const std::wstring& folder) {
  const std::wstring output = folder + L"\\窗口导出";
  const std::wstring typedList = L"200a,010d，\r\n000?,200f,101a,690a,001?,701a*";
  const wchar_t separator[] = L" | ";
  const std::wstring settings = RegistryKeyPath(kSettingsApplication, kSettingsSection);
  RegSetKeyValueW(HKEY_CURRENT_USER, settings.c_str(), Widen(kJoinSeparatorKey).c_str(), REG_SZ, separator,
                  sizeof separator);
  RegSetKeyValueW(HKEY_CURRENT_USER, settings.c_str(), Widen(kLanguageKey).c_str(), REG_SZ, L"zh", sizeof L"zh");
  // No list of an earlier run.
  RegDeleteKeyValueW(HKEY_CURRENT_USER, settings.c_str(), Widen(kFieldListKey).c_str());
  DeleteFileW((output + L".txt").c_str());
  {
    Program program(exe, Quoted(sample));
    Check(TextOf(program.Control(kInputPathBox)) == sample, "quirnel.exe PATH starts with PATH in the input path box");
    for (ControlId id : {kChooseButton, kBeginButton})
      Check(TopEdgeShows(program.Control(id), kSkinnedButtonEdge), "skin");
    for (ControlId id : {kInputPathBox, kFieldListBox})
      Check(TopEdgeShows(program.Control(id), kFlatFrame), "flat frame");
    OpensTheChooserWithF4(program, sample);

    SetTextOf(program.Control(kInputPathBox), L"  " + Quoted(sample));  // as "Copy as path" pastes it
    SetTextOf(program.Control(kFieldListBox), typedList);
    ClickWithTheMouse(program.Control(kBeginButton));
    HWND confirmation = program.Dialog(L"操作提示");
    Check(Eventually([&] { return LooksGrey(program.Control(kBeginButton), confirmation); }),
          "Begin shows its grey disabled image while the run asks");
    Check(TopEdgeShows(GetDlgItem(confirmation, IDYES), kSkinnedButtonEdge), "skinned message box");
    program.Answer(L"操作提示", IDYES);
    std::vector<std::wstring> proposed;
    Check(program.SaveAs(output, &proposed) ==
              std::vector<std::wstring>{L"文本形式", L"文本形式（UTF-8，适用于非中文系统）", L"Excel 工作簿"},
          "the save dialog offers the three types");
    Check(proposed == std::vector<std::wstring>{L"sample.txt", L"sample.xlsx", L"sample.txt"},
          "the save dialog proposes the input's name, its extension following the type");
    HWND end = program.Dialog(L"温馨提示");
    Check(TopEdgeShows(GetDlgItem(end, IDOK), kSkinnedButtonEdge), "the end message's buttons are skinned");
    Check(program.Answer(L"温馨提示", IDOK).rfind(L"恭喜，数据已经转换完毕咯！\n输出文件：", 0) == 0, "end message");
    const std::string reference = ReadFileBytes(folder + L"\\reference.txt");
    Check(reference.size() > 1000 && ReadFileBytes(output + L".txt") == reference, "the window writes marc2tab's");
    Check(program.Close() == 0, "the program ends when its window closes");
  }
  const Program again(exe, L"");
  Check(TextOf(again.Control(kFieldListBox)) == typedList, "the field list is there at the next start");
}

// Tells scripts/screenshots.sh that the window is as its picture shows it;
// the script then takes the picture and ends Wine.
[[noreturn]] void Posed() {
  std::printf("posed\n");
  std::fflush(stdout);
  Sleep(INFINITE);
  std::abort();
}

// Not a check: the window after a run, its end message up, for the user
// guide's picture.
void PoseAfterARun(const std::wstring& exe, const std::wstring& sample, const std::wstring& output) {
  const Program program(exe, Quoted(sample));
  program.Click(kBeginButton);
  program.Answer(program.Texts().ConfirmTitle(), IDYES);
  program.SaveAs(output);
  program.Dialog(program.Texts().NoticeTitle());
  Posed();
}

// Not a check: the field chooser opened from its label, a few rows down the
// list ticked, for the user guide's picture.
void PoseChooser(const std::wstring& exe, const std::wstring& sample, const std::wstring&) {
  const Program program(exe, Quoted(sample));
  HWND label = program.Control(kFieldListLabel);
  PostMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  PostMessageW(label, WM_LBUTTONUP, 0, 0);
  HWND chooser = program.Dialog(program.Texts().ChooserTitle());
  HWND list = GetDlgItem(chooser, kChooserList);
  Eventually([&] { return IsWindowVisible(list) != FALSE; });
  for (WPARAM key : {VK_DOWN, VK_DOWN, VK_SPACE, VK_DOWN, VK_DOWN, VK_DOWN, VK_SPACE}) {
    PostMessageW(list, WM_KEYDOWN, key, 1);
  }
  Posed();
}

// Windows form of a path: the file dialogs refuse forward slashes.
std::wstring WindowsPath(std::wstring path) {
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring what = argc == 5 ? argv[1] : L"";
  if (what != L"convert" && what != L"pose-after-a-run" && what != L"pose-chooser") {
    std::fprintf(stderr,
                 "usage: quirnel_driver convert|pose-chooser QUIRNEL_EXE SAMPLE_FILE WORK_FOLDER\n"
                 "       quirnel_driver pose-after-a-run QUIRNEL_EXE SAMPLE_FILE OUTPUT_FILE\n");
    return 2;
  }
  const auto run = what == L"convert" ? ConvertsLikeMarc2tab : what == L"pose-chooser" ? PoseChooser : PoseAfterARun;
  run(WindowsPath(argv[2]), WindowsPath(argv[3]), WindowsPath(argv[4]));
  return failures == 0 ? 0 : 1;
}
