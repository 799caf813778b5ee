#pragma once
// The Chinese names of the UNIMARC/CNMARC fields and subfields that Chinese
// libraries use most, for showing beside the codes.
#include <string_view>

// The name of a field ("200": "题名与责任说明"), or "" when the table has none.
std::string_view FieldName(std::string_view tag);

// The name of a subfield of a field ("200", "a": "正题名"), or "" when the
// table has none. Tag and code are UTF-8, compared exactly.
std::string_view SubfieldName(std::string_view tag, std::string_view code);
