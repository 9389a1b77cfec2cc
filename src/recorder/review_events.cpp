// Reports > Review Events: the event records of the current data file on a
// table and a pitch, corrected with undo and saved over the file.
#include "recorder/recorder.h"
#include "review/review_session.h"

namespace varrow {

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
  controls_.ShowReviewWindow(session);
  // Recording goes on from the corrected file: its names, colours, score,
  // clock and last ball position, as Open takes them.
  if (session.saved()) TakeDataFile(session.path());
}

}  // namespace varrow
