#include "marc/record_type.h"

#include "text/recoder.h"

namespace {

struct RecordType {
  char letter;
  std::string_view name;  // UTF-8
};

constexpr std::array<RecordType, 15> kRecordTypes{{
    {'a', "文字资料印刷品"},
    {'b', "文字资料手稿"},
    {'c', "乐谱印刷品"},
    {'d', "乐谱手稿"},
    {'e', "测绘资料印刷品"},
    {'f', "测绘资料手稿"},
    {'g', "放映和视频资料"},
    {'i', "非音乐性录音资料"},
    {'j', "音乐性录音资料"},
    {'k', "二维图形"},
    {'l', "计算机存储介质"},
    {'m', "多媒体"},
    {'r', "三维制品和教具"},
    {'u', "拓片"},
    {'v', "善本书"},
}};

}  // namespace

RecordTypeNames::RecordTypeNames(TextEncoding encoding) {
  for (std::size_t i = 0; i < kRecordTypes.size(); ++i) {
    const std::string_view name = kRecordTypes[i].name;
    names_[i] = encoding == TextEncoding::Gbk ? Utf8ToGbkOrQuestionMarks(name) : std::string(name);
  }
}

std::string_view RecordTypeNames::For(char typeOfRecord) const {
  for (std::size_t i = 0; i < kRecordTypes.size(); ++i) {
    if (kRecordTypes[i].letter == typeOfRecord) return names_[i];
  }
  return {};
}
