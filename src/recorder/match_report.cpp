// Reports > Match Report: the pages of the period files of one match, chosen
// together, in a window of their own.
#include "recorder/open_file.h"
#include "recorder/recorder.h"

namespace varrow {

void Recorder::mnuMatchReport_Click() {
  if (ClockRunning()) {
    Warn("Cannot make Match Report", "until STOP CLOCK");
    return;
  }
  // The periods of a match are where New made them, the working folder;
  // when it cannot be named the dialog starts where it likes.
  std::string folder;
  if (!environment_.CurrentDirectory(folder)) folder.clear();
  const std::vector<std::string> paths =
      controls_.ShowOpenFilesDialog(kDataFileFilter, folder, state_.Data_file_path);
  if (paths.empty()) return;
  controls_.ShowMatchReportWindow(paths);
}

}  // namespace varrow
