#include "census/census.h"

#include <algorithm>
#include <array>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <utility>

#include "census/sample_text.h"
#include "marc/field_code.h"
#include "marc/field_data.h"
#include "marc/record_batch.h"
#include "marc/record_splitter.h"
#include "marc/record_type.h"
#include "marc/record_view.h"
#include "text/byte_search.h"
#include "text/recoder.h"
#include "work/slot_ring.h"
#include "work/work_pool.h"

namespace {

using field_data::Find;
using field_data::FirstDelimiter;

// Between the values of a joined sample, as the conversion joins every
// occurrence unless told otherwise.
constexpr std::string_view kSampleSeparator = "; ";

// From how many bytes on a field's delimiters are all found at once.
constexpr std::ptrdiff_t kManySubfieldsBytes = 32;

// How many records have something, how often it occurs, and its first values.
struct Tally {
  std::int64_t records = 0;
  std::int64_t occurrences = 0;
  std::int64_t lastRecord = 0;  // the record (counted from 1) that had it last
  // Until the sample's record has passed or the joined sample is full: the
  // values after that cost nothing but this test.
  bool sampling = true;
  std::int64_t sampleRecord = 0;  // the record that gave the sample
  std::string sample;
  std::string joinedSample;  // "" while the sample's record has given one value only

  // A taker that counts batch after batch starts each one from nothing but
  // keeps what it sampled: a batch it counted before was added to the
  // census before this one, so the census has a sample already.
  void ClearCounts() {
    records = 0;
    occurrences = 0;
  }

  void Count(std::int64_t record) {
    ++occurrences;
    if (lastRecord != record) {
      lastRecord = record;
      ++records;
    }
  }

  // Adds the tally of the records that follow these, counted apart. A
  // sample comes from the first record that gave one, so a tally that has
  // none yet takes theirs as if it had counted them itself.
  void Add(const Tally& later) {
    if (later.occurrences == 0) return;
    records += later.records;
    occurrences += later.occurrences;
    lastRecord = later.lastRecord;
    if (!sample.empty() || later.sample.empty()) return;
    sampling = later.sampling;
    sampleRecord = later.sampleRecord;
    sample = later.sample;
    joinedSample = later.joinedSample;
  }
};

struct CodeTally {
  std::string code;  // UTF-8
  Tally tally;
};

constexpr std::int16_t kUnseen = -1;
constexpr std::int16_t kOtherCode = -2;
// The same character can arrive as GBK and as UTF-8 bytes: room for both.
constexpr std::size_t kLongCodeKeys = 2 * kCensusCodesPerTag;

struct TagTally {
  explicit TagTally(std::string_view directoryBytes)
      : bytes(directoryBytes), number(field_data::NumericTag(bytes)), control(number >= 1 && number <= 9) {
    byAsciiCode.fill(kUnseen);
  }

  void ClearCounts() {
    field.ClearCounts();
    for (CodeTally& code : codes) code.tally.ClearCounts();
    otherCodes.ClearCounts();
  }

