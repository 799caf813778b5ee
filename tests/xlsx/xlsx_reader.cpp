#include "xlsx_reader.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <stdexcept>

namespace {

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what); }

constexpr std::uint64_t kNo32 = 0xFFFFFFFF;

std::string Text(const std::string& bytes, std::uint64_t at, std::uint64_t size) {
  if (at > bytes.size() || size > bytes.size() - at) Fail("read past the end of the file");
  return bytes.substr(at, size);
}

// A little-endian number of `size` bytes.
std::uint64_t Get(const std::string& bytes, std::uint64_t at, int size) {
  const std::string field = Text(bytes, at, static_cast<std::uint64_t>(size));
  std::uint64_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(field[i]);
  return value;
}

std::string Inflate(const std::string& compressed, std::uint64_t size, const std::string& name) {
  z_stream stream{};
  if (inflateInit2(&stream, -15) != Z_OK) Fail("inflateInit2");
  std::string data(size, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
  stream.avail_in = static_cast<uInt>(compressed.size());
  stream.next_out = reinterpret_cast<Bytef*>(data.data());
  stream.avail_out = static_cast<uInt>(data.size());
  const bool whole = inflate(&stream, Z_FINISH) == Z_STREAM_END && stream.avail_in == 0 && stream.avail_out == 0;
  inflateEnd(&stream);
  if (!whole) Fail(name + ": the deflate data does not hold exactly its size");
  return data;
}

void AppendUtf8(std::string& out, std::uint32_t c) {
  if (c < 0x80) return out.push_back(static_cast<char>(c));
  const int more = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;  // continuation bytes
  out += static_cast<char>((0xFF80 >> more & 0xFF) | c >> 6 * more);
  for (int i = more - 1; i >= 0; --i) out += static_cast<char>(0x80 | (c >> 6 * i & 0x3F));
}

// XML character data as a spreadsheet reads it: every CR LF and lone CR
// written raw becomes LF, then the named entities, then _xHHHH_ forms. Raw
// characters XML 1.0 forbids are errors.
std::string CellText(const std::string& xml) {
  std::string text, out;
  for (std::size_t at = 0; at < xml.size(); ++at) {
    const auto c = static_cast<unsigned char>(xml[at]);
    if (c == '<' || (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || xml.compare(at, 3, "\xEF\xBF\xBE") == 0 ||
        xml.compare(at, 3, "\xEF\xBF\xBF") == 0) {
      Fail("a character XML forbids in character data: " + xml.substr(at, 3));
    }
    if (c == '\r') {
      if (xml.compare(at + 1, 1, "\n") != 0) text += '\n';
    } else if (c != '&') {
      text += xml[at];
    } else {
      const std::size_t semicolon = xml.find(';', at);
      static const std::map<std::string, char> kNamed = {
          {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
      const auto named = kNamed.find(xml.substr(at + 1, semicolon - at - 1));
      if (semicolon == std::string::npos || named == kNamed.end()) Fail("an unknown entity: " + xml.substr(at, 12));
      text += named->second;
      at = semicolon;
    }
  }
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text.compare(at, 2, "_x") == 0 && text.find_first_not_of("0123456789ABCDEFabcdef", at + 2) == at + 6 &&
        text.compare(at + 6, 1, "_") == 0) {
      AppendUtf8(out, static_cast<std::uint32_t>(std::stoul(text.substr(at + 2, 4), nullptr, 16)));
      at += 6;
    } else {
      out += text[at];
    }
  }
  return out;
}

// What stands between open, which must be at `at`, and close; `at` moves past close.
std::string Take(const std::string& xml, std::size_t& at, const std::string& open, const std::string& close) {
  if (xml.compare(at, open.size(), open) != 0) Fail("expected " + open + " at " + xml.substr(at, 40));
  const std::size_t end = xml.find(close, at + open.size());
  if (end == std::string::npos) Fail("no " + close + " after " + xml.substr(at, 40));
  std::string inside = xml.substr(at + open.size(), end - at - open.size());
  at = end + close.size();
  return inside;
}

}  // namespace

const std::string& ZipContents::Entry(const std::string& name) const {
  for (const auto& entry : entries) {
    if (entry.first == name) return entry.second;
  }
  Fail("no entry " + name);
}

ZipContents ReadZip(const std::string& zip) {
  const auto u16 = [&zip](std::uint64_t at) { return Get(zip, at, 2); };
  const auto u32 = [&zip](std::uint64_t at) { return Get(zip, at, 4); };
  const auto u64 = [&zip](std::uint64_t at) { return Get(zip, at, 8); };
  ZipContents contents;
  if (zip.size() < 22) Fail("too short for a ZIP file");
  const std::uint64_t end = zip.size() - 22;  // the writer adds no comment
  if (u32(end) != 0x06054b50) Fail("no end of central directory record");
  std::uint64_t count = u16(end + 10), directorySize = u32(end + 12), directory = u32(end + 16);
  contents.zip64End = end >= 20 && u32(end - 20) == 0x07064b50;
  if (contents.zip64End) {
    const std::uint64_t record = u64(end - 12);
    if (u32(record) != 0x06064b50 || record + 56 != end - 20) Fail("no ZIP64 end record right before its locator");
    if ((count != 0xFFFF && count != u64(record + 32)) ||
        (directorySize != kNo32 && directorySize != u64(record + 40)) ||
        (directory != kNo32 && directory != u64(record + 48))) {
      Fail("the end record and the ZIP64 end record disagree");
    }
    count = u64(record + 32), directorySize = u64(record + 40), directory = u64(record + 48);
  } else if (count == 0xFFFF || directorySize == kNo32 || directory == kNo32) {
    Fail("a ZIP64 value without the ZIP64 end record");
  }
  std::uint64_t at = directory, next = 0;  // entries follow one another from the file's start
  for (std::uint64_t i = 0; i < count; ++i) {
    if (u32(at) != 0x02014b50) Fail("a central directory header without its signature");
    const std::uint64_t flags = u16(at + 8), method = u16(at + 10), crc = u32(at + 16), nameLength = u16(at + 28);
    std::uint64_t compressedSize = u32(at + 20), size = u32(at + 24), local = u32(at + 42);
    const std::string name = Text(zip, at + 46, nameLength);
    const bool zip64Sizes = size == kNo32 || compressedSize == kNo32, zip64 = zip64Sizes || local == kNo32;
    // The ZIP64 extra field holds, in order, the values whose 32-bit fields say 0xFFFFFFFF.
    const std::uint64_t extraEnd = at + 46 + nameLength + u16(at + 30);
    for (std::uint64_t extra = at + 46 + nameLength; extra < extraEnd; extra += 4 + u16(extra + 2)) {
      if (u16(extra) != 1) continue;
      std::uint64_t field = extra + 4;
      for (std::uint64_t* value : {&size, &compressedSize, &local}) {
        if (*value == kNo32) *value = u64(field), field += 8;
      }
      if (field != extra + 4 + u16(extra + 2)) Fail(name + ": a ZIP64 extra field of the wrong length");
    }
    if (zip64) contents.zip64Entries.push_back(name);
    if (zip64 != (u16(at + 6) == 45)) Fail(name + ": version needed does not match its ZIP64 use");
    at = extraEnd + u16(at + 32);
    // The local header, the data and its data descriptor.
    if (local != next) Fail(name + ": not where the entry before it ends");
    if (u32(local) != 0x04034b50 || u16(local + 6) != flags || u16(local + 8) != method || method != 8 ||
        Text(zip, local + 30, u16(local + 26)) != name) {
      Fail(name + ": the local header and the directory disagree, or the data is not deflated");
    }
    const std::uint64_t dataAt = local + 30 + u16(local + 26) + u16(local + 28);
    contents.entries.emplace_back(name, Inflate(Text(zip, dataAt, compressedSize), size, name));
    const std::string& data = contents.entries.back().second;
    if (crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())) != crc) {
      Fail(name + ": wrong CRC-32");
    }
    next = dataAt + compressedSize;
    if ((flags & 8) == 0) continue;
    if (u32(next) == 0x08074b50) next += 4;
    const int bytes = zip64Sizes ? 8 : 4;
    if (u32(next) != crc || Get(zip, next + 4, bytes) != compressedSize || Get(zip, next + 4 + bytes, bytes) != size) {
      Fail(name + ": the data descriptor disagrees with the directory");
    }
    next += 4 + 2 * bytes;
  }
  if (at != directory + directorySize) Fail("the central directory is not the size the end record says");
  if (next != directory) Fail("the central directory is not right after the last entry");
  if (at + (contents.zip64End ? 56 + 20 : 0) + 22 != zip.size()) Fail("bytes after the central directory");
  return contents;
}

