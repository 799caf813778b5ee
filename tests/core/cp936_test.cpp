// GBK as the program reads and writes it, against what Windows gave for every
// code (tests/data/cp936-decoded.txt, written by tools/cp936_table.c). These
// tests run in the Linux and in the Windows build alike, so both builds turn
// every code into the same text and back.
#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "differences.h"
#include "text/gbk_codec.h"
#include "text/recoder.h"

namespace {

const std::string kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// A BMP character in UTF-8, written here rather than borrowed from the
// program, whose own is under test.
std::string Utf8(unsigned long c) {
  const auto byte = [](unsigned long bits) { return static_cast<char>(bits); };
  if (c < 0x80) return {byte(c)};
  if (c < 0x800) return {byte(0xC0 | c >> 6), byte(0x80 | (c & 0x3F))};
  return {byte(0xE0 | c >> 12), byte(0x80 | (c >> 6 & 0x3F)), byte(0x80 | (c & 0x3F))};
}

struct Decoded {
  std::string code;  // its bytes
  std::string text;  // the character Windows reads them as, in UTF-8; "" for none
};

// The dump's lines, "AAA1 U+E000" or "AAA1 none".
const std::vector<Decoded>& Dump() {
  static const std::vector<Decoded> dump = [] {
    std::vector<Decoded> list;
    std::ifstream in(QUIRNEL_TEST_DATA "/cp936-decoded.txt");
    for (std::string hex, character; in >> hex >> character;) {
      const unsigned long code = std::stoul(hex, nullptr, 16);
      list.push_back({code > 0xFF ? std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)}
                                  : std::string(1, static_cast<char>(code)),
                      character == "none" ? "" : Utf8(std::stoul(character.substr(2), nullptr, 16))});
    }
    return list;
  }();
  return dump;
}

TEST(Cp936, EveryCodeReadsAsOnWindows) {
  // Every code the program reads as a character: 0x80 and each lead byte with each trail byte.
  std::vector<std::string> codes = {"\x80"};
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail != 0x7F) codes.push_back({static_cast<char>(lead), static_cast<char>(trail)});
    }
  }
  ASSERT_EQ(Dump().size(), codes.size()) << "the dump names every code once";
  Recoder reader(TextEncoding::Gbk, TextEncoding::Utf8);
  std::vector<std::string> differences;
  for (std::size_t i = 0; i < codes.size(); ++i) {
    const Decoded& decoded = Dump()[i];
    ASSERT_EQ(Hex(decoded.code), Hex(codes[i])) << "the dump is in the order of the codes";
    std::string text;
    const std::size_t replaced = reader.Convert(decoded.code, text);
    const std::string expected = decoded.text.empty() ? kReplacement : decoded.text;
    if (text != expected || replaced != (decoded.text.empty() ? 1u : 0u)) {
      differences.push_back(Hex(decoded.code) + " reads as " + Hex(text) + ", Windows: " + Hex(expected));
    }
  }
  EXPECT_TRUE(differences.empty()) << FirstFew(differences);
}

// Written back, each character takes the code it was read from; a character
// no code reads as becomes '?' and is counted.
TEST(Cp936, EveryCharacterIsWrittenWithItsCodeOrAsAQuestionMark) {
  std::map<std::string, std::string> codeOf;
  for (const Decoded& decoded : Dump()) {
    if (!decoded.text.empty() && !codeOf.emplace(decoded.text, decoded.code).second) {
      ADD_FAILURE() << "two codes read as the character of UTF-8 " << Hex(decoded.text);
    }
  }
  Recoder writer(TextEncoding::Utf8, TextEncoding::Gbk);
  std::vector<std::string> differences;
  for (unsigned long c = 0x80; c <= 0xFFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;  // no character
    const auto code = codeOf.find(Utf8(c));
    const std::string expected = code != codeOf.end() ? code->second : "?";
    std::string text;
    const std::size_t replaced = writer.Convert(Utf8(c), text);
    if (text != expected || replaced != (code != codeOf.end() ? 0u : 1u)) {
      differences.push_back("UTF-8 " + Hex(Utf8(c)) + " is written as " + Hex(text) + ", expected " + Hex(expected));
    }
  }
  EXPECT_TRUE(differences.empty()) << FirstFew(differences);
}

// What does not convert: one replacement for each byte that begins no
// character, for each character the other encoding lacks. Exact conversion
// takes all or nothing.
TEST(Cp936, WhatCannotBeConvertedIsReplacedAndCounted) {
  const TextEncoding gbk = TextEncoding::Gbk, utf8 = TextEncoding::Utf8;
  const std::string r = kReplacement;
  const struct {
    TextEncoding from, to;
    std::string text, expected;
    std::size_t replaced;
    bool exact;  // whether GbkCodec converts it
  } rows[] = {
      {gbk, utf8, "\xAA\xA1\x80", "\xEE\x80\x80\xE2\x82\xAC", 0, true},      // U+E000, the euro sign
      {gbk, utf8, "\x81\x7F\x81!\xFF", r + "\x7F" + r + "!" + r, 3, false},  // bad trail bytes, 0xFF
      {gbk, utf8, "\x80\xB0", "\xE2\x82\xAC" + r, 1, false},                 // a lead byte at the end
      {utf8, gbk, "\xEE\x80\x80\xE2\x82\xAC", "\xAA\xA1\x80", 0, true},
      {utf8, gbk, "\xF0\x9F\x98\x80\xEF\xA3\xB5z", "???z", 2, false},    // beyond the BMP, U+F8F5
      {utf8, gbk, "\xC0\x80\xED\xA0\x80\xE4\xB8", "???????", 7, false},  // overlong, surrogate, cut short
      {utf8, utf8, "\xE4\xB8Z\xF5\xE2\x82\xAC", r + r + "Z" + r + "\xE2\x82\xAC", 3, false},
      {gbk, gbk, "\xAA\xA1z\x80", "\xAA\xA1z\x80", 0, true},
      {gbk, gbk, "\xFF\x81", "\xFF\x81", 0, false},  // passed through by the recoder, refused as inexact
  };
  for (const auto& row : rows) {
    std::string out = "kept";
    EXPECT_EQ(Recoder(row.from, row.to).Convert(row.text, out), row.replaced) << Hex(row.text);
    EXPECT_EQ(Hex(out), Hex("kept" + row.expected)) << Hex(row.text);
    std::string exact = "kept";
    EXPECT_EQ(GbkCodec(row.from, row.to).Convert(row.text, exact), row.exact) << Hex(row.text);
    EXPECT_EQ(Hex(exact), Hex(row.exact ? "kept" + row.expected : "kept")) << Hex(row.text);
  }
}

}  // namespace
