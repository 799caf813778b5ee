#pragma once
// Which of the two encodings a record is written in.
#include <optional>
#include <string_view>

#include "text/text_encoding.h"

class RecordView;

// How a record's encoding was decided: what it declares, if anything, and
// what it is read as.
struct EncodingDecision {
  TextEncoding encoding = TextEncoding::Gbk;
  std::optional<TextEncoding> declared;
  // The bytes plainly contradicted the declaration.
  bool Overridden() const { return declared && *declared != encoding; }
};

// A record declares its encoding in 100$a positions 26-27 when they hold two
// digits ("50", ISO 10646, is UTF-8; any other pair is GBK), or else with a
// leader position 9 of 'a' (the MARC 21 convention) for UTF-8. The
// declaration decides unless the bytes plainly contradict it:
// - data that is valid UTF-8 with at least eight characters of three or
//   more bytes is UTF-8, declared or not (Chinese in UTF-8 is nearly all
//   such characters; GBK text that happens to be valid UTF-8 makes mostly
//   two-byte sequences, as 山水图说 does);
// - data declared UTF-8 of whose bytes above ASCII more than one in ten lie
//   outside valid UTF-8 sequences, while it is valid GBK, is GBK (GBK text
//   leaves about half of them outside; UTF-8 with a few broken bytes, or in
//   other scripts that happen to be valid GBK byte for byte, leaves few).
// Without a declaration and without that evidence a record is GBK.
EncodingDecision RecordEncoding(const RecordView& view, std::optional<std::string_view> field100a);
