#include "ui_texts.h"

#include <windows.h>

#include <optional>

#include "app/field_list_setting.h"
#include "app_identity.h"

namespace {

std::wstring Number(std::int64_t n) { return std::to_wstring(n); }

// "1 record", "40 records".
std::wstring Records(std::int64_t n) { return Number(n) + (n == 1 ? L" record" : L" records"); }

}  // namespace

Language InterfaceLanguage(SettingsStore& settings) {
  const std::optional<std::string> stored = settings.Get(kSettingsApplication, kSettingsSection, kLanguageKey);
  if (stored == "zh") return Language::Chinese;
  if (stored == "en") return Language::English;
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_CHINESE ? Language::Chinese : Language::English;
}

const wchar_t* UiTexts::WindowCaption() const {
  return Pick(QUIRNEL_PROGRAM_NAME L"（联系：" QUIRNEL_CONTACT L"）",
              QUIRNEL_PROGRAM_NAME L" (contact: " QUIRNEL_CONTACT L")");
}
const wchar_t* UiTexts::ChooseButton() const { return Pick(L"选择", L"Browse..."); }
const wchar_t* UiTexts::FieldListLabel() const { return Pick(L"提取字段设置", L"Field list"); }
const wchar_t* UiTexts::ProgressLabelAtStart() const {
  return Pick(L"正在预读数据，目前完成条.....", L"Reading records.....");
}
const wchar_t* UiTexts::FieldListToolTip() const {
  return Pick(L"每个字段用“,”号隔开,注意字母大小写！", L"Separate the codes with commas; letter case matters!");
}
const wchar_t* UiTexts::FieldListLabelToolTip() const {
  return Pick(L"单击从数据文件中选择字段（F4）", L"Click to choose fields from the record file (F4)");
}

const wchar_t* UiTexts::UndoItem() const { return Pick(L"撤消(&U)\tCtrl+Z", L"&Undo\tCtrl+Z"); }
const wchar_t* UiTexts::CutItem() const { return Pick(L"剪切(&T)\tCtrl+X", L"Cu&t\tCtrl+X"); }
const wchar_t* UiTexts::CopyItem() const { return Pick(L"复制(&C)\tCtrl+C", L"&Copy\tCtrl+C"); }
const wchar_t* UiTexts::PasteItem() const { return Pick(L"粘贴(&P)\tCtrl+V", L"&Paste\tCtrl+V"); }
const wchar_t* UiTexts::DeleteItem() const { return Pick(L"删除(&D)\tDel", L"&Delete\tDel"); }
const wchar_t* UiTexts::SelectAllItem() const { return Pick(L"全选(&A)\tCtrl+A", L"Select &All\tCtrl+A"); }
const wchar_t* UiTexts::ChooseFieldsItem() const {
  return Pick(L"从数据文件中选择字段(&F)…\tF4", L"Choose &fields from the record file...\tF4");
}

const wchar_t* UiTexts::SaveSchemeItem() const { return Pick(L"保存为字段方案(&S)…", L"&Save as a named list..."); }
const wchar_t* UiTexts::SchemesItem() const { return Pick(L"字段方案(&L)", L"Named &lists"); }
const wchar_t* UiTexts::NoSchemesItem() const { return Pick(L"（尚未保存字段方案）", L"(none saved yet)"); }
const wchar_t* UiTexts::DeleteSchemeItem() const { return Pick(L"删除字段方案(&R)…", L"&Remove a named list..."); }
const wchar_t* UiTexts::LoadListFileItem() const {
  return Pick(L"从文件载入字段列表(&O)…", L"L&oad the field list from a file...");
}
const wchar_t* UiTexts::SaveListFileItem() const {
  return Pick(L"将字段列表保存到文件(&W)…", L"Sa&ve the field list to a file...");
}