std::vector<Element> Elements(const std::string& xml, const std::string& name) {
  std::vector<Element> elements;
  for (std::size_t at = xml.find("<" + name); at != std::string::npos; at = xml.find("<" + name, at + 1)) {
    const std::size_t end = xml.find('>', at);
    const std::string tag = xml.substr(at + 1 + name.size(), end - at - 1 - name.size());     // ` a="1" b="2"/`
    if (end == std::string::npos || (!tag.empty() && tag[0] != ' ' && tag != "/")) continue;  // another name
    Element& element = elements.emplace_back();
    for (std::size_t equals = tag.find("=\""); equals != std::string::npos; equals = tag.find("=\"", equals + 2)) {
      const std::size_t start = tag.rfind(' ', equals) + 1, close = tag.find('"', equals + 2);
      element[tag.substr(start, equals - start)] = tag.substr(equals + 2, close - equals - 2);
    }
    if (tag.empty() || tag.back() != '/') element[""] = xml.substr(end + 1, xml.find("</" + name + ">", end) - end - 1);
  }
  return elements;
}

Rows ReadSheet(const std::string& xml) {
  std::size_t at = xml.find("<sheetData>");
  if (at == std::string::npos) Fail("no sheetData");
  at += 11;
  Rows rows;
  while (xml.compare(at, 5, "<row ") == 0) {
    const std::string number = std::to_string(rows.size() + 1);
    if (Take(xml, at, "<row ", ">") != "r=\"" + number + "\"") Fail("row " + number + " out of place");
    std::vector<std::string>& cells = rows.emplace_back();
    while (xml.compare(at, 3, "<c ") == 0) {
      // ` r="B12" t="inlineStr"`: every cell with its reference, which
      // Gnumeric needs.
      const std::string tag = Take(xml, at, "<c", ">");
      std::size_t column = 0, letters = 0;
      if (tag.compare(0, 4, " r=\"") != 0) Fail("a cell without its reference: " + tag);
      for (letters = 4; letters < tag.size() && tag[letters] >= 'A' && tag[letters] <= 'Z'; ++letters) {
        column = column * 26 + static_cast<std::size_t>(tag[letters] - 'A' + 1);
      }
      if (tag.compare(letters, number.size() + 1, number + "\"") != 0) Fail("a cell of another row: " + tag);
      letters += number.size() + 1;
      const bool wrapped = tag.substr(letters) == " s=\"1\" t=\"inlineStr\"";
      if ((!wrapped && tag.substr(letters) != " t=\"inlineStr\"") || column <= cells.size()) {
        Fail("a cell out of place, or not an inline string: " + tag);
      }
      cells.resize(column);
      const std::string inlineString = Take(xml, at, "<is>", "</is></c>");
      static const std::string kPreserving = "<t xml:space=\"preserve\">";
      const bool preserve = inlineString.compare(0, kPreserving.size(), kPreserving) == 0;
      std::size_t t = 0;
      std::string text = CellText(Take(inlineString, t, preserve ? kPreserving : "<t>", "</t>"));
      if (t != inlineString.size()) Fail("more than one text run in a cell");
      if (!preserve) {  // a reader may then drop the blanks at either end
        const std::size_t first = text.find_first_not_of(" \t\n\r");
        text = first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(" \t\n\r") - first + 1);
      }
      if (text.empty()) Fail("an element for an empty cell: " + tag);
      if (wrapped != (text.find('\n') != std::string::npos))
        Fail("a line break without style 1, or style 1 without one: " + tag);
      cells.back() = text;
    }
    Take(xml, at, "</row>", "");
  }
  Take(xml, at, "</sheetData>", "");
  return rows;
}
