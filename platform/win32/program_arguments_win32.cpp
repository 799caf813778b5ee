#include <windows.h>

#include <shellapi.h>

#include "program_arguments.h"
#include "win32_handles.h"
#include "win32_text.h"

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  int count = 0;
  const win32::LocalMemory<wchar_t**> wide(CommandLineToArgvW(GetCommandLineW(), &count));
  if (!wide) return std::vector<std::string>(argv + 1, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Narrow(wide.Get()[i]));
  return arguments;
}
