// make_cnmarc: writes made-up but realistic CNMARC records (UNIMARC tagging,
// GBK text) in ISO 2709 layout, the same for the same seed, for benchmarks,
// samples and fuzz corpora.
//
//   make_cnmarc [--seed N] [--records N | --megabytes N] [--line-breaks crlf|none] [--utf8]
//               [--shape usual|dense-subfields|many-tags] OUTPUT
//
// The shapes beside the usual records stress a reader: dense-subfields adds a
// contents note of 300 short subfields to each record, many-tags 800 short
// fields of tags drawn from 010-999.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "cnmarc_words.h"
#include "text/recoder.h"

namespace {

constexpr char kFieldEnd = 0x1E;
constexpr char kSubfield = 0x1F;
constexpr char kRecordEnd = 0x1D;

struct Options {
  std::uint64_t seed = 1;
  std::uint64_t records = 1000;
  std::uint64_t bytes = 0;  // when set, records is ignored
  bool crlf = true;
  bool utf8 = false;  // text in UTF-8, as 100$a positions 26-27 ("50") then say
  enum class Shape { Usual, DenseSubfields, ManyTags } shape = Shape::Usual;
  std::string output;
};

bool g_utf8 = false;

// The word lists as GBK bytes (or UTF-8 ones for --utf8).
class GbkList {
 public:
  template <typename Array>
  explicit GbkList(const Array& utf8Words) {
    for (const char* word : utf8Words) {
      const std::optional<std::string> gbk = g_utf8 ? std::optional<std::string>(word) : Utf8ToGbk(word);
      if (!gbk) {
        std::fprintf(stderr, "make_cnmarc: no GBK form for %s\n", word);
        std::exit(1);
      }
      words_.push_back(*gbk);
    }
  }
  const std::string& operator[](std::size_t i) const { return words_[i]; }
  std::size_t size() const { return words_.size(); }

 private:
  std::vector<std::string> words_;
};

struct Words {
  GbkList surnames{cnmarc_words::kSurnames};
  GbkList given{cnmarc_words::kGivenNameCharacters};
  GbkList titleHeads{cnmarc_words::kTitleHeads};
  GbkList titleTopics{cnmarc_words::kTitleTopics};
  GbkList titleTails{cnmarc_words::kTitleTails};
  GbkList subtitles{cnmarc_words::kSubtitles};
  GbkList roles{cnmarc_words::kRoles};
  GbkList places{cnmarc_words::kPlaces};
  GbkList publishers{cnmarc_words::kPublishers};
  GbkList series{cnmarc_words::kSeries};
  GbkList illustrations{cnmarc_words::kIllustrations};
  GbkList subjects{cnmarc_words::kSubjects};
  GbkList subdivisions{cnmarc_words::kSubdivisions};
  GbkList periods{cnmarc_words::kPeriods};
  GbkList classHeads{cnmarc_words::kClassHeads};
  GbkList agencies{cnmarc_words::kAgencies};
  GbkList sentences{cnmarc_words::kAbstractSentences};
  std::string pages = g_utf8 ? "页" : *Utf8ToGbk("页");
  std::string china = g_utf8 ? "中国" : *Utf8ToGbk("中国");
};

// mt19937_64's output is fixed by the C++ standard (the distributions are
// not), so the same seed gives the same file with every compiler.
class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}
  std::uint64_t Below(std::uint64_t n) { return engine_() % n; }
  std::uint64_t Between(std::uint64_t low, std::uint64_t high) { return low + Below(high - low + 1); }
  bool Chance(unsigned percent) { return Below(100) < percent; }
  const std::string& From(const GbkList& list) { return list[Below(list.size())]; }

 private:
  std::mt19937_64 engine_;
};

std::string Digits(std::uint64_t value, int width) {
  char text[32];
  std::snprintf(text, sizeof text, "%0*llu", width, static_cast<unsigned long long>(value));
  return text;
}

std::string Subfield(char code, std::string_view value) {
  std::string out(1, kSubfield);
  out += code;
  out.append(value.data(), value.size());
  return out;
}

struct Field {
  std::string tag;
  std::string data;  // indicators and subfields, without the field terminator

  // Chained calls run left to right (C++17), so draws in them keep their order.
  Field& Sub(char code, std::string_view value) {
    data += Subfield(code, value);
    return *this;
  }
};

class RecordMaker {
 public:
  RecordMaker(const Words& words, Random& random, Options::Shape shape) : w_(words), r_(random), shape_(shape) {}

