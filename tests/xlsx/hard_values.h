#pragma once
// Values that spreadsheets damage when they open text (numbers, dates,
// formulas), and values that XML or the cell's length limit would damage,
// each with what a spreadsheet must read back: line breaks as LF, no control
// characters, and no more than a cell holds.
#include <cstddef>
#include <string>
#include <vector>

inline std::string Times(const std::string& piece, std::size_t times) {
  std::string text;
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

inline const std::string kEmoji = "\xF0\x9F\x98\x80";  // U+1F600, two UTF-16 units

struct HardValue {
  const char* what;
  std::string given;
  std::string cut;          // what is left of it after the cut, "" when it fits
  std::string inCell = "";  // what a cell holds of it otherwise, "" when the value itself
  int leftOut = 0;          // control characters left out

  const std::string& Expected() const { return !cut.empty() ? cut : !inCell.empty() ? inCell : given; }
};

inline const std::vector<HardValue> kHardValues = {
    {"record number with leading zeros", "0012345678", ""},
    {"18 digits", "123456789012345678", ""},
    {"20 digits", "12345678901234567890", ""},
    {"formula", "=SUM(1,2)", ""},
    {"thousands separator", "1,234", ""},
    {"date-like", "2019.10", ""},
    {"every control byte",
     "\x01\x02\x03\x04\x05\x06\x07\x08\t\n\x0B\x0C\r\x0E\x0F\x10\x11\x12\x13\x14\x15\x16\x17"
     "\x18\x19\x1A\x1B\x1C\x1D\x1E\x1F",
     "", "\n\n", 29},
    {"a tab", "a\tb", "", "ab", 1},
    {"a bell and a form feed", std::string("\x07") + "a\x0C" + "b", "", "ab", 2},
    {"literal escape form", "_x0041_", ""},
    {"literal escaped underscore", "a_x005F_b", ""},
    {"escape form with capital X", "_X0041_", ""},
    {"short and broken escape forms", "_x004_ _x4_ _xZZZZ_ __x0041 _x", ""},
    {"escape forms Calc decodes short", "_x4_ _x1f_ _x5F_ _x009_", ""},
    {"an underscore before x and no escape", "my_xml_file _x41_ _x00004_", ""},
    {"markup characters", "&<>\"'&amp;", ""},
    {"leading and trailing blanks", "  both ends  ", ""},
    {"only a blank", " ", ""},
    {"CR", "a\rb", "", "a\nb"},
    {"CR LF", "a\r\nb", "", "a\nb"},
    {"CR at the end", "a\r", "", "a\n"},
    {"LF", "line 1\nline 2\n", ""},
    {"CR, CR LF and LF in a row", "a\r\r\n\nb", "", "a\n\n\nb"},
    {"U+FFFE and U+FFFF", "a\xEF\xBF\xBE\xEF\xBF\xBF", "", "a", 2},
    {"each kind past eight plain bytes", "abcdefghij&klmnopqrs_x0041_tuvwxyz\r\nABCDEFGHI\x07J\xEF\xBC\x8C", "",
     "abcdefghij&klmnopqrs_x0041_tuvwxyz\nABCDEFGHIJ\xEF\xBC\x8C", 1},
    {"neighbours of U+FFFE", "\xEF\xBF\xBD\xEF\xBC\x8C", ""},
    {"empty", "", ""},
    {"beyond the BMP", "题" + kEmoji + "名", ""},
    {"40,000 characters", std::string(40000, 'a'), std::string(32767, 'a')},
    {"a pair straddling the cut", std::string(32766, 'b') + kEmoji, std::string(32766, 'b')},
    {"a pair ending at the cut", std::string(32765, 'c') + kEmoji + "x", std::string(32765, 'c') + kEmoji},
    {"Chinese past the cut", Times("中", 32768), Times("中", 32767)},
};
