#pragma once
// The run's progress on the window's taskbar button (ITaskbarList3, Windows 7
// and later). Where the system offers no such thing, or COM is not there,
// every call does nothing.
#include <windows.h>

#include <shobjidl.h>

#include <cstdint>

#include "win32_handles.h"

class TaskbarProgress {
 public:
  explicit TaskbarProgress(HWND window) : window_(window) {}
  // `done` of `total`; nothing when the total is not known.
  void Show(std::uint64_t done, std::uint64_t total);
  void Clear();

 private:
  ITaskbarList3* Taskbar();

  HWND window_;
  bool tried_ = false;
  win32::ComPointer<ITaskbarList3> taskbar_;
};