  std::string bytes;  // as in the directory
  int number;         // -1 unless three digits
  bool control;       // 001-009: no subfields
  Tally field;
  std::array<std::int16_t, 128> byAsciiCode;  // index in codes, kUnseen or kOtherCode
  // Codes of more than one byte, by their bytes in a record's encoding (see
  // LongCodeKey); sorted.
  std::vector<std::pair<std::uint64_t, std::int16_t>> byLongCode;
  std::vector<CodeTally> codes;
  Tally otherCodes;
  // Where a batch's taker adds this tag and its codes into the census's:
  // indexes there, kUnseen until first added. They stay right, since the
  // census only ever appends rows.
  std::int16_t censusTag = kUnseen;
  std::vector<std::int16_t> censusCodes;
};

// A code of 2 to 4 bytes as one number, the record's encoding above them.
std::uint64_t LongCodeKey(std::string_view code, TextEncoding encoding) {
  std::uint64_t key = encoding == TextEncoding::Utf8 ? 1 : 0;
  for (unsigned char c : code) key = (key << 8) | c;
  return (key << 3) | code.size();
}

// Letters first, then digits, as code lists are written; any other code after them.
bool CodeBefore(const std::string& a, const std::string& b) {
  const auto rank = [](const std::string& code) {
    if (code.size() == 1 && code[0] >= 'a' && code[0] <= 'z') return 0;
    if (code.size() == 1 && code[0] >= '0' && code[0] <= '9') return 1;
    return 2;
  };
  const int rankA = rank(a);
  const int rankB = rank(b);
  return std::tie(rankA, a) < std::tie(rankB, b);
}

// Text that can stand in a field list as part of an item: no control
// characters, no comma of either width, nothing that was no character.
bool Typeable(std::string_view utf8) {
  for (std::size_t at = 0; at < utf8.size(); ++at) {
    const auto c = static_cast<unsigned char>(utf8[at]);
    if (c < 0x20 || c == 0x7F || c == ',') return false;
    if (c == 0xC2 && at + 1 < utf8.size() && static_cast<unsigned char>(utf8[at + 1]) < 0xA0) return false;
  }
  constexpr std::string_view kFullWidthComma = "\xEF\xBC\x8C";
  return utf8.find(kFullWidthComma) == std::string_view::npos && utf8.find("\xEF\xBF\xBD") == std::string_view::npos;
}

// The list item that selects a subfield of a tag; the conversion compares
// a tag as three bytes, so only a tag of three ASCII characters has one.
// The list must read it back as this very subfield: "000?" names the record
// type, "200*" asks for every 200 field, and blanks around an item are
// dropped and refused inside one.
std::string SubfieldItem(const std::string& tag, const std::string& code) {
  if (!IsAscii(tag) || !Typeable(tag) || !Typeable(code)) return {};
  std::string item = tag + code;
  const FieldCode read = ParseFieldCode(item);
  if (read.kind != FieldCode::Kind::Subfield || read.joined || read.item != item) return {};
  return item;
}

// The conversion gives 001 and 005 whole for any fourth character, and
// reads 002-004 and 006-009 as data fields, which have no subfields to give.
std::string ControlFieldItem(const std::string& tag) {
  return tag == "001" || tag == "005" ? tag + "a" : std::string();
}

class CensusTaker {
 public:
  CensusTaker()
      : typeNames_(TextEncoding::Utf8),
        fromGbk_(TextEncoding::Gbk, TextEncoding::Utf8),
        fromUtf8_(TextEncoding::Utf8, TextEncoding::Utf8) {
    tagOfNumber_.fill(kUnseen);
  }

  void Count(std::string_view record, bool cutShort);
  void CountTooLong() {
    ++records_;
    ++malformed_;
  }
  void CountBatch(const RecordBatch& batch);
  std::int64_t Records() const { return records_; }
  // Starts counting a batch apart, whose first record is the one after
  // `recordsBefore`: the counts start from nothing, while the rows, their
  // places in the census and the samples taken stay, so that adding a
  // batch costs only the rows it touched.
  void StartAt(std::int64_t recordsBefore);
  // Adds the tallies of the records that follow these, counted apart by
  // another taker, when they come out exactly as if counted here; false,
  // with nothing added, when some row reached its limit (which other codes
  // and tags are left without a row of their own depends on the order they
  // came in, which the tallies no longer tell).
  bool Add(CensusTaker& later);
  // Hands what was counted over to the census; the taker is spent.
  void Finish(Census& census);

