#include "marc/record_encoding.h"

#include "marc/record_view.h"
#include "text/encoding_evidence.h"

namespace {

constexpr std::size_t kCharacterSetPosition = 26;  // in 100$a
constexpr std::size_t kLeaderCodingScheme = 9;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<TextEncoding> Declared(const RecordView& view, std::optional<std::string_view> field100a) {
  if (field100a && field100a->size() >= kCharacterSetPosition + 2) {
    const std::string_view set = field100a->substr(kCharacterSetPosition, 2);
    if (IsDigit(set[0]) && IsDigit(set[1])) return set == "50" ? TextEncoding::Utf8 : TextEncoding::Gbk;
  }
  const std::string_view record = view.Record();
  if (record.size() > kLeaderCodingScheme && record[kLeaderCodingScheme] == 'a') return TextEncoding::Utf8;
  return std::nullopt;
}

}  // namespace

EncodingDecision RecordEncoding(const RecordView& view, std::optional<std::string_view> field100a) {
  EncodingDecision decision;
  decision.declared = Declared(view, field100a);
  const std::string_view data = view.Data();
  if (decision.declared == TextEncoding::Utf8) {
    const bool plainlyGbk = IsMostlyNotUtf8(data) && IsValidGbk(data);
    decision.encoding = plainlyGbk ? TextEncoding::Gbk : TextEncoding::Utf8;
  } else {
    decision.encoding = IsPlainlyUtf8(data) ? TextEncoding::Utf8 : TextEncoding::Gbk;
  }
  return decision;
}
