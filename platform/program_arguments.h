#pragma once
// The program's arguments as UTF-8, whatever the system's code page: on
// Windows, main's char** arguments come in the ANSI code page and lose every
// character it lacks, so they are read from the wide command line instead.
#include <string>
#include <vector>

std::vector<std::string> ProgramArguments(int argc, char** argv);
