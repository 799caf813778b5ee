#include "text/gbk_codec.h"

#include "text/cp936.h"

namespace {

bool IsValidGbk(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      ++at;
      continue;
    }
    const cp936::Character character = cp936::CharacterAt(text, at);
    if (character.unit == 0) return false;
    at += character.length;
  }
  return true;
}

}  // namespace

GbkCodec::GbkCodec(TextEncoding from, TextEncoding to)
    : gbkToGbk_(from == TextEncoding::Gbk && to == TextEncoding::Gbk), recoder_(from, to) {}

// The recoder replaces what cannot be converted and counts it: any count at
// all means the text has no exact form.
bool GbkCodec::Convert(std::string_view text, std::string& out) {
  if (gbkToGbk_) {  // the recoder passes GBK through unchecked
    if (!IsValidGbk(text)) return false;
    out += text;
    return true;
  }
  const std::size_t before = out.size();
  if (recoder_.Convert(text, out) == 0) return true;
  out.resize(before);
  return false;
}
