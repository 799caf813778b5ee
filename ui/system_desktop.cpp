#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>

#include <vector>

#include "desktop_services.h"
#include "table/table_formats.h"
#include "ui_texts.h"
#include "win32_text.h"

namespace {

// Long enough for any path the file system accepts.
constexpr DWORD kPathCapacity = 32768;

// The file dialogs: the name cleared first, the given filter and title; a
// name that does not exist yet is fine and nobody is asked to overwrite,
// unless extraFlags say so. filterIndex (1-based) is the type offered
// first, and the one chosen after.
std::wstring RunFileDialog(HWND owner, const wchar_t* filter, const wchar_t* title, DWORD& filterIndex, bool save,
                           DWORD extraFlags = 0, const wchar_t* defaultExtension = nullptr) {
  std::vector<wchar_t> name(kPathCapacity, L'\0');
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter;
  dialog.nFilterIndex = filterIndex;
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = kPathCapacity;
  dialog.lpstrTitle = title;
  // Keep the program's working folder where it was.
  dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | extraFlags;
  dialog.lpstrDefExt = defaultExtension;
  const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen) return {};
  filterIndex = dialog.nFilterIndex;
  return std::wstring(name.data());
}

// The save dialog's types: each table format's label and pattern, in the
// formats' order. The string's own ending NUL ends the list.
std::wstring SaveFilter(const UiTexts& texts) {
  std::wstring filter;
  for (const TableFormat& format : TableFormats()) {
    filter += texts.SaveType(format.type);
    filter += L'\0';
    filter += L"*" + Widen(format.extension);
    filter += L'\0';
  }
  return filter;
}

class SystemDesktopServices : public DesktopServices {
 public:
  std::wstring ChooseOpenFile(HWND owner, Language language) override {
    const UiTexts texts(language);
    DWORD first = 1;
    return RunFileDialog(owner, texts.OpenFilter(), texts.OpenTitle(), first, false);
  }

  std::wstring ChooseSaveFile(HWND owner, int& type, Language language) override {
    const UiTexts texts(language);
    DWORD index = static_cast<DWORD>(type) + 1;
    const std::wstring path = RunFileDialog(owner, SaveFilter(texts).c_str(), texts.SaveTitle(), index, true);
    if (index >= 1 && index <= TableFormats().size()) type = static_cast<int>(index) - 1;
    return path;
  }

  std::wstring ChooseListFile(HWND owner, bool save, Language language) override {
    const UiTexts texts(language);
    DWORD first = 1;
    // A list file is shared: saving over one asks first, and loading one needs it to be there.
    const DWORD flags = save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST;
    return RunFileDialog(owner, texts.ListFileFilter(), save ? texts.SaveListFileTitle() : texts.LoadListFileTitle(),
                         first, save, flags, L"txt");
  }

  int ShowMessageBox(HWND owner, const std::wstring& prompt, unsigned style, const std::wstring& title) override {
    return MessageBoxW(owner, prompt.c_str(), title.c_str(), style);
  }

  UINT ShowShortcutMenu(HWND owner, HMENU menu, POINT at) override {
    const BOOL chosen =
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, owner, nullptr);
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
