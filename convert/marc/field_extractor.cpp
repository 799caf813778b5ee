#include "marc/field_extractor.h"

#include <algorithm>
#include <charconv>

#include "marc/field_data.h"
#include "text/byte_search.h"

namespace {

using field_data::Find;
using field_data::FirstDelimiter;
using field_data::WithoutFinalTerminators;
using field_data::WithoutTerminators;

// The bytes of a subfield code (one character, 1 to 4 bytes) as one number;
// 0 for no code, which no subfield has.
std::uint64_t CodeKey(std::string_view code) {
  if (code.empty() || code.size() > 4) return 0;
  std::uint64_t key = code.size();
  for (unsigned char c : code) key = (key << 8) | c;
  return key;
}

// Characters first to last of a value, counted in the record's encoding:
// what there is of them, or "" when the value ends before the first.
std::string_view Characters(std::string_view value, const FieldCode::Positions& positions, TextEncoding encoding) {
  const auto* const bytes = reinterpret_cast<const unsigned char*>(value.data());
  const std::size_t size = value.size();
  const bool gbk = encoding == TextEncoding::Gbk;
  std::size_t at = 0;
  std::size_t begin = size;  // until the first character is reached
  for (std::uint32_t character = 0; at < size; ++character) {
    if (character == positions.first) begin = at;
    if (character > positions.last) break;
    // In line: the values asked for are short, but one is cut in every record.
    if (bytes[at] < 0x80) {
      ++at;
    } else if (gbk) {
      at += bytes[at] >= 0x81 && bytes[at] <= 0xFE && at + 1 < size ? 2 : 1;  // as FirstCharacterLength
    } else {
      const std::size_t length = Utf8SequenceAt(value, at);
      at += length > 0 ? length : 1;
    }
  }
  return begin < at ? value.substr(begin, at - begin) : std::string_view();
}

}  // namespace

FieldExtractor::FieldExtractor(std::vector<FieldCode> codes, const RecordTypeNames& typeNames,
                               std::vector<FieldCode> probes)
    : codes_(std::move(codes)), columns_(codes_.size()), typeNames_(typeNames) {
  slotOfTag_.fill(-1);
  for (FieldCode& probe : probes) {
    probe.joined = false;  // one value tells enough
    codes_.push_back(std::move(probe));
  }
  KnownWants known;
  for (std::size_t column = 0; column < codes_.size(); ++column) {
    const FieldCode& code = codes_[column];
    wantOfColumn_.push_back(AddWant(code, column >= columns_, known));
    numbered_ |= code.kind == FieldCode::Kind::RecordNumber;
    joined_.push_back(code.joined ? 1 : 0);
  }
  for (Slot& slot : slots_) {
    std::sort(slot.byKeyGbk.begin(), slot.byKeyGbk.end());
    std::sort(slot.byKeyUtf8.begin(), slot.byKeyUtf8.end());
  }
  wantStates_.resize(wants_.size());
  pending_.resize(slots_.size());
  first_.resize(slots_.size());
  last_.resize(slots_.size());
  occurrences_.resize(static_cast<std::size_t>(joinedCount_));
}

std::int32_t FieldExtractor::NewSlot(const std::string& tag) {
  const auto slot = static_cast<std::int32_t>(slots_.size());
  slots_.emplace_back();
  slots_.back().byAsciiCode.fill(-1);
  firstOccurrences_.push_back(0);
  keepReading_.push_back(0);
  const int number = field_data::NumericTag(tag);
  if (number >= 0) {
    slotOfTag_[static_cast<std::size_t>(number)] = slot;
  } else {
    otherTags_.emplace(tag, slot);
    slotOfTag_[RecordView::kOtherTag] = kAmongOtherTags;
  }
  return slot;
}

