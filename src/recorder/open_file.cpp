// File > Open: makes an existing data file the current one.
#include "recorder/open_file.h"

#include <cmath>
#include <cstdio>

#include "base/error_numbers.h"
#include "base/period_captions.h"
#include "field/field.h"
#include "recorder/ball_position.h"
#include "recorder/recorder.h"

namespace varrow {
namespace {

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
  DataFileReader file;
  FileStatus s = file.Open(path);
  // Recording goes on from Last_record: it must name a record the file holds.
  if (s) s = file.CheckRecordCount();
  if (!s) return s;
  OpenedFile result{file.Team_2_name(), file.Team_1_name(), file.Header_rec(), std::nullopt,
                    file.Identity()};
  const std::int16_t last = result.Header_rec.Last_record;
  if (last >= kFirstEventRecord) {
    Event_record event;
    if (s = file.ReadEvent(last, event); !s) return s;
    if (!InsideDrawingArea(event.X, event.Y)) {
      return FileStatus::Error(
          kBadDataFileError, path + ": the last event (record " + std::to_string(last) +
                                 ") has no valid ball position (x " + Coordinate(event.X) + ", y " +
                                 Coordinate(event.Y) + ")");
    }
    result.last_event = event;
  }
  out = std::move(result);
  return FileStatus::Ok();
}

void Recorder::mnuOpen_Click() {
  if (ClockRunning()) {
    Warn("Can't OPEN file", "while timer on.");
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
  SetHeaderOnDisk(header);
  known_file_ = opened.identity;

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
  v.Ball_position = ball_position::kAfterOpen;
  state_.New_file_flag = 0;
  ClearGoalAndSetPieceFlags();
  DrawBallMarker(x, y, marker_color);
  controls_.SetCaption(MainControl::kLabel7, OpenPeriodCaption(header.Period));
  return true;
}

}  // namespace varrow
