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

// Where the character that begins at text[at], a byte above ASCII, is in the
// tables, and how many bytes it takes: a lead byte with its trail byte, or
// one byte on its own (0x80, or a byte that begins no character).
struct Code {
  std::size_t index;
  std::size_t length;
};
constexpr std::size_t kByte80Index = kLeads * kTrails;
constexpr std::size_t kNoCodeIndex = kByte80Index + 1;

inline Code CodeAt(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (IsLead(lead) && text.size() - at >= 2) {
    const auto trail = static_cast<unsigned char>(text[at + 1]);
    if (IsTrail(trail)) return {(lead - kFirstLead) * kTrails + (trail - kFirstTrail), 2};
  }
  return {lead == 0x80 ? kByte80Index : kNoCodeIndex, 1};
}

// The UTF-16 unit of the character at text[at], a byte above ASCII (0 when
// the bytes are none), and its length.
struct Character {
  char16_t unit;
  std::size_t length;
};

inline Character CharacterAt(std::string_view text, std::size_t at) {
  const Code code = CodeAt(text, at);
  const std::uint16_t unit = code.index < kByte80Index ? kDecode[code.index] : code.index == kByte80Index ? kByte80 : 0;
  return {static_cast<char16_t>(unit), code.length};
}

// The UTF-8 of every code by its index: up to three bytes, the first in the
// lowest byte, and their count in the highest; 0 where there is no
// character. Built once from the decode table, for the text that is
// converted most: GBK records into UTF-8.
using Utf8Table = std::array<std::uint32_t, kNoCodeIndex + 1>;
const Utf8Table& Utf8Decoding();

// The GBK code of every BMP character above ASCII: 0x80, a two-byte code
// (lead byte high), or 0 when it has none. Only exact round trips: the
// decode table turned round.
using EncodeTable = std::array<std::uint16_t, 0x10000>;
const EncodeTable& Encoding();

}  // namespace cp936