const wchar_t* UiTexts::SaveSchemeTitle() const { return Pick(L"保存为字段方案", L"Save as a named list"); }
const wchar_t* UiTexts::SaveSchemePrompt() const {
  return Pick(L"字段方案的名称（可选择已有的方案以替换它）：", L"Name of the list (choose one to replace it):");
}
const wchar_t* UiTexts::SaveButton() const { return Pick(L"保存", L"Save"); }
const wchar_t* UiTexts::DeleteSchemeTitle() const { return Pick(L"删除字段方案", L"Remove a named list"); }
const wchar_t* UiTexts::DeleteSchemePrompt() const { return Pick(L"要删除的字段方案：", L"The list to remove:"); }
const wchar_t* UiTexts::DeleteButton() const { return Pick(L"删除", L"Remove"); }
std::wstring UiTexts::ReplaceSchemePrompt(const std::wstring& name) const {
  return chinese_ ? L"字段方案“" + name + L"”已存在，是否替换？"
                  : L"A list named “" + name + L"” exists already. Replace it?";
}
std::wstring UiTexts::ConfirmDeleteScheme(const std::wstring& name) const {
  return chinese_ ? L"确定要删除字段方案“" + name + L"”吗？" : L"Remove the list named “" + name + L"”?";
}
const wchar_t* UiTexts::SchemeNameRefused(SchemeNameProblem problem) const {
  switch (problem) {
    case SchemeNameProblem::Empty: return Pick(L"请输入字段方案的名称。", L"Please type a name for the list.");
    case SchemeNameProblem::TooLong:
      return Pick(L"字段方案的名称太长：最多64个字符。", L"The name is too long: 64 characters at most.");
    case SchemeNameProblem::ControlCharacter:
      return Pick(L"字段方案的名称不能含有换行符、制表符等控制字符：注册表无法保存这样的名称。",
                  L"The name cannot hold line breaks, tabs or other control characters: the registry cannot keep "
                  L"such a name.");
    case SchemeNameProblem::None: break;
  }
  return L"";
}
const wchar_t* UiTexts::SchemeNotSaved() const {
  return Pick(L"无法保存字段方案：无法写入注册表。", L"The list could not be saved: the registry cannot be written.");
}
const wchar_t* UiTexts::SchemeNotDeleted() const {
  return Pick(L"无法删除字段方案：无法写入注册表。", L"The list could not be removed: the registry cannot be written.");
}

const wchar_t* UiTexts::LoadListFileTitle() const {
  return Pick(L"从文件载入字段列表", L"Load the field list from a file");
}
const wchar_t* UiTexts::SaveListFileTitle() const {
  return Pick(L"将字段列表保存到文件", L"Save the field list to a file");
}
const wchar_t* UiTexts::ListFileFilter() const {
  return Pick(L"字段列表 (*.txt)\0*.txt\0所有文件\0*.*\0", L"Field lists (*.txt)\0*.txt\0All files\0*.*\0");
}
std::wstring UiTexts::ListFileRefused(ListFileRead::Problem problem, const std::wstring& path,
                                      const std::wstring& reason) const {
  using Problem = ListFileRead::Problem;
  switch (problem) {
    case Problem::CannotOpen:
      return chinese_ ? L"无法打开字段列表文件：" + path + L"（" + reason + L"）"
                      : L"Cannot open the list file " + path + L" (" + reason + L").";
    case Problem::CannotRead:
      return chinese_ ? L"无法读取字段列表文件：" + path + L"（" + reason + L"）"
                      : L"Cannot read the list file " + path + L" (" + reason + L").";
    case Problem::TooLarge:
      return chinese_ ? L"未载入字段列表：" + path + L"大于4 MB，不是字段列表文件。"
                      : L"The list was not loaded: " + path + L" is larger than 4 MB, no list file.";
    case Problem::NotUtf8:
      return chinese_ ? L"未载入字段列表：" + path + L"不是UTF-8编码的文本文件。"
                      : L"The list was not loaded: " + path + L" is no text file in UTF-8.";
    case Problem::TooManyItems:
      return chinese_ ? L"未载入字段列表：" + path + L"中的项目超过16384个。"
                      : L"The list was not loaded: " + path + L" holds more than 16,384 items.";
    case Problem::None: break;
  }
  return {};
}
std::wstring UiTexts::ListFileNotWritten(const std::wstring& path, const std::wstring& reason) const {
  return chinese_ ? L"无法保存字段列表文件：" + path + L"（" + reason + L"）"
                  : L"Cannot save the list file " + path + L" (" + reason + L").";
}

const wchar_t* UiTexts::ConfirmTitle() const { return Pick(L"操作提示", QUIRNEL_PROGRAM_NAME); }
const wchar_t* UiTexts::NoticeTitle() const { return Pick(L"温馨提示", QUIRNEL_PROGRAM_NAME); }

const wchar_t* UiTexts::Failed(bool outOfMemory, bool duringRun) const noexcept {
  if (outOfMemory) {
    return duringRun ? Pick(L"内存不足，转换已停止。", L"Out of memory: the conversion has stopped.")
                     : Pick(L"内存不足，操作未能完成。", L"Out of memory: the operation was not completed.");
  }
  return duringRun ? Pick(L"程序出错，转换已停止。", L"A fault in the program stopped the conversion.")
                   : Pick(L"程序出错，操作未能完成。", L"A fault in the program: the operation was not completed.");
}