 private:
  bool CountFields();
  void CountField(std::size_t entry, std::string_view tagBytes, std::string_view data);
  void CountSubfields(TagTally& tag, std::string_view data);
  void CountManySubfields(TagTally& tag, const char* first, const char* end);
  void CountSubfield(TagTally& tag, const char* begin, const char* end);
  void Note(Tally& tally, std::string_view value) {
    tally.Count(records_);
    if (tally.sampling && !value.empty()) TakeSample(tally, value);
  }
  void TakeSample(Tally& tally, std::string_view value);
  TagTally* TagOf(std::size_t entry, std::string_view bytes);
  Tally& AsciiCode(TagTally& tag, unsigned char code);
  Tally& LongCode(TagTally& tag, std::string_view code);
  static std::int16_t CodeIndex(TagTally& tag, std::string code);
  TextEncoding Encoding();
  std::string Utf8Of(std::string_view bytes, TextEncoding encoding);
  void AddTag(std::vector<CensusEntry>& entries, TagTally& tag);
  const TagTally* Known(const TagTally& later) const;
  std::int16_t& IndexOf(const TagTally& tag);
  bool Fits(const CensusTaker& later) const;
  static std::int16_t CensusCode(TagTally& tag, TagTally& later, std::size_t code);
  static void AddCodes(TagTally& tag, TagTally& later);

  std::int64_t records_ = 0;
  std::int64_t malformed_ = 0;
  std::int64_t partlyRead_ = 0;
  Tally recordType_;
  std::vector<TagTally> tags_;
  std::vector<std::int16_t> touched_;  // indexes in tags_, in the order the records since StartAt show them first
  std::array<std::int16_t, 1000> tagOfNumber_;                   // "000".."999" -> index in tags_, or kUnseen
  std::map<std::string, std::int16_t, std::less<>> tagOfOther_;  // at most kCensusOtherTags
  Tally otherTags_;

