#include "marc/field_data.h"

namespace field_data {

std::string_view CopyWithoutTerminators(std::string_view bytes, std::string& scratch) {
  const std::size_t start = scratch.size();
  for (char c : bytes) {
    if (c != kFieldTerminator) scratch.push_back(c);
  }
  return std::string_view(scratch).substr(start);
}

EncodingDecision DecideEncoding(const RecordView& view, std::string& scratch) {
  std::optional<std::string_view> field100a;
  const std::int32_t entry100 = view.First100();
  if (entry100 >= 0) {
    scratch.clear();
    const std::string_view data = WithoutTerminators(view.FieldAt(static_cast<std::size_t>(entry100)).bytes, scratch);
    const char* const end = data.data() + data.size();
    for (const char* at = FirstDelimiter(data); at != end && !field100a;) {
      const char* const next = Find(at + 1, end, kSubfieldDelimiter);
      if (next - at > 1 && at[1] == 'a') field100a = std::string_view(at + 2, static_cast<std::size_t>(next - at - 2));
      at = next;
    }
  }
  return RecordEncoding(view, field100a);
}

}  // namespace field_data
