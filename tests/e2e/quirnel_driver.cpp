// Drives the real quirnel.exe as a person would and checks what it writes
// against marc2tab for the same input and field list.
//   quirnel_driver check QUIRNEL_EXE MARC2TAB_EXE WORK_FOLDER
//   quirnel_driver bench QUIRNEL_EXE MARC2TAB_EXE INPUT WORK_FOLDER [ROUNDS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app_identity.h"
#include "driver_windows.h"
#include "form_layout.h"
#include "gbk_text.h"
#include "record_builder.h"

namespace {

constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kMainClass[] = L"Form";
constexpr int kFileNameBox = 0x47C;
constexpr int kMessageText = 0xFFFF;
constexpr DWORD kDialogWait = 30000;

int failures = 0;

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "FAILED: %s\n", what);
    ++failures;
  }
}

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

// Starts a program and waits for it when asked; its exit code, or -1.
int RunProgram(const std::wstring& commandLine, bool wait, PROCESS_INFORMATION* started = nullptr) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::wstring line = commandLine;
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "cannot start %ls (error %lu)\n", commandLine.c_str(), GetLastError());
    return -1;
  }
  DWORD code = 0;
  if (wait) {
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &code);
  }
  if (started != nullptr) {
    *started = process;
  } else {
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  return static_cast<int>(code);
}

// Windows form of a path: the file dialogs refuse forward slashes.
std::wstring FullPath(const std::wstring& path) {
  wchar_t full[MAX_PATH * 4] = {};
  const DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 4, full, nullptr);
  return n > 0 && n < MAX_PATH * 4 ? std::wstring(full) : path;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// One running quirnel.exe and its window.
class Program {
 public:
  explicit Program(const std::wstring& exe) {
    RunProgram(Quoted(exe), false, &process_);
    WaitForInputIdle(process_.hProcess, 20000);
    window_ = WaitForProcessWindow(process_.dwProcessId, kMainClass, kWindowCaption, 20000);
  }
  ~Program() {
    if (process_.hProcess != nullptr) {
      if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Started() const { return window_ != nullptr; }
  HWND Control(int id) const { return GetDlgItem(window_, id); }

  HWND WaitForDialog(const wchar_t* title, DWORD timeoutMs = kDialogWait, DWORD pollMs = 20) const {
    return WaitForProcessWindow(process_.dwProcessId, kDialogClass, title, timeoutMs, pollMs);
  }

  // Answers a message box with the given title; returns its prompt.
  std::wstring Answer(const wchar_t* title, int button, DWORD timeoutMs = kDialogWait) const {
    HWND box = WaitForDialog(title, timeoutMs);
    if (box == nullptr) {
      std::fprintf(stderr, "no message box \"%ls\" came\n", title);
      return std::wstring();
    }
    const std::wstring prompt = TextOf(GetDlgItem(box, kMessageText));
    Press(box, button);
    WaitUntilClosed(box, 10000);
    return prompt;
  }

  // Types the name into the save dialog and presses its Save button.
  bool SaveAs(const std::wstring& path) const {
    HWND dialog = WaitForDialog(L"保存Marc文件");
    if (dialog == nullptr) return false;
    SetTextOf(GetDlgItem(dialog, kFileNameBox), path);
    Press(dialog, IDOK);
    return WaitUntilClosed(dialog, 10000);
  }

  void ClickBegin() const { Press(window_, kCommand3); }

  // Closes the window and waits for the program to end; its exit code.
  int Close() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    WaitForSingleObject(process_.hProcess, 20000);
    DWORD code = 259;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<int>(code);
  }

 private:
  PROCESS_INFORMATION process_ = {};
  HWND window_ = nullptr;
};

// The skin as a person sees it, read off the screen: the blue top border of
// a skinned button and the flat blue frame of a text box.
constexpr COLORREF kSkinnedButtonBorder = RGB(27, 143, 213);
constexpr COLORREF kFlatFrame = RGB(84, 165, 213);

COLORREF ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return colour;
}

