#include "text/cp936.h"

#include <memory>

namespace cp936 {

namespace {

// Windows writes every character of the table with the code it came from
// (the generator checks it), so turning the table round is all it takes.
std::unique_ptr<EncodeTable> TurnedRound() {
  auto codes = std::make_unique<EncodeTable>();  // zeroed: no code
  for (std::size_t lead = 0; lead < kLeads; ++lead) {
    for (std::size_t trail = 0; trail < kTrails; ++trail) {
      const std::uint16_t character = kDecode[lead * kTrails + trail];
      const auto code = static_cast<std::uint16_t>((kFirstLead + lead) << 8 | (kFirstTrail + trail));
      if (character != 0) (*codes)[character] = code;
    }
  }
  (*codes)[kByte80] = 0x80;
  return codes;
}

// The UTF-8 of a BMP character above ASCII, packed as the table holds it.
std::uint32_t PackedUtf8(std::uint32_t unit) {
  if (unit == 0) return 0;
  if (unit < 0x800) return 2u << 24 | (0x80 | (unit & 0x3F)) << 8 | (0xC0 | unit >> 6);
  return 3u << 24 | (0x80 | (unit & 0x3F)) << 16 | (0x80 | (unit >> 6 & 0x3F)) << 8 | (0xE0 | unit >> 12);
}

std::unique_ptr<Utf8Table> Utf8OfEveryCode() {
  auto table = std::make_unique<Utf8Table>();  // zeroed: no character, as at kNoCodeIndex
  for (std::size_t index = 0; index < kByte80Index; ++index) (*table)[index] = PackedUtf8(kDecode[index]);
  (*table)[kByte80Index] = PackedUtf8(kByte80);
  return table;
}

}  // namespace

const Utf8Table& Utf8Decoding() {
  static const std::unique_ptr<Utf8Table> table = Utf8OfEveryCode();
  return *table;
}

const EncodeTable& Encoding() {
  static const std::unique_ptr<EncodeTable> codes = TurnedRound();
  return *codes;
}

}  // namespace cp936
