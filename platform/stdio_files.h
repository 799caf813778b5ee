#pragma once
// InputFile and OutputFile over a C stdio stream; the platform files open the
// stream (fopen, or _wfopen for Unicode paths on Windows).
#include <cstdio>
#include <memory>

#include "file_system.h"

std::unique_ptr<InputFile> MakeStdioInput(std::FILE* stream);
std::unique_ptr<OutputFile> MakeStdioOutput(std::FILE* stream, bool closeWhenDone = true);

// Standard streams carry GBK bytes unchanged (no CR LF translation on Windows).
void UseBinaryMode(std::FILE* stream);
// Whether the stream is an interactive terminal (a console on Windows).
bool IsTerminal(std::FILE* stream);
// Lets the console show UTF-8 messages (Windows); nothing elsewhere.
void PrepareConsoleForUtf8();
