#include "dialog_frame.h"

#include <algorithm>
#include <cstring>

std::vector<WORD> DialogTemplate(DWORD style, const wchar_t* title) {
  DLGTEMPLATE header = {};
  header.style = style;
  std::vector<WORD> words(sizeof header / sizeof(WORD));
  std::memcpy(words.data(), &header, sizeof header);
  words.push_back(0);  // no menu
  words.push_back(0);  // the standard dialog class
  for (const wchar_t* c = title; *c != L'\0'; ++c) words.push_back(static_cast<WORD>(*c));
  words.push_back(0);
  return words;
}

POINT CentredOn(HWND owner, SIZE outer) {
  RECT around = {};
  GetWindowRect(owner, &around);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  const int left = (around.left + around.right - outer.cx) / 2;
  const int top = (around.top + around.bottom - outer.cy) / 2;
  return {std::max<int>(work.left, std::min<int>(left, work.right - outer.cx)),
          std::max<int>(work.top, std::min<int>(top, work.bottom - outer.cy))};
}

void Place(HWND control, const RECT& rect) {
  SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}