  std::string Make(std::uint64_t number) {
    fields_.clear();
    // Every draw is a statement of its own: the operands of + may be
    // evaluated in any order, and the file must not depend on the compiler.
    const std::uint64_t year = r_.Between(1985, 2023);
    std::string date = Digits(year, 4);
    date += Digits(r_.Between(1, 12), 2);
    date += Digits(r_.Between(1, 28), 2);
    Add("001", "0" + Digits(year % 100, 2) + Digits(number, 9));
    std::string time = Digits(r_.Between(8, 17), 2);
    time += Digits(r_.Below(60), 2);
    time += Digits(r_.Below(60), 2);
    Add("005", date + time + ".0");
    Add("010", "  ").Sub('a', Isbn()).Sub('d', Price());
    Add("100", "  ")
        .Sub('a', date + "d" + std::to_string(year) + (g_utf8 ? "    km y0chiy5020    ea" : "    km y0chiy0120    ea"));
    Add("101", "0 ").Sub('a', "chi");
    Title();
    Add("210", "  ").Sub('a', r_.From(w_.places)).Sub('c', r_.From(w_.publishers)).Sub('d', std::to_string(year));
    Extent();
    if (r_.Chance(40)) Add("225", "2 ").Sub('a', r_.From(w_.series));
    if (r_.Chance(90)) Add("330", "  ").Sub('a', Abstract());
    for (std::uint64_t n = r_.Between(1, 3); n > 0; --n) Subject();
    Add("690", "  ").Sub('a', ClassNumber()).Sub('v', "5");
    for (std::uint64_t n = r_.Between(1, 2); n > 0; --n) Add("701", " 0").Sub('a', Name()).Sub('4', r_.From(w_.roles));
    Add("801", " 0").Sub('a', "CN").Sub('b', r_.From(w_.agencies)).Sub('c', date);
    if (shape_ == Options::Shape::DenseSubfields) ContentsNote();
    if (shape_ == Options::Shape::ManyTags) ManyShortFields();
    return Assemble();
  }

 private:
  // Leader, directory and fields: lengths and starts count bytes.
  std::string Assemble() {
    std::string directory;
    std::string data;
    for (const Field& field : fields_) {
      const std::size_t length = field.data.size() + 1;
      directory += field.tag + Digits(length, 4) + Digits(data.size(), 5);
      data += field.data;
      data += kFieldEnd;
    }
    directory += kFieldEnd;
    data += kRecordEnd;
    const std::size_t base = 24 + directory.size();
    const std::size_t total = base + data.size();
    std::string record = Digits(total, 5) + "n" + TypeOfRecord() + "m0 22" + Digits(base, 5) + "   450 ";
    return record + directory + data;
  }

  std::string TypeOfRecord() {
    static constexpr char kOthers[] = "acegijklm";
    if (r_.Chance(85)) return "a";
    return std::string(1, kOthers[r_.Below(sizeof kOthers - 1)]);
  }

  Field& Add(const char* tag, std::string data) {
    fields_.push_back({tag, std::move(data)});
    return fields_.back();
  }

  std::string Isbn() {
    std::string digits = "9787" + Digits(r_.Between(100, 5699), 4);
    digits += Digits(r_.Below(10000), 4);
    int sum = 0;
    for (std::size_t i = 0; i < digits.size(); ++i) sum += (digits[i] - '0') * (i % 2 == 0 ? 1 : 3);
    const char check = static_cast<char>('0' + (10 - sum % 10) % 10);
    return digits.substr(0, 3) + "-" + digits.substr(3, 1) + "-" + digits.substr(4, 4) + "-" + digits.substr(8, 4) +
           "-" + check;
  }

  std::string Price() {
    std::string price = "CNY" + std::to_string(r_.Between(8, 298));
    return price + (r_.Chance(70) ? ".00" : ".50");
  }

  std::string Name() {
    std::string name = r_.From(w_.surnames);
    name += r_.From(w_.given);
    if (r_.Chance(70)) name += r_.From(w_.given);
    return name;
  }

  std::string NameWithRole() {
    std::string name = Name();
    return name + r_.From(w_.roles);
  }

  void Title() {
    std::string title = r_.Chance(60) ? r_.From(w_.titleHeads) : "";
    title += r_.From(w_.titleTopics);
    title += r_.From(w_.titleTails);
    Field& field = Add("200", "1 ").Sub('a', title);
    if (r_.Chance(30)) field.Sub('e', r_.From(w_.subtitles));
    field.Sub('f', NameWithRole());
    if (r_.Chance(35)) field.Sub('g', NameWithRole());
  }

  void Extent() {
    Field& field = Add("215", "  ").Sub('a', std::to_string(r_.Between(48, 960)) + w_.pages);
    if (r_.Chance(50)) field.Sub('c', r_.From(w_.illustrations));
    field.Sub('d', std::to_string(r_.Between(18, 30)) + "cm");
  }

