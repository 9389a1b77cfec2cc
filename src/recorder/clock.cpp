// The match clock (START CLOCK / STOP CLOCK and the one-second tick), and the
// file writes every recording handler shares.
#include <cerrno>
#include <limits>
#include <string>

#include "recorder/recorder.h"

namespace varrow {
namespace {

constexpr std::int16_t kMaxClockSeconds = std::numeric_limits<std::int16_t>::max();

}  // namespace

void Recorder::Timer1_Timer() {
  // A tick that was already queued when the clock stopped must not count.
  if (!ClockRunning()) return;
  // The count is 16 bits wide: it stays at 9:06:07 rather than wrapping to a
  // negative time; recording goes on.
  if (state_.Elapsed_seconds < kMaxClockSeconds) ++state_.Elapsed_seconds;
  ShowClock();
  // A file removed while open still takes every write, and loses them all
  // when it is closed; one whose name another file has taken (another
  // program's save) is no longer the data file anyone will open. Looking
  // once a second keeps that check off the click.
  // A failed background flush is seen here at the latest.
  if (file_.IsOpen()) {
    FileStatus s = file_.FlushFailure();
    if (s) s = file_.CheckStillNamed();
    if (!s) FailRecording(s);
  }
}

void Recorder::CheckFlush() { (void)FlushFailed(); }

bool Recorder::FlushFailed() {
  if (!file_.IsOpen()) return false;
  const FileStatus s = file_.FlushFailure();
  if (s) return false;
  FailRecording(s);
  return true;
}

bool Recorder::RecordingAllowed() {
  if (!ClockRunning()) {
    WarnClockStopped();
    return false;
  }
  return !FlushFailed();
}

void Recorder::Command2_Click() {
  vars().change_possesion_flag = 0;
  if (state_.Data_file_path.empty()) {
    Warn("Must create NEW  or OPEN data file", "to START CLOCK");
    return;
  }
  if (ClockRunning()) {
    if (!FlushFailed()) StopClock();
  } else {
    StartClock();
  }
}

void Recorder::StopClock() {
  Form1State& v = vars();
  controls_.SetTimerEnabled(false);
  controls_.SetCaption(MainControl::kCommand2, "START CLOCK");
  SetNameBoxesLocked(false);
  // A goal is "the latest click" only while play goes on.
  v.Left_Goal_flag = v.Right_Goal_flag = 0;

  const Event_record marker = ClockMarker();
  // Clicks stop at kMaxRecordNumber - 1, so the marker always has its record.
  const auto record = static_cast<std::int16_t>(v.RecordNumber + 1);
  Header_record header = CurrentHeader(record, state_.Score_2, state_.Score_1);
  header.Team_2_color = controls_.ForeColor(MainControl::kText2);
  header.Team_1_color = controls_.ForeColor(MainControl::kText1);
  FileStatus s = WriteEventAndHeader(record, marker, header);
  // STOP CLOCK returns with the whole spell of recording on the disk. If that
  // fails, the header goes back to the one the screen still shows.
  if (s) {
    s = file_.Sync();
    if (!s) (void)file_.WriteHeader(state_.Header_rec);
  }
  if (s) s = file_.CheckStillNamed();
  if (!s) {
    FailRecording(s);
    return;
  }
  state_.Event_rec = marker;
  v.RecordNumber = record;
  SetHeaderOnDisk(header);
  file_.Close();  // which also gives up the lock
}

void Recorder::StartClock() {
  Form1State& v = vars();
  const std::int16_t last_record = state_.Header_rec.Last_record;
  if (last_record >= kMaxRecordNumber - 1) {
    WarnFileFull("Create NEW file to START CLOCK");
    return;
  }
  // Never create the file here: a vanished file must be reported, not
  // replaced by one whose first records are zero bytes. The same goes for a
  // file cut shorter than its header says.
  FileStatus s = file_.Open(state_.Data_file_path, OpenMode::kExisting);
  // Only one program records into a file at a time: the lock is taken before
  // anything is read or written, and held until the file closes.
  if (s) {
    s = file_.LockExclusive();
    if (s.code() == EWOULDBLOCK) {
      file_.Close();
      Warn("Another program is recording", "into this data file");
      return;
    }
  }
  std::int64_t size = 0;
  if (s) s = file_.Size(size);
  // Appending to a file that changed since this program last wrote or read
  // it would mix two recordings (the records and the clock would disagree).
  // Any change counts: another file under the name (also one that took it
  // between the open and the lock), fewer records, another header (encoded:
  // the unused bytes do not count).
  bool changed = false;
  if (s) {
    changed = !file_.CheckStillNamed() || file_.Identity() != known_file_ ||
              size < std::int64_t{known_header_.Last_record} * kRecordLength;
  }
  RecordBytes on_disk{};
  if (s && !changed) {
    s = file_.Read(kHeaderRecord, on_disk);
    changed = s && EncodeHeader(DecodeHeader(on_disk)) != EncodeHeader(known_header_);
  }
  if (changed) {
    file_.Close();
    Warn("Data file changed since it was opened", "OPEN it again to START CLOCK");
    return;
  }
  if (s && last_record < kHeaderRecord) {
    s = FileStatus::Error(kBadDataFileError, "The file's header is damaged (last record " +
                                                 std::to_string(last_record) + ")");
  } else if (s && size < static_cast<std::int64_t>(last_record) * kRecordLength) {
    s = FileStatus::Error(kBadDataFileError,
                          "The file holds fewer records than its header counts (" +
                              std::to_string(last_record) + ")");
  }
  if (!s) {
    FailRecording(s);
    return;
  }

  controls_.SetTimerEnabled(true);
  controls_.SetCaption(MainControl::kCommand2, "STOP CLOCK");
  SetNameBoxesLocked(true);
  v.Left_Goal_flag = v.Right_Goal_flag = 0;
  // The flushing threads only knock; the failure itself is handled here, on
  // this thread (FlushFailed).
  if (flush_) file_.FlushInBackground(flush_, [this] { controls_.PostFlushCheck(); });

  const Event_record marker = ClockMarker();
  const auto record = static_cast<std::int16_t>(last_record + 1);
  // The header is written at START as well, so that it counts the marker.
  const Header_record header = CurrentHeader(record, state_.Score_2, state_.Score_1);
  if (s = WriteEventAndHeader(record, marker, header); !s) {
    FailRecording(s);
    return;
  }
  state_.Event_rec = marker;
  v.RecordNumber = record;
  SetHeaderOnDisk(header);
}

void Recorder::FailRecording(const FileStatus& status) {
  // Stop before the message: the box is modal and the timer would tick behind
  // it. Closing waits for the flush of what was recorded before the failure.
  controls_.SetTimerEnabled(false);
  file_.Close();
  controls_.SetCaption(MainControl::kCommand2, "START CLOCK");
  SetNameBoxesLocked(false);
  ShowFileError(state_.Data_file_path, status, "The clock has been stopped.");
}

void Recorder::SetNameBoxesLocked(bool locked) {
  controls_.SetLocked(MainControl::kText1, locked);
  controls_.SetLocked(MainControl::kText2, locked);
}

Event_record Recorder::ClockMarker() const {
  const Form1State& v = vars();
  Event_record e;
  e.X = v.X_1;
  e.Y = v.Y_1;
  e.Team_color = v.ball_path_color;
  e.Clock_seconds = state_.Elapsed_seconds;
  e.Right_goal = e.Left_goal = 0;
  e.Corner_flag = e.Shot_flag = 0;
  return e;
}

Header_record Recorder::CurrentHeader(std::int16_t last_record, std::int16_t score_2,
                                      std::int16_t score_1) const {
  Header_record h = state_.Header_rec;
  h.Last_record = last_record;
  h.Clock_seconds = state_.Elapsed_seconds;
  h.Score_2 = score_2;
  h.Score_1 = score_1;
  return h;
}

FileStatus Recorder::WriteEventAndHeader(std::int16_t record, const Event_record& event,
                                         const Header_record& header) {
  // The event first: until the header counts it, a record beyond the count
  // is harmless, so a crash between the two writes leaves a consistent file.
  if (FileStatus s = file_.WriteEvent(record, event); !s) {
    TrimTornRecord();
    return s;
  }
  return WriteHeaderOnly(header);
}

FileStatus Recorder::WriteHeaderOnly(const Header_record& header) {
  FileStatus s = file_.WriteHeader(header);
  // What reached the file is unknown (a write cut short by the file size
  // limit leaves part of the new header); at least the file must count only
  // what the program still believes was recorded.
  if (!s) (void)file_.WriteHeader(state_.Header_rec);
  return s;
}

void Recorder::SetHeaderOnDisk(const Header_record& header) {
  state_.Header_rec = header;
  known_header_ = header;
}

void Recorder::TrimTornRecord() {
  std::int64_t size = 0;
  if (file_.Size(size) && size % kRecordLength != 0) {
    (void)file_.Truncate(size - size % kRecordLength);
  }
}

void Recorder::ShowFileError(const std::string& path, const FileStatus& status,
                             std::string_view consequence) {
  std::string text = "Unexpected error #" + std::to_string(status.code()) + " occurred: \n" +
                     status.reason() + std::string(kCrLf) + "Data file: " + path;
  if (!consequence.empty()) text += std::string(kCrLf) + std::string(consequence);
  controls_.MsgBox(text, MsgIcon::kExclamation, kErrorTitle);
}

void Recorder::WarnFileFull(std::string_view what_to_do) { Warn("Data file is full", what_to_do); }

}  // namespace varrow
