#include "xlsx_reader.h"

#include <zlib.h>

#include <stdexcept>

namespace {

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what); }

// Little-endian fields at checked offsets.
class Bytes {
 public:
  explicit Bytes(const std::string& bytes) : bytes_(bytes) {}
  std::uint64_t Get(std::uint64_t at, int size) const {
    Need(at, static_cast<std::uint64_t>(size));
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes_[at + i]);
    return value;
  }
  std::uint32_t U16(std::uint64_t at) const { return static_cast<std::uint32_t>(Get(at, 2)); }
  std::uint32_t U32(std::uint64_t at) const { return static_cast<std::uint32_t>(Get(at, 4)); }
  std::uint64_t U64(std::uint64_t at) const { return Get(at, 8); }
  std::string Text(std::uint64_t at, std::uint64_t size) const {
    Need(at, size);
    return bytes_.substr(at, size);
  }
  void Need(std::uint64_t at, std::uint64_t size) const {
    if (at > bytes_.size() || size > bytes_.size() - at) Fail("read past the end of the file");
  }
  std::uint64_t Size() const { return bytes_.size(); }

 private:
  const std::string& bytes_;
};

struct DirectoryEntry {
  std::string name;
  std::uint32_t flags = 0, method = 0, crc = 0;
  std::uint64_t compressedSize = 0, size = 0, offset = 0;
  bool zip64Sizes = false;
};

struct Directory {
  std::uint64_t count = 0, size = 0, offset = 0;
};

constexpr std::uint32_t kNo32 = 0xFFFFFFFF;

Directory ReadEnd(const Bytes& zip, ZipContents& contents) {
  if (zip.Size() < 22) Fail("too short for a ZIP file");
  const std::uint64_t end = zip.Size() - 22;  // the writer adds no comment
  if (zip.U32(end) != 0x06054b50) Fail("no end of central directory record");
  Directory directory{zip.U16(end + 10), zip.U32(end + 12), zip.U32(end + 16)};
  if (end >= 20 && zip.U32(end - 20) == 0x07064b50) {
    contents.zip64End = true;
    const std::uint64_t record = zip.U64(end - 20 + 8);
    if (zip.U32(record) != 0x06064b50) Fail("the ZIP64 locator points at no ZIP64 end record");
    if (record + 56 != end - 20) Fail("the ZIP64 end record is not right before its locator");
    const Directory zip64{zip.U64(record + 32), zip.U64(record + 40), zip.U64(record + 48)};
    if ((directory.count != 0xFFFF && directory.count != zip64.count) ||
        (directory.size != kNo32 && directory.size != zip64.size) ||
        (directory.offset != kNo32 && directory.offset != zip64.offset)) {
      Fail("the end record and the ZIP64 end record disagree");
    }
    directory = zip64;
  } else if (directory.count == 0xFFFF || directory.size == kNo32 || directory.offset == kNo32) {
    Fail("a ZIP64 value without the ZIP64 end record");
  }
  return directory;
}

// The ZIP64 extra field holds, in order, the values whose 32-bit fields say 0xFFFFFFFF.
void ReadZip64Extra(const Bytes& zip, std::uint64_t at, std::uint64_t size, DirectoryEntry& entry) {
  for (std::uint64_t end = at + size; at < end;) {
    const std::uint32_t tag = zip.U16(at), length = zip.U16(at + 2);
    at += 4;
    if (tag == 1) {
      std::uint64_t field = at;
      if (entry.size == kNo32) entry.size = zip.U64(field), field += 8;
      if (entry.compressedSize == kNo32) entry.compressedSize = zip.U64(field), field += 8;
      if (entry.offset == kNo32) entry.offset = zip.U64(field), field += 8;
      if (field != at + length) Fail("a ZIP64 extra field of the wrong length");
    }
    at += length;
  }
}

std::vector<DirectoryEntry> ReadDirectory(const Bytes& zip, const Directory& directory, ZipContents& contents) {
  std::vector<DirectoryEntry> entries;
  std::uint64_t at = directory.offset;
  for (std::uint64_t i = 0; i < directory.count; ++i) {
    if (zip.U32(at) != 0x02014b50) Fail("a central directory header without its signature");
    DirectoryEntry entry;
    entry.flags = zip.U16(at + 8);
    entry.method = zip.U16(at + 10);
    entry.crc = zip.U32(at + 16);
    entry.compressedSize = zip.U32(at + 20);
    entry.size = zip.U32(at + 24);
    const std::uint32_t nameLength = zip.U16(at + 28), extraLength = zip.U16(at + 30), commentLength = zip.U16(at + 32);
    entry.offset = zip.U32(at + 42);
    entry.name = zip.Text(at + 46, nameLength);
    entry.zip64Sizes = entry.size == kNo32 || entry.compressedSize == kNo32;
    const bool zip64 = entry.zip64Sizes || entry.offset == kNo32;
    ReadZip64Extra(zip, at + 46 + nameLength, extraLength, entry);
    if (zip64) contents.zip64Entries.push_back(entry.name);
    if (zip64 != (zip.U16(at + 6) == 45)) Fail(entry.name + ": version needed does not match its ZIP64 use");
    at += 46 + nameLength + extraLength + commentLength;
    entries.push_back(entry);
  }
  if (at != directory.offset + directory.size) Fail("the central directory is not the size the end record says");
  return entries;
}

