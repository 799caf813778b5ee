// The program's code page 936 against the system's own conversion, for every
// byte and code it reads and every BMP character it writes: the table was
// generated from Windows, and a regenerated or edited one must not drift.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cp936.h"
#include "differences.h"

namespace {

constexpr UINT kGbk = 936;

// Windows writes U+F8F5 as the byte 0xFF, which neither it nor the program
// reads back (MB_ERR_INVALID_CHARS refuses it): not an exact form, so the
// program writes '?'.
constexpr char16_t kWrittenWithoutRoundTrip = 0xF8F5;
constexpr unsigned kItsByte = 0xFF;

// The one UTF-16 unit Windows reads the bytes as; 0 when it refuses them.
char16_t WindowsReads(const std::string& bytes) {
  wchar_t wide[4];
  const int n = MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), wide, 4);
  return n == 1 ? static_cast<char16_t>(wide[0]) : 0;
}

// The code Windows writes the character with (a two-byte code with its lead
// byte high); 0 when it has no exact form.
unsigned WindowsWrites(char16_t character) {
  const wchar_t wide = static_cast<wchar_t>(character);
  unsigned char bytes[4] = {};
  BOOL usedDefault = FALSE;
  const int n =
      WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, &wide, 1, reinterpret_cast<char*>(bytes), 4, "?", &usedDefault);
  if (usedDefault || n <= 0 || n > 2) return 0;
  return n == 1 ? bytes[0] : static_cast<unsigned>(bytes[0] << 8 | bytes[1]);
}

std::string HexOf(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "%04X", value);
  return text;
}

void Compare(const std::string& bytes, Differences& differences) {
  const char16_t program = cp936::CharacterAt(bytes, 0).unit;
  const char16_t windows = WindowsReads(bytes);
  if (program != windows) {
    differences.Add(Hex(bytes) + ": the program reads U+" + HexOf(program) + ", Windows U+" + HexOf(windows));
  }
}

TEST(Cp936OnWindows, EveryCodeReadsAsWindowsReadsIt) {
  Differences differences;
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    Compare(std::string(1, static_cast<char>(lead)), differences);
    if (!cp936::IsLead(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail != 0x7F) Compare({static_cast<char>(lead), static_cast<char>(trail)}, differences);
    }
  }
  EXPECT_EQ(differences.Count(), 0u) << differences;
}

TEST(Cp936OnWindows, EveryCharacterIsWrittenAsWindowsWritesIt) {
  const cp936::EncodeTable& codes = cp936::Encoding();
  Differences differences;
  for (unsigned c = 0x80; c <= 0xFFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;  // half a surrogate pair is no character
    const unsigned windows = WindowsWrites(static_cast<char16_t>(c));
    if (c == kWrittenWithoutRoundTrip) {
      EXPECT_EQ(windows, kItsByte);
      EXPECT_EQ(codes[c], 0);
    } else if (codes[c] != windows) {
      differences.Add("U+" + HexOf(c) + ": the program writes " + HexOf(codes[c]) + ", Windows " + HexOf(windows));
    }
  }
  EXPECT_EQ(differences.Count(), 0u) << differences;
}

}  // namespace
