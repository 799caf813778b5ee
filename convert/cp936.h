#pragma once
// Code page 936 (GBK, with the euro sign at 0x80) exactly as Windows converts
// it, the same in every build: the makers of the record files used Windows,
// and a file must read the same wherever it is converted. One table,
// generated from Windows (cp936_table.cpp), read in both directions.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace cp936 {

constexpr unsigned kFirstLead = 0x81, kLastLead = 0xFE;
constexpr unsigned kFirstTrail = 0x40, kLastTrail = 0xFE;
constexpr std::size_t kLeads = kLastLead - kFirstLead + 1;
constexpr std::size_t kTrails = kLastTrail - kFirstTrail + 1;

// The character of the single byte 0x80, and of each two-byte code by lead
// byte and then trail byte (0 where there is none).
extern const std::uint16_t kByte80;
extern const std::uint16_t kDecode[kLeads * kTrails];

constexpr bool IsLead(unsigned char c) { return c >= kFirstLead && c <= kLastLead; }
constexpr bool IsTrail(unsigned char c) { return c >= kFirstTrail && c <= kLastTrail && c != 0x7F; }

// One character of GBK text: its UTF-16 unit (0 when the bytes are none) and
// how many bytes it takes.
struct Character {
  char16_t unit;
  std::size_t length;
};

// The character that begins at text[at], a byte above ASCII: a lead byte
// with its trail byte, or one byte on its own (0x80, or a byte that is no
// character).
inline Character CharacterAt(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (IsLead(lead) && text.size() - at >= 2) {
    const auto trail = static_cast<unsigned char>(text[at + 1]);
    if (IsTrail(trail)) {
      const std::size_t index = (lead - kFirstLead) * kTrails + (trail - kFirstTrail);
      return {static_cast<char16_t>(kDecode[index]), 2};
    }
  }
  return {static_cast<char16_t>(lead == 0x80 ? kByte80 : 0), 1};
}

// The GBK code of every BMP character above ASCII: 0x80, a two-byte code
// (lead byte high), or 0 when it has none. Only exact round trips: the
// decode table turned round.
using EncodeTable = std::array<std::uint16_t, 0x10000>;
const EncodeTable& Encoding();

}  // namespace cp936
