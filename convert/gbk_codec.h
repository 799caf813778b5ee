#pragma once
// Conversion between the Unicode text a person types (UTF-8 inside the program)
// and the GBK bytes (code page 936) of record and output files. Implemented per
// platform: iconv on POSIX, MultiByteToWideChar/WideCharToMultiByte on Windows.
#include <optional>
#include <string>
#include <string_view>

// Exact conversion; nullopt when some character has no GBK form or the input is
// not valid UTF-8.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);

// Lossy conversion for display: characters without a GBK form become '?'.
std::string Utf8ToGbkOrQuestionMarks(std::string_view utf8);

// GBK bytes to UTF-8 for display (messages, diagnostics); undecodable bytes
// become U+FFFD.
std::string GbkToUtf8(std::string_view gbk);
