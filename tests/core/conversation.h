#pragma once
// The calls a conversion run makes on its window, written out as
// FakeRunWindow records them, with the exact texts the user sees.
#include <initializer_list>
#include <string>
#include <vector>

using Calls = std::vector<std::string>;

inline const std::string kConfirm = "AskYesNo(您好,是否确定导出数据为制表符文本数据？|52|操作提示)";
inline const std::string kAskAppend = "AskYesNo(该文件已存在，是否追加数据！|324|温馨提示)";
inline const std::string kFinished = "ShowMessage(恭喜，数据已经转换完毕咯！|64|温馨提示)";

inline std::string Progress(int records) {
  return "ShowProgress(正在预读数据，目前已完成" + std::to_string(records) + "条.....)";
}

inline std::string ErrorBox(const std::string& message) { return "ShowMessage(" + message + "|16|温馨提示)"; }

// Up to the question that comes first in every run that gets going.
inline Calls StartOfRun() {
  return {"InputPathText", "SetStartEnabled(false)", "FieldListSetting(write)", "ShowProgressLabel", "FieldListText",
          kConfirm};
}

inline Calls StartOfRunThen(std::initializer_list<std::string> more) {
  Calls calls = StartOfRun();
  calls.insert(calls.end(), more);
  return calls;
}
