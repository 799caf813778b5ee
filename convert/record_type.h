#pragma once
#include <string_view>

// The name of a record type (UTF-8) for the leader's type-of-record byte, or
// "" for a byte outside the table.
std::string_view RecordTypeName(char typeOfRecord);
// The same name as GBK bytes, for the output file.
std::string_view RecordTypeNameGbk(char typeOfRecord);
