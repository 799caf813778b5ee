#include "text/encoding_evidence.h"

#include <cstdint>
#include <cstring>

#include "text/cp936.h"
#include "text/text_encoding.h"

namespace {

constexpr std::size_t kEnoughLongCharacters = 8;  // UTF-8 characters of three or more bytes

// The first byte above ASCII at or after from, or the text's size; eight
// bytes at a time, for the long runs of ASCII in every record.
std::size_t FirstNonAscii(std::string_view text, std::size_t from) {
  while (from + 8 <= text.size()) {
    std::uint64_t eight;
    std::memcpy(&eight, text.data() + from, 8);
    if ((eight & 0x8080808080808080u) != 0) break;
    from += 8;
  }
  while (from < text.size() && static_cast<unsigned char>(text[from]) < 0x80) ++from;
  return from;
}

// What the bytes above ASCII make as UTF-8: the characters of three or more
// bytes, and the bytes that lie outside any valid sequence. Stops at the
// first such byte when asked to (where GBK text soon has one).
struct Utf8Evidence {
  std::size_t high = 0;
  std::size_t stray = 0;
  std::size_t longCharacters = 0;
};

// The characters in the run at `at` of three-byte characters led by E1-EC,
// nearly all of Chinese in UTF-8, whose second byte needs no range check of
// its own; at moves past them. Every record declared UTF-8 is read whole
// through here, so it is kept to a few instructions a character.
std::size_t SkipThreeByteRun(const unsigned char* bytes, std::size_t size, std::size_t& at) {
  std::size_t next = at;  // a local, so that the loop keeps it in a register
  while (size - next >= 3 && static_cast<unsigned char>(bytes[next] - 0xE1) <= 0x0B &&
         ((bytes[next + 1] & 0xC0) | (bytes[next + 2] >> 6)) == 0x82) {
    next += 3;
  }
  const std::size_t count = (next - at) / 3;
  at = next;
  return count;
}

Utf8Evidence ScanUtf8(std::string_view data, bool stopAtStray) {
  Utf8Evidence evidence;
  const auto* const bytes = reinterpret_cast<const unsigned char*>(data.data());
  const std::size_t size = data.size();
  for (std::size_t at = 0; at < size;) {
    if (bytes[at] < 0x80) {
      at = FirstNonAscii(data, at + 1);
      continue;
    }
    const std::size_t run = SkipThreeByteRun(bytes, size, at);
    if (run > 0) {
      evidence.high += 3 * run;
      evidence.longCharacters += run;
      continue;
    }
    const std::size_t length = Utf8SequenceAt(data, at);
    if (length == 0) {
      ++evidence.stray;
      ++evidence.high;
      if (stopAtStray) break;
      ++at;
      continue;
    }
    evidence.high += length;
    evidence.longCharacters += length >= 3;
    at += length;
  }
  return evidence;
}

}  // namespace

// Valid UTF-8 throughout, with at least eight characters of three or more bytes.
bool IsPlainlyUtf8(std::string_view data) {
  const Utf8Evidence evidence = ScanUtf8(data, true);
  return evidence.stray == 0 && evidence.longCharacters >= kEnoughLongCharacters;
}

// More than one in ten of the bytes above ASCII lie outside valid UTF-8 sequences.
bool IsMostlyNotUtf8(std::string_view data) {
  const Utf8Evidence evidence = ScanUtf8(data, false);
  return evidence.stray * 10 > evidence.high;
}

// Every byte above ASCII belongs to a character of code page 936.
bool IsValidGbk(std::string_view data) {
  for (std::size_t at = FirstNonAscii(data, 0); at < data.size(); at = FirstNonAscii(data, at)) {
    const cp936::Character character = cp936::CharacterAt(data, at);
    if (character.unit == 0) return false;
    at += character.length;
  }
  return true;
}
