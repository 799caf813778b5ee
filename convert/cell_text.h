#pragma once
// What a value becomes inside a worksheet cell: cut to the length Excel
// holds, and written as XML that Excel, WPS and LibreOffice read back as the
// very same text. Values are UTF-8.
#include <cstddef>
#include <string>
#include <string_view>

// The longest start of the text that fits in `limit` UTF-16 code units (Excel
// counts a character beyond the BMP as two), ending between characters.
std::string_view CutToUtf16Units(std::string_view utf8, std::size_t limit);

// Appends the text as XML character data. Besides &, < and >: the controls XML
// cannot hold, U+FFFE and U+FFFF become OOXML's _xHHHH_; CR becomes _x000D_,
// since an XML reader turns a written CR into LF; and an underscore before an
// x becomes _x005F_, so that a literal _xHHHH_ in the text is not decoded.
void AppendCellXml(std::string& out, std::string_view utf8);

// Whether the text begins or ends with a blank that an XML reader may drop
// unless the element says xml:space="preserve".
bool HasBlankEnds(std::string_view utf8);

// The width of the text's first line in digit widths, a wide (CJK)
// character counting two; counting stops at `most`.
std::size_t DisplayWidth(std::string_view utf8, std::size_t most);