  const RecordTypeNames typeNames_;
  Recoder fromGbk_;
  Recoder fromUtf8_;
  RecordView view_;  // the record being counted
  bool encodingKnown_ = false;
  TextEncoding encoding_ = TextEncoding::Gbk;
  std::string scratch_;
};

// Everything a record's count calls is inlined into it: called from two
// places now (the calling thread and the pool's), it is no longer inlined
// into its one caller, and the compiler's own choice then costs 13% more
// instructions (see BENCHMARKS.md).
[[gnu::flatten]] void CensusTaker::Count(std::string_view record, bool cutShort) {
  ++records_;
  view_.Build(record);
  if (view_.Status() != ViewStatus::Ok) {
    ++malformed_;
    return;
  }
  encodingKnown_ = false;  // decided when a sample or a long code needs it: most records need neither
  const std::string_view typeName = typeNames_.For(view_.TypeOfRecord());
  recordType_.Count(records_);
  if (recordType_.sample.empty()) recordType_.sample = typeName;
  if (!CountFields() || cutShort) ++partlyRead_;
}

// False when some field could not be read.
bool CensusTaker::CountFields() {
  const field_data::DirectoryFaults faults =
      field_data::WalkFields(view_, [this](std::size_t entry, std::string_view tag, std::string_view bytes) {
        CountField(entry, tag, field_data::WithoutFinalTerminators(bytes));
      });
  return !faults.badEntry && !faults.overlap;
}

void CensusTaker::CountField(std::size_t entry, std::string_view tagBytes, std::string_view data) {
  TagTally* const tag = TagOf(entry, tagBytes);
  if (tag == nullptr) {
    Note(otherTags_, data);
    return;
  }
  if (tag->field.occurrences == 0) touched_.push_back(static_cast<std::int16_t>(tag - tags_.data()));
  Note(tag->field, data);
  if (!tag->control) CountSubfields(*tag, data);
}

// A short field is searched for its next delimiter one at a time.
void CensusTaker::CountSubfields(TagTally& tag, std::string_view data) {
  const char* const end = data.data() + data.size();
  const char* at = FirstDelimiter(data);
  if (end - at >= kManySubfieldsBytes) return CountManySubfields(tag, at, end);
  while (at != end) {
    const char* const next = Find(at + 1, end, kSubfieldDelimiter);
    CountSubfield(tag, at + 1, next);
    at = next;
  }
}

// A long field is looked at sixteen bytes at once for all its delimiters,
// which pays where subfields are many and short. Kept out of the record's
// count, which is compiled as one function, so as not to crowd it.
[[gnu::noinline, gnu::flatten]] void CensusTaker::CountManySubfields(TagTally& tag, const char* first,
                                                                     const char* end) {
  const char* begin = first + 1;  // of the subfield before the delimiter found
  byte_search::ForEach(begin, end, kSubfieldDelimiter, [&](const char* delimiter) {
    CountSubfield(tag, begin, delimiter);
    begin = delimiter + 1;
  });
  CountSubfield(tag, begin, end);
}

void CensusTaker::CountSubfield(TagTally& tag, const char* begin, const char* end) {
  if (begin == end) return;  // a delimiter with no code after it is no subfield
  const std::string_view piece(begin, static_cast<std::size_t>(end - begin));
  const auto lead = static_cast<unsigned char>(piece[0]);
  const std::size_t codeLength = lead < 0x80 ? 1 : FirstCharacterLength(piece, Encoding());
  Tally& tally = lead < 0x80 ? AsciiCode(tag, lead) : LongCode(tag, piece.substr(0, codeLength));
  Note(tally, piece.substr(codeLength));
}

// The first value that shows anything is the sample; the values after it in
// the same record are joined to it, so that only the first records with a
// value cost more than a count.
void CensusTaker::TakeSample(Tally& tally, std::string_view value) {
  if (!tally.sample.empty() && tally.sampleRecord != records_) {
    tally.sampling = false;
    return;
  }
  const TextEncoding encoding = Encoding();
  std::string sample = SampleText(value, encoding, encoding == TextEncoding::Gbk ? fromGbk_ : fromUtf8_);
  if (sample.empty()) return;
  if (tally.sample.empty()) {
    tally.sample = std::move(sample);
    tally.sampleRecord = records_;
    return;
  }
  if (tally.joinedSample.empty()) tally.joinedSample = tally.sample;
  tally.sampling = !JoinSample(tally.joinedSample, kSampleSeparator, sample);
}

// The tally of an entry's tag, made when first seen; null for the other
// tags once there are enough of them.
TagTally* CensusTaker::TagOf(std::size_t entry, std::string_view bytes) {
  const std::uint16_t number = view_.TagNumber(entry);
  std::int16_t index = kUnseen;
  if (number != RecordView::kOtherTag) {
    std::int16_t& known = tagOfNumber_[number];
    if (known == kUnseen) known = static_cast<std::int16_t>(tags_.size());
    index = known;
  } else {
    const auto known = tagOfOther_.find(bytes);
    if (known != tagOfOther_.end()) {
      index = known->second;
    } else if (tagOfOther_.size() < kCensusOtherTags) {
      index = tagOfOther_[std::string(bytes)] = static_cast<std::int16_t>(tags_.size());
    } else {
      return nullptr;
    }
  }
  if (static_cast<std::size_t>(index) == tags_.size()) tags_.emplace_back(bytes);
  return &tags_[static_cast<std::size_t>(index)];
}

Tally& CensusTaker::AsciiCode(TagTally& tag, unsigned char code) {
  std::int16_t& index = tag.byAsciiCode[code];
  if (index == kUnseen) index = CodeIndex(tag, std::string(1, static_cast<char>(code)));
  return index == kOtherCode ? tag.otherCodes : tag.codes[static_cast<std::size_t>(index)].tally;
}

// A code of more than one byte is converted to UTF-8 once per encoding:
// GBK and UTF-8 records that use the same character share its rows.
Tally& CensusTaker::LongCode(TagTally& tag, std::string_view code) {
  const TextEncoding encoding = Encoding();
  const std::uint64_t key = LongCodeKey(code, encoding);
  auto place = std::lower_bound(tag.byLongCode.begin(), tag.byLongCode.end(), std::make_pair(key, kOtherCode));
  std::int16_t index = kOtherCode;
  if (place != tag.byLongCode.end() && place->first == key) {
    index = place->second;
  } else if (tag.byLongCode.size() < kLongCodeKeys) {
    index = CodeIndex(tag, Utf8Of(code, encoding));
    tag.byLongCode.insert(place, {key, index});
  }
  return index == kOtherCode ? tag.otherCodes : tag.codes[static_cast<std::size_t>(index)].tally;
}

// The index of a code (UTF-8) among the tag's, added if there is room.
std::int16_t CensusTaker::CodeIndex(TagTally& tag, std::string code) {
  for (std::size_t i = 0; i < tag.codes.size(); ++i) {
    if (tag.codes[i].code == code) return static_cast<std::int16_t>(i);
  }
  if (tag.codes.size() >= kCensusCodesPerTag) return kOtherCode;
  tag.codes.push_back({std::move(code), {}});
  return static_cast<std::int16_t>(tag.codes.size() - 1);
}

// The record's encoding, decided as the conversion decides it.
TextEncoding CensusTaker::Encoding() {
  if (!encodingKnown_) {
    encoding_ = field_data::DecideEncoding(view_, scratch_).encoding;
    encodingKnown_ = true;
  }
  return encoding_;
}

std::string CensusTaker::Utf8Of(std::string_view bytes, TextEncoding encoding) {
  std::string utf8;
  (encoding == TextEncoding::Gbk ? fromGbk_ : fromUtf8_).Convert(bytes, utf8);
  return utf8;
}

void CensusTaker::CountBatch(const RecordBatch& batch) {
  for (std::size_t i = 0; i < batch.records.size(); ++i) {
    if (batch.records[i].tooLong) {
      CountTooLong();
    } else {
      Count(batch.Record(i), batch.records[i].cutShort);
    }
  }
}

void CensusTaker::StartAt(std::int64_t recordsBefore) {
  records_ = recordsBefore;
  malformed_ = 0;
  partlyRead_ = 0;
  recordType_.ClearCounts();
  for (const std::int16_t tag : touched_) tags_[static_cast<std::size_t>(tag)].ClearCounts();
  touched_.clear();
  otherTags_.ClearCounts();
}

bool CensusTaker::Add(CensusTaker& later) {
  if (!Fits(later)) return false;
  records_ = later.records_;  // the records before it are these
  malformed_ += later.malformed_;
  partlyRead_ += later.partlyRead_;
  recordType_.Add(later.recordType_);
  // Tags in the order the later records show them first, as counting them here would add them.
  for (const std::int16_t index : later.touched_) {
    TagTally& tag = later.tags_[static_cast<std::size_t>(index)];
    if (tag.censusTag == kUnseen) {
      std::int16_t& mine = IndexOf(tag);
      if (mine == kUnseen) {
        mine = static_cast<std::int16_t>(tags_.size());
        tags_.emplace_back(tag.bytes);
      }
      tag.censusTag = mine;
    }
    TagTally& mine = tags_[static_cast<std::size_t>(tag.censusTag)];
    mine.field.Add(tag.field);
    AddCodes(mine, tag);
  }
  return true;
}

// Whether every tag, code and byte form of a code the later records have
// gets a row of its own here, as each did there.
bool CensusTaker::Fits(const CensusTaker& later) const {
  if (later.otherTags_.occurrences > 0) return false;
  std::size_t otherTags = tagOfOther_.size();
  for (const std::int16_t index : later.touched_) {
    const TagTally& tag = later.tags_[static_cast<std::size_t>(index)];
    if (tag.otherCodes.occurrences > 0) return false;
    const TagTally* const mine = Known(tag);
    if (mine == nullptr) {  // the later records' rows as they are
      otherTags += tag.number < 0 ? 1 : 0;
      continue;
    }
    std::size_t codes = mine->codes.size();
    for (std::size_t i = 0; i < tag.codes.size(); ++i) {
      if (tag.codes[i].tally.occurrences == 0 || (i < tag.censusCodes.size() && tag.censusCodes[i] != kUnseen)) {
        continue;
      }
      const auto same = [&code = tag.codes[i].code](const CodeTally& known) { return known.code == code; };
      codes += std::none_of(mine->codes.begin(), mine->codes.end(), same) ? 1 : 0;
    }
    std::size_t longCodes = mine->byLongCode.size();
    for (const auto& key : tag.byLongCode) {
      const auto place =
          std::lower_bound(mine->byLongCode.begin(), mine->byLongCode.end(), std::make_pair(key.first, kOtherCode));
      longCodes += place == mine->byLongCode.end() || place->first != key.first ? 1 : 0;
    }
    if (codes > kCensusCodesPerTag || longCodes > kLongCodeKeys) return false;
  }
  return otherTags <= kCensusOtherTags;
}

// Where a tag's tally is kept here, kUnseen while there is none.
std::int16_t& CensusTaker::IndexOf(const TagTally& tag) {
  return tag.number >= 0 ? tagOfNumber_[static_cast<std::size_t>(tag.number)]
                         : tagOfOther_.try_emplace(tag.bytes, kUnseen).first->second;
}

// This taker's tally of a tag another taker counted, or null.
const TagTally* CensusTaker::Known(const TagTally& later) const {
  std::int16_t index = later.censusTag;
  if (index == kUnseen && later.number >= 0) {
    index = tagOfNumber_[static_cast<std::size_t>(later.number)];
  } else if (index == kUnseen) {
    const auto known = tagOfOther_.find(later.bytes);
    if (known != tagOfOther_.end()) index = known->second;
  }
  return index == kUnseen ? nullptr : &tags_[static_cast<std::size_t>(index)];
}

// The index here of one of the later taker's codes of a tag.
std::int16_t CensusTaker::CensusCode(TagTally& tag, TagTally& later, std::size_t code) {
  if (later.censusCodes.size() < later.codes.size()) later.censusCodes.resize(later.codes.size(), kUnseen);
  std::int16_t& index = later.censusCodes[code];
  if (index == kUnseen) index = CodeIndex(tag, later.codes[code].code);
  return index;
}

// The later records' codes of a tag (which all fit, see Fits) into its own.
void CensusTaker::AddCodes(TagTally& tag, TagTally& later) {
  for (std::size_t i = 0; i < later.codes.size(); ++i) {
    if (later.codes[i].tally.occurrences == 0) continue;
    const std::int16_t mine = CensusCode(tag, later, i);
    (mine == kOtherCode ? tag.otherCodes : tag.codes[static_cast<std::size_t>(mine)].tally).Add(later.codes[i].tally);
  }
  for (const auto& [key, index] : later.byLongCode) {
    const auto place = std::lower_bound(tag.byLongCode.begin(), tag.byLongCode.end(), std::make_pair(key, kOtherCode));
    if (place == tag.byLongCode.end() || place->first != key) {
      const std::int16_t mine =
          index == kOtherCode ? kOtherCode : CensusCode(tag, later, static_cast<std::size_t>(index));
      tag.byLongCode.insert(place, {key, mine});
    }
  }
}

CensusEntry Row(CensusEntry::Kind kind, std::string item, std::string tag, std::string subfield, Tally& tally) {
  std::string joined = tally.joinedSample.empty() ? tally.sample : std::move(tally.joinedSample);
  return {kind,          std::move(item),   std::move(tag),          std::move(subfield),
          tally.records, tally.occurrences, std::move(tally.sample), std::move(joined)};
}

void CensusTaker::Finish(Census& census) {
  census.records = records_;
  census.malformed = malformed_;
  census.partlyRead = partlyRead_;
  using Kind = CensusEntry::Kind;
  std::size_t rows = 2;  // the record type and the other tags
  for (const TagTally& tag : tags_) rows += 2 + tag.codes.size();
  census.entries.reserve(rows);
  if (recordType_.occurrences > 0) census.entries.push_back(Row(Kind::RecordType, "000?", "", "", recordType_));
  std::vector<TagTally*> tags;
  for (TagTally& tag : tags_) tags.push_back(&tag);
  std::sort(tags.begin(), tags.end(), [](const TagTally* a, const TagTally* b) { return a->bytes < b->bytes; });
  for (TagTally* tag : tags) AddTag(census.entries, *tag);
  if (otherTags_.occurrences > 0) census.entries.push_back(Row(Kind::OtherTags, "", "", "", otherTags_));
}

void CensusTaker::AddTag(std::vector<CensusEntry>& entries, TagTally& tag) {
  using Kind = CensusEntry::Kind;
  // The conversion reads a tag as GBK bytes, whatever the record's encoding.
  const std::string text = Utf8Of(tag.bytes, TextEncoding::Gbk);
  if (tag.control) {
    entries.push_back(Row(Kind::ControlField, ControlFieldItem(text), text, "", tag.field));
    return;
  }
  entries.push_back(Row(Kind::DataField, "", text, "", tag.field));
  std::vector<CodeTally*> codes;
  for (CodeTally& code : tag.codes) codes.push_back(&code);
  std::sort(codes.begin(), codes.end(),
            [](const CodeTally* a, const CodeTally* b) { return CodeBefore(a->code, b->code); });
  for (CodeTally* code : codes) {
    entries.push_back(Row(Kind::Subfield, SubfieldItem(text, code->code), text, code->code, code->tally));
  }
  if (tag.otherCodes.occurrences > 0) entries.push_back(Row(Kind::OtherSubfields, "", text, "", tag.otherCodes));
}

// A batch of records in flight, counted apart by a taker of its own.
struct CensusSlot {
  CensusTaker taker;
  RecordBatch batch;
  std::future<void> done;
};
using CensusRing = SlotRing<CensusSlot>;

// One file into the census on the calling thread, straight from the
// splitter, with no copy; the progress is asked where a batch would end, as
// on a pool. bytesBefore is raised by the bytes it had.
Census::Outcome CountHere(InputFile& input, CensusTaker& taker, const CensusProgress& progress,
                          std::uint64_t& bytesBefore) {
  RecordSplitter splitter(input);
  std::size_t batchBytes = 0;
  std::size_t batchRecords = 0;
  std::uint64_t batchEnd = 0;  // the bytes consumed up to the end of its last record
  const auto endBatch = [&] {
    const bool goOn = batchRecords == 0 || progress(taker.Records(), batchEnd);
    batchBytes = batchRecords = 0;
    return goOn;
  };
  std::string_view record;
  for (;;) {
    RecordSplitter::Result result = RecordSplitter::Result::End;
    try {
      result = splitter.Next(record);
    } catch (...) {
      if (!endBatch()) return Census::Outcome::Stopped;
      throw;
    }
    if (result == RecordSplitter::Result::End) break;
    if (result == RecordSplitter::Result::Busy) {
      if (!endBatch() || !progress(taker.Records(), splitter.BytesConsumed())) return Census::Outcome::Stopped;
      continue;
    }
    if (result == RecordSplitter::Result::TooLong) {
      taker.CountTooLong();
    } else {
      taker.Count(record, splitter.CutShort());
      batchBytes += record.size();
    }
    ++batchRecords;
    batchEnd = splitter.BytesConsumed();
    if (RecordBatch::FullAt(batchBytes, batchRecords) && !endBatch()) return Census::Outcome::Stopped;
  }
  if (!endBatch()) return Census::Outcome::Stopped;
  bytesBefore += splitter.BytesConsumed();
  return splitter.ReadFailed() ? Census::Outcome::Failed : Census::Outcome::Completed;
}

// One file into the census, its batches counted on the ring's pool and
// added in input order; bytesBefore is raised by the bytes it had, and
// recordsCut by its records.
Census::Outcome ReadAll(InputFile& input, CensusRing& ring, CensusTaker& taker, const CensusProgress& progress,
                        std::uint64_t& bytesBefore, std::int64_t& recordsCut) {
  RecordSplitter splitter(input);
  for (;;) {
    RecordBatch& batch = ring.Filling().batch;
    batch.Clear();
    std::exception_ptr broke;  // reading broke off: the records before it are still counted
    const RecordSplitter::Result last = batch.FillUntilBroken(splitter, broke);
    if (!batch.Empty()) {
      ring.Hand([recordsBefore = recordsCut](CensusSlot& slot) {
        slot.taker.StartAt(recordsBefore);
        slot.taker.CountBatch(slot.batch);
      });
    }
    recordsCut += static_cast<std::int64_t>(batch.records.size());
    // At the end, and while a record too long to hold is skipped, every batch so far is added.
    const bool drain = last != RecordSplitter::Result::Record;
    while (ring.InFlight() && (drain || !ring.CanFill())) {
      CensusSlot& slot = ring.Oldest();
      // Counted again here when adding would not be exact.
      if (!taker.Add(slot.taker)) taker.CountBatch(slot.batch);
      ring.Taken();
      if (progress && !progress(taker.Records(), slot.batch.records.back().consumedAfter)) {
        return Census::Outcome::Stopped;
      }
    }
    if (broke) std::rethrow_exception(broke);
    if (last == RecordSplitter::Result::End) break;
    if (last == RecordSplitter::Result::Busy && progress && !progress(taker.Records(), splitter.BytesConsumed())) {
      return Census::Outcome::Stopped;
    }
  }
  bytesBefore += splitter.BytesConsumed();
  return splitter.ReadFailed() ? Census::Outcome::Failed : Census::Outcome::Completed;
}

}  // namespace

