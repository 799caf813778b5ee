#include "field_chooser_access.h"

#include <windowsx.h>

#include "win32_text.h"

namespace {

// The edit items carry the message that carries them out as their command,
// as the edit box's own menu does.
constexpr UINT kSelectAll = EM_SETSEL;

struct Selection {
  DWORD start = 0;
  DWORD end = 0;
};

Selection SelectionOf(HWND box) {
  Selection selection;
  SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&selection.start), reinterpret_cast<LPARAM>(&selection.end));
  return selection;
}

void Add(HMENU menu, UINT command, const wchar_t* text, bool enabled) {
  AppendMenuW(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), command, text);
}

// A name as a menu shows it: an ampersand is itself, not a key.
std::wstring MenuText(const std::string& name) {
  std::wstring text;
  for (wchar_t c : Widen(name)) {
    text += c;
    if (c == L'&') text += L'&';
  }
  return text;
}

// The submenu of the saved lists; one grey item when there is none. The
// menu it is added to owns it once added.
void AddSchemes(HMENU menu, const UiTexts& texts, const std::vector<std::string>& names) {
  win32::Menu schemes(CreatePopupMenu());
  if (!schemes) return;
  if (names.empty()) Add(schemes.Get(), kFirstSchemeCommand, texts.NoSchemesItem(), false);
  for (std::size_t i = 0; i < names.size() && i < kMostSchemesInMenu; ++i) {
    Add(schemes.Get(), kFirstSchemeCommand + static_cast<UINT>(i), MenuText(names[i]).c_str(), true);
  }
  if (AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(schemes.Get()), texts.SchemesItem())) schemes.Release();
}

}  // namespace

win32::Menu FieldListMenu(HWND box, const UiTexts& texts, const std::vector<std::string>& schemeNames) {
  win32::Menu menu(CreatePopupMenu());
  if (!menu) return menu;
  const Selection selection = SelectionOf(box);
  const bool selected = selection.end > selection.start;
  const bool writable = (GetWindowLongPtrW(box, GWL_STYLE) & ES_READONLY) == 0;
  const auto length = static_cast<DWORD>(GetWindowTextLengthW(box));
  Add(menu.Get(), WM_UNDO, texts.UndoItem(), writable && SendMessageW(box, EM_CANUNDO, 0, 0) != 0);
  AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
  Add(menu.Get(), WM_CUT, texts.CutItem(), writable && selected);
  Add(menu.Get(), WM_COPY, texts.CopyItem(), selected);
  Add(menu.Get(), WM_PASTE, texts.PasteItem(), writable && IsClipboardFormatAvailable(CF_UNICODETEXT));
  Add(menu.Get(), WM_CLEAR, texts.DeleteItem(), writable && selected);
  AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
  Add(menu.Get(), kSelectAll, texts.SelectAllItem(), selection.start > 0 || selection.end < length);
  AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
  Add(menu.Get(), kChooseFieldsCommand, texts.ChooseFieldsItem(), true);
  AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
  Add(menu.Get(), kSaveSchemeCommand, texts.SaveSchemeItem(), true);
  AddSchemes(menu.Get(), texts, schemeNames);
  Add(menu.Get(), kDeleteSchemeCommand, texts.DeleteSchemeItem(), !schemeNames.empty());
  AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
  Add(menu.Get(), kLoadListFileCommand, texts.LoadListFileItem(), writable);
  Add(menu.Get(), kSaveListFileCommand, texts.SaveListFileItem(), true);
  return menu;
}

bool RunEditCommand(HWND box, UINT command) {
  switch (command) {
    case WM_UNDO:
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR: SendMessageW(box, command, 0, 0); return true;
    case kSelectAll: SendMessageW(box, EM_SETSEL, 0, -1); return true;
    default: return false;
  }
}

POINT MenuPoint(HWND box, LPARAM at) {
  POINT point = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  if (point.x != -1 || point.y != -1) return point;
  POINT caret = {};
  if (!GetCaretPos(&caret)) caret = {0, 0};
  ClientToScreen(box, &caret);
  return caret;
}
