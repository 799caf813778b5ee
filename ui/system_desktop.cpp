#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <vector>

#include "desktop_services.h"

namespace {

// Long enough for any path the file system accepts.
constexpr DWORD kPathCapacity = 32768;

// Both file dialogs: the name cleared first, the given filter and title; a
// name that does not exist yet is fine and nobody is asked to overwrite. The
// save dialog adds ".txt" to a name typed without an extension.
std::wstring RunFileDialog(HWND owner, const wchar_t* filter, const wchar_t* title, const wchar_t* defaultExtension,
                           bool save) {
  std::vector<wchar_t> name(kPathCapacity, L'\0');
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = kPathCapacity;
  dialog.lpstrTitle = title;
  dialog.lpstrDefExt = defaultExtension;
  // Keep the program's working folder where it was.
  dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
  const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen) return {};
  return std::wstring(name.data());
}

class SystemDesktopServices : public DesktopServices {
 public:
  std::wstring ChooseOpenFile(HWND owner) override {
    return RunFileDialog(owner, L"(*.iso)\0*.iso\0All Files\0*.*\0", L"打开MARC数据文件", nullptr, false);
  }

  std::wstring ChooseSaveFile(HWND owner) override {
    return RunFileDialog(owner, L"文本形式\0*.txt\0", L"保存Marc文件", L"txt", true);
  }

  int ShowMessageBox(HWND owner, const std::wstring& prompt, unsigned style, const std::wstring& title) override {
    return MessageBoxW(owner, prompt.c_str(), title.c_str(), style);
  }

  UINT ShowShortcutMenu(HWND owner, HMENU menu, POINT at) override {
    const BOOL chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, owner,
                                       nullptr);
    return chosen > 0 ? static_cast<UINT>(chosen) : 0;
  }

  bool OpenAddress(const std::wstring& address) override {
    // ShellExecute hands a web address to the default browser and returns at
    // once; a value above 32 means it started.
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
  }
};

}  // namespace

DesktopServices& SystemDesktop() {
  static SystemDesktopServices desktop;
  return desktop;
}