// Waits until the middle of a window's top edge shows the colour on screen
// (painting follows the window's appearance by a moment).
bool TopEdgeShows(HWND window, COLORREF colour, DWORD timeoutMs = 5000) {
  const DWORD start = GetTickCount();
  do {
    RECT bounds;
    if (window != nullptr && GetWindowRect(window, &bounds) &&
        ScreenPixel((bounds.left + bounds.right) / 2, bounds.top) == colour) {
      return true;
    }
    Sleep(20);
  } while (GetTickCount() - start < timeoutMs);
  return false;
}

std::string SampleRecords() {
  std::string records;
  for (int i = 0; i < 40; ++i) {
    const std::string n = std::to_string(i);
    records += RecordBuilder()
                   .Field("001", "CN" + n)
                   .Field("010", "  " + Sf("a", "978-7-" + n) + Sf("d", "CNY" + n + ".00"))
                   .Field("101", "0 " + Sf("a", "chi"))
                   .Field("200", "1 " + Sf("a", Gbk("书名第") + n + Gbk("卷")) + Sf("f", Gbk("作者\t甲")))
                   .Field("690", "  " + Sf("a", "I247." + n))
                   .Build();
    records += i % 7 == 3 ? "\r\n\r\n" : "\r\n";
  }
  return records;
}

// One conversion through the window: Begin, Yes, the file name, and the
// append question when the file exists. Returns the end message.
std::wstring ConvertThroughWindow(const Program& program, const std::wstring& output, bool expectAppendQuestion) {
  program.ClickBegin();
  const HWND confirmation = program.WaitForDialog(L"操作提示");
  Check(TopEdgeShows(GetDlgItem(confirmation, IDYES), kSkinnedButtonBorder), "the message box has skinned buttons");
  Check(program.Answer(L"操作提示", IDYES) == L"您好,是否确定导出数据为制表符文本数据？", "confirmation prompt");
  Check(program.SaveAs(output), "save dialog");
  if (expectAppendQuestion) {
    Check(program.Answer(L"温馨提示", IDYES) == L"该文件已存在，是否追加数据！", "append question");
  }
  return program.Answer(L"温馨提示", IDOK);
}