Census TakeCensus(FileSystem& files, const std::string& path, const CensusProgress& progress, unsigned threads) {
  return TakeCensus(files, std::vector<std::string>{path}, progress, threads);
}

Census TakeCensus(FileSystem& files, const std::vector<std::string>& paths, const CensusProgress& progress,
                  unsigned threads) {
  Census census;
  try {
    CensusTaker taker;
    std::unique_ptr<WorkPool> ownPool;
    WorkPool& pool = PoolFor(threads, ownPool);
    // No slots on a pool of no threads: the records are counted as they are read.
    std::optional<CensusRing> ring;
    if (pool.Threads() > 0) ring.emplace(pool, [] { return std::make_unique<CensusSlot>(); });
    std::uint64_t bytesBefore = 0;
    std::int64_t recordsCut = 0;
    const CensusProgress overAll = [&](std::int64_t records, std::uint64_t bytesRead) {
      return !progress || progress(records, bytesBefore + bytesRead);
    };
    census.outcome = Census::Outcome::Completed;
    for (const std::string& path : paths) {
      FileError error;
      const std::unique_ptr<InputFile> input = files.OpenForReading(path, error);
      if (!input) {
        // Nothing counted of a file that cannot be opened; the files before it are.
        census.outcome = Census::Outcome::Failed;
        census.failure = FileFailure(Failure::Kind::CannotOpenInput, path, error);
        break;
      }
      census.outcome = ring ? ReadAll(*input, *ring, taker, overAll, bytesBefore, recordsCut)
                            : CountHere(*input, taker, overAll, bytesBefore);
      if (census.outcome == Census::Outcome::Failed) {
        census.failure = FileFailure(Failure::Kind::CannotReadInput, path, input->Error());
      }
      if (census.outcome != Census::Outcome::Completed) break;
    }
    taker.Finish(census);
  } catch (const std::exception& e) {
    // An exception's own text is for programmers: the user reads its reason.
    census = Census();
    census.failure = FailureOf(e);
  }
  return census;
}
