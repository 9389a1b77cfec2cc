#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "datafile/data_file.h"
#include "state/colors.h"

namespace varrow {

// The controls of the main window that the recorder reads and writes.
enum class MainControl {
  kCommand2,  // START CLOCK / STOP CLOCK
  kLabel3,    // left team's score
  kLabel4,    // right team's score
  kLabel5,    // clock
  kLabel6,    // " File: ..."
  kLabel7,    // period
  kText1,     // right team's name, in its colour
  kText2,     // left team's name, in its colour
  kImage3,    // left team has the ball
  kImage4,    // right team has the ball
};

enum class MsgIcon { kExclamation, kInformation };

// Message box titles.
inline constexpr std::string_view kWarningTitle = "WARNING";
inline constexpr std::string_view kErrorTitle = "ERROR";
inline constexpr std::string_view kDataFileTitle = "Data File";
// Lines of one message are joined by this.
inline constexpr std::string_view kCrLf = "\r\n";

// The main window as the core sees it: its controls, its timer, and the
// dialogs and windows opened from it. The Qt front end implements it; tests
// use a fake that remembers everything.
class MainControls {
 public:
  virtual ~MainControls() = default;

  // Caption of a label or button, or the text of a name box (UTF-8).
  virtual std::string Caption(MainControl c) const = 0;
  virtual void SetCaption(MainControl c, std::string_view text) = 0;
  // Text colour of a name box: the team's colour.
  virtual Color ForeColor(MainControl c) const = 0;
  virtual void SetForeColor(MainControl c, Color color) = 0;
  // Visibility of the possession icons.
  virtual bool Visible(MainControl c) const = 0;
  virtual void SetVisible(MainControl c, bool visible) = 0;
  // Name boxes are read-only while the clock runs.
  virtual void SetLocked(MainControl c, bool locked) = 0;

  // Timer1: enabled exactly while the clock runs; ticks every 1000 ms.
  virtual bool TimerEnabled() const = 0;
  virtual void SetTimerEnabled(bool enabled) = 0;

  // A modal message box with one OK button. "\r\n" (or "\n") breaks a line.
  virtual void MsgBox(std::string_view text, MsgIcon icon, std::string_view title) = 0;
  // The hourglass pointer on the main and progress windows, or the default.
  virtual void SetBusyPointer(bool busy) = 0;

  // Form5, shown modally. Its option buttons call the PeriodWindow handlers;
  // returns when OK closes it.
  virtual void ShowPeriodWindow() = 0;
  // The file-open dialog with one filter ("Data Files (*.dat)|*.dat"); the
  // chosen path, or nothing when the operator cancelled.
  virtual std::optional<std::string> ShowOpenDialog(std::string_view filter) = 0;

  // Form3, the progress window of the statistics pass (not modal).
  virtual void ShowProgressWindow() = 0;
  virtual void SetProgressMax(int maximum) = 0;
  virtual void SetProgressValue(int value) = 0;
  virtual void CloseProgressWindow() = 0;

  // Form2, the Reports window, shown modally; returns when it has closed.
  // Its handlers are a ReportsWindow's, given Label7's caption for the titles.
  virtual void ShowReportsWindow() = 0;
  // Form4, modal.
  virtual void ShowAboutWindow() = 0;
  // Opens the help file at its contents page.
  virtual void ShowHelp(const std::string& help_file) = 0;

  // Closes the main window, which runs its unload handler.
  virtual void CloseMainWindow() = 0;
  // Closes Form2, Form3 and Form4 if they are open.
  virtual void CloseOtherWindows() = 0;
};

struct CalendarDate {
  int year = 0;   // e.g. 1999
  int month = 0;  // 1 to 12
  int day = 0;    // 1 to 31
};

// What the recorder asks of the operating system besides files.
class Environment {
 public:
  virtual ~Environment() = default;
  virtual CalendarDate Today() const = 0;
  // Where New creates its files: the working folder's path, or the system's
  // error when it cannot be named (it has been removed).
  [[nodiscard]] virtual FileStatus CurrentDirectory(std::string& path) const = 0;
  // The directory that holds the program file.
  virtual std::string ProgramDirectory() const = 0;
};

// Why saved settings did not reach the store's file.
struct SettingsFailure {
  std::string file;
  std::string reason;
};

// The per-user settings store: text values by application, section and key.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::string GetSetting(std::string_view app, std::string_view section,
                                 std::string_view key, std::string_view default_value) = 0;
  virtual void SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                           std::string_view value) = 0;
  // Writes what was saved to the store's file now; says why when it could not.
  virtual std::optional<SettingsFailure> Sync() = 0;
};

}  // namespace varrow