int CheckAgainstMarc2tab(const std::wstring& quirnel, const std::wstring& marc2tab, const std::wstring& folder) {
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring input = folder + L"\\records.iso";
  const std::wstring output = folder + L"\\窗口导出.txt";
  const std::wstring expected = folder + L"\\marc2tab导出.txt";
  DeleteFileW(output.c_str());
  DeleteFileW(expected.c_str());
  WriteFileBytes(input, SampleRecords());

  // The same list as the window's, written the way a person types it there.
  const std::wstring typedList = L"200a,010d，\r\n000?,200f,101a,690a,001?";
  const std::wstring list = L"200a,010d，000?,200f,101a,690a,001?";
  Check(RunProgram(Quoted(marc2tab) + L" --fields " + Quoted(list) + L" " + Quoted(input) + L" " + Quoted(expected),
                   true) == 0,
        "marc2tab converts");
  const std::string reference = ReadFileBytes(expected);
  Check(reference.size() > 100, "marc2tab wrote its file");

  {
    Program program(quirnel);
    if (!program.Started()) {
      std::fprintf(stderr, "FAILED: the window of quirnel.exe did not appear\n");
      return 1;
    }
    Check(TopEdgeShows(program.Control(kCommand3), kSkinnedButtonBorder), "Begin is a skinned button");
    Check(TopEdgeShows(program.Control(kCommand1), kSkinnedButtonBorder), "选择 is a skinned button");
    Check(TopEdgeShows(program.Control(kText1), kFlatFrame), "the path box has the flat frame");
    Check(TopEdgeShows(program.Control(kText2), kFlatFrame), "the field-list box has the flat frame");
    SetTextOf(program.Control(kText1), input);
    SetTextOf(program.Control(kText2), typedList);
    Check(ConvertThroughWindow(program, output, false) == L"恭喜，数据已经转换完毕咯！", "end message");
    Check(ReadFileBytes(output) == reference, "the window writes what marc2tab writes");
    Check(TextOf(program.Control(kLabel3)) == L"正在预读数据，目前已完成40条.....", "progress caption");

    Check(ConvertThroughWindow(program, output, true) == L"恭喜，数据已经转换完毕咯！", "second end message");
    Check(ReadFileBytes(output) == reference + reference, "a second run appends the same again");
    Check(program.Close() == 0, "the program ends when its window closes");
  }
  {
    Program again(quirnel);
    Check(again.Started() && TextOf(again.Control(kText2)) == typedList, "the field list is kept for the next start");
    again.Close();
  }
  return failures == 0 ? 0 : 1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

int Benchmark(const std::wstring& quirnel, const std::wstring& marc2tab, const std::wstring& input,
              const std::wstring& folder, int rounds) {
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring windowOut = folder + L"\\window.txt";
  const std::wstring cliOut = folder + L"\\marc2tab.txt";
  std::vector<double> windowTimes;
  std::vector<double> cliTimes;
  for (int round = 0; round < rounds; ++round) {
    DeleteFileW(cliOut.c_str());
    const LARGE_INTEGER cliStart = Now();
    RunProgram(Quoted(marc2tab) + L" " + Quoted(input) + L" " + Quoted(cliOut), true);
    const double cli = Seconds(cliStart, Now());
    cliTimes.push_back(cli);

    DeleteFileW(windowOut.c_str());
    Program program(quirnel);
    if (!program.Started()) return 1;
    SetTextOf(program.Control(kText1), input);
    SetTextOf(program.Control(kText2), L"010a,010d,101a,200a,200f,200g,210a,210c,210d,215a,215d,225a,330a,606a,690a");
    program.ClickBegin();
    program.Answer(L"操作提示", IDYES);
    HWND dialog = program.WaitForDialog(L"保存Marc文件");
    if (dialog == nullptr) return 1;
    SetTextOf(GetDlgItem(dialog, kFileNameBox), windowOut);
    Press(dialog, IDOK);
    // Timed from the first record counted on the label to the end message:
    // the conversion as the person at the window sees it. Closing the save
    // dialog is left out; under Wine without a window manager it alone takes
    // about 2 s.
    const std::wstring initial = TextOf(program.Control(kLabel3));
    // Looking every 5 ms: often enough to time a run of a few tenths of a
    // second, and seldom enough not to take the processor from the program.
    while (TextOf(program.Control(kLabel3)) == initial) Sleep(5);
    const LARGE_INTEGER windowStart = Now();
    HWND end = program.WaitForDialog(L"温馨提示", 3600000, 5);
    const double window = Seconds(windowStart, Now());
    windowTimes.push_back(window);
    if (end != nullptr) Press(end, IDOK);
    program.Close();
    if (ReadFileBytes(windowOut) != ReadFileBytes(cliOut)) {
      std::fprintf(stderr, "the window's output differs from marc2tab's\n");
      return 1;
    }
    std::printf("round %d: window %.3f s, marc2tab %.3f s\n", round + 1, window, cli);
  }
  const double window = Median(windowTimes);
  const double cli = Median(cliTimes);
  std::printf("median of %d: window %.3f s, marc2tab %.3f s, window throughput / marc2tab throughput = %.2f\n",
              rounds, window, cli, cli / window);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> args(argv + 1, argv + argc);
  for (std::size_t i = 1; i < args.size() && i < 5; ++i) args[i] = FullPath(args[i]);
  if (args.size() == 4 && args[0] == L"check") return CheckAgainstMarc2tab(args[1], args[2], args[3]);
  if ((args.size() == 5 || args.size() == 6) && args[0] == L"bench") {
    return Benchmark(args[1], args[2], args[3], args[4], args.size() == 6 ? _wtoi(args[5].c_str()) : 3);
  }
  std::fprintf(stderr,
               "usage: quirnel_driver check QUIRNEL_EXE MARC2TAB_EXE WORK_FOLDER\n"
               "       quirnel_driver bench QUIRNEL_EXE MARC2TAB_EXE INPUT WORK_FOLDER [ROUNDS]\n");
  return 2;
}
