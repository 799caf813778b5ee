#include "cp936.h"

#include <memory>

#include "text_encoding.h"

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

std::uint32_t PackedUtf8(std::uint16_t unit) {
  if (unit == 0) return 0;
  char bytes[3] = {};
  const auto length = static_cast<std::uint32_t>(WriteUtf8(static_cast<char16_t>(unit), bytes) - bytes);
  std::uint32_t packed = length << 24;
  for (std::uint32_t i = 0; i < length; ++i) {
    packed |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
  }
  return packed;
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