// Columns that ask the same of the same tag share one want. A probe keeps
// its tag's fields read only until it is stopped, and never holds back the
// end of a field's reading otherwise.
std::int32_t FieldExtractor::AddWant(const FieldCode& code, bool probe, KnownWants& known) {
  const FieldCode::Kind kind = code.kind;
  if (kind != FieldCode::Kind::Subfield && kind != FieldCode::Kind::ControlField &&
      kind != FieldCode::Kind::WholeField) {
    return -1;
  }
  std::int32_t slot = SlotOfTag(code.tag);
  if (slot < 0) slot = NewSlot(code.tag);
  Want want;
  want.slot = slot;
  want.shape = kind == FieldCode::Kind::Subfield     ? Shape::Subfield
               : kind == FieldCode::Kind::WholeField ? Shape::Shown
                                                     : Shape::AsItStands;
  want.joined = code.joined;
  want.probe = probe;
  want.hasPositions = code.positions.has_value();
  want.positions = code.positions.value_or(FieldCode::Positions{});
  want.giving = probe || want.hasPositions ? Giving::Other : code.joined ? Giving::Joined : Giving::First;
  const bool subfield = want.shape == Shape::Subfield;
  const std::uint64_t keyGbk = subfield ? CodeKey(code.subfieldGbk) : 0;
  const std::uint64_t keyUtf8 = subfield ? CodeKey(code.subfieldUtf8) : 0;
  const auto s = static_cast<std::size_t>(slot);
  Slot& owner = slots_[s];
  const auto index = static_cast<std::int32_t>(wants_.size());
  const auto [place, isNew] =
      known.try_emplace(std::make_tuple(slot, want.shape, want.joined, probe, keyGbk, keyUtf8, want.hasPositions,
                                        want.positions.first, want.positions.last),
                        index);
  if (!isNew) {
    if (probe) ++wants_[static_cast<std::size_t>(place->second)].probeUsers;
    return place->second;
  }
  if (want.joined) want.joinedIndex = joinedCount_++;
  want.probeUsers = probe ? 1 : 0;
  if (probe) {
    ++probing_;
  } else {
    columnWants_ = wants_.size() + 1;  // every want of a column is made before the first probe's
  }
  wants_.push_back(want);
  owner.wants.push_back(index);
  if (want.joined && !owner.hasJoined) {
    owner.hasJoined = true;
    ++keepReading_[s];
  }
  if (probe) ++keepReading_[s];
  if (!want.joined && !probe) ++firstOccurrences_[s];
  if (subfield) {
    owner.hasSubfieldWants = true;
    AddCodeOf(owner, index, keyGbk, keyUtf8);
  } else {
    owner.wholeWants.push_back(index);
    owner.subfieldsOnly = false;
    owner.shown |= want.shape == Shape::Shown;
    anyShown_ |= owner.shown;
  }
  return index;
}

// An ASCII code is the same byte in GBK and UTF-8 records and is found
// through a table; longer codes through keys, sorted once all are in.
void FieldExtractor::AddCodeOf(Slot& owner, std::int32_t index, std::uint64_t keyGbk, std::uint64_t keyUtf8) {
  const std::uint64_t asciiKey = 1u << 8;
  if (keyUtf8 >= asciiKey && keyUtf8 < asciiKey + 128) {
    std::int32_t* link = &owner.byAsciiCode[keyUtf8 - asciiKey];
    while (*link >= 0) link = &wants_[static_cast<std::size_t>(*link)].nextWithCode;
    *link = index;
    return;
  }
  const auto add = [index](KeyedWants& keyed, std::uint64_t key) {
    if (key != 0) keyed.emplace_back(key, index);
  };
  add(owner.byKeyGbk, keyGbk);
  add(owner.byKeyUtf8, keyUtf8);
}

std::int32_t FieldExtractor::SlotOfOtherTag(std::string_view tag) const {
  if (otherTags_.empty()) return -1;
  const auto place = otherTags_.find(tag);
  return place != otherTags_.end() ? place->second : -1;
}

void FieldExtractor::Read(const RecordView& view, std::int64_t number) {
  view_ = &view;
  decision_ = EncodingDecision();
  overlap_ = false;
  found_.clear();
  scratch_.clear();
  shown_.clear();
  if (numbered_) {
    numberLength_ = static_cast<std::size_t>(
        std::to_chars(number_.data(), number_.data() + number_.size(), number).ptr - number_.data());
  }
  // The probes' wants come last; once every probe is stopped, they are left alone.
  std::fill(wantStates_.begin(),
            wantStates_.begin() + static_cast<std::ptrdiff_t>(probing_ > 0 ? wants_.size() : columnWants_),
            WantState{});
  for (std::vector<std::string_view>& list : occurrences_) list.clear();
  std::copy(firstOccurrences_.begin(), firstOccurrences_.end(), pending_.begin());
  std::fill(first_.begin(), first_.end(), -1);
  const std::size_t slots = first_.size();
  readable_ = view.Status() == ViewStatus::Ok && !view.Record().empty();
  if (!readable_) return;
  // Fields that do not overlap are together shorter than their record; the
  // copies of fields with stray terminators fit in as much again, so the
  // views into scratch_ never move.
  budget_ = view.Record().size();
  scratch_.reserve(budget_);
  if (anyShown_) shown_.reserve(budget_);  // a field shown is as long as the field
  WalkDirectory();
  DecideEncoding();
  for (std::size_t slot = 0; slot < slots; ++slot) {
    if (first_[slot] >= 0) ReadSlot(static_cast<std::int32_t>(slot));
  }
}

