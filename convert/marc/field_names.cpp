#include "marc/field_names.h"

#include <cstddef>

namespace {

// Chinese names are written with full-width punctuation ("－", "（", "："),
// which every terminal shows two columns wide, so that tables of them line
// up. English names are the UNIMARC manual's, in plain ASCII but for the en
// dash ("–") where the manual has one; CNMARC's own fields (09x, 69x, 9xx)
// have their Chinese names put into English.

struct Subfield {
  std::string_view code;
  std::string_view chinese;
  std::string_view english;
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
  std::string_view chinese;
  std::string_view english;
  // Many fields share their subfields: a field's own list, then a shared one.
  Subfields own;
  Subfields more;
};

template <typename Entry>
std::string_view NameIn(Language language, const Entry& entry) {
  return language == Language::English ? entry.english : entry.chinese;
}

constexpr Subfield kIsbn[] = {{"a", "ISBN", "Number (ISBN)"},
                              {"b", "装订", "Qualification"},
                              {"d", "获得方式/价格", "Terms of availability and/or price"},
                              {"z", "错误的ISBN", "Erroneous ISBN"}};
constexpr Subfield kIssn[] = {{"a", "ISSN", "Number (ISSN)"},
                              {"b", "限定", "Qualification"},
                              {"d", "获得方式/价格", "Terms of availability and/or price"},
                              {"y", "注销的ISSN", "Cancelled ISSN"},
                              {"z", "错误的ISSN", "Erroneous ISSN"}};
constexpr Subfield kNumber[] = {
    {"a", "国家代码", "Country code"}, {"b", "号码", "Number"}, {"z", "错误的号码", "Erroneous number"}};
constexpr Subfield kUnifiedNumber[] = {{"a", "统一书刊号", "Unified book and periodical number"},
                                       {"b", "限定", "Qualification"},
                                       {"d", "获得方式/价格", "Terms of availability and/or price"}};
constexpr Subfield kGeneralData[] = {{"a", "通用处理数据", "General processing data"}};
constexpr Subfield kLanguages[] = {
    {"a", "正文语种", "Language of text, soundtrack, etc."},
    {"b", "中间语种", "Language of intermediate text when item is not translated from original"},
    {"c", "原作语种", "Language of original work"},
    {"d", "提要语种", "Language of summary"},
    {"e", "目次语种", "Language of contents page"},
    {"f", "题名页语种", "Language of title page if different from text"},
    {"g", "正题名语种", "Language of title proper if not first language of text, soundtrack, etc."},
    {"h", "歌词语种", "Language of libretto, etc."},
    {"i", "附件语种", "Language of accompanying material (other than summaries, abstracts or librettos)"},
    {"j", "字幕语种", "Language of subtitles"}};
constexpr Subfield kCountry[] = {{"a", "出版国别", "Country of publication"},
                                 {"b", "出版地区", "Locality of publication"}};
constexpr Subfield kMonographCodedData[] = {{"a", "编码数据", "Monograph coded data"}};
constexpr Subfield kTextualMaterialCodedData[] = {{"a", "编码数据", "Textual material coded data"}};
constexpr Subfield kContinuingResourceCodedData[] = {{"a", "编码数据", "Continuing resource coded data"}};
constexpr Subfield kTitle[] = {{"a", "正题名", "Title proper"},
                               {"b", "一般资料标识", "General material designation"},
                               {"c", "另一作者的正题名", "Title proper by another author"},
                               {"d", "并列正题名", "Parallel title proper"},
                               {"e", "其他题名信息", "Other title information"},
                               {"f", "第一责任说明", "First statement of responsibility"},
                               {"g", "其他责任说明", "Subsequent statement of responsibility"},
                               {"h", "分辑号", "Number of a part"},
                               {"i", "分辑名", "Name of a part"},
                               {"v", "卷标识", "Volume designation"},
                               {"z", "并列正题名语种", "Language of parallel title proper"},
                               {"9", "正题名汉语拼音", "Title proper in Hanyu Pinyin"}};
constexpr Subfield kEdition[] = {{"a", "版本说明", "Edition statement"},
                                 {"b", "附加版本说明", "Issue statement"},
                                 {"d", "并列版本说明", "Parallel edition statement"},
                                 {"f", "版本责任说明", "Statement of responsibility relating to edition"},
                                 {"g", "其他版本责任说明", "Subsequent statement of responsibility"}};
constexpr Subfield kPublication[] = {{"a", "出版地", "Place of publication, distribution, etc."},
                                     {"b", "出版者地址", "Address of publisher, distributor, etc."},
                                     {"c", "出版者", "Name of publisher, distributor, etc."},
                                     {"d", "出版日期", "Date of publication, distribution, etc."},
                                     {"e", "制作地", "Place of manufacture"},
                                     {"f", "制作者地址", "Address of manufacturer"},
                                     {"g", "制作者", "Name of manufacturer"},
                                     {"h", "制作日期", "Date of manufacture"}};
constexpr Subfield kPhysical[] = {{"a", "页数/卷数", "Specific material designation and extent of item"},
                                  {"c", "其他形态细节", "Other physical details"},
                                  {"d", "尺寸", "Dimensions"},
                                  {"e", "附件", "Accompanying material"}};
constexpr Subfield kSeries[] = {{"a", "丛编题名", "Series title"},
                                {"d", "并列丛编题名", "Parallel series title"},
                                {"e", "丛编其他题名信息", "Other title information"},
                                {"f", "丛编责任说明", "Statement of responsibility"},
                                {"h", "分丛编号", "Number of a part"},
                                {"i", "分丛编名", "Name of a part"},
                                {"v", "丛编卷次", "Volume designation"},
                                {"x", "丛编ISSN", "ISSN of series"},
                                {"z", "并列丛编题名语种", "Language of parallel title"}};
constexpr Subfield kNote[] = {{"a", "附注内容", "Text of note"}};
// Linking fields embed whole fields of the other record after $1: the $a
// that follows is the embedded title's.
constexpr Subfield kLink[] = {
    {"1", "连接数据", "Linking data"}, {"a", "题名", "Title"}, {"v", "卷次", "Volume number"}};
constexpr Subfield kUniformTitle[] = {{"a", "统一题名", "Uniform title"}};
constexpr Subfield kCollectiveUniformTitle[] = {{"a", "统一题名", "Collective uniform title"}};
constexpr Subfield kParallelTitle[] = {{"a", "并列题名", "Parallel title"}};
constexpr Subfield kCoverTitle[] = {{"a", "封面题名", "Cover title"}};
constexpr Subfield kAddedTitlePageTitle[] = {{"a", "附加题名页题名", "Added title-page title"}};
constexpr Subfield kCaptionTitle[] = {{"a", "卷端题名", "Caption title"}};
constexpr Subfield kRunningTitle[] = {{"a", "逐页题名", "Running title"}};
constexpr Subfield kSpineTitle[] = {{"a", "书脊题名", "Spine title"}};
constexpr Subfield kOtherTitle[] = {{"a", "其他题名", "Variant title"}};
constexpr Subfield kAddedTitle[] = {{"a", "编目员补充的附加题名", "Additional title"}};
constexpr Subfield kTranslatedTitle[] = {{"a", "编目员补充的翻译题名", "Translated title"}};
constexpr Subfield kTitleParts[] = {{"e", "其他题名信息", "Other title information"},
                                    {"h", "分辑号", "Number of part"},
                                    {"i", "分辑名", "Name of part"},
                                    {"z", "题名语种", "Language of title"}};
constexpr Subfield kPersonalName[] = {{"a", "款目要素", "Entry element"},
                                      {"b", "名称的其余部分", "Part of name other than entry element"},
                                      {"c", "名称附加", "Additions to names other than dates"},
                                      {"d", "罗马数字", "Roman numerals"},
                                      {"f", "年代", "Dates"},
                                      {"g", "名称首字母全称", "Expansion of initials of forename"},
                                      {"p", "任职机构/地址", "Affiliation/address"},
                                      {"3", "规范记录号", "Authority record number"}};
constexpr Subfield kCorporateName[] = {
    {"a", "款目要素", "Entry element"},
    {"b", "次级部分", "Subdivision"},
    {"c", "名称附加或限定", "Addition to name or qualifier"},
    {"d", "会议届次", "Number of meeting and/or number of part of meeting"},
    {"e", "会议地点", "Location of meeting"},
    {"f", "会议日期", "Date of meeting"},
    {"g", "倒置部分", "Inverted element"},
    {"h", "名称的其余部分", "Part of name other than entry element and inverted element"},
    {"3", "规范记录号", "Authority record number"}};
constexpr Subfield kFamilyName[] = {
    {"a", "款目要素", "Entry element"}, {"f", "年代", "Dates"}, {"3", "规范记录号", "Authority record number"}};
constexpr Subfield kEntryElement[] = {{"a", "款目要素", "Entry element"}};
constexpr Subfield kResponsibility[] = {{"4", "责任方式", "Relator code"},
                                        {"9", "款目要素汉语拼音", "Entry element in Hanyu Pinyin"}};
constexpr Subfield kSubdivisions[] = {
    {"j", "形式复分", "Form subdivision"},         {"x", "论题复分", "Topical subdivision"},
    {"y", "地理复分", "Geographical subdivision"}, {"z", "年代复分", "Chronological subdivision"},
    {"2", "主题词表代码", "System code"},          {"3", "规范记录号", "Authority record number"}};
constexpr Subfield kUncontrolled[] = {{"a", "主题词", "Subject term"}};
constexpr Subfield kDecimalNumber[] = {{"a", "分类号", "Number"}, {"v", "版次", "Edition"}};
constexpr Subfield kLcNumber[] = {{"a", "分类号", "Class number"}, {"v", "版次", "Edition"}};
constexpr Subfield kClcNumber[] = {{"a", "中图分类号", "Chinese Library Classification number"},
                                   {"v", "版次", "Edition"}};
constexpr Subfield kCasNumber[] = {{"a", "科图分类号", "Chinese Academy of Sciences Library Classification number"},
                                   {"v", "版次", "Edition"}};
constexpr Subfield kOtherClassNumber[] = {{"a", "分类号", "Class number"},
                                          {"b", "书次号", "Book number"},
                                          {"v", "版次", "Edition"},
                                          {"2", "分类法代码", "System code"}};
constexpr Subfield kSource[] = {{"a", "国家", "Country"},
                                {"b", "机构", "Agency"},
                                {"c", "处理日期", "Date of transaction"},
                                {"g", "编目规则", "Cataloguing rules (descriptive conventions)"},
                                {"2", "格式代码", "Format code"}};
constexpr Subfield kElectronicLocation[] = {{"u", "统一资源标识（URI）", "Uniform Resource Identifier (URI)"},
                                            {"z", "附注", "Public note"}};
constexpr Subfield kHoldings[] = {{"a", "馆藏机构", "Holding institution"},
                                  {"b", "登录号", "Accession number"},
                                  {"d", "索书号（分类号）", "Call number (class number)"},
                                  {"e", "书次号", "Book number"},
                                  {"f", "种次号", "Title sequence number"}};

constexpr Field kFields[] = {
    {"001", "记录标识号", "Record identifier", {}, {}},
    {"003", "永久记录标识", "Persistent record identifier", {}, {}},
    {"005", "记录版本标识", "Version identifier", {}, {}},
    {"010", "国际标准书号（ISBN）", "International Standard Book Number (ISBN)", Of(kIsbn), {}},
    {"011", "国际标准连续出版物号（ISSN）", "International Standard Serial Number (ISSN)", Of(kIssn), {}},
    {"020", "国家书目号", "National bibliography number", Of(kNumber), {}},
    {"021", "版权登记号", "Legal deposit number", Of(kNumber), {}},
    {"022", "政府出版物号", "Government publication number", Of(kNumber), {}},
    {"091", "统一书刊号", "Unified book and periodical number", Of(kUnifiedNumber), {}},
    {"100", "通用处理数据", "General processing data", Of(kGeneralData), {}},
    {"101", "作品语种", "Language of the item", Of(kLanguages), {}},
    {"102", "出版或制作国别", "Country of publication or production", Of(kCountry), {}},
    {"105", "编码数据：专著文字资料", "Coded data field: textual material, monographic", Of(kMonographCodedData), {}},
    {"106",
     "编码数据：文字资料形态特征",
     "Coded data field: textual material – physical attributes",
     Of(kTextualMaterialCodedData),
     {}},
    {"110", "编码数据：连续出版物", "Coded data field: continuing resources", Of(kContinuingResourceCodedData), {}},
    {"200", "题名与责任说明", "Title and statement of responsibility", Of(kTitle), {}},
    {"205", "版本说明", "Edition statement", Of(kEdition), {}},
    {"210", "出版发行", "Publication, distribution, etc.", Of(kPublication), {}},
    {"215", "载体形态", "Physical description", Of(kPhysical), {}},
    {"225", "丛编", "Series", Of(kSeries), {}},
    {"300", "一般附注", "General notes", Of(kNote), {}},
    {"303", "著录信息附注", "General notes pertaining to descriptive information", Of(kNote), {}},
    {"304", "题名与责任说明附注", "Notes pertaining to title and statement of responsibility", Of(kNote), {}},
    {"305", "版本与书目沿革附注", "Notes pertaining to edition and bibliographic history", Of(kNote), {}},
    {"306", "出版发行附注", "Notes pertaining to publication, distribution, etc.", Of(kNote), {}},
    {"307", "载体形态附注", "Notes pertaining to physical description", Of(kNote), {}},
    {"308", "丛编附注", "Notes pertaining to series", Of(kNote), {}},
    {"312", "相关题名附注", "Notes pertaining to related titles", Of(kNote), {}},
    {"314", "知识责任附注", "Notes pertaining to intellectual responsibility", Of(kNote), {}},
    {"320", "书目、索引附注", "Internal bibliographies/indexes note", Of(kNote), {}},
    {"324", "原作版本附注", "Original version note", Of(kNote), {}},
    {"327", "内容附注", "Contents note", Of(kNote), {}},
    {"328", "学位论文附注", "Dissertation (thesis) note", Of(kNote), {}},
    {"330", "提要或文摘", "Summary or abstract", Of(kNote), {}},
    {"333", "使用对象附注", "Users/intended audience note", Of(kNote), {}},
    {"345", "采访信息附注", "Acquisition information note", Of(kNote), {}},
    {"410", "丛编", "Series", Of(kLink), {}},
    {"411", "附属丛编", "Subseries", Of(kLink), {}},
    {"421", "补编", "Supplement", Of(kLink), {}},
    {"422", "正编", "Parent of supplement", Of(kLink), {}},
    {"423", "合订、合刊", "Issued with", Of(kLink), {}},
    {"451", "同一载体的其他版本", "Other edition in the same medium", Of(kLink), {}},
    {"452", "不同载体的其他版本", "Edition in a different medium", Of(kLink), {}},
    {"453", "译作", "Translated as", Of(kLink), {}},
    {"454", "原作", "Translation of", Of(kLink), {}},
    {"461", "总集", "Set level", Of(kLink), {}},
    {"462", "分集", "Subset level", Of(kLink), {}},
    {"463", "单册", "Piece level", Of(kLink), {}},
    {"464", "单册分析", "Piece-analytic level", Of(kLink), {}},
    {"488", "其他相关作品", "Other related works", Of(kLink), {}},
    {"500", "统一题名", "Uniform title", Of(kUniformTitle), Of(kTitleParts)},
    {"501", "作品集统一题名", "Collective uniform title", Of(kCollectiveUniformTitle), Of(kTitleParts)},
    {"510", "并列题名", "Parallel title proper", Of(kParallelTitle), Of(kTitleParts)},
    {"512", "封面题名", "Cover title", Of(kCoverTitle), Of(kTitleParts)},
    {"513", "附加题名页题名", "Added title-page title", Of(kAddedTitlePageTitle), Of(kTitleParts)},
    {"514", "卷端题名", "Caption title", Of(kCaptionTitle), Of(kTitleParts)},
    {"515", "逐页题名", "Running title", Of(kRunningTitle), Of(kTitleParts)},
    {"516", "书脊题名", "Spine title", Of(kSpineTitle), Of(kTitleParts)},
    {"517", "其他题名", "Other variant titles", Of(kOtherTitle), Of(kTitleParts)},
    {"540", "编目员补充的附加题名", "Additional title supplied by cataloguer", Of(kAddedTitle), Of(kTitleParts)},
    {"541", "编目员补充的翻译题名", "Translated title supplied by cataloguer", Of(kTranslatedTitle), Of(kTitleParts)},
    {"600", "个人名称主题", "Personal name used as subject", Of(kPersonalName), Of(kSubdivisions)},
    {"601", "团体名称主题", "Corporate body name used as subject", Of(kCorporateName), Of(kSubdivisions)},
    {"602", "家族名称主题", "Family name used as subject", Of(kFamilyName), Of(kSubdivisions)},
    {"604", "名称和题名主题", "Name and title used as subject", Of(kEntryElement), Of(kSubdivisions)},
    {"605", "题名主题", "Title used as subject", Of(kEntryElement), Of(kSubdivisions)},
    {"606", "论题名称主题", "Topical name used as subject", Of(kEntryElement), Of(kSubdivisions)},
    {"607", "地理名称主题", "Geographical name used as subject", Of(kEntryElement), Of(kSubdivisions)},
    {"608", "形式、体裁或物理特征主题", "Form, genre or physical characteristics heading", Of(kEntryElement),
     Of(kSubdivisions)},
    {"610", "非控主题词", "Uncontrolled subject terms", Of(kUncontrolled), {}},
    {"675", "国际十进分类法分类号", "Universal Decimal Classification (UDC)", Of(kDecimalNumber), {}},
    {"676", "杜威十进分类法分类号", "Dewey Decimal Classification (DDC)", Of(kDecimalNumber), {}},
    {"680", "美国国会图书馆分类法分类号", "Library of Congress Classification", Of(kLcNumber), {}},
    {"686", "其他分类法分类号", "Other class numbers", Of(kOtherClassNumber), {}},
    {"690", "中国图书馆分类法分类号", "Chinese Library Classification", Of(kClcNumber), {}},
    {"692", "中国科学院图书馆分类法分类号", "Chinese Academy of Sciences Library Classification", Of(kCasNumber), {}},
    {"700", "个人名称－主要知识责任", "Personal name – primary responsibility", Of(kPersonalName), Of(kResponsibility)},
    {"701", "个人名称－等同知识责任", "Personal name – alternative responsibility", Of(kPersonalName),
     Of(kResponsibility)},
    {"702", "个人名称－次要知识责任", "Personal name – secondary responsibility", Of(kPersonalName),
     Of(kResponsibility)},
    {"710", "团体名称－主要知识责任", "Corporate body name – primary responsibility", Of(kCorporateName),
     Of(kResponsibility)},
    {"711", "团体名称－等同知识责任", "Corporate body name – alternative responsibility", Of(kCorporateName),
     Of(kResponsibility)},
    {"712", "团体名称－次要知识责任", "Corporate body name – secondary responsibility", Of(kCorporateName),
     Of(kResponsibility)},
    {"720", "家族名称－主要知识责任", "Family name – primary responsibility", Of(kFamilyName), Of(kResponsibility)},
    {"721", "家族名称－等同知识责任", "Family name – alternative responsibility", Of(kFamilyName), Of(kResponsibility)},
    {"722", "家族名称－次要知识责任", "Family name – secondary responsibility", Of(kFamilyName), Of(kResponsibility)},
    {"801", "记录来源", "Originating source", Of(kSource), {}},
    {"830", "编目员一般附注", "General cataloguer's note", Of(kNote), {}},
    {"856", "电子资源地址与检索", "Electronic location and access", Of(kElectronicLocation), {}},
    {"905", "馆藏信息", "Holdings information", Of(kHoldings), {}},
};

const Field* Find(std::string_view tag) {
  for (const Field& field : kFields) {
    if (field.tag == tag) return &field;
  }
  return nullptr;
}

const Subfield* FindIn(Subfields list, std::string_view code) {
  for (std::size_t i = 0; i < list.count; ++i) {
    if (list.items[i].code == code) return &list.items[i];
  }
  return nullptr;
}

}  // namespace

std::string_view FieldName(std::string_view tag, Language language) {
  const Field* field = Find(tag);
  return field != nullptr ? NameIn(language, *field) : std::string_view();
}

std::string_view SubfieldName(std::string_view tag, std::string_view code, Language language) {
  const Field* field = Find(tag);
  if (field == nullptr) return {};
  const Subfield* subfield = FindIn(field->own, code);
  if (subfield == nullptr) subfield = FindIn(field->more, code);
  return subfield != nullptr ? NameIn(language, *subfield) : std::string_view();
}

const ItemWords& ItemWordsIn(Language language) {
  static const ItemWords chinese = {"记录类型", "记录号", "文件名", "（全部）", "（第", "（第", "位）"};
  static const ItemWords english = {"Type of record", "Record number", "File name", " (all)",
                                    " (position ",    " (positions ",  ")"};
  return language == Language::English ? english : chinese;
}
