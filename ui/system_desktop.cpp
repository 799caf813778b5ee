#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "app/path_list.h"
#include "desktop_services.h"
#include "table/table_formats.h"
#include "ui_texts.h"
#include "win32_handles.h"
#include "win32_text.h"

namespace {

// Long enough for any path the file system accepts.
constexpr DWORD kPathCapacity = 32768;
// The open dialog's names when several are chosen: the folder, then each
// name, each ended by a NUL. Enough for some thousands of files.
constexpr DWORD kSeveralPathsCapacity = 1 << 20;

// The folder of a path, and the name after it.
std::wstring FolderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}
std::wstring NameOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The paths in the open dialog's buffer: one full path, or the folder
// followed by the names chosen in it.
std::vector<std::wstring> ChosenPaths(const wchar_t* buffer) {
  std::vector<std::wstring> parts;
  for (const wchar_t* part = buffer; *part != L'\0'; part += parts.back().size() + 1) parts.emplace_back(part);
  if (parts.size() <= 1) return parts;
  std::wstring folder = parts.front();
  if (folder.back() != L'\\') folder += L'\\';  // a drive's root ends in one already
  std::vector<std::wstring> paths;
  for (std::size_t i = 1; i < parts.size(); ++i) paths.push_back(folder + parts[i]);
  return paths;
}

// The save dialog's type changed: the name in its box takes the new type's
// extension. The file name box is cmb13 in the dialogs of today, edt1 in
// older ones; the one that is not there ignores the text.
UINT_PTR CALLBACK SaveDialogHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_NOTIFY) return 0;
  const auto* notice = reinterpret_cast<const OFNOTIFYW*>(lParam);
  if (notice->hdr.code != CDN_TYPECHANGE) return 0;
  HWND dialog = GetParent(hook);
  const DWORD index = notice->lpOFN->nFilterIndex;
  if (index < 1 || index > TableFormats().size()) return 0;
  std::vector<wchar_t> name(kPathCapacity, L'\0');
  const LRESULT length = SendMessageW(dialog, CDM_GETSPEC, kPathCapacity, reinterpret_cast<LPARAM>(name.data()));
  if (length <= 1) return 0;  // no name to change
  const std::string renamed = WithExtensionOf(Narrow(name.data()), TableFormats()[index - 1].type);
  for (int box : {cmb13, edt1}) {
    SendMessageW(dialog, CDM_SETCONTROLTEXT, box, reinterpret_cast<LPARAM>(Widen(renamed).c_str()));
  }
  return 0;
}

// The file dialogs: the given filter and title, the name proposed or none;
// a name that does not exist yet is fine and nobody is asked to overwrite,
// unless extraFlags say so. filterIndex (1-based) is the type offered
// first, and the one chosen after.
std::vector<std::wstring> RunFileDialog(HWND owner, const wchar_t* filter, const wchar_t* title, DWORD& filterIndex,
                                        bool save, DWORD extraFlags = 0, const wchar_t* defaultExtension = nullptr,
                                        const std::wstring& proposed = {}) {
  const bool several = (extraFlags & OFN_ALLOWMULTISELECT) != 0;
  std::vector<wchar_t> name(several ? kSeveralPathsCapacity : kPathCapacity, L'\0');
  const std::wstring proposedName = NameOf(proposed);
  const std::wstring proposedFolder = FolderOf(proposed);
  if (proposedName.size() < kPathCapacity) std::copy(proposedName.begin(), proposedName.end(), name.begin());
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter;
  dialog.nFilterIndex = filterIndex;
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = static_cast<DWORD>(name.size());
  dialog.lpstrInitialDir = proposedFolder.empty() ? nullptr : proposedFolder.c_str();
  dialog.lpstrTitle = title;
  // Keep the program's working folder where it was.
  dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | extraFlags;
  dialog.lpstrDefExt = defaultExtension;
  if (save && defaultExtension == nullptr) {
    // The proposed name follows the type chosen; a hook needs asking to keep the dialog resizable.
    dialog.Flags |= OFN_ENABLEHOOK | OFN_ENABLESIZING;
    dialog.lpfnHook = SaveDialogHook;
  }
  const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen) return {};
  filterIndex = dialog.nFilterIndex;
  // Several paths come as a folder and names, one as itself.
  return several ? ChosenPaths(name.data()) : std::vector<std::wstring>{name.data()};
}

std::wstring FirstOf(const std::vector<std::wstring>& paths) { return paths.empty() ? std::wstring() : paths.front(); }

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
  std::vector<std::wstring> ChooseOpenFiles(HWND owner, Language language) override {
    const UiTexts texts(language);
    DWORD first = 1;
    return RunFileDialog(owner, texts.OpenFilter(), texts.OpenTitle(), first, false, OFN_ALLOWMULTISELECT);
  }

  std::wstring ChooseSaveFile(HWND owner, int& type, Language language, const std::wstring& proposed) override {
    const UiTexts texts(language);
    DWORD index = static_cast<DWORD>(type) + 1;
    const std::wstring path =
        FirstOf(RunFileDialog(owner, SaveFilter(texts).c_str(), texts.SaveTitle(), index, true, 0, nullptr, proposed));
    if (index >= 1 && index <= TableFormats().size()) type = static_cast<int>(index) - 1;
    return path;
  }

  std::wstring ChooseListFile(HWND owner, bool save, Language language) override {
    const UiTexts texts(language);
    DWORD first = 1;
    // A list file is shared: saving over one asks first, and loading one needs it to be there.
    const DWORD flags = save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST;
    return FirstOf(RunFileDialog(owner, texts.ListFileFilter(),
                                 save ? texts.SaveListFileTitle() : texts.LoadListFileTitle(), first, save, flags,
                                 L"txt"));
  }

  int ShowMessageBox(HWND owner, const std::wstring& prompt, unsigned style, const std::wstring& title) override {
    return MessageBoxW(owner, prompt.c_str(), title.c_str(), style);
  }

  std::size_t ShowChoice(HWND owner, const ChoiceRequest& request) override { return ShowChoiceDialog(owner, request); }

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

  void OpenFile(HWND owner, const std::wstring& path) override {
    // Without SEE_MASK_FLAG_NO_UI the system says itself when no program
    // opens the type (and offers to choose one); there is nothing to add.
    SHELLEXECUTEINFOW open = {};
    open.cbSize = sizeof open;
    open.fMask = SEE_MASK_NOASYNC;
    open.hwnd = owner;
    open.lpFile = path.c_str();
    open.nShow = SW_SHOWNORMAL;
    ShellExecuteExW(&open);
  }

  void ShowInFolder(HWND owner, const std::wstring& path) override {
    const IdList item(ILCreateFromPathW(path.c_str()));
    if (item && SUCCEEDED(SHOpenFolderAndSelectItems(item.Get(), 0, nullptr, 0))) return;
    // Without the shell's way (no COM, an old system), Explorer's own switch.
    const std::wstring arguments = L"/select,\"" + path + L"\"";
    ShellExecuteW(owner, nullptr, L"explorer.exe", arguments.c_str(), nullptr, SW_SHOWNORMAL);
  }

 private:
  struct FreeIdList {
    void operator()(PIDLIST_ABSOLUTE list) const { ILFree(list); }
  };
  using IdList = win32::Owner<PIDLIST_ABSOLUTE, FreeIdList>;
};

}  // namespace

DesktopServices& SystemDesktop() {
  static SystemDesktopServices desktop;
  return desktop;
}
