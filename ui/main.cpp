// quirnel.exe: the main window over the conversion run.
#include <windows.h>

#include "desktop_services.h"
#include "file_system.h"
#include "form1.h"
#include "message_loop.h"
#include "registry_settings_store.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  RegistrySettingsStore settings;
  Form1 form(SystemDesktop(), settings, LocalFileSystem());
  if (!form.Create(instance, showCommand)) return 1;
  return RunMessageLoop(form);
}
