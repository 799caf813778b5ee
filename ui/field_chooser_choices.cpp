// The chooser's two drop-downs under the list: what the header row shows,
// which the preview follows, and the list to start from, the box's or one
// saved under a name, whose items the rows then tick.
#include <windows.h>

#include <commctrl.h>

#include <array>

#include "field_chooser.h"
#include "marc/field_list.h"
#include "win32_text.h"

namespace {

// In the drop-down's order.
constexpr std::array kHeaderStyles = {HeaderStyle::Codes, HeaderStyle::Names, HeaderStyle::CodesAndNames};

void AddChoice(HWND choice, const std::wstring& text) {
  SendMessageW(choice, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int Chosen(HWND choice) { return static_cast<int>(SendMessageW(choice, CB_GETCURSEL, 0, 0)); }

}  // namespace

void FieldChooser::FillChoices() {
  HWND header = Control(kChooserHeaderChoice);
  for (std::size_t i = 0; i < kHeaderStyles.size(); ++i) {
    AddChoice(header, texts_.HeaderChoice(kHeaderStyles[i]));
    if (kHeaderStyles[i] == header_) SendMessageW(header, CB_SETCURSEL, i, 0);
  }
  HWND scheme = Control(kChooserSchemeChoice);
  AddChoice(scheme, texts_.ListInTheBox());
  for (const auto& [name, list] : request_.schemes) AddChoice(scheme, Widen(name));
  SendMessageW(scheme, CB_SETCURSEL, 0, 0);
}

void FieldChooser::OnHeaderChosen() {
  const int chosen = Chosen(Control(kChooserHeaderChoice));
  if (chosen < 0 || static_cast<std::size_t>(chosen) >= kHeaderStyles.size()) return;
  header_ = kHeaderStyles[static_cast<std::size_t>(chosen)];
  if (!reading_) RefreshPreview();
}

// The rows start again from the list picked: what was ticked so far goes.
void FieldChooser::OnSchemeChosen() {
  const int chosen = Chosen(Control(kChooserSchemeChoice));
  if (chosen < 0 || static_cast<std::size_t>(chosen) > request_.schemes.size() || reading_) return;
  const std::string& list =
      chosen == 0 ? request_.fieldList : request_.schemes[static_cast<std::size_t>(chosen) - 1].second;
  listed_ = ParseFieldList(list);
  choices_ = FieldChoices(census_, listed_, request_.language);
  FillList();
  RefreshPreview();
}
