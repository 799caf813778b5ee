#pragma once
// What a value becomes inside a worksheet cell: its line breaks made the one
// a cell shows, the characters a cell cannot hold left out, cut to the length
// Excel holds, and written as XML that Excel, WPS and LibreOffice read back
// as the very same text. Values are UTF-8.
#include <cstddef>
#include <string>
#include <string_view>

// The text of one cell, gathered from its pieces (a value, or the
// occurrences of a joined code and their separators). Each line break, CR LF,
// CR or LF, becomes LF: an XML reader turns a written CR into LF anyway, and
// its escape is shown as text by Gnumeric and openpyxl. For that reason too
// the other control characters, tabs among them, and U+FFFE and U+FFFF (which
// XML cannot hold) are left out, and counted, rather than escaped.
class CellText {
 public:
  // Valid UTF-8, as the caller sees to.
  void Append(std::string_view utf8);
  void Clear();

  const std::string& Text() const { return text_; }
  bool HasLineBreak() const { return lineBreak_; }
  // Characters left out since the last Clear.
  std::size_t LeftOut() const { return leftOut_; }

 private:
  const char* AppendSpecial(const char* at, const char* end);

  std::string text_;
  bool afterCarriageReturn_ = false;  // a CR ended the last piece: an LF starting the next is its own
  bool lineBreak_ = false;
  std::size_t leftOut_ = 0;
};

// The longest start of the text that fits in `limit` UTF-16 code units (Excel
// counts a character beyond the BMP as two), ending between characters.
std::string_view CutToUtf16Units(std::string_view utf8, std::size_t limit);

// Appends the text of a cell (as CellText leaves it) as XML character data:
// &, < and > as entities, and the underscore that starts an escape a reader
// would decode (such as a literal "_x0041_") as _x005F_, and no other.
void AppendCellXml(std::string& out, std::string_view utf8);

// Whether the text begins or ends with a blank that an XML reader may drop
// unless the element says xml:space="preserve".
bool HasBlankEnds(std::string_view utf8);
