// Throughput of a conversion through the real window under Wine, against
// marc2tab.exe on the same file. Run by bench/window_under_wine.sh:
//   bench_window QUIRNEL_EXE MARC2TAB_EXE INPUT WORK_FOLDER [ROUNDS]
// The window is clicked through as a person would and timed from the first
// record counted on the progress label to the end message; marc2tab is timed
// from its start to its exit.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app_identity.h"
#include "driver_windows.h"
#include "main_window_layout.h"
#include "marc/field_list.h"
#include "registry_settings_store.h"
#include "ui_texts.h"
#include "win32_text.h"

namespace {

constexpr DWORD kWait = 30000;

double SecondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// Windows form of a path: the file dialogs refuse forward slashes.
std::wstring WindowsPath(std::wstring path) {
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

// Waits for the program's end; its handles go with their owner.
void Finish(const win32::ProcessInformation& process) { WaitForSingleObject(process.Get().hProcess, kWait); }

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

// One conversion through the window, in the language its settings and the
// system give it; its time, or a negative value.
double TimeTheWindow(const std::wstring& quirnel, const std::wstring& input, const std::wstring& output) {
  RegistrySettingsStore settings;
  const UiTexts texts(InterfaceLanguage(settings));
  const win32::ProcessInformation process = StartProgram(Quoted(quirnel) + L" " + Quoted(input));
  if (!process) return -1;
  const DWORD id = process.Get().dwProcessId;
  double seconds = -1;
  HWND window = WaitForProcessWindow(id, kMainWindowClass, texts.WindowCaption(), kWait);
  if (window != nullptr) {
    HWND progressLabel = GetDlgItem(window, kProgressLabel);
    // marc2tab's list: the window's own is whatever was stored last.
    SetTextOf(GetDlgItem(window, kFieldListBox), Widen(DefaultFieldList));
    Press(window, kBeginButton);
    HWND confirmation = WaitForProcessWindow(id, L"#32770", texts.ConfirmTitle(), kWait);
    Press(confirmation, IDYES);
    HWND save = WaitForProcessWindow(id, L"#32770", texts.SaveTitle(), kWait);
    SetTextOf(GetDlgItem(save, 0x47C), output);
    Press(save, IDOK);
    // Closing the save dialog is left out: under Wine without a window
    // manager it alone takes about 2 s. Looking every 5 ms is often enough to
    // time a run of a few tenths of a second and seldom enough not to take
    // the processor from the program.
    while (save != nullptr && TextOf(progressLabel) == texts.ProgressLabelAtStart()) Sleep(5);
    const LARGE_INTEGER start = Now();
    HWND end = WaitForProcessWindow(id, L"#32770", texts.NoticeTitle(), 3600000, 5);
    seconds = SecondsSince(start);
    Press(end, IDOK);
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
  Finish(process);
  return seconds;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 5 && argc != 6) {
    std::fprintf(stderr, "usage: bench_window QUIRNEL_EXE MARC2TAB_EXE INPUT WORK_FOLDER [ROUNDS]\n");
    return 2;
  }
  const std::wstring quirnel = WindowsPath(argv[1]), marc2tab = WindowsPath(argv[2]), input = WindowsPath(argv[3]),
                     folder = WindowsPath(argv[4]);
  const int rounds = argc == 6 ? _wtoi(argv[5]) : 3;
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring windowOut = folder + L"\\window.txt";
  const std::wstring cliOut = folder + L"\\marc2tab.txt";
  std::vector<double> windowTimes, cliTimes;
  for (int round = 1; round <= rounds; ++round) {
    DeleteFileW(cliOut.c_str());
    const LARGE_INTEGER cliStart = Now();
    const win32::ProcessInformation cli = StartProgram(Quoted(marc2tab) + L" " + Quoted(input) + L" " + Quoted(cliOut));
    if (!cli) return 1;
    WaitForSingleObject(cli.Get().hProcess, INFINITE);
    cliTimes.push_back(SecondsSince(cliStart));
    Finish(cli);

    DeleteFileW(windowOut.c_str());
    windowTimes.push_back(TimeTheWindow(quirnel, input, windowOut));
    if (windowTimes.back() < 0 || ReadFileBytes(windowOut) != ReadFileBytes(cliOut)) {
      std::fprintf(stderr, "the window's run failed or its output differs from marc2tab's\n");
      return 1;
    }
    std::printf("round %d: window %.3f s, marc2tab %.3f s\n", round, windowTimes.back(), cliTimes.back());
  }
  const double window = Median(windowTimes), cli = Median(cliTimes);
  std::printf("median of %d: window %.3f s, marc2tab %.3f s, window throughput / marc2tab throughput = %.2f\n", rounds,
              window, cli, cli / window);
  return 0;
}
