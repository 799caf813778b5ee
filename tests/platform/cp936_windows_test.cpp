// The program's code page 936 against the system's own conversion, for every
// byte and code it reads and every BMP character it writes: the table was
// generated from Windows, and a regenerated or edited one must not drift.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "differences.h"
#include "text/cp936.h"

namespace {

constexpr UINT kGbk = 936;

std::string HexOf(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "%04X", value);
  return text;
}

TEST(Cp936OnWindows, EveryCodeReadsAsWindowsReadsIt) {
  std::vector<std::string> differences;
  const auto compare = [&differences](const std::string& bytes) {
    // The one UTF-16 unit Windows reads the bytes as; 0 when it refuses them.
    wchar_t wide[4];
    const int n =
        MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), wide, 4);
    const unsigned windows = n == 1 ? wide[0] : 0, program = cp936::CharacterAt(bytes, 0).unit;
    if (program != windows) {
      differences.push_back(Hex(bytes) + ": the program reads U+" + HexOf(program) + ", Windows U+" + HexOf(windows));
    }
  };
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    compare(std::string(1, static_cast<char>(lead)));
    for (int trail = 0x40; trail <= 0xFE && cp936::IsLead(static_cast<unsigned char>(lead)); ++trail) {
      if (trail != 0x7F) compare({static_cast<char>(lead), static_cast<char>(trail)});
    }
  }
  EXPECT_TRUE(differences.empty()) << FirstFew(differences);
}

TEST(Cp936OnWindows, EveryCharacterIsWrittenAsWindowsWritesIt) {
  std::vector<std::string> differences;
  for (unsigned c = 0x80; c <= 0xFFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;  // half a surrogate pair is no character
    const wchar_t wide = static_cast<wchar_t>(c);
    unsigned char bytes[4] = {};
    BOOL usedDefault = FALSE;
    const int n =
        WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, &wide, 1, reinterpret_cast<char*>(bytes), 4, "?", &usedDefault);
    // The code (lead byte high), or 0 without an exact form. Windows writes
    // U+F8F5 as the byte 0xFF, which neither it nor the program reads back
    // (MB_ERR_INVALID_CHARS refuses it): the program writes '?' for it.
    unsigned windows = usedDefault || n <= 0 || n > 2 ? 0 : n == 1 ? bytes[0] : bytes[0] << 8 | bytes[1];
    if (c == 0xF8F5 && windows == 0xFF) windows = 0;
    if (cp936::Encoding()[c] != windows) {
      differences.push_back("U+" + HexOf(c) + ": the program writes " + HexOf(cp936::Encoding()[c]) + ", Windows " +
                            HexOf(windows));
    }
  }
  EXPECT_TRUE(differences.empty()) << FirstFew(differences);
}

}  // namespace
