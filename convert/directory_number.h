#pragma once
#include <optional>
#include <string_view>

// Reads a number of a directory entry (Length or Start) as a decimal number
// with the fraction dropped: blanks before and after, an optional sign, digits
// and an optional fraction ("+012" is 12, "1.50" is 1, "-012" is -12).
// Anything else ("12a4", all blanks, "1e3", "1,2") is unreadable: nullopt.
std::optional<long> ReadDirectoryNumber(std::string_view text);
