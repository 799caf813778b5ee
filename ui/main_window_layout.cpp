#include "main_window_layout.h"

#include "app_identity.h"
#include "ui_texts.h"

namespace {

constexpr DWORD kChild = WS_CHILD | WS_CLIPSIBLINGS;
constexpr DWORD kShown = kChild | WS_VISIBLE;
// Labels take their own mouse messages (SS_NOTIFY), so the pointer over a label
// is not the pointer over the window's bare background.
constexpr DWORD kLabel = kShown | SS_LEFT | SS_NOTIFY;

std::array<ControlLayout, kControlCount> LayoutIn(Language language) {
  const UiTexts texts(language);
  std::array<ControlLayout, kControlCount> layout = {{
      {kInputPathBox, L"Edit", kShown | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, L"", 540, 240, 4935,
       315},
      {kChooseButton, L"Button", kShown | WS_TABSTOP | BS_PUSHBUTTON, 0, texts.ChooseButton(), 5520, 240, 915, 315},
      {kFieldListBox, L"Edit", kShown | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, WS_EX_CLIENTEDGE,
       L"", 540, 780, 4935, 1095},
      // A column one character wide beside the list.
      {kFieldListLabel, L"Static", kLabel, 0, texts.FieldListLabel(), 180, 780, 315, 1095},
      {kMarcLabel, L"Static", kLabel, 0, L"MARC", 60, 300, 495, 375},
      {kBeginButton, L"Button", kShown | WS_TABSTOP | BS_PUSHBUTTON, 0, L"Begin", 5520, 840, 915, 975},
      // Hidden until a run shows its progress.
      {kProgressLabel, L"Static", kChild | SS_LEFT | SS_NOTIFY, 0, texts.ProgressLabelAtStart(), 540, 1980, 4215, 195},
      // Reaches past the right edge of the client area; the window clips it.
      {kSiteLink, L"Static", kLabel, 0, kSiteHostName, 5280, 1980, 1395, 195},
  }};
  // English words do not stand one under another: the label takes the
  // width "MARC" has above it, two short words on two lines.
  for (ControlLayout& control : layout) {
    if (control.id != kFieldListLabel || language != Language::English) continue;
    control.left = 60;
    control.width = 465;
  }
  return layout;
}

const std::array<ControlLayout, kControlCount> kChineseLayout = LayoutIn(Language::Chinese);
const std::array<ControlLayout, kControlCount> kEnglishLayout = LayoutIn(Language::English);

}  // namespace

const std::array<ControlLayout, kControlCount>& MainWindowLayout(Language language) {
  return language == Language::English ? kEnglishLayout : kChineseLayout;
}

const ControlLayout& LayoutOf(ControlId id, Language language) {
  const std::array<ControlLayout, kControlCount>& layout = MainWindowLayout(language);
  for (const ControlLayout& control : layout) {
    if (control.id == id) return control;
  }
  return layout[0];
}

int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }
