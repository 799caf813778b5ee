#include "run_messages.h"

#include <cerrno>

namespace run_messages {

std::string ErrorReason(int errorNumber) {
  switch (errorNumber) {
    case ENOENT: return "文件不存在";
    case EACCES:
    case EPERM: return "没有访问权限";
    case EISDIR: return "这是一个文件夹";
    case ENOSPC: return "磁盘空间不足";
    case EROFS: return "磁盘只读";
    case EMFILE:
    case ENFILE: return "打开的文件太多";
    case EFBIG: return "文件太大";
    case EIO: return "读写错误";
    case EINVAL: return "文件名无效";
    case ENAMETOOLONG: return "文件名太长";
    default: return "错误代码 " + std::to_string(errorNumber);
  }
}

namespace {
std::string Compose(const char* what, const std::string& path, int errorNumber) {
  return std::string(what) + "：" + path + "（" + ErrorReason(errorNumber) + "）";
}
}  // namespace

std::string CannotOpenInput(const std::string& path, int e) { return Compose("无法打开输入文件", path, e); }
std::string CannotReadInput(const std::string& path, int e) { return Compose("无法读取输入文件", path, e); }
std::string CannotCreateOutput(const std::string& path, int e) { return Compose("无法创建输出文件", path, e); }
std::string OutputIsInput(const std::string& path) { return "输出文件不能是输入文件：" + path; }
std::string CannotWriteOutput(const std::string& path, int e) { return Compose("无法写入输出文件", path, e); }

}  // namespace run_messages
