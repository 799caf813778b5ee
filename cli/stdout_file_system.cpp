#include "stdout_file_system.h"

#include <cstdio>

#include "stdio_files.h"

std::unique_ptr<OutputFile> StdoutFileSystem::OpenForAppending(const std::string& path, int& errorNumber) {
  if (path != "-") return files_.OpenForAppending(path, errorNumber);
  UseBinaryMode(stdout);
  return MakeStdioOutput(stdout, false);
}
