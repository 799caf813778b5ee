#include "main_window_layout.h"

#include "app_identity.h"

namespace {

constexpr DWORD kChild = WS_CHILD | WS_CLIPSIBLINGS;
constexpr DWORD kShown = kChild | WS_VISIBLE;
// Labels take their own mouse messages (SS_NOTIFY), so the pointer over a label
// is not the pointer over the window's bare background.
constexpr DWORD kLabel = kShown | SS_LEFT | SS_NOTIFY;

const std::array<ControlLayout, kControlCount> kLayout = {{
    {kInputPathBox, L"Edit", kShown | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, L"", 540, 240, 4935,
     315},
    {kChooseButton, L"Button", kShown | WS_TABSTOP | BS_PUSHBUTTON, 0, L"选择", 5520, 240, 915, 315},
    {kFieldListBox, L"Edit", kShown | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, WS_EX_CLIENTEDGE, L"",
     540, 780, 4935, 1095},
    {kFieldListLabel, L"Static", kLabel, 0, L"提取字段设置", 180, 780, 315, 1095},
    {kMarcLabel, L"Static", kLabel, 0, L"MARC", 60, 300, 495, 375},
    {kBeginButton, L"Button", kShown | WS_TABSTOP | BS_PUSHBUTTON, 0, L"Begin", 5520, 840, 915, 975},
    // Hidden until a run shows its progress.
    {kProgressLabel, L"Static", kChild | SS_LEFT | SS_NOTIFY, 0, kProgressLabelInitialCaption, 540, 1980, 4215, 195},
    // Reaches past the right edge of the client area; the window clips it.
    {kSiteLink, L"Static", kLabel, 0, kSiteHostName, 5280, 1980, 1395, 195},
}};

}  // namespace

const std::array<ControlLayout, kControlCount>& MainWindowLayout() { return kLayout; }

const ControlLayout& LayoutOf(ControlId id) {
  for (const ControlLayout& control : kLayout) {
    if (control.id == id) return control;
  }
  return kLayout[0];
}

int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }
