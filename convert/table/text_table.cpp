#include "table/text_table.h"

#include <cstring>

namespace {
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Whether bytes are the start of a UTF-8 character that the end of the
// bytes read has cut.
bool IsCutCharacter(std::string_view tail) {
  const auto lead = static_cast<unsigned char>(tail[0]);
  const std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (tail.size() >= length) return false;
  for (std::size_t i = 1; i < tail.size(); ++i) {
    if ((static_cast<unsigned char>(tail[i]) & 0xC0) != 0x80) return false;
  }
  return true;
}

// Whether a file's first bytes say UTF-8: a byte order mark, and valid
// UTF-8 after it up to the first line break. GBK text can begin with the
// same three bytes (U+9518 and a byte of the next character), but the rest of
// its line then gives it away. When the line goes on past the bytes read,
// they may end inside a character.
bool BeginsAsUtf8(std::string_view first, bool moreFollow) {
  if (first.substr(0, kByteOrderMark.size()) != kByteOrderMark) return false;
  const std::string_view rest = first.substr(kByteOrderMark.size());
  const std::size_t lineEnd = rest.find_first_of("\r\n");
  const std::string_view line = rest.substr(0, lineEnd);
  for (std::size_t at = 0; at < line.size();) {
    const std::size_t length = Utf8SequenceAt(line, at);
    if (length == 0) return lineEnd == std::string_view::npos && moreFollow && IsCutCharacter(line.substr(at));
    at += length;
  }
  return true;
}
}  // namespace

TextTable::TextTable(std::unique_ptr<OutputFile> file, TextEncoding encoding, bool wholeFile)
    : file_(std::move(file)), encoding_(encoding), wholeFile_(wholeFile), committed_(file_->SizeBefore()) {}

// One file never mixes two encodings: UTF-8 output begins a new or empty
// file with a byte order mark (Excel reads it as UTF-8 then) and goes only
// where a file begins as UTF-8; GBK output never goes there. A file that ends inside a
// line (an earlier run killed, or a disk that filled under another program)
// gets its line ended first, so that its last row never swallows this run's
// header.
std::optional<Failure> TextTable::Refusal(const std::string& path) {
  const std::optional<std::string> first = file_->FirstBytes();
  const bool utf8 = encoding_ == TextEncoding::Utf8;
  // A file one may write but not read could hold either encoding.
  if (!first) {
    if (file_->Created()) return std::nullopt;
    return FileFailure(Failure::Kind::EncodingUnknown, path);
  }
  const bool marked = BeginsAsUtf8(*first, first->size() == OutputFile::kEdgeBytes);
  if (!first->empty() && marked != utf8) {
    Failure mixed = FileFailure(Failure::Kind::MixedEncodings, path);
    mixed.encoding = encoding_;
    return mixed;
  }
  if (utf8 && first->empty()) {
    buffer_.Reserve(kByteOrderMark.size());
    buffer_.Append(kByteOrderMark);
  }
  const std::optional<std::string> last = file_->LastBytes();
  const bool onlyTheMark = file_->SizeBefore() == kByteOrderMark.size() && last == kByteOrderMark;
  if (last && !last->empty() && last->back() != '\n' && !onlyTheMark) {
    buffer_.Reserve(2);
    buffer_.Append(last->back() == '\r' ? "\n" : "\r\n");
  }
  return std::nullopt;
}

void TextTable::Header(const std::vector<std::string>& cells) {
  for (const std::string& cell : cells) {
    Add(cell, false);
    EndCell();
  }
  buffer_.EndLine();
}

// Writes the complete lines gathered so far. The file then ends with a whole
// line again.
bool TextTable::Flush() {
  const std::string_view lines = buffer_.Lines();
  if (lines.empty()) return true;
  if (!file_->Write(lines.data(), lines.size())) return false;
  committed_ += lines.size();
  keptRecords_ = rows_;
  buffer_.Clear();
  return true;
}

bool TextTable::Finish() { return Flush() && file_->Close(); }

std::int64_t TextTable::Abandon() {
  if (wholeFile_ || (keptRecords_ == 0 && file_->Created())) {
    file_->Discard();
    return 0;
  }
  file_->Truncate(keptRecords_ > 0 ? committed_ : file_->SizeBefore());
  file_->Close();
  return keptRecords_;
}
