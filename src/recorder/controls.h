#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/colors.h"
#include "hosts/messages.h"

namespace varrow {

class ReviewSession;

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
  // A modal question with a button for each of `buttons`, the first the
  // default; the index of the one pressed, the last when the question is
  // closed without an answer.
  virtual std::size_t Ask(std::string_view text, std::string_view title,
                          const std::vector<std::string>& buttons) = 0;
  // The hourglass pointer on the main and progress windows, or the default.
  virtual void SetBusyPointer(bool busy) = 0;

  // Form5, shown modally. Its option buttons call the PeriodWindow handlers;
  // returns when OK closes it.
  virtual void ShowPeriodWindow() = 0;
  // The file-open dialog with one filter ("Data Files (*.dat)|*.dat"); the
  // chosen path, or nothing when the operator cancelled.
  virtual std::optional<std::string> ShowOpenDialog(std::string_view filter) = 0;
  // The same for several files, opened in `folder` with the file `selected`
  // chosen where the dialog allows (neither when empty); the chosen paths,
  // none when the operator cancelled.
  virtual std::vector<std::string> ShowOpenFilesDialog(std::string_view filter,
                                                       const std::string& folder,
                                                       const std::string& selected) = 0;

  // Form3, the progress window of the statistics pass (not modal).
  virtual void ShowProgressWindow() = 0;
  virtual void SetProgressMax(int maximum) = 0;
  virtual void SetProgressValue(int value) = 0;
  virtual void CloseProgressWindow() = 0;

  // Form2, the Reports window, shown modally; returns when it has closed.
  // Its handlers are a ReportsWindow's, given Label7's caption for the titles.
  virtual void ShowReportsWindow() = 0;
  // The Review Events window over `session`, modal; returns when it has closed.
  virtual void ShowReviewWindow(ReviewSession& session) = 0;
  // The Match Report window over the data files `paths`, modal; returns when
  // it has closed.
  virtual void ShowMatchReportWindow(const std::vector<std::string>& paths) = 0;
  // Form4, modal.
  virtual void ShowAboutWindow() = 0;
  // Opens the help file at its contents page.
  virtual void ShowHelp(const std::string& help_file) = 0;

  // The one member called from another thread: the data file's background
  // flush has failed. The window answers by calling Recorder::CheckFlush on
  // the user-interface thread soon after. (The recorder also looks at every
  // tick and every recording handler, so the error never waits for this.)
  virtual void PostFlushCheck() = 0;

  // Closes the main window, which runs its unload handler.
  virtual void CloseMainWindow() = 0;
  // Closes Form2, Form3, Form4 and the Review Events window if they are open.
  virtual void CloseOtherWindows() = 0;
};

}  // namespace varrow
