#include "main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/field_list_setting.h"
#include "app/path_list.h"
#include "app_identity.h"
#include "dpi_awareness.h"
#include "field_chooser_access.h"
#include "marc/field_list.h"
#include "skin_attach.h"
#include "win32_text.h"

namespace {

// A fixed-size window: the layout does not follow resizing.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = 0;
constexpr int kIconResource = 1;
constexpr UINT_PTR kSiteLinkSubclass = 1;

bool RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW windowClass = {};
  if (GetClassInfoExW(instance, kMainWindowClass, &windowClass)) return true;
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  // A shared icon: the system owns it. The small one is the window's own
  // (see SetSmallIcon).
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = kMainWindowClass;
  return RegisterClassExW(&windowClass) != 0;
}

// The field list's label is a narrow column beside the list, so its caption
// wraps: a Chinese one a character to a line, an English one a word. A large
// interface font would push the last line below the box, or a word past the
// column's edge; the column then gets the same face just small enough to fit.
bool WrapsWithin(HDC dc, HFONT font, const wchar_t* text, int width, int height) {
  const win32::Selection selected = win32::Select(dc, font);
  RECT box = {0, 0, width, 0};
  DrawTextW(dc, text, -1, &box, DT_CALCRECT | DT_WORDBREAK | DT_LEFT);
  return box.right <= width && box.bottom <= height;
}

win32::Font CreateColumnFont(const LOGFONTW& base, const wchar_t* text, int width, int height) {
  LOGFONTW column = base;
  win32::Font font(CreateFontIndirectW(&column));
  const win32::WindowDC screen = win32::BorrowClientDC(nullptr);
  if (!font || !screen) return font;
  for (int step = 0; step < 16 && !WrapsWithin(screen.Get(), font.Get(), text, width, height); ++step) {
    if (column.lfHeight < -6) ++column.lfHeight;
    if (column.lfHeight > 6) --column.lfHeight;
    win32::Font smaller(CreateFontIndirectW(&column));
    if (!smaller) break;
    font = std::move(smaller);
  }
  return font;
}

}  // namespace

MainWindow::MainWindow(DesktopServices& desktop, SettingsStore& settings, FileSystem& files)
    : desktop_(desktop), settings_(settings), files_(files) {}

MainWindow::~MainWindow() {
  if (window_ != nullptr) {
    if (!closing_) UnskinWindow(window_);
    DestroyWindow(window_);
  }
}

// The title bar's icon, made at the small size from the resource. A shared
// one would be the large icon already loaded for the class, shrunk when drawn.
void MainWindow::SetSmallIcon(HINSTANCE instance) {
  smallIcon_.Reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
  if (smallIcon_) SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
}

bool MainWindow::Create(HINSTANCE instance, int showCommand) {
  INITCOMMONCONTROLSEX commonControls = {sizeof commonControls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&commonControls);
  if (!RegisterWindowClass(instance, WindowProcedure)) return false;
  language_ = ::InterfaceLanguage(settings_);
  texts_ = UiTexts(language_);
  CreateWindowExW(kWindowExStyle, kMainWindowClass, texts_.WindowCaption(), kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
  if (window_ == nullptr) return false;
  dpi_ = DpiOfWindow(window_);
  SetSmallIcon(instance);
  if (!CreateControls(instance)) return false;
  CreateToolTip(instance);
  ApplyFonts();
  ApplyLayout();
  DragAcceptFiles(window_, TRUE);
  LoadSkinAndFieldList();
  CentreOnScreen();
  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
  SetFocus(Control(kInputPathBox));
  return true;
}

HWND MainWindow::Control(ControlId id) const {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (MainWindowLayout(language_)[i].id == id) return controls_[i];
  }
  return nullptr;
}

void MainWindow::SetInputPaths(const std::vector<std::wstring>& paths) {
  if (paths.empty()) return;
  std::vector<std::string> list;
  for (const std::wstring& path : paths) list.push_back(Narrow(path));
  SetWindowTextW(Control(kInputPathBox), Widen(JoinPathList(list)).c_str());
}

bool MainWindow::CreateControls(HINSTANCE instance) {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const ControlLayout& layout = MainWindowLayout(language_)[i];
    controls_[i] = CreateWindowExW(layout.exStyle, layout.className, layout.caption, layout.style, 0, 0, 0, 0, window_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), instance, nullptr);
    if (controls_[i] == nullptr) return false;
  }
  SetWindowSubclass(Control(kSiteLink), SiteLinkProcedure, kSiteLinkSubclass, reinterpret_cast<DWORD_PTR>(this));
  SetUpFieldChooser();
  focusBeforeDeactivation_ = Control(kInputPathBox);
  return true;
}

