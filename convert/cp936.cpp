#include "cp936.h"

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

}  // namespace

const EncodeTable& Encoding() {
  static const std::unique_ptr<EncodeTable> codes = TurnedRound();
  return *codes;
}

}  // namespace cp936
