#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "datafile/records.h"
#include "hosts/environment.h"
#include "hosts/settings_store.h"
#include "recorder/controls.h"

namespace varrow::testing {

// A message box the code under test showed.
struct ShownMessage {
  std::string text;
  MsgIcon icon;
  std::string title;
  friend bool operator==(const ShownMessage&, const ShownMessage&) = default;
};
std::ostream& operator<<(std::ostream& out, const ShownMessage& m);

// The messages of a refusal: one "WARNING" box with the exclamation icon.
std::vector<ShownMessage> OneWarning(std::string text);

// The main window's controls in memory, with the start-up look of the
// designed window. Dialogs answer from scripted queues.
class FakeControls : public MainControls {
 public:
  FakeControls();

  std::string Caption(MainControl c) const override;
  void SetCaption(MainControl c, std::string_view text) override;
  Color ForeColor(MainControl c) const override;
  void SetForeColor(MainControl c, Color color) override;
  bool Visible(MainControl c) const override;
  void SetVisible(MainControl c, bool visible) override;
  void SetLocked(MainControl c, bool locked) override;
  bool Locked(MainControl c) const;
  bool TimerEnabled() const override { return timer_enabled_; }
  void SetTimerEnabled(bool enabled) override { timer_enabled_ = enabled; }
  void MsgBox(std::string_view text, MsgIcon icon, std::string_view title) override;
  std::size_t Ask(std::string_view text, std::string_view title,
                  const std::vector<std::string>& buttons) override;
  void SetBusyPointer(bool busy) override;
  bool BusyPointer() const { return busy_; }
  void ShowPeriodWindow() override;
  std::optional<std::string> ShowOpenDialog(std::string_view filter) override;
  std::vector<std::string> ShowOpenFilesDialog(std::string_view filter, const std::string& folder,
                                               const std::string& selected) override;
  void ShowProgressWindow() override;
  void SetProgressMax(int maximum) override { progress_max_ = maximum; }
  void SetProgressValue(int value) override;
  void CloseProgressWindow() override { progress_open_ = false; }
  void ShowReportsWindow() override;
  void ShowReviewWindow(ReviewSession& session) override;
  void ShowMatchReportWindow(const std::vector<std::string>& paths) override {
    match_reports.push_back(paths);
  }
  void ShowAboutWindow() override { ++about_shown_; }
  void ShowHelp(const std::string& help_file) override { help_files_.push_back(help_file); }
  void PostFlushCheck() override { ++flush_checks_posted.value; }
  void CloseMainWindow() override { ++main_closed_; }
  void CloseOtherWindows() override { ++others_closed_; }

  // Messages shown so far, oldest first.
  std::vector<ShownMessage> messages;
  // Questions asked so far (their text and title), and the answers to give,
  // one per question (by the button's name); none left: the last button.
  std::vector<ShownMessage> questions;
  std::deque<std::string> answers;
  // Called when the period window opens (to click its options); none: just OK.
  std::function<void()> on_period_window;
  int period_windows_shown = 0;
  // Answers of the open dialog, one per call; an empty optional is a cancel.
  std::deque<std::optional<std::string>> open_dialog_answers;
  std::vector<std::string> open_dialog_filters;
  // The open-files dialogs shown (filter, folder, file selected), and their
  // answers, one per call; none left: a cancel.
  std::vector<std::vector<std::string>> open_files_dialogs;
  std::deque<std::vector<std::string>> open_files_answers;
  // The files of each Match Report window shown.
  std::vector<std::vector<std::string>> match_reports;
  // Called while the Reports window is "open".
  std::function<void()> on_reports_window;
  int reports_shown = 0;
  // Whether the busy pointer was on when the Reports window opened.
  bool busy_when_reports_shown = false;

  // Called while the Review Events window is "open".
  std::function<void(ReviewSession&)> on_review_window;
  int review_shown = 0;

  // Called when the progress window opens.
  std::function<void()> on_progress_window;
  bool progress_open_ = false;
  bool progress_shown_ever = false;
  int progress_max_ = 0;
  std::vector<int> progress_values;
  int about_shown_ = 0;
  std::vector<std::string> help_files_;
  int main_closed_ = 0;
  // Knocks from the data file's flushing threads: a count other threads add
  // to, copied with the rest of the controls.
  struct AtomicCount {
    AtomicCount() = default;
    AtomicCount(const AtomicCount& other) : value(other.value.load()) {}
    AtomicCount& operator=(const AtomicCount& other) {
      value = other.value.load();
      return *this;
    }
    std::atomic<int> value = 0;
  };
  AtomicCount flush_checks_posted;
  int others_closed_ = 0;

  // The last message's text, or "" when none was shown.
  std::string LastMessage() const;

 private:
  std::map<MainControl, std::string> captions_;
  std::map<MainControl, Color> colors_;
  std::map<MainControl, bool> visible_;
  std::map<MainControl, bool> locked_;
  bool timer_enabled_ = false;
  bool busy_ = false;
};

// Settings in memory, keyed "app/section/key".
class FakeSettings : public SettingsStore {
 public:
  std::string GetSetting(std::string_view app, std::string_view section, std::string_view key,
                         std::string_view default_value) override;
  void SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                   std::string_view value) override;
  std::map<std::string, std::string> values;
  // Keys in the order they were saved.
  std::vector<std::string> save_order;
  std::vector<std::string> read_order;
  std::optional<SettingsFailure> Sync() override { return std::nullopt; }
};

class FakeEnvironment : public Environment {
 public:
  CalendarDate Today() const override { return today; }
  FileStatus CurrentDirectory(std::string& path) const override {
    path = current_directory;
    return FileStatus::Ok();
  }
  std::string ProgramDirectory() const override { return program_directory; }
  CalendarDate today{1999, 12, 5};
  std::string current_directory = ".";
  std::string program_directory = ".";
};

// "00 70 94 45" style hex of some bytes, for readable comparisons.
std::string Hex(const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> FromHex(std::string_view hex);
// The whole content of a file ("" when it cannot be read).
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
// Whether all of `bytes` were written.
bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
// Record n (from 1) of a file's bytes; all zero when the file does not hold it whole.
RecordBytes RecordOf(const std::vector<std::uint8_t>& file, int n);

}  // namespace varrow::testing