void MainWindow::CreateToolTip(HINSTANCE instance) {
  // Owned by the window, which destroys it with itself.
  HWND toolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance, nullptr);
  if (toolTip == nullptr) return;
  TTTOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every version of the common controls
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(Control(kFieldListBox));
  tool.lpszText = const_cast<wchar_t*>(texts_.FieldListToolTip());
  SendMessageW(toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  AddFieldListLabelTool(toolTip);
}

void MainWindow::ApplyFonts() {
  const LOGFONTW message = MessageFontFor(dpi_);
  win32::Font font(CreateFontIndirectW(&message));
  const ControlLayout& label = LayoutOf(kFieldListLabel, language_);
  win32::Font columnFont =
      CreateColumnFont(message, label.caption, TwipsToPixels(label.width, dpi_), TwipsToPixels(label.height, dpi_));
  if (!font || !columnFont) return;  // the controls keep the fonts they have
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    HFONT chosen = MainWindowLayout(language_)[i].id == kFieldListLabel ? columnFont.Get() : font.Get();
    SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(chosen), TRUE);
  }
  // The controls use the new fonts now; the old ones can go.
  font_ = std::move(font);
  columnFont_ = std::move(columnFont);
}

void MainWindow::ApplyLayout() {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const ControlLayout& layout = MainWindowLayout(language_)[i];
    SetWindowPos(controls_[i], nullptr, TwipsToPixels(layout.left, dpi_), TwipsToPixels(layout.top, dpi_),
                 TwipsToPixels(layout.width, dpi_), TwipsToPixels(layout.height, dpi_), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  const SIZE outer = OuterSizeForClient(TwipsToPixels(kClientWidthTwips, dpi_), TwipsToPixels(kClientHeightTwips, dpi_),
                                        kWindowStyle, kWindowExStyle, dpi_);
  SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::CentreOnScreen() {
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  RECT outer;
  if (!GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor) ||
      !GetWindowRect(window_, &outer)) {
    return;
  }
  const RECT& screen = monitor.rcMonitor;
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  SetWindowPos(window_, nullptr, screen.left + (screen.right - screen.left - width) / 2,
               screen.top + (screen.bottom - screen.top - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Event handlers ----

void MainWindow::LoadSkinAndFieldList() {
  SetSiteLinkColour(kLinkColour);
  // The skin spreads from the window to every dialog and message box it opens.
  SkinHostWindow(window_);
  LoadFieldList();
}

void MainWindow::LoadFieldList() {
  const std::string list = ::LoadFieldList(settings_).value_or(DefaultFieldList);
  SetWindowTextW(Control(kFieldListBox), Widen(list).c_str());
}

void MainWindow::OnMouseOverBackground() { SetSiteLinkColour(kLinkColour); }

void MainWindow::OnMouseOverSiteLink() { SetSiteLinkColour(kLinkHoverColour); }

void MainWindow::OnSiteLinkClick() {
  // Without a browser nothing happens, and nothing needs saying.
  desktop_.OpenAddress(kSiteAddress);
}

void MainWindow::OnChooseInput() { SetInputPaths(desktop_.ChooseOpenFiles(window_, language_)); }

void MainWindow::OnClose() {
  if (closing_ || window_ == nullptr) return;
  closing_ = true;
  UnskinWindow(window_);
  DestroyWindow(window_);
  // A run in progress sees the window closing at its next record, closes its
  // output at a line boundary and returns; then the message loop ends.
  PostQuitMessage(0);
}

// ---- Window procedures ----

LRESULT CALLBACK MainWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* created = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    created->window_ = window;
  }
  auto* mainWindow = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (mainWindow == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  // An exception must not unwind through the system's code that called us.
  try {
    return mainWindow->Handle(message, wParam, lParam);
  } catch (...) {
    mainWindow->ReportFailure(false);
    return 0;
  }
}

LRESULT CALLBACK MainWindow::SiteLinkProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                               DWORD_PTR mainWindow) {
  if (message == WM_MOUSEMOVE) reinterpret_cast<MainWindow*>(mainWindow)->OnMouseOverSiteLink();
  if (message == WM_NCDESTROY) RemoveWindowSubclass(window, SiteLinkProcedure, kSiteLinkSubclass);
  return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = window_;
  switch (message) {
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->code == TTN_SHOW && OnToolTipShow(header->hwndFrom)) return TRUE;
      break;
    }
    case DM_GETDEFID: return MAKELRESULT(DefaultButton(), DC_HASDEFID);
    case WM_NEXTDLGCTL: OnNextControl(wParam, lParam); return 0;
    case WM_CTLCOLORSTATIC: return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_MOUSEMOVE: OnMouseOverBackground(); return 0;
    case WM_SETCURSOR:
      if (OnSetCursor(reinterpret_cast<HWND>(wParam))) return TRUE;
      break;
    case WM_ACTIVATE: OnActivate(wParam); return 0;
    case WM_DROPFILES: OnDropFiles(win32::DroppedFiles(reinterpret_cast<HDROP>(wParam))); return 0;
    case WM_DPICHANGED: OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_NCDESTROY:
      window_ = nullptr;
      controls_ = {};
      focusBeforeDeactivation_ = nullptr;
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void MainWindow::OnCommand(int id, int code) {
  if (id == static_cast<int>(kChooseFieldsCommand)) {  // from the menu or the key
    OnChooseFields();
    return;
  }
  if (code != BN_CLICKED) return;  // also STN_CLICKED, which has the same value
  switch (id) {
    case kChooseButton: OnChooseInput(); break;
    case kBeginButton: OnBegin(); break;
    case IDCANCEL: OnEscape(); break;  // Esc, as the dialog manager reports it
    case kSiteLink: OnSiteLinkClick(); break;
    case kFieldListLabel: OnChooseFields(); break;
    default: break;
  }
}

// Enter, as in a dialog: the dialog manager presses the button this names.
// A focused push button is pressed itself; anywhere else (the input path
// box) Begin is. The field list keeps its Enter for line breaks and never asks.
int MainWindow::DefaultButton() const { return GetFocus() == Control(kChooseButton) ? kChooseButton : kBeginButton; }

void MainWindow::OnNextControl(WPARAM wParam, LPARAM lParam) {
  // Tab navigation of a window that is not a dialog: IsDialogMessage and the
  // multi-line field list ask for the next control with this message.
  HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                               : GetNextDlgTabItem(window_, GetFocus(), wParam != 0 ? TRUE : FALSE);
  if (target == nullptr) return;
  SetFocus(target);
  if (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(target, EM_SETSEL, 0, -1);
}

LRESULT MainWindow::OnControlColour(HDC dc, HWND control) {
  COLORREF colour = GetSysColor(COLOR_BTNTEXT);
  const int id = GetDlgCtrlID(control);
  if (id == kFieldListLabel || id == kMarcLabel) colour = kCaptionLabelColour;
  if (id == kSiteLink) colour = siteLinkColour_;
  SetTextColor(dc, colour);
  // The labels show the window's white through their background; painting
  // it white (not leaving it) lets a changing caption erase the old one.
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

void MainWindow::OnActivate(WPARAM wParam) {
  // A window that is not a dialog does not keep its focused control across a
  // message box or another program; keep it here.
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(window_, focus)) focusBeforeDeactivation_ = focus;
  } else if (focusBeforeDeactivation_ != nullptr && IsWindow(focusBeforeDeactivation_)) {
    SetFocus(focusBeforeDeactivation_);
  }
}

void MainWindow::OnDropFiles(const win32::DroppedFiles& files) {
  // Several files dropped at once are converted into one table, in the order given.
  const UINT count = DragQueryFileW(files.Get(), 0xFFFFFFFF, nullptr, 0);
  std::vector<std::wstring> paths;
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(files.Get(), i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    path.resize(DragQueryFileW(files.Get(), i, path.data(), length + 1));
    if (!path.empty()) paths.push_back(std::move(path));
  }
  SetInputPaths(paths);
}

// The field list's tip opens under the box, where it covers neither the
// box's text nor Begin beside it.
bool MainWindow::OnToolTipShow(HWND toolTip) {
  TTTOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  if (!SendMessageW(toolTip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) return false;
  HWND box = Control(kFieldListBox);
  if (reinterpret_cast<HWND>(tool.uId) != box) return false;
  RECT below = {};
  GetWindowRect(box, &below);
  SetWindowPos(toolTip, nullptr, below.left, below.bottom + 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  // Moved to a monitor of another scale: the same layout at its DPI.
  dpi_ = dpi;
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  ApplyFonts();
  ApplyLayout();
}

void MainWindow::SetSiteLinkColour(COLORREF colour) {
  if (colour == siteLinkColour_ && window_ != nullptr && IsWindowVisible(window_)) return;
  siteLinkColour_ = colour;
  InvalidateRect(Control(kSiteLink), nullptr, TRUE);
}