// Links the entries of each wanted tag, in directory order; nothing of a
// field is read yet.
void FieldExtractor::WalkDirectory() {
  const std::size_t entries = view_->EntryCount();
  for (std::size_t i = 0; i < entries; ++i) {
    const std::int32_t slot = SlotOfEntry(i);
    if (slot < 0) continue;
    const auto index = static_cast<std::int32_t>(found_.size());
    found_.push_back({static_cast<std::int32_t>(i), -1});
    const auto s = static_cast<std::size_t>(slot);
    if (first_[s] < 0) {
      first_[s] = index;
    } else {
      found_[static_cast<std::size_t>(last_[s])].next = index;
    }
    last_[s] = index;
  }
}

void FieldExtractor::DecideEncoding() { decision_ = field_data::DecideEncoding(*view_, scratch100_); }

void FieldExtractor::ReadSlot(std::int32_t slot) {
  const Slot& owner = slots_[static_cast<std::size_t>(slot)];
  std::string_view previous;  // an entry that points at the same field again is not read again
  for (std::int32_t f = first_[static_cast<std::size_t>(slot)]; f >= 0 && Active(slot);
       f = found_[static_cast<std::size_t>(f)].next) {
    const FieldSlice slice = view_->FieldAt(static_cast<std::size_t>(found_[static_cast<std::size_t>(f)].entry));
    if (!slice.ok) {
      FailPending(slot);
      continue;
    }
    if (slice.bytes.data() == previous.data() && slice.bytes.size() == previous.size()) continue;
    previous = slice.bytes;
    if (slice.bytes.size() > budget_) {
      overlap_ = true;
      return;
    }
    budget_ -= slice.bytes.size();
    if (owner.subfieldsOnly) {
      TakeSubfields(slot, WithoutFinalTerminators(slice.bytes));  // which looks out for stray terminators itself
      continue;
    }
    const std::string_view data = WithoutTerminators(slice.bytes, scratch_);
    TakeWhole(slot, data);
    if (owner.hasSubfieldWants) TakeSubfields(slot, data);
  }
}

// The codes still waiting for their first value cannot have it now; the
// joined ones go on with the entries that can be read.
void FieldExtractor::FailPending(std::int32_t slot) {
  for (std::int32_t want : slots_[static_cast<std::size_t>(slot)].wants) {
    WantState& state = wantStates_[static_cast<std::size_t>(want)];
    if (wants_[static_cast<std::size_t>(want)].joined || state.done) continue;
    state.done = true;
    state.failed = true;
  }
  pending_[static_cast<std::size_t>(slot)] = 0;
}

// A field for the wants that take it whole.
void FieldExtractor::TakeWhole(std::int32_t slot, std::string_view data) {
  const Slot& owner = slots_[static_cast<std::size_t>(slot)];
  const std::string_view shown = owner.shown ? Shown(data) : std::string_view();
  for (std::int32_t want : owner.wholeWants) {
    Give(want, wants_[static_cast<std::size_t>(want)].shape == Shape::Shown ? shown : data);
  }
}

// One pass over the subfields of a field for every code of its tag, which
// stops once they all have their values. A stray terminator inside the
// field is left out of the values: the subfield that holds it and the rest
// of the field are read from a copy without them. (Before the first
// delimiter, where the indicators are, it changes nothing.)
void FieldExtractor::TakeSubfields(std::int32_t slot, std::string_view data) {
  const Slot& owner = slots_[static_cast<std::size_t>(slot)];
  const char* end = data.data() + data.size();
  for (const char* at = FirstDelimiter(data); at != end;) {
    const char* begin = at + 1;
    const char* next = byte_search::FindEither(begin, end, kSubfieldDelimiter, kFieldTerminator);
    if (next != end && *next == kFieldTerminator) {
      const std::string_view rest =
          field_data::CopyWithoutTerminators(std::string_view(begin, static_cast<std::size_t>(end - begin)), scratch_);
      begin = rest.data();
      end = begin + rest.size();
      next = Find(begin, end, kSubfieldDelimiter);
    }
    if (begin != next) {
      const auto code = static_cast<unsigned char>(*begin);
      if (code < 0x80) {
        const std::string_view value(begin + 1, static_cast<std::size_t>(next - begin - 1));
        for (std::int32_t want = owner.byAsciiCode[code]; want >= 0;
             want = wants_[static_cast<std::size_t>(want)].nextWithCode) {
          Give(want, value);
        }
      } else {
        TakeOtherCode(slot, std::string_view(begin, static_cast<std::size_t>(next - begin)));
      }
      if (!Active(slot)) return;
    }
    at = next;
  }
}

