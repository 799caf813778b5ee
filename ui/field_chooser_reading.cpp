// The chooser reads its file: the census of every code, with the progress
// on the dialog and Cancel working all along, then the first records for the
// preview.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "app/messages.h"
#include "field_chooser.h"
#include "main_window_layout.h"
#include "message_loop.h"
#include "win32_text.h"

namespace {

// Often enough to look alive and to answer Cancel at once; running the
// dialog's messages after every record would cost more than the reading.
constexpr DWORD kRepaintIntervalMs = 30;

// The files' size in bytes together, or 0 when one cannot be told.
std::uint64_t FilesSize(const std::vector<std::string>& paths) {
  std::uint64_t total = 0;
  for (const std::string& path : paths) {
    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &attributes)) return 0;
    total += (static_cast<std::uint64_t>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
  }
  return total;
}

// The part of a path after its last folder.
std::wstring FileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return Widen(slash == std::string::npos ? path : path.substr(slash + 1));
}

// The files as the dialog names them: the first, and how many there are.
std::wstring FilesNameOf(const UiTexts& texts, const std::vector<std::string>& paths) {
  return texts.FilesNamed(paths.empty() ? std::wstring() : FileNameOf(paths.front()), paths.size());
}

}  // namespace

void FieldChooser::ReadFile() {
  reading_ = true;
  cancelRequested_ = false;
  everPumped_ = false;
  fileSize_ = FilesSize(request_.inputPaths);
  SetWindowTextW(Control(kChooserSummary), texts_.Reading(FilesNameOf(texts_, request_.inputPaths)).c_str());
  census_ = TakeCensus(files_, request_.inputPaths, [this](std::int64_t records, std::uint64_t bytesRead) {
    return OnReadProgress(records, bytesRead);
  });
  reading_ = false;
  // A census that failed at once has nothing to show: the message says why.
  const bool nothingRead = census_.outcome == Census::Outcome::Failed && census_.records == 0;
  if (nothingRead)
    desktop_.ShowMessageBox(dialog_, Widen(Messages(request_.language).Failed(census_.failure, Work::Census)),
                            MB_OK | MB_ICONERROR, texts_.NoticeTitle());
  if (nothingRead || census_.outcome == Census::Outcome::Stopped) {
    EndDialog(dialog_, IDCANCEL);
    return;
  }
  // The preview shows the first records, which the first file holds.
  previewRecords_ = ReadPreviewRecords(files_, request_.inputPaths.front());
  choices_ = FieldChoices(census_, listed_, request_.language);
  ShowReading(false);
  ShowSummary();
  FillList();
  RefreshPreview();
  SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(kChooserList)), TRUE);
}

bool FieldChooser::OnReadProgress(std::int64_t records, std::uint64_t bytesRead) {
  const DWORD now = GetTickCount();
  if (everPumped_ && now - lastPumped_ < kRepaintIntervalMs) return !cancelRequested_;
  const std::uint64_t done = fileSize_ > 0 ? std::min(bytesRead, fileSize_) : 0;
  // In steps of a thousandth: no product of two sizes, which could wrap.
  const std::uint64_t step = fileSize_ / kProgressSteps + 1;
  SendMessageW(Control(kChooserProgress), PBM_SETPOS, static_cast<WPARAM>(done / step), 0);
  const std::wstring caption = texts_.ReadingSoFar(FilesNameOf(texts_, request_.inputPaths), records);
  SetWindowTextW(Control(kChooserSummary), caption.c_str());
  const bool going = PumpPendingMessages(dialog_);
  everPumped_ = true;
  lastPumped_ = GetTickCount();
  return going && !cancelRequested_;
}

void FieldChooser::ShowReading(bool reading) {
  const int whileReading = reading ? SW_SHOWNA : SW_HIDE;
  const int afterReading = reading ? SW_HIDE : SW_SHOWNA;
  ShowWindow(Control(kChooserProgress), whileReading);
  for (int id : {kChooserList, kChooserHeaderLabel, kChooserHeaderChoice, kChooserSchemeLabel, kChooserSchemeChoice,
                 kChooserPreviewLabel, kChooserPreview}) {
    ShowWindow(Control(id), afterReading);
  }
  EnableWindow(Control(IDOK), reading ? FALSE : TRUE);
}

void FieldChooser::ShowSummary() {
  std::wstring text =
      texts_.Summary(FilesNameOf(texts_, request_.inputPaths), census_.records, census_.Faulty(), census_.malformed);
  if (census_.outcome == Census::Outcome::Failed)
    text += Widen(Messages(request_.language).Failed(census_.failure, Work::Census));
  SetWindowTextW(Control(kChooserSummary), text.c_str());
}
