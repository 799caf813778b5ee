#pragma once
// Standard output as the run's output file ("-" on marc2tab's command line),
// and the console around it.
#include <memory>
#include <string>
#include <string_view>

#include "file_system.h"

// Standard output, written byte for byte, and locked like any output file
// when it is a file (where the system allows a lock); the run never closes it.
std::unique_ptr<OutputFile> OpenStandardOutput(FileError& error);
// Whether standard output is the file at path (through any spelling of it).
bool StandardOutputIs(const std::string& path);
bool StandardErrorIsTerminal();
// Writes text (UTF-8) for a person to standard output: on a Windows console
// as wide characters, which show whatever the console's code page, and
// elsewhere as UTF-8 bytes (with CR LF line ends on Windows). False when it
// could not be written.
bool WriteToStandardOutput(std::string_view text);
// Lets the console show UTF-8 messages (Windows); on POSIX systems, lets a
// write past the file-size limit fail with its reason instead of ending the
// program.
void PrepareStandardStreams();