void FieldExtractor::TakeOtherCode(std::int32_t slot, std::string_view piece) {
  const Slot& owner = slots_[static_cast<std::size_t>(slot)];
  const KeyedWants& keyed = decision_.encoding == TextEncoding::Utf8 ? owner.byKeyUtf8 : owner.byKeyGbk;
  if (keyed.empty()) return;
  const std::size_t codeLength = FirstCharacterLength(piece, decision_.encoding);
  const std::uint64_t key = CodeKey(piece.substr(0, codeLength));
  auto match = std::lower_bound(keyed.begin(), keyed.end(), std::make_pair(key, std::int32_t{-1}));
  for (; match != keyed.end() && match->first == key; ++match) Give(match->second, piece.substr(codeLength));
}

void FieldExtractor::GiveOther(std::int32_t want, std::string_view value) {
  const Want& wanted = wants_[static_cast<std::size_t>(want)];
  if (wanted.joined) {
    if (wanted.hasPositions) value = Characters(value, wanted.positions, decision_.encoding);
    if (!value.empty()) occurrences_[static_cast<std::size_t>(wanted.joinedIndex)].push_back(value);
    return;
  }
  WantState& state = wantStates_[static_cast<std::size_t>(want)];
  if (state.done) return;
  state.done = true;
  state.value = wanted.hasPositions ? Characters(value, wanted.positions, decision_.encoding) : value;
  if (!wanted.probe) --pending_[static_cast<std::size_t>(wanted.slot)];
}

// A data field as a person reads it: indicators, then "$a...$b...". The
// copies of the fields of one record fit in the room reserved, so the views
// into shown_ never move.
std::string_view FieldExtractor::Shown(std::string_view data) {
  const std::size_t start = shown_.size();
  shown_.append(data);
  // A delimiter every few bytes: searched for, not looked for byte by byte.
  char* const begin = shown_.data() + start;
  char* const end = shown_.data() + shown_.size();
  for (auto at = static_cast<std::size_t>(Find(begin, end, kSubfieldDelimiter) - begin); begin + at != end;
       at = static_cast<std::size_t>(Find(begin + at, end, kSubfieldDelimiter) - begin)) {
    begin[at++] = '$';
  }
  return std::string_view(shown_).substr(start);
}

// Columns that read no field, and records whose directory cannot be read.
bool FieldExtractor::OtherValue(std::size_t column, std::string_view& value) const {
  const FieldCode& code = codes_[column];
  value = {};
  // A record's number is known whatever its bytes, and finds it again.
  if (code.kind == FieldCode::Kind::RecordNumber) value = std::string_view(number_.data(), numberLength_);
  if (code.kind == FieldCode::Kind::AlwaysEmpty || code.kind == FieldCode::Kind::RecordNumber ||
      view_->Record().empty()) {
    return true;
  }
  if (view_->Status() == ViewStatus::Failed) return false;
  if (view_->Status() == ViewStatus::Refused) return true;
  if (code.kind == FieldCode::Kind::RecordType) value = typeNames_.For(view_->TypeOfRecord());
  return true;
}

const std::vector<std::string_view>& FieldExtractor::Occurrences(std::size_t column) const {
  const Want& want = wants_[static_cast<std::size_t>(wantOfColumn_[column])];
  return occurrences_[static_cast<std::size_t>(want.joinedIndex)];
}

bool FieldExtractor::ProbeFound(std::size_t probe) const {
  std::string_view value;
  return Value(columns_ + probe, value) && !value.empty();
}

void FieldExtractor::StopProbing(std::size_t probe) {
  const std::int32_t want = wantOfColumn_[columns_ + probe];
  if (want < 0) return;
  Want& wanted = wants_[static_cast<std::size_t>(want)];
  if (wanted.probeUsers > 0 && --wanted.probeUsers == 0) {
    --keepReading_[static_cast<std::size_t>(wanted.slot)];
    --probing_;
  }
}
