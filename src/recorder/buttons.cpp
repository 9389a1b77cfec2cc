// The event buttons (SHOT, FOUL, UNDO, CLEAR SCREEN) and the space bar.
#include <limits>
#include <string>

#include "field/field.h"
#include "recorder/ball_position.h"
#include "recorder/recorder.h"

namespace varrow {
namespace {

constexpr int kSpaceKey = 32;

std::int16_t TakeGoalBack(std::int16_t score) {
  return score > std::numeric_limits<std::int16_t>::min() ? static_cast<std::int16_t>(score - 1)
                                                          : score;
}

}  // namespace

void Recorder::Command5_Click() {
  if (!RecordingAllowed()) return;
  const std::int16_t record = vars().RecordNumber;
  if (record < kFirstEventRecord) return;
  // The mark goes into the record as it is on disk: after UNDO the event in
  // memory is the undone click, not record `record`.
  Event_record shot;
  FileStatus s = file_.ReadEvent(record, shot);
  if (s) {
    const Event_record as_read = shot;
    shot.Shot_flag = -1;
    s = file_.WriteEvent(record, shot);
    // A write cut short may have set one byte of the mark: put it back.
    if (!s) (void)file_.WriteEvent(record, as_read);
  }
  if (s) s = file_.CheckStillNamed();
  if (!s) FailRecording(s);
}

void Recorder::Command6_Click() {
  if (!RecordingAllowed()) return;
  vars().Ball_position = ball_position::kAfterFoul;
}

void Recorder::Command1_Click() {
  if (!RecordingAllowed()) return;
  Form1State& v = vars();
  // The records before the first event are never given back for overwriting.
  if (v.RecordNumber <= kHeaderRecord) return;

  // The score follows the records that remain: the goal of the record taken
  // back is taken off, however many UNDOs came before.
  Event_record undone;
  if (FileStatus read = file_.ReadEvent(v.RecordNumber, undone); !read) {
    FailRecording(read);
    return;
  }
  const auto record = static_cast<std::int16_t>(v.RecordNumber - 1);
  const std::int16_t score_1 =
      undone.Left_goal == 1 ? TakeGoalBack(state_.Score_1) : state_.Score_1;
  const std::int16_t score_2 =
      undone.Right_goal == 1 ? TakeGoalBack(state_.Score_2) : state_.Score_2;
  const Header_record header = CurrentHeader(record, score_2, score_1);
  FileStatus s = WriteHeaderOnly(header);
  if (s) s = file_.CheckStillNamed();
  if (!s) {
    FailRecording(s);
    return;
  }

  v.RecordNumber = record;
  SetHeaderOnDisk(header);
  if (undone.Left_goal == 1) {
    state_.Score_1 = score_1;
    controls_.SetCaption(MainControl::kLabel4, std::to_string(score_1));
  }
  if (undone.Right_goal == 1) {
    state_.Score_2 = score_2;
    controls_.SetCaption(MainControl::kLabel3, std::to_string(score_2));
  }
  v.Left_Goal_flag = v.Right_Goal_flag = 0;
  // Only the latest click's change of possession can be taken back.
  if (v.change_possesion_flag) {
    v.change_possesion_flag = 0;
    SwitchPossession();
  }
  v.Ball_position = ball_position::kAfterUndo;
}

void Recorder::Command7_Click() {
  if (!RecordingAllowed()) return;
  surface_.Cls();
  DrawBallMarker(vars().X_1, vars().Y_1, vars().ball_path_color);
}

void Recorder::Form_KeyDown(int& KeyCode, int /*Shift*/) {
  if (KeyCode != kSpaceKey) return;
  SwitchPossession();
  // Before the kick-off of a new file the centre ball shows who kicks off.
  if (state_.Elapsed_seconds == 0 && !ClockRunning() && state_.New_file_flag == -1) {
    DrawBallMarker(field::kCentreX, field::kCentreY, vars().ball_path_color);
  }
  KeyCode = 0;
}

}  // namespace varrow
