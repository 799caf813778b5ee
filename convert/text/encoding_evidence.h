#pragma once
// What the bytes of a record's data say of their encoding, whatever the
// record declares: Chinese in UTF-8 is nearly all characters of three bytes,
// and GBK text leaves about half of its high bytes outside valid UTF-8.
#include <string_view>

// Valid UTF-8 throughout, with at least eight characters of three or more bytes.
bool IsPlainlyUtf8(std::string_view data);
// More than one in ten of the bytes above ASCII lie outside valid UTF-8 sequences.
bool IsMostlyNotUtf8(std::string_view data);
// Every byte above ASCII belongs to a character of code page 936.
bool IsValidGbk(std::string_view data);
