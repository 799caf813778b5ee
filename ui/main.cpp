// quirnel.exe [PATH]: the main window over the conversion run. "Open with"
// and a file dropped on the program's icon start it with the file's path.
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "desktop_services.h"
#include "file_system.h"
#include "main_window.h"
#include "message_loop.h"
#include "registry_settings_store.h"
#include "win32_handles.h"

namespace {

// The first argument, read from the wide command line so that no character
// of the path is lost to the ANSI code page; "" when there is none.
std::wstring PathFromCommandLine() {
  int count = 0;
  const win32::LocalMemory<wchar_t**> arguments(CommandLineToArgvW(GetCommandLineW(), &count));
  if (!arguments || count < 2) return {};
  return arguments.Get()[1];
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  RegistrySettingsStore settings;
  const win32::ComApartment com;  // the taskbar button's progress
  MainWindow window(SystemDesktop(), settings, LocalFileSystem());
  if (!window.Create(instance, showCommand)) return 1;
  const std::wstring path = PathFromCommandLine();
  if (!path.empty()) window.SetInputPath(path);
  return RunMessageLoop(window.Window(), window.Shortcuts());
}
