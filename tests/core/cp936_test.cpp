// GBK as the program reads and writes it, against what Windows gave for every
// code (tests/data/cp936-decoded.txt, written by tools/cp936_table.c). These
// tests run in the Linux and in the Windows build alike, so both builds turn
// every code into the same text and back.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>

#include "differences.h"
#include "gbk_codec.h"
#include "recoder.h"

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// A BMP character in UTF-8, written here rather than borrowed from the
// program, whose own is under test.
std::string Utf8(char32_t c) {
  const auto byte = [](char32_t bits) { return static_cast<char>(bits); };
  if (c < 0x80) return {byte(c)};
  if (c < 0x800) return {byte(0xC0 | c >> 6), byte(0x80 | (c & 0x3F))};
  return {byte(0xE0 | c >> 12), byte(0x80 | (c >> 6 & 0x3F)), byte(0x80 | (c & 0x3F))};
}

// The list's lines, "AAA1 U+E000" or "AAA1 none": the bytes of each code and
// the character Windows reads them as.
struct Decoded {
  std::string code;
  std::optional<char32_t> character;
};

std::vector<Decoded> ReadDecodedList() {
  std::ifstream in(std::string(QUIRNEL_TEST_DATA) + "/cp936-decoded.txt");
  std::vector<Decoded> list;
  std::string hex, character;
  while (in >> hex >> character) {
    const unsigned long number = std::stoul(hex, nullptr, 16);
    Decoded decoded;
    if (number > 0xFF) decoded.code += static_cast<char>(number >> 8);
    decoded.code += static_cast<char>(number & 0xFF);
    if (character != "none") decoded.character = static_cast<char32_t>(std::stoul(character.substr(2), nullptr, 16));
    list.push_back(decoded);
  }
  return list;
}

// Every code the program reads as a character: 0x80 and each lead byte with each trail byte.
std::vector<std::string> EveryCode() {
  std::vector<std::string> codes = {"\x80"};
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail != 0x7F) codes.push_back({static_cast<char>(lead), static_cast<char>(trail)});
    }
  }
  return codes;
}

const std::vector<Decoded>& DecodedList() {
  static const std::vector<Decoded> list = ReadDecodedList();
  return list;
}

TEST(Cp936, EveryCodeReadsAsOnWindows) {
  const std::vector<std::string> codes = EveryCode();
  ASSERT_EQ(DecodedList().size(), codes.size()) << "the list names every code once";
  Recoder reader(TextEncoding::Gbk, TextEncoding::Utf8);
  Differences differences;
  for (std::size_t i = 0; i < codes.size(); ++i) {
    const Decoded& decoded = DecodedList()[i];
    ASSERT_EQ(Hex(decoded.code), Hex(codes[i])) << "the list is in the order of the codes";
    std::string text;
    const std::size_t replaced = reader.Convert(decoded.code, text);
    const std::string expected = decoded.character ? Utf8(*decoded.character) : std::string(kReplacement);
    if (text != expected || replaced != (decoded.character ? 0u : 1u)) {
      differences.Add(Hex(decoded.code) + " reads as " + Hex(text) + ", Windows: " + Hex(expected));
    }
  }
  EXPECT_EQ(differences.Count(), 0u) << differences;
}

// Written back, each character takes the code it was read from; a character
// no code reads as becomes '?' and is counted.
TEST(Cp936, EveryCharacterIsWrittenWithItsCodeOrAsAQuestionMark) {
  std::map<char32_t, std::string> codeOf;
  for (const Decoded& decoded : DecodedList()) {
    if (decoded.character && !codeOf.emplace(*decoded.character, decoded.code).second) {
      ADD_FAILURE() << "two codes read as the character of UTF-8 " << Hex(Utf8(*decoded.character));
    }
  }
  Recoder writer(TextEncoding::Utf8, TextEncoding::Gbk);
  Differences differences;
  for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;  // no character
    const auto code = codeOf.find(c);
    const std::string expected = code != codeOf.end() ? code->second : "?";
    std::string text;
    const std::size_t replaced = writer.Convert(Utf8(c), text);
    if (text != expected || replaced != (code != codeOf.end() ? 0u : 1u)) {
      differences.Add("UTF-8 " + Hex(Utf8(c)) + " is written as " + Hex(text) + ", expected " + Hex(expected));
    }
  }
  EXPECT_EQ(differences.Count(), 0u) << differences;
}

// What does not convert: one replacement for each byte that begins no
// character, for each character the other encoding lacks. Exact conversion
// takes all or nothing.
TEST(Cp936, WhatCannotBeConvertedIsReplacedAndCounted) {
  struct Row {
    TextEncoding from, to;
    std::string text, expected;
    std::size_t replaced;
    bool exact;  // whether GbkCodec converts it
  };
  const TextEncoding gbk = TextEncoding::Gbk, utf8 = TextEncoding::Utf8;
  const std::string r(kReplacement);
  const Row rows[] = {
      {gbk, utf8, "\xAA\xA1\x80", "\xEE\x80\x80\xE2\x82\xAC", 0, true},  // U+E000, the euro sign
      {gbk, utf8,
       "\x81\x7F\x81"
       "0\xFF",
       r + "\x7F" + r + "0" + r, 3, false},                   // bad trail bytes, 0xFF
      {gbk, utf8, "\x80\xB0", "\xE2\x82\xAC" + r, 1, false},  // a lead byte at the end; 3 bytes a byte
      {utf8, gbk, "\xEE\x80\x80\xE2\x82\xAC", "\xAA\xA1\x80", 0, true},
      {utf8, gbk,
       "\xF0\x9F\x98\x80\xEF\xA3\xB5"
       "a",
       "???a", 2, false},                                                // beyond the BMP, U+F8F5
      {utf8, gbk, "\xC0\x80\xED\xA0\x80\xE4\xB8", "???????", 7, false},  // overlong, surrogate, cut short
      {utf8, utf8,
       "\xE4\xB8"
       "A\xF5\xE2\x82\xAC",
       r + r + "A" + r + "\xE2\x82\xAC", 3, false},
      {gbk, gbk,
       "\xAA\xA1"
       "a\x80",
       "\xAA\xA1"
       "a\x80",
       0, true},
      {gbk, gbk, "\xFF\x81", "\xFF\x81", 0, false},  // passed through by the recoder, refused as inexact
  };
  for (const Row& row : rows) {
    std::string out = "kept";
    EXPECT_EQ(Recoder(row.from, row.to).Convert(row.text, out), row.replaced) << Hex(row.text);
    EXPECT_EQ(Hex(out), Hex("kept" + row.expected)) << Hex(row.text);
    std::string exact = "kept";
    EXPECT_EQ(GbkCodec(row.from, row.to).Convert(row.text, exact), row.exact) << Hex(row.text);
    EXPECT_EQ(Hex(exact), Hex(row.exact ? "kept" + row.expected : "kept")) << Hex(row.text);
  }
}

}  // namespace
