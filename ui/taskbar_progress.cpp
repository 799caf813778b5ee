#include "taskbar_progress.h"

ITaskbarList3* TaskbarProgress::Taskbar() {
  if (!tried_) {
    tried_ = true;
    win32::ComPointer<ITaskbarList3> taskbar;
    if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                   reinterpret_cast<void**>(taskbar.Put()))) &&
        SUCCEEDED(taskbar.Get()->HrInit())) {
      taskbar_ = std::move(taskbar);
    }
  }
  return taskbar_.Get();
}

void TaskbarProgress::Show(std::uint64_t done, std::uint64_t total) {
  if (total == 0) return;
  if (ITaskbarList3* taskbar = Taskbar()) taskbar->SetProgressValue(window_, done < total ? done : total, total);
}

void TaskbarProgress::Clear() {
  if (tried_ && taskbar_) taskbar_.Get()->SetProgressState(window_, TBPF_NOPROGRESS);
}