std::string Inflate(const std::string& compressed, std::uint64_t expectedSize, const std::string& name) {
  z_stream stream{};
  if (inflateInit2(&stream, -15) != Z_OK) Fail("inflateInit2");
  std::string data(expectedSize, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
  stream.avail_in = static_cast<uInt>(compressed.size());
  stream.next_out = reinterpret_cast<Bytef*>(data.data());
  stream.avail_out = static_cast<uInt>(data.size());
  const int result = inflate(&stream, Z_FINISH);
  const bool whole = result == Z_STREAM_END && stream.avail_in == 0 && stream.avail_out == 0;
  inflateEnd(&stream);
  if (!whole) Fail(name + ": the deflate data does not hold exactly its size");
  return data;
}

// The local header, the data and the data descriptor; returns where they end.
std::uint64_t ReadEntry(const Bytes& zip, const DirectoryEntry& entry, ZipContents& contents) {
  const std::uint64_t at = entry.offset;
  if (zip.U32(at) != 0x04034b50) Fail(entry.name + ": no local header where the directory says");
  if (zip.U16(at + 6) != entry.flags || zip.U16(at + 8) != entry.method || entry.method != 8) {
    Fail(entry.name + ": local header and directory disagree, or the data is not deflated");
  }
  const std::uint32_t nameLength = zip.U16(at + 26), extraLength = zip.U16(at + 28);
  if (zip.Text(at + 30, nameLength) != entry.name) Fail(entry.name + ": another name in the local header");
  const std::uint64_t dataAt = at + 30 + nameLength + extraLength;
  const std::string data = Inflate(zip.Text(dataAt, entry.compressedSize), entry.size, entry.name);
  if (crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())) != entry.crc) {
    Fail(entry.name + ": wrong CRC-32");
  }
  contents.entries[entry.name] = data;
  std::uint64_t end = dataAt + entry.compressedSize;
  if ((entry.flags & 8) == 0) return end;
  if (zip.U32(end) == 0x08074b50) end += 4;
  const int size = entry.zip64Sizes ? 8 : 4;
  if (zip.U32(end) != entry.crc || zip.Get(end + 4, size) != entry.compressedSize ||
      zip.Get(end + 4 + size, size) != entry.size) {
    Fail(entry.name + ": the data descriptor disagrees with the directory");
  }
  return end + 4 + 2 * size;
}

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

void AppendUtf8(std::string& out, std::uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool AllowedInXml(std::uint32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c != 0xFFFE && c != 0xFFFF);
}

// Entities and character references; raw characters XML 1.0 forbids are errors.
std::string DecodeXml(const std::string& xml) {
  std::string out;
  for (std::size_t at = 0; at < xml.size(); ++at) {
    const auto c = static_cast<unsigned char>(xml[at]);
    if (c == '<') Fail("a raw < in character data");
    if (c < 0x20 && !AllowedInXml(c)) Fail("a raw control character in character data");
    if (c == 0xEF && xml.compare(at, 2, "\xEF\xBF") == 0 && at + 2 < xml.size() &&
        (static_cast<unsigned char>(xml[at + 2]) & 0xFE) == 0xBE) {
      Fail("a raw U+FFFE or U+FFFF in character data");
    }
    if (c != '&') {
      out += xml[at];
      continue;
    }
    const std::size_t semicolon = xml.find(';', at);
    if (semicolon == std::string::npos) Fail("an unterminated entity");
    const std::string name = xml.substr(at + 1, semicolon - at - 1);
    static const std::map<std::string, char> kNamed = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    if (kNamed.count(name) != 0) {
      out += kNamed.at(name);
    } else if (name.size() > 1 && name[0] == '#') {
      const bool hex = name[1] == 'x';
      const auto code = static_cast<std::uint32_t>(std::stoul(name.substr(hex ? 2 : 1), nullptr, hex ? 16 : 10));
      if (!AllowedInXml(code)) Fail("a character reference to a character XML forbids");
      AppendUtf8(out, code);
    } else {
      Fail("an unknown entity &" + name + ";");
    }
    at = semicolon;
  }
  return out;
}

}  // namespace

ZipContents ReadZip(const std::string& bytes) {
  const Bytes zip(bytes);
  ZipContents contents;
  const Directory directory = ReadEnd(zip, contents);
  std::uint64_t next = 0;  // entries follow one another from the file's start
  for (const DirectoryEntry& entry : ReadDirectory(zip, directory, contents)) {
    if (entry.offset != next) Fail(entry.name + ": not where the entry before it ends");
    contents.names.push_back(entry.name);
    next = ReadEntry(zip, entry, contents);
  }
  if (next != directory.offset) Fail("the central directory is not right after the last entry");
  const std::uint64_t zip64Records = contents.zip64End ? 56 + 20 : 0;
  if (directory.offset + directory.size + zip64Records + 22 != zip.Size()) Fail("bytes after the central directory");
  return contents;
}