  // Hundreds of characters; now and then a tab pasted in from elsewhere.
  std::string Abstract() {
    std::string text;
    for (std::uint64_t n = r_.Between(4, 16); n > 0; --n) text += r_.From(w_.sentences);
    // The sentences are all two-byte characters: an even offset is a character boundary.
    if (r_.Below(256) == 0) text.insert((text.size() / 2) & ~std::size_t{1}, "\t");
    return text;
  }

  void Subject() {
    Field& field = Add("606", "0 ").Sub('a', r_.From(w_.subjects));
    for (std::uint64_t n = r_.Between(1, 4); n > 0; --n) field.Sub('x', r_.From(w_.subdivisions));
    if (r_.Chance(40)) field.Sub('y', w_.china);
    if (r_.Chance(30)) field.Sub('z', r_.From(w_.periods));
  }

  std::string ClassNumber() {
    std::string number = r_.From(w_.classHeads);
    number += std::to_string(r_.Between(0, 399));
    return number + "." + std::to_string(r_.Between(1, 99));
  }

  // 327: a contents note of 300 short subfields, codes a-z and 0-9 in turn.
  void ContentsNote() {
    static constexpr char kCodes[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    Field& field = Add("327", "1 ");
    for (std::size_t n = 0; n < 300; ++n) field.Sub(kCodes[n % (sizeof kCodes - 1)], r_.From(w_.subdivisions));
  }

  // 800 fields of a subfield or two, their tags drawn from 010-999.
  void ManyShortFields() {
    for (int n = 0; n < 800; ++n) {
      const std::string tag = Digits(r_.Between(10, 999), 3);
      fields_.push_back({tag, "  "});
      fields_.back().Sub('a', r_.From(w_.subjects));
      if (r_.Chance(50)) fields_.back().Sub('b', r_.From(w_.periods));
    }
  }

  const Words& w_;
  Random& r_;
  Options::Shape shape_;
  std::vector<Field> fields_;
};

bool ReadNumber(const char* text, std::uint64_t& value) {
  char* end = nullptr;
  value = std::strtoull(text, &end, 10);
  return *text != '\0' && *end == '\0';
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    const bool hasValue = i + 1 < argc;
    if (argument == "--seed" && hasValue) {
      if (!ReadNumber(argv[++i], options.seed)) return false;
    } else if (argument == "--records" && hasValue) {
      if (!ReadNumber(argv[++i], options.records)) return false;
    } else if (argument == "--megabytes" && hasValue) {
      std::uint64_t megabytes = 0;
      if (!ReadNumber(argv[++i], megabytes)) return false;
      options.bytes = megabytes * 1000000;
    } else if (argument == "--line-breaks" && hasValue) {
      const std::string_view mode = argv[++i];
      if (mode != "crlf" && mode != "none") return false;
      options.crlf = mode == "crlf";
    } else if (argument == "--utf8") {
      options.utf8 = true;
    } else if (argument == "--shape" && hasValue) {
      const std::string_view shape = argv[++i];
      if (shape == "usual") {
        options.shape = Options::Shape::Usual;
      } else if (shape == "dense-subfields") {
        options.shape = Options::Shape::DenseSubfields;
      } else if (shape == "many-tags") {
        options.shape = Options::Shape::ManyTags;
      } else {
        return false;
      }
    } else if (options.output.empty() && !argument.empty() && (argument[0] != '-' || argument == "-")) {
      options.output = argv[i];
    } else {
      return false;
    }
  }
  return !options.output.empty();
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fputs(
        "Usage: make_cnmarc [--seed N] [--records N | --megabytes N] [--line-breaks crlf|none] [--utf8]\n"
        "                   [--shape usual|dense-subfields|many-tags] OUTPUT\n"
        "OUTPUT may be - for standard output. A megabyte is 1,000,000 bytes.\n",
        stderr);
    return 2;
  }
  std::FILE* out = options.output == "-" ? stdout : std::fopen(options.output.c_str(), "wb");
  if (out == nullptr) {
    std::perror(options.output.c_str());
    return 1;
  }
  g_utf8 = options.utf8;
  const Words words;
  Random random(options.seed);
  RecordMaker maker(words, random, options.shape);
  std::uint64_t written = 0;
  for (std::uint64_t number = 1; options.bytes > 0 ? written < options.bytes : number <= options.records; ++number) {
    std::string record = maker.Make(number);
    if (options.crlf) record += "\r\n";
    std::fwrite(record.data(), 1, record.size(), out);
    written += record.size();
  }
  const bool failed = std::ferror(out) != 0 || (out != stdout ? std::fclose(out) : std::fflush(out)) != 0;
  if (failed) {
    std::fprintf(stderr, "make_cnmarc: could not write %s\n", options.output.c_str());
    return 1;
  }
  return 0;
}
