#pragma once

#include <string>
#include <utility>

#include "datafile/data_file.h"
#include "hosts/environment.h"
#include "hosts/settings_store.h"
#include "recorder/controls.h"
#include "state/program_state.h"
#include "surface/surface.h"

namespace varrow {

// The recorder's section of the settings.
inline constexpr std::string_view kSettingsSection = "Startup";

// The main window's logic: every handler of Form1, written against the
// controls and drawing-surface interfaces so it runs without a window system.
// The Qt window only forwards its events here.
class Recorder {
 public:
  Recorder(ProgramState& state, MainControls& controls, Surface& surface, SettingsStore& settings,
           Environment& environment);
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // Window events.
  void Form_Load();    // start-up (the window centres itself before this)
  void Form_Unload();  // shutdown, however the window closes
  void Form_MouseDown(int Button, int Shift, float X, float Y);
  // Sets KeyCode to 0 when it consumed the key.
  void Form_KeyDown(int& KeyCode, int Shift);
  void Timer1_Timer();
  // The window calls this on the user-interface thread after the data file's
  // background flush asked for it (MainControls::PostFlushCheck): a failed
  // flush stops recording with the ERROR message.
  void CheckFlush();

  // Buttons.
  void Command2_Click();  // START CLOCK / STOP CLOCK
  void Command1_Click();  // UNDO
  void Command5_Click();  // SHOT
  void Command6_Click();  // FOUL
  void Command7_Click();  // CLEAR SCREEN

  // Menus.
  void mnuNew_Click();
  void mnuOpen_Click();
  void mnuExit_Click();
  void mnuGenStats_Click();
  void mnuReviewEvents_Click();
  void mnuMatchReport_Click();
  void mnuHelpTopics_Click();
  void mnuAbout_Click();

  // Makes the data file at `path` the current one, as Open does with the
  // file chosen in its dialog; false (after the ERROR message) when the file
  // cannot be taken, which then changes nothing.
  bool TakeDataFile(const std::string& path);

  Form1State& vars() { return state_.form1; }
  const Form1State& vars() const { return state_.form1; }
  ProgramState& state() { return state_; }
  // True while the data file is open (between START CLOCK and STOP CLOCK).
  bool FileOpen() const { return file_.IsOpen(); }
  // How the data file is flushed in the background while the clock runs, from
  // the next START CLOCK: FlushToDisk (fdatasync) unless a test or benchmark
  // needs a slow or failing one, or none (an empty function). Every handler
  // writes its records before it returns; STOP CLOCK and shutdown flush and wait.
  void SetFlushFunction(FlushFunction flush) { flush_ = std::move(flush); }

  // The clock text for a count of seconds: "0:00" style with a leading blank
  // (" 5:07"); fills Seconds, Minutes, StrSeconds and StrMinutes.
  static std::string ClockCaption(std::int16_t elapsed, Form1State& vars);

 private:
  bool ClockRunning() const { return controls_.TimerEnabled(); }
  // The guard of every recording handler: false, after the warning, while the
  // clock is stopped, and false once a background flush has failed (which
  // stops recording).
  bool RecordingAllowed();
  // Corrections to the file of `session` left unsaved when the program was
  // asked to end: asks whether to load them into it, delete them, or leave
  // them for another time.
  void OfferUnsavedCorrections(ReviewSession& session);
  // A refusal: the "WARNING" box with its two lines.
  void Warn(std::string_view first_line, std::string_view second_line);
  // The warning every recording handler gives while the clock is stopped.
  void WarnClockStopped();
  // True, after stopping recording with the ERROR message, when the
  // background flush of the open data file has failed.
  bool FlushFailed();
  // Shows Elapsed_seconds in Label5.
  void ShowClock();
  // Label3 = Score_2, Label4 = Score_1.
  void ShowScores();
  // A ball marker: radius 50, outlined and filled solid in `color`.
  void DrawBallMarker(float x, float y, Color color);
  // Clears the two goal flags and the eight set-piece flags.
  void ClearGoalAndSetPieceFlags();
  // Shows Image3 (left team has the ball) or Image4.
  void ShowPossession(bool left_team);
  // Flips Image3/Image4 and swaps ball_path_color between red and blue.
  void SwitchPossession();
  // A failed open or write while recording: tells the operator, stops the
  // clock and closes the file, so the next START CLOCK starts clean.
  void FailRecording(const FileStatus& status);

  ProgramState& state_;
  MainControls& controls_;
  Surface& surface_;
  SettingsStore& settings_;
  Environment& environment_;
  DataFile file_;  // open (and locked) exactly while the clock runs
  FlushFunction flush_ = FlushToDisk;
  // The header as this program last wrote it or read it with New or Open:
  // START CLOCK refuses a file whose header no longer matches, since another
  // program has recorded into it or it was replaced.
  Header_record known_header_;
  // Which file that was: START CLOCK also refuses another file under its name.
  FileIdentity known_file_;

  // Recording: START and STOP CLOCK, and the writes every recording handler shares.
  void StartClock();
  void StopClock();
  void SetNameBoxesLocked(bool locked);
  // The marker START and STOP CLOCK append: the ball where it is, no flags.
  Event_record ClockMarker() const;
  // Header_rec brought up to date for `last_record`: the clock and the scores.
  Header_record CurrentHeader(std::int16_t last_record, std::int16_t score_2,
                              std::int16_t score_1) const;
  // Writes an event, then the header. On failure the header on disk is still
  // Header_rec and no torn record is left.
  [[nodiscard]] FileStatus WriteEventAndHeader(std::int16_t record, const Event_record& event,
                                               const Header_record& header);
  [[nodiscard]] FileStatus WriteHeaderOnly(const Header_record& header);
  // A header just written or read: it becomes Header_rec, and the one START
  // CLOCK expects to find on disk.
  void SetHeaderOnDisk(const Header_record& header);
  // A failed append may leave part of a record at the end of the file.
  void TrimTornRecord();
  // The "ERROR" message for a data file operation that failed.
  void ShowFileError(const std::string& path, const FileStatus& status,
                     std::string_view consequence);
  // The "WARNING" given when the file has no room for another event.
  void WarnFileFull(std::string_view what_to_do);
};

// Form5's logic: the option handlers of the period window, one object per
// visit. Every click on an option runs its handler, also on the option shown
// selected when the window opens.
class PeriodWindow {
 public:
  PeriodWindow(ProgramState& state, MainControls& controls) : state_(state), controls_(controls) {}
  void Option1_Click();  // 1st Half
  void Option2_Click();  // 2nd Half
  void Option3_Click();  // Overtime 1
  void Option4_Click();  // Overtime 2

 private:
  // Sets the period and its caption; periods after the first change ends.
  // Clicking the period chosen last in this visit again changes nothing.
  void Choose(std::int16_t period, bool change_ends);
  ProgramState& state_;
  MainControls& controls_;
  std::int16_t chosen_ = 0;  // the period clicked last in this visit; 0 before any click
};

}  // namespace varrow
