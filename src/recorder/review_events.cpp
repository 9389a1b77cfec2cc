// Reports > Review Events: the event records of the current data file on a
// table and a pitch, corrected with undo and saved over the file.
#include "datafile/folder.h"
#include "recorder/recorder.h"
#include "review/review_session.h"

namespace varrow {

void Recorder::OfferUnsavedCorrections(ReviewSession& session) {
  const std::string unsaved = session.UnsavedFile();
  if (!DataFileNameTaken(unsaved)) return;
  const std::size_t answer = controls_.Ask(
      "Corrections to " + NameOf(session.path()) +
          " that were not saved when Varrow was asked to end are kept in " + NameOf(unsaved) + "." +
          std::string(kCrLf) + "Load them into Review Events, or delete them?",
      session.Title(), {"Load", "Delete", "Not now"});
  FileStatus s;
  if (answer == 0) {
    s = session.LoadUnsaved();
  } else if (answer == 1) {
    s = RemoveDataFile(unsaved);
  }
  if (!s)
    Warn("Cannot " + std::string(answer == 0 ? "load " : "delete ") + NameOf(unsaved), s.reason());
}

void Recorder::mnuReviewEvents_Click() {
  if (ClockRunning()) {
    Warn("Cannot Review Events", "until STOP CLOCK");
    return;
  }
  if (state_.Data_file_path.empty()) {
    Warn("Cannot Review Events until", "file OPENED or NEW file created");
    return;
  }
  ReviewDocument document;
  if (FileStatus s = ReadReviewDocument(state_.Data_file_path, document); !s) {
    Warn("Cannot Review Events", s.reason());
    return;
  }
  ReviewSession session(state_.Data_file_path, std::move(document));
  OfferUnsavedCorrections(session);
  controls_.ShowReviewWindow(session);
  // Recording goes on from the corrected file: its names, colours, score,
  // clock and last ball position, as Open takes them.
  if (session.saved()) TakeDataFile(session.path());
}

}  // namespace varrow