std::string DecodeCellText(const std::string& xml) {
  // XML's line-end handling comes first: every CR LF and lone CR written raw becomes LF.
  std::string lines;
  for (std::size_t at = 0; at < xml.size(); ++at) {
    if (xml[at] != '\r') {
      lines += xml[at];
    } else if (at + 1 == xml.size() || xml[at + 1] != '\n') {
      lines += '\n';
    }
  }
  const std::string text = DecodeXml(lines);
  std::string out;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '_' && at + 6 < text.size() && text[at + 1] == 'x' && IsHex(text[at + 2]) && IsHex(text[at + 3]) &&
        IsHex(text[at + 4]) && IsHex(text[at + 5]) && text[at + 6] == '_') {
      AppendUtf8(out, static_cast<std::uint32_t>(std::stoul(text.substr(at + 2, 4), nullptr, 16)));
      at += 6;
    } else {
      out += text[at];
    }
  }
  return out;
}

namespace {

std::string Attribute(const std::string& tag, const std::string& name) {
  const std::size_t at = tag.find(" " + name + "=\"");
  if (at == std::string::npos) return "";
  const std::size_t begin = at + name.size() + 3;
  return tag.substr(begin, tag.find('"', begin) - begin);
}

// "B12" -> column 1, row "12".
std::size_t ColumnOf(const std::string& reference, std::string& row) {
  std::size_t column = 0, at = 0;
  for (; at < reference.size() && reference[at] >= 'A' && reference[at] <= 'Z'; ++at) {
    column = column * 26 + static_cast<std::size_t>(reference[at] - 'A' + 1);
  }
  if (at == 0) Fail("a cell reference without a column: " + reference);
  row = reference.substr(at);
  return column - 1;
}

std::string Between(const std::string& xml, std::size_t& at, const std::string& open, const std::string& close) {
  if (xml.compare(at, open.size(), open) != 0) Fail("expected " + open + " at " + xml.substr(at, 40));
  const std::size_t end = xml.find(close, at + open.size());
  if (end == std::string::npos) Fail("no " + close);
  std::string inside = xml.substr(at + open.size(), end - at - open.size());
  at = end + close.size();
  return inside;
}

std::vector<std::string> ReadRow(const std::string& xml, const std::string& rowNumber) {
  std::vector<std::string> cells;
  for (std::size_t at = 0; at < xml.size();) {
    const std::size_t tagEnd = xml.find('>', at);
    if (xml.compare(at, 3, "<c ") != 0 || tagEnd == std::string::npos) Fail("expected a cell: " + xml.substr(at, 40));
    const std::string tag = xml.substr(at, tagEnd - at);
    if (Attribute(tag, "t") != "inlineStr") Fail("a cell that is not an inline string: " + tag);
    std::string cellRow;
    const std::size_t column = ColumnOf(Attribute(tag, "r"), cellRow);
    if (cellRow != rowNumber || column < cells.size()) Fail("a cell out of place: " + tag);
    cells.resize(column + 1);
    at = tagEnd + 1;
    const std::string inline_ = Between(xml, at, "<is>", "</is>");
    if (xml.compare(at, 4, "</c>") != 0) Fail("a cell with more than its inline string");
    at += 4;
    static const std::string kPreserving = "<t xml:space=\"preserve\">";
    std::size_t t = 0;
    const bool preserve = inline_.compare(0, kPreserving.size(), kPreserving) == 0;
    std::string text = Between(inline_, t, preserve ? kPreserving : "<t>", "</t>");
    if (t != inline_.size()) Fail("more than one text run in a cell");
    text = DecodeCellText(text);
    // Without xml:space="preserve" a reader may drop the blanks at either end.
    if (!preserve) {
      const std::size_t first = text.find_first_not_of(" \t\n\r");
      text = first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(" \t\n\r") - first + 1);
    }
    cells[column] = text;
  }
  return cells;
}

}  // namespace

Rows ReadSheet(const std::string& xml) {
  const std::size_t begin = xml.find("<sheetData>");
  const std::size_t end = xml.find("</sheetData>");
  if (begin == std::string::npos || end == std::string::npos) Fail("no sheetData");
  const std::string data = xml.substr(begin + 11, end - begin - 11);
  Rows rows;
  for (std::size_t at = 0; at < data.size();) {
    const std::size_t tagEnd = data.find('>', at);
    if (data.compare(at, 5, "<row ") != 0 || tagEnd == std::string::npos) {
      Fail("expected a row: " + data.substr(at, 40));
    }
    const std::string number = Attribute(data.substr(at, tagEnd - at), "r");
    if (number != std::to_string(rows.size() + 1)) Fail("row " + number + " out of place");
    const std::size_t rowEnd = data.find("</row>", tagEnd);
    if (rowEnd == std::string::npos) Fail("an unterminated row");
    rows.push_back(ReadRow(data.substr(tagEnd + 1, rowEnd - tagEnd - 1), number));
    at = rowEnd + 6;
  }
  return rows;
}
