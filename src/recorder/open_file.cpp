// File > Open: makes an existing data file the current one.
#include "recorder/open_file.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "field/field.h"
#include "recorder/recorder.h"
#include "state/error_numbers.h"

namespace varrow {
namespace {

constexpr std::string_view kDataFileFilter = "Data Files (*.dat)|*.dat";
// Matches no code of the click handler: the next click is plain ball movement.
constexpr std::int16_t kBallPositionAfterOpen = 1000;

FileStatus Malformed(const std::string& path, const std::string& what) {
  return FileStatus::Error(kBadDataFileError, "The data file " + path + " " + what);
}

std::string Coordinate(float v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", static_cast<double>(v));
  return buf;
}

// Every position the recorder writes lies in the main window's drawing area.
bool InsideDrawingArea(float x, float y) {
  return std::isfinite(x) && std::isfinite(y) && x >= 0 && x <= field::kAreaWidth && y >= 0 &&
         y <= field::kAreaHeight;
}

}  // namespace

FileStatus ReadDataFileForOpen(const std::string& path, OpenedFile& out) {
  DataFile file;
  if (FileStatus s = file.Open(path, OpenMode::kExistingReadOnly); !s) {
    return FileStatus::Error(s.code(), "Cannot open " + path + ": " + s.reason());
  }
  std::int64_t bytes = 0;
  if (FileStatus s = file.Size(bytes); !s) {
    return FileStatus::Error(s.code(), "Cannot read " + path + ": " + s.reason());
  }
  constexpr std::int64_t kFixedBytes = std::int64_t{kHeaderRecord} * kRecordLength;
  if (bytes < kFixedBytes) {
    return Malformed(path, "holds " + std::to_string(bytes) +
                               " bytes, too few for the team names and the header (60 bytes).");
  }
  std::array<RecordBytes, kHeaderRecord> fixed{};
  std::size_t got = 0;
  if (FileStatus s = file.ReadRecords(kLeftNameRecord, fixed, got); !s || got < fixed.size()) {
    return s ? Malformed(path, "became shorter while it was read.")
             : FileStatus::Error(s.code(), "Cannot read " + path + ": " + s.reason());
  }
  OpenedFile result;
  result.Team_2_name = DecodeName(fixed[0]);
  result.Team_1_name = DecodeName(fixed[1]);
  result.Header_rec = DecodeHeader(fixed[2]);

  const std::int16_t last = result.Header_rec.Last_record;
  const std::int64_t whole_records = bytes / kRecordLength;
  if (last < kHeaderRecord) {
    return Malformed(path, "has a broken header: it counts " + std::to_string(last) +
                               " records, but every data file has at least 3.");
  }
  if (last > whole_records) {
    return Malformed(path, "has a broken header: it counts " + std::to_string(last) +
                               " records, but the file holds only " +
                               std::to_string(whole_records) + ".");
  }
  if (last >= kFirstEventRecord) {
    Event_record event;
    if (FileStatus s = file.ReadEvent(last, event); !s) {
      return FileStatus::Error(s.code(), "Cannot read " + path + ": " + s.reason());
    }
    if (!InsideDrawingArea(event.X, event.Y)) {
      return Malformed(path, "is damaged: its last event (record " + std::to_string(last) +
                                 ") has no valid ball position (x " + Coordinate(event.X) + ", y " +
                                 Coordinate(event.Y) + ").");
    }
    result.last_event = event;
  }
  out = std::move(result);
  return FileStatus::Ok();
}

std::string_view OpenPeriodCaption(std::int16_t period) {
  switch (period) {
    case 1:
      return " Half: 1st";
    case 2:
      return " Half: 2nd";
    case 3:
      return "Overtime 1";
    default:
      return "Overtime 2";
  }
}

void Recorder::mnuOpen_Click() {
  if (ClockRunning()) {
    controls_.MsgBox(std::string("Can't OPEN file") + std::string(kCrLf) + "while timer on.",
                     MsgIcon::kExclamation, kWarningTitle);
    return;
  }
  const std::optional<std::string> chosen = controls_.ShowOpenDialog(kDataFileFilter);
  if (!chosen) return;  // cancelled
  TakeDataFile(*chosen);
}

bool Recorder::TakeDataFile(const std::string& path) {
  // Everything is read and checked first, so a broken file changes nothing,
  // not even the current file START CLOCK would append to.
  OpenedFile opened;
  if (FileStatus s = ReadDataFileForOpen(path, opened); !s) {
    controls_.MsgBox(UnexpectedErrorMessage(s.code(), s.reason()), MsgIcon::kExclamation,
                     kErrorTitle);
    return false;
  }

  Form1State& v = vars();
  const Header_record& header = opened.Header_rec;
  state_.Data_file_path = path;
  v.RecordNumber = header.Last_record;
  state_.Team_2_name = std::move(opened.Team_2_name);
  state_.Team_1_name = std::move(opened.Team_1_name);
  state_.Header_rec = header;

  controls_.SetCaption(MainControl::kText2, state_.Team_2_name);
  controls_.SetCaption(MainControl::kText1, state_.Team_1_name);
  controls_.SetForeColor(MainControl::kText2, header.Team_2_color);
  controls_.SetForeColor(MainControl::kText1, header.Team_1_color);
  state_.Elapsed_seconds = header.Clock_seconds;
  state_.Score_2 = header.Score_2;
  state_.Score_1 = header.Score_1;
  ShowScores();
  ShowClock();
  controls_.SetCaption(MainControl::kLabel6, " File: " + state_.Data_file_path);

  float x = field::kCentreX;
  float y = field::kCentreY;
  bool left_team_has_ball;
  Color marker_color;
  if (opened.last_event) {
    const Event_record& last = *opened.last_event;
    left_team_has_ball = last.Team_color == header.Team_2_color;
    x = last.X;
    y = last.Y;
    marker_color = last.Team_color;
    state_.Event_rec = last;
  } else {
    // No event yet: the ball waits on the centre spot, as after New, with the
    // team whose ball icon shows.
    left_team_has_ball = controls_.Visible(MainControl::kImage3);
    marker_color = left_team_has_ball ? header.Team_2_color : header.Team_1_color;
    state_.Event_rec = Event_record{
        .X = x, .Y = y, .Clock_seconds = header.Clock_seconds, .Team_color = marker_color};
  }
  ShowPossession(left_team_has_ball);
  v.ball_path_color = left_team_has_ball ? header.Team_2_color : header.Team_1_color;
  v.X_1 = v.X_2 = x;
  v.Y_1 = v.Y_2 = y;
  v.Ball_position = kBallPositionAfterOpen;
  state_.New_file_flag = 0;
  ClearGoalAndSetPieceFlags();
  DrawBallMarker(x, y, marker_color);
  controls_.SetCaption(MainControl::kLabel7, OpenPeriodCaption(header.Period));
  return true;
}

}  // namespace varrow
