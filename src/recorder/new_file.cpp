// File > New: a fresh data file for the next period of play.
#include <cstdio>
#include <string>

#include "base/error_numbers.h"
#include "base/period_captions.h"
#include "datafile/cp1252.h"
#include "datafile/folder.h"
#include "field/field.h"
#include "recorder/ball_position.h"
#include "recorder/recorder.h"

namespace varrow {
namespace {

// File_tries reaching this means every name of the day is taken.
constexpr std::int16_t kMaxFileTries = 10;

// What the period window may change, so a New that fails can put it back.
struct Sides {
  std::string left_name;
  std::string right_name;
  Color left_color = 0;
  Color right_color = 0;
  std::int16_t score_2 = 0;
  std::int16_t score_1 = 0;
  std::int16_t period = 0;
  std::string period_caption;
};

Sides SaveSides(const ProgramState& state, const MainControls& controls) {
  return {controls.Caption(MainControl::kText2),
          controls.Caption(MainControl::kText1),
          controls.ForeColor(MainControl::kText2),
          controls.ForeColor(MainControl::kText1),
          state.Score_2,
          state.Score_1,
          state.Header_rec.Period,
          controls.Caption(MainControl::kLabel7)};
}

void RestoreSides(const Sides& sides, ProgramState& state, MainControls& controls) {
  controls.SetCaption(MainControl::kText2, sides.left_name);
  controls.SetCaption(MainControl::kText1, sides.right_name);
  controls.SetForeColor(MainControl::kText2, sides.left_color);
  controls.SetForeColor(MainControl::kText1, sides.right_color);
  state.Score_2 = sides.score_2;
  state.Score_1 = sides.score_1;
  state.Header_rec.Period = sides.period;
  controls.SetCaption(MainControl::kLabel7, sides.period_caption);
}

}  // namespace

void Recorder::mnuNew_Click() {
  if (ClockRunning()) {
    Warn("Can't create NEW file", "while timer on.");
    return;
  }

  // The name comes first, so that a day with all nine files taken changes
  // nothing, not even the sides. The suffix holds two characters: digits 10
  // and 11 give "_1" again, and the tenth try ends the search.
  // New files go into the working folder and nowhere else: a folder that has
  // been removed or may not be written is reported before anything changes.
  std::string directory;
  FileStatus folder = environment_.CurrentDirectory(directory);
  if (folder) folder = CheckFolderWritable(directory);
  if (!folder) {
    controls_.MsgBox(UnexpectedErrorMessage(folder.code(), folder.reason()) + std::string(kCrLf) +
                         "Working folder: " +
                         (directory.empty() ? "the folder Varrow was started in" : directory) +
                         std::string(kCrLf) + "No new data file was created.",
                     MsgIcon::kExclamation, kErrorTitle);
    return;
  }

  const CalendarDate today = environment_.Today();
  char date[16];
  std::snprintf(date, sizeof date, "%02d%02d%02d", today.month % 100, today.day % 100,
                today.year % 100);
  std::int16_t tries = 0;
  std::int16_t digit = 1;
  std::string suffix;
  std::string name;
  std::string path;
  auto build = [&] {
    suffix = ("_" + std::to_string(digit)).substr(0, 2);
    name = std::string(date) + suffix + ".dat";
    path = JoinPath(directory, name);
  };
  build();
  while (DataFileNameTaken(path) && tries < kMaxFileTries) {
    ++tries;
    ++digit;
    build();
  }
  if (tries >= kMaxFileTries) {
    controls_.MsgBox("Can only create 9 files in one day", MsgIcon::kInformation, kDataFileTitle);
    return;
  }

  const Sides before = SaveSides(state_, controls_);
  controls_.ShowPeriodWindow();
  const std::int16_t period = state_.Header_rec.Period;
  controls_.SetCaption(MainControl::kLabel7, PeriodCaption(PeriodCaptionBy::kNew, period));
  if (period == 1) state_.Score_2 = state_.Score_1 = 0;

  // The new file's first three records. The header carries the running score
  // so that a later period opened before its first click shows it.
  const std::string team_2_name = PadOrCutUtf8(controls_.Caption(MainControl::kText2), kNameLength);
  const std::string team_1_name = PadOrCutUtf8(controls_.Caption(MainControl::kText1), kNameLength);
  Header_record header = state_.Header_rec;
  header.Team_2_color = controls_.ForeColor(MainControl::kText2);
  header.Team_1_color = controls_.ForeColor(MainControl::kText1);
  header.Last_record = kHeaderRecord;
  header.Clock_seconds = 0;
  header.Score_2 = state_.Score_2;
  header.Score_1 = state_.Score_1;

  DataFile file;
  FileStatus s = file.Open(path, OpenMode::kCreateNew);
  const bool created = s.ok();
  if (s) s = file.WriteName(kLeftNameRecord, team_2_name);
  if (s) s = file.WriteName(kRightNameRecord, team_1_name);
  if (s) s = file.WriteHeader(header);
  if (s) s = file.Sync();
  const FileIdentity identity = file.Identity();
  file.Close();
  if (!s) {
    // A half-made file would only take up one of the day's names.
    if (created) (void)RemoveDataFile(path);
    RestoreSides(before, state_, controls_);
    ShowFileError(path, s, "No new data file was created.");
    return;
  }

  state_.Date_part = date;
  state_.File_digit = digit;
  state_.Suffix_part = suffix;
  state_.File_tries = tries;
  state_.Data_file_name = name;
  state_.Data_file_path = path;
  state_.Team_2_name = team_2_name;
  state_.Team_1_name = team_1_name;
  SetHeaderOnDisk(header);
  known_file_ = identity;

  // Kick-off: clock at zero, ball on the centre spot with the team whose ball
  // icon shows, nothing left of the previous file's play.
  Form1State& v = vars();
  state_.Elapsed_seconds = 0;
  controls_.SetCaption(MainControl::kLabel5, "0:00");
  v.Ball_position = ball_position::kKickOff;
  v.X_1 = v.X_2 = field::kCentreX;
  v.Y_1 = v.Y_2 = field::kCentreY;
  ClearGoalAndSetPieceFlags();
  v.ball_path_color = controls_.Visible(MainControl::kImage3)
                          ? controls_.ForeColor(MainControl::kText2)
                          : controls_.ForeColor(MainControl::kText1);
  surface_.Cls();
  DrawBallMarker(field::kCentreX, field::kCentreY, v.ball_path_color);
  v.RecordNumber = kHeaderRecord;

  controls_.SetCaption(MainControl::kLabel6, " File: " + state_.Data_file_path);
  state_.New_file_flag = -1;
  ShowScores();
  // Told once the file really exists and the window shows it.
  controls_.MsgBox("New data file created: " + name, MsgIcon::kInformation, kDataFileTitle);
}

}  // namespace varrow
