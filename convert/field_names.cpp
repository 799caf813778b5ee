#include "field_names.h"

#include <cstddef>

namespace {

// Names are written with full-width punctuation ("－", "（", "："), which
// every terminal shows two columns wide, so that tables of them line up.

struct Subfield {
  std::string_view code;
  std::string_view name;
};

struct Subfields {
  const Subfield* items = nullptr;
  std::size_t count = 0;
};

template <std::size_t N>
constexpr Subfields Of(const Subfield (&items)[N]) {
  return {items, N};
}

struct Field {
  std::string_view tag;
  std::string_view name;
  // Many fields share their subfields: a field's own list, then a shared one.
  Subfields own;
  Subfields more;
};

constexpr Subfield kIsbn[] = {{"a", "ISBN"}, {"b", "装订"}, {"d", "获得方式/价格"}, {"z", "错误的ISBN"}};
constexpr Subfield kIssn[] = {
    {"a", "ISSN"}, {"b", "限定"}, {"d", "获得方式/价格"}, {"y", "注销的ISSN"}, {"z", "错误的ISSN"}};
constexpr Subfield kNumber[] = {{"a", "国家代码"}, {"b", "号码"}, {"z", "错误的号码"}};
constexpr Subfield kUnifiedNumber[] = {{"a", "统一书刊号"}, {"b", "限定"}, {"d", "获得方式/价格"}};
constexpr Subfield kGeneralData[] = {{"a", "通用处理数据"}};
constexpr Subfield kLanguage[] = {{"a", "正文语种"}, {"b", "中间语种"},   {"c", "原作语种"},   {"d", "提要语种"},
                                  {"e", "目次语种"}, {"f", "题名页语种"}, {"g", "正题名语种"}, {"h", "歌词语种"},
                                  {"i", "附件语种"}, {"j", "字幕语种"}};
constexpr Subfield kCountry[] = {{"a", "出版国别"}, {"b", "出版地区"}};
constexpr Subfield kCodedData[] = {{"a", "编码数据"}};
constexpr Subfield kTitle[] = {{"a", "正题名"},       {"b", "一般资料标识"},   {"c", "另一作者的正题名"},
                               {"d", "并列正题名"},   {"e", "其他题名信息"},   {"f", "第一责任说明"},
                               {"g", "其他责任说明"}, {"h", "分辑号"},         {"i", "分辑名"},
                               {"v", "卷标识"},       {"z", "并列正题名语种"}, {"9", "正题名汉语拼音"}};
constexpr Subfield kEdition[] = {
    {"a", "版本说明"}, {"b", "附加版本说明"}, {"d", "并列版本说明"}, {"f", "版本责任说明"}, {"g", "其他版本责任说明"}};
constexpr Subfield kPublication[] = {{"a", "出版地"}, {"b", "出版者地址"}, {"c", "出版者"}, {"d", "出版日期"},
                                     {"e", "制作地"}, {"f", "制作者地址"}, {"g", "制作者"}, {"h", "制作日期"}};
constexpr Subfield kPhysical[] = {{"a", "页数/卷数"}, {"c", "其他形态细节"}, {"d", "尺寸"}, {"e", "附件"}};
constexpr Subfield kSeries[] = {{"a", "丛编题名"},     {"d", "并列丛编题名"}, {"e", "丛编其他题名信息"},
                                {"f", "丛编责任说明"}, {"h", "分丛编号"},     {"i", "分丛编名"},
                                {"v", "丛编卷次"},     {"x", "丛编ISSN"},     {"z", "并列丛编题名语种"}};
constexpr Subfield kNote[] = {{"a", "附注内容"}};
// Linking fields embed whole fields of the other record after $1.
constexpr Subfield kLink[] = {{"1", "连接数据"}, {"a", "题名"}, {"v", "卷次"}};
constexpr Subfield kUniformTitle[] = {{"a", "统一题名"}};
constexpr Subfield kParallelTitle[] = {{"a", "并列题名"}};
constexpr Subfield kCoverTitle[] = {{"a", "封面题名"}};
constexpr Subfield kAddedTitlePageTitle[] = {{"a", "附加题名页题名"}};
constexpr Subfield kCaptionTitle[] = {{"a", "卷端题名"}};
constexpr Subfield kRunningTitle[] = {{"a", "逐页题名"}};
constexpr Subfield kSpineTitle[] = {{"a", "书脊题名"}};
constexpr Subfield kOtherTitle[] = {{"a", "其他题名"}};
constexpr Subfield kAddedTitle[] = {{"a", "编目员补充的附加题名"}};
constexpr Subfield kTranslatedTitle[] = {{"a", "编目员补充的翻译题名"}};
constexpr Subfield kTitleParts[] = {{"e", "其他题名信息"}, {"h", "分辑号"}, {"i", "分辑名"}, {"z", "题名语种"}};
constexpr Subfield kPersonalName[] = {{"a", "款目要素"},      {"b", "名称的其余部分"}, {"c", "名称附加"},
                                      {"d", "罗马数字"},      {"f", "年代"},           {"g", "名称首字母全称"},
                                      {"p", "任职机构/地址"}, {"3", "规范记录号"}};
constexpr Subfield kCorporateName[] = {{"a", "款目要素"}, {"b", "次级部分"},       {"c", "名称附加或限定"},
                                       {"d", "会议届次"}, {"e", "会议地点"},       {"f", "会议日期"},
                                       {"g", "倒置部分"}, {"h", "名称的其余部分"}, {"3", "规范记录号"}};
constexpr Subfield kFamilyName[] = {{"a", "款目要素"}, {"f", "年代"}, {"3", "规范记录号"}};
constexpr Subfield kEntryElement[] = {{"a", "款目要素"}};
constexpr Subfield kResponsibility[] = {{"4", "责任方式"}, {"9", "款目要素汉语拼音"}};
constexpr Subfield kSubdivisions[] = {{"j", "形式复分"}, {"x", "论题复分"},     {"y", "地理复分"},
                                      {"z", "年代复分"}, {"2", "主题词表代码"}, {"3", "规范记录号"}};
constexpr Subfield kUncontrolled[] = {{"a", "主题词"}};
constexpr Subfield kClassNumber[] = {{"a", "分类号"}, {"v", "版次"}};
constexpr Subfield kClcNumber[] = {{"a", "中图分类号"}, {"v", "版次"}};
constexpr Subfield kCasNumber[] = {{"a", "科图分类号"}, {"v", "版次"}};
constexpr Subfield kOtherClassNumber[] = {{"a", "分类号"}, {"b", "书次号"}, {"v", "版次"}, {"2", "分类法代码"}};
constexpr Subfield kSource[] = {{"a", "国家"}, {"b", "机构"}, {"c", "处理日期"}, {"g", "编目规则"}, {"2", "格式代码"}};
constexpr Subfield kElectronicLocation[] = {{"u", "统一资源标识（URI）"}, {"z", "附注"}};
constexpr Subfield kHoldings[] = {
    {"a", "馆藏机构"}, {"b", "登录号"}, {"d", "索书号（分类号）"}, {"e", "书次号"}, {"f", "种次号"}};

constexpr Field kFields[] = {
    {"001", "记录标识号", {}, {}},
    {"003", "永久记录标识", {}, {}},
    {"005", "记录版本标识", {}, {}},
    {"010", "国际标准书号（ISBN）", Of(kIsbn), {}},
    {"011", "国际标准连续出版物号（ISSN）", Of(kIssn), {}},
    {"020", "国家书目号", Of(kNumber), {}},
    {"021", "版权登记号", Of(kNumber), {}},
    {"022", "政府出版物号", Of(kNumber), {}},
    {"091", "统一书刊号", Of(kUnifiedNumber), {}},
    {"100", "通用处理数据", Of(kGeneralData), {}},
    {"101", "作品语种", Of(kLanguage), {}},
    {"102", "出版或制作国别", Of(kCountry), {}},
    {"105", "编码数据：专著文字资料", Of(kCodedData), {}},
    {"106", "编码数据：文字资料形态特征", Of(kCodedData), {}},
    {"110", "编码数据：连续出版物", Of(kCodedData), {}},
    {"200", "题名与责任说明", Of(kTitle), {}},
    {"205", "版本说明", Of(kEdition), {}},
    {"210", "出版发行", Of(kPublication), {}},
    {"215", "载体形态", Of(kPhysical), {}},
    {"225", "丛编", Of(kSeries), {}},
    {"300", "一般附注", Of(kNote), {}},
    {"303", "著录信息附注", Of(kNote), {}},
    {"304", "题名与责任说明附注", Of(kNote), {}},
    {"305", "版本与书目沿革附注", Of(kNote), {}},
    {"306", "出版发行附注", Of(kNote), {}},
    {"307", "载体形态附注", Of(kNote), {}},
    {"308", "丛编附注", Of(kNote), {}},
    {"312", "相关题名附注", Of(kNote), {}},
    {"314", "知识责任附注", Of(kNote), {}},
    {"320", "书目、索引附注", Of(kNote), {}},
    {"324", "原作版本附注", Of(kNote), {}},
    {"327", "内容附注", Of(kNote), {}},
    {"328", "学位论文附注", Of(kNote), {}},
    {"330", "提要或文摘", Of(kNote), {}},
    {"333", "使用对象附注", Of(kNote), {}},
    {"345", "采访信息附注", Of(kNote), {}},
    {"410", "丛编", Of(kLink), {}},
    {"411", "附属丛编", Of(kLink), {}},
    {"421", "补编", Of(kLink), {}},
    {"422", "正编", Of(kLink), {}},
    {"423", "合订、合刊", Of(kLink), {}},
    {"451", "同一载体的其他版本", Of(kLink), {}},
    {"452", "不同载体的其他版本", Of(kLink), {}},
    {"453", "译作", Of(kLink), {}},
    {"454", "原作", Of(kLink), {}},
    {"461", "总集", Of(kLink), {}},
    {"462", "分集", Of(kLink), {}},
    {"463", "单册", Of(kLink), {}},
    {"464", "单册分析", Of(kLink), {}},
    {"488", "其他相关作品", Of(kLink), {}},
    {"500", "统一题名", Of(kUniformTitle), Of(kTitleParts)},
    {"501", "作品集统一题名", Of(kUniformTitle), Of(kTitleParts)},
    {"510", "并列题名", Of(kParallelTitle), Of(kTitleParts)},
    {"512", "封面题名", Of(kCoverTitle), Of(kTitleParts)},
    {"513", "附加题名页题名", Of(kAddedTitlePageTitle), Of(kTitleParts)},
    {"514", "卷端题名", Of(kCaptionTitle), Of(kTitleParts)},
    {"515", "逐页题名", Of(kRunningTitle), Of(kTitleParts)},
    {"516", "书脊题名", Of(kSpineTitle), Of(kTitleParts)},
    {"517", "其他题名", Of(kOtherTitle), Of(kTitleParts)},
    {"540", "编目员补充的附加题名", Of(kAddedTitle), Of(kTitleParts)},
    {"541", "编目员补充的翻译题名", Of(kTranslatedTitle), Of(kTitleParts)},
    {"600", "个人名称主题", Of(kPersonalName), Of(kSubdivisions)},
    {"601", "团体名称主题", Of(kCorporateName), Of(kSubdivisions)},
    {"602", "家族名称主题", Of(kFamilyName), Of(kSubdivisions)},
    {"604", "名称和题名主题", Of(kEntryElement), Of(kSubdivisions)},
    {"605", "题名主题", Of(kEntryElement), Of(kSubdivisions)},
    {"606", "论题名称主题", Of(kEntryElement), Of(kSubdivisions)},
    {"607", "地理名称主题", Of(kEntryElement), Of(kSubdivisions)},
    {"608", "形式、体裁或物理特征主题", Of(kEntryElement), Of(kSubdivisions)},
    {"610", "非控主题词", Of(kUncontrolled), {}},
    {"675", "国际十进分类法分类号", Of(kClassNumber), {}},
    {"676", "杜威十进分类法分类号", Of(kClassNumber), {}},
    {"680", "美国国会图书馆分类法分类号", Of(kClassNumber), {}},
    {"686", "其他分类法分类号", Of(kOtherClassNumber), {}},
    {"690", "中国图书馆分类法分类号", Of(kClcNumber), {}},
    {"692", "中国科学院图书馆分类法分类号", Of(kCasNumber), {}},
    {"700", "个人名称－主要知识责任", Of(kPersonalName), Of(kResponsibility)},
    {"701", "个人名称－等同知识责任", Of(kPersonalName), Of(kResponsibility)},
    {"702", "个人名称－次要知识责任", Of(kPersonalName), Of(kResponsibility)},
    {"710", "团体名称－主要知识责任", Of(kCorporateName), Of(kResponsibility)},
    {"711", "团体名称－等同知识责任", Of(kCorporateName), Of(kResponsibility)},
    {"712", "团体名称－次要知识责任", Of(kCorporateName), Of(kResponsibility)},
    {"720", "家族名称－主要知识责任", Of(kFamilyName), Of(kResponsibility)},
    {"721", "家族名称－等同知识责任", Of(kFamilyName), Of(kResponsibility)},
    {"722", "家族名称－次要知识责任", Of(kFamilyName), Of(kResponsibility)},
    {"801", "记录来源", Of(kSource), {}},
    {"830", "编目员一般附注", Of(kNote), {}},
    {"856", "电子资源地址与检索", Of(kElectronicLocation), {}},
    {"905", "馆藏信息", Of(kHoldings), {}},
};

const Field* Find(std::string_view tag) {
  for (const Field& field : kFields) {
    if (field.tag == tag) return &field;
  }
  return nullptr;
}

std::string_view NameIn(Subfields list, std::string_view code) {
  for (std::size_t i = 0; i < list.count; ++i) {
    if (list.items[i].code == code) return list.items[i].name;
  }
  return {};
}

}  // namespace

std::string_view FieldName(std::string_view tag) {
  const Field* field = Find(tag);
  return field != nullptr ? field->name : std::string_view();
}

std::string_view SubfieldName(std::string_view tag, std::string_view code) {
  const Field* field = Find(tag);
  if (field == nullptr) return {};
  const std::string_view own = NameIn(field->own, code);
  return !own.empty() ? own : NameIn(field->more, code);
}
