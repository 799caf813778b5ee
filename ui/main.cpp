// quirnel.exe [PATH...]: the main window over the conversion run. "Open
// with" and files dropped on the program's icon start it with their paths.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "desktop_services.h"
#include "file_system.h"
#include "main_window.h"
#include "message_loop.h"
#include "registry_settings_store.h"
#include "win32_handles.h"

namespace {

// The arguments, read from the wide command line so that no character of a
// path is lost to the ANSI code page.
std::vector<std::wstring> PathsFromCommandLine() {
  int count = 0;
  const win32::LocalMemory<wchar_t**> arguments(CommandLineToArgvW(GetCommandLineW(), &count));
  std::vector<std::wstring> paths;
  for (int i = 1; arguments && i < count; ++i) {
    if (arguments.Get()[i][0] != L'\0') paths.emplace_back(arguments.Get()[i]);
  }
  return paths;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  RegistrySettingsStore settings;
  const win32::ComApartment com;  // the taskbar button's progress
  MainWindow window(SystemDesktop(), settings, LocalFileSystem());
  if (!window.Create(instance, showCommand)) return 1;
  window.SetInputPaths(PathsFromCommandLine());
  return RunMessageLoop(window.Window(), window.Shortcuts());
}