const wchar_t* UiTexts::OpenTitle() const { return Pick(L"打开MARC数据文件", L"Open a MARC record file"); }
const wchar_t* UiTexts::OpenFilter() const {
  return Pick(L"(*.iso)\0*.iso\0All Files\0*.*\0", L"MARC records (*.iso)\0*.iso\0All files\0*.*\0");
}
const wchar_t* UiTexts::SaveTitle() const { return Pick(L"保存Marc文件", L"Save the table"); }
const wchar_t* UiTexts::SaveType(OutputType type) const {
  switch (type) {
    case OutputType::GbkText: return Pick(L"文本形式", L"Text (GBK)");
    case OutputType::Utf8Text:
      return Pick(L"文本形式（UTF-8，适用于非中文系统）", L"Text (UTF-8, for systems that are not Chinese)");
    case OutputType::Workbook: return Pick(L"Excel 工作簿", L"Excel workbook");
  }
  return L"";
}

const wchar_t* UiTexts::ChooserTitle() const {
  return Pick(L"从数据文件中选择字段", L"Choose fields from the record file");
}
const wchar_t* UiTexts::ChooserHeader(int column) const {
  switch (column) {
    case 0: return Pick(L"代码", L"Code");
    case 1: return Pick(L"名称", L"Name");
    case 2: return Pick(L"记录占比", L"Records");
    default: return Pick(L"示例", L"Sample");
  }
}
const wchar_t* UiTexts::OkButton() const { return Pick(L"确定", L"OK"); }
const wchar_t* UiTexts::CancelButton() const { return Pick(L"取消", L"Cancel"); }
const wchar_t* UiTexts::HeaderLabel() const { return Pick(L"标题行：", L"Header row:"); }
const wchar_t* UiTexts::HeaderChoice(HeaderStyle style) const {
  switch (style) {
    case HeaderStyle::Names: return Pick(L"字段名称", L"Field names");
    case HeaderStyle::CodesAndNames: return Pick(L"代码和名称", L"Codes and names");
    case HeaderStyle::Codes: break;
  }
  return Pick(L"字段代码", L"Field codes");
}
const wchar_t* UiTexts::SchemeLabel() const { return Pick(L"字段方案：", L"Named list:"); }
const wchar_t* UiTexts::ListInTheBox() const { return Pick(L"（字段列表框中的列表）", L"(the list in the box)"); }

std::wstring UiTexts::FilesNamed(const std::wstring& first, std::size_t count) const {
  if (count <= 1) return first;
  const std::wstring n = std::to_wstring(count);
  return chinese_ ? first + L" 等" + n + L"个文件" : first + L" and " + std::to_wstring(count - 1) + L" more files";
}

std::wstring UiTexts::Reading(const std::wstring& file) const {
  return chinese_ ? L"正在读取" + file + L"……" : L"Reading " + file + L"...";
}

std::wstring UiTexts::ReadingSoFar(const std::wstring& file, std::int64_t records) const {
  if (chinese_) return L"正在读取" + file + L"，已读" + Number(records) + L"条记录……";
  return L"Reading " + file + L": " + Records(records) + L" so far...";
}

std::wstring UiTexts::Summary(const std::wstring& file, std::int64_t records, std::int64_t faulty,
                              std::int64_t malformed) const {
  std::wstring text = file + (chinese_ ? L"：共" + Number(records) + L"条记录" : L": " + Records(records));
  // Counted as the conversion counts them; the shares are of the records that could be read.
  if (faulty > 0) {
    text += chinese_ ? L"（" + Number(faulty) + L"条格式有误" : L" (" + Number(faulty) + L" malformed";
    if (malformed > 0) {
      text += chinese_ ? L"，其中" + Number(malformed) + L"条无法读取，不计入占比"
                       : L", " + Number(malformed) + L" of them unreadable and left out of the shares";
    }
    text += Pick(L"）", L")");
  }
  return text +
         Pick(L"。勾选要提取的字段，空格键勾选或取消。", L". Tick the fields to extract; Space ticks or unticks.");
}

std::wstring UiTexts::PreviewLabel(std::size_t rows, std::size_t columns, std::size_t shown) const {
  std::wstring label =
      chinese_ ? L"预览：前" + std::to_wstring(rows) + L"条记录按勾选的字段转换的结果，列的顺序即确定后字段列表的顺序"
               : L"Preview: the first " + std::to_wstring(rows) +
                     L" records converted with the ticked fields, the columns in the order the list will have";
  if (shown < columns) {
    label += chinese_
                 ? L"（共" + std::to_wstring(columns) + L"列，只显示前" + std::to_wstring(shown) + L"列）"
                 : L" (" + std::to_wstring(columns) + L" columns, the first " + std::to_wstring(shown) + L" shown)";
  }
  return label + Pick(L"：", L":");
}
