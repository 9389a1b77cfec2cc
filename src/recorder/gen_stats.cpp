// Reports > Generate Stats: the statistics pass with its progress window,
// then the Reports window.
#include "recorder/recorder.h"
#include "stats/stats_pass.h"

namespace varrow {
namespace {

// The hourglass and the progress window, put away on every way out.
class BusyScope {
 public:
  explicit BusyScope(MainControls& controls) : controls_(controls) {
    controls_.SetBusyPointer(true);
  }
  ~BusyScope() { End(); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

  void ShowProgress(int maximum) {
    controls_.ShowProgressWindow();
    progress_shown_ = true;
    controls_.SetProgressMax(maximum);
  }
  void End() {
    if (ended_) return;
    ended_ = true;
    controls_.SetBusyPointer(false);
    if (progress_shown_) controls_.CloseProgressWindow();
  }

 private:
  MainControls& controls_;
  bool progress_shown_ = false;
  bool ended_ = false;
};

}  // namespace

void Recorder::mnuGenStats_Click() {
  BusyScope busy(controls_);
  // Cleared before the checks: a refused command leaves no old figures behind.
  state_.Red_stats = Team_stats{};
  state_.Blue_stats = Team_stats{};
  state_.Red_shot_count = state_.Blue_shot_count = 0;

  if (ClockRunning()) {
    Warn("Cannot Generate Stats", "until STOP CLOCK");
    return;
  }
  if (state_.Data_file_path.empty()) {
    Warn("Cannot Generate Stats until", "file OPENED or NEW file created");
    return;
  }

  DataFileReader file;
  if (FileStatus s = file.Open(state_.Data_file_path); !s) {
    Warn("Cannot Generate Stats", s.reason());
    return;
  }
  busy.ShowProgress(file.Record_count());
  vars().RecordNumber = 0;
  controls_.SetProgressValue(0);
  MatchStats stats;
  const FileStatus run = ComputeStats(file, stats, [this](std::int16_t r) {
    vars().RecordNumber = r;
    controls_.SetProgressValue(r);
  });
  busy.End();
  if (!run) {
    Warn("Cannot Generate Stats", run.reason());
    return;
  }

  state_.Team_2_name = std::move(stats.Team_2_name);
  state_.Team_1_name = std::move(stats.Team_1_name);
  state_.Header_rec = stats.Header_rec;
  if (stats.any_event) state_.Event_rec = stats.Event_rec;
  state_.Red_stats = std::move(stats.Red_stats);
  state_.Blue_stats = std::move(stats.Blue_stats);
  state_.Red_shot_count = stats.Red_shot_count;
  state_.Blue_shot_count = stats.Blue_shot_count;

  controls_.ShowReportsWindow();
  // START CLOCK takes the next record number from the header, never from here.
  vars().RecordNumber = 0;
}

}  // namespace varrow
