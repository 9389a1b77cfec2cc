#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <map>
#include <memory>
#include <utility>

#include "recorder/controls.h"
#include "recorder/recorder.h"
#include "state/program_state.h"

class QKeyEvent;
class QMouseEvent;

namespace varrow::platform {
class WindowSurface;
}

namespace varrow::forms {

class FieldView;
class Form2;
class Form3;
class Form4;
class HelpViewer;
class MatchReportWindow;
class ReviewWindow;

// The main window. Its drawing area is the field, with the controls laid on
// it at their twips positions; every event goes straight to the recorder's
// handler of the same name. The window also serves the recorder as its
// controls, dialogs and other windows (MainControls).
class Form1 : public QMainWindow, public MainControls {
  Q_OBJECT

 public:
  Form1(ProgramState& state, SettingsStore& settings, Environment& environment,
        QWidget* parent = nullptr);
  ~Form1() override;

  // Centres the window on the screen and runs the start-up handler. Call
  // once, before the window is shown.
  void Load();
  // Runs the shutdown handler, unless it has run already.
  void Unload();
  // Closes the window as the operator would, when the program is asked to
  // end from outside (a signal, the desktop session ending): open menus and
  // modal windows first, then the window itself, which runs the shutdown.
  void CloseOnRequest();

  Recorder& recorder() { return *recorder_; }
  platform::WindowSurface& surface() { return *surface_; }
  // The drawing area (the field and the controls on it).
  QWidget* fieldView() const;

  // MainControls.
  std::string Caption(MainControl c) const override;
  void SetCaption(MainControl c, std::string_view text) override;
  Color ForeColor(MainControl c) const override;
  void SetForeColor(MainControl c, Color color) override;
  bool Visible(MainControl c) const override;
  void SetVisible(MainControl c, bool visible) override;
  void SetLocked(MainControl c, bool locked) override;
  bool TimerEnabled() const override;
  void SetTimerEnabled(bool enabled) override;
  void MsgBox(std::string_view text, MsgIcon icon, std::string_view title) override;
  std::size_t Ask(std::string_view text, std::string_view title,
                  const std::vector<std::string>& buttons) override;
  void SetBusyPointer(bool busy) override;
  void ShowPeriodWindow() override;
  std::optional<std::string> ShowOpenDialog(std::string_view filter) override;
  std::vector<std::string> ShowOpenFilesDialog(std::string_view filter, const std::string& folder,
                                               const std::string& selected) override;
  void ShowProgressWindow() override;
  void SetProgressMax(int maximum) override;
  void SetProgressValue(int value) override;
  void CloseProgressWindow() override;
  void ShowReportsWindow() override;
  void ShowReviewWindow(ReviewSession& session) override;
  void ShowMatchReportWindow(const std::vector<std::string>& paths) override;
  void ShowAboutWindow() override;
  void ShowHelp(const std::string& help_file) override;
  void PostFlushCheck() override;
  void CloseMainWindow() override;
  void CloseOtherWindows() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Key preview: sees key presses before the focused control does.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class FieldView;
  void BuildMenus();
  void BuildControls();
  void FieldMouseDown(QMouseEvent* event);
  // A press of the space bar or Enter that the keyboard repeats while the key
  // is held; notes the releases of those keys.
  bool IsRepeatOfAHeldKey(const QKeyEvent& key);
  QWidget* Control(MainControl c) const;
  // Lets the clock and score labels widen into the gaps beside them when
  // their text does not fit.
  void FitLabel(MainControl c);

  ProgramState& state_;
  SettingsStore& settings_;
  Environment& environment_;

  FieldView* view_ = nullptr;
  std::map<MainControl, QWidget*> controls_;
  std::map<MainControl, Color> fore_colors_;
  QTimer* timer1_ = nullptr;  // Timer1

  std::unique_ptr<platform::WindowSurface> surface_;
  std::unique_ptr<Recorder> recorder_;

  QPointer<Form2> form2_;
  QPointer<Form3> form3_;
  QPointer<Form4> form4_;
  QPointer<ReviewWindow> review_;
  QPointer<MatchReportWindow> match_report_;
  QPointer<HelpViewer> help_;
  bool busy_ = false;
  // True while the statistics pass runs with its progress window: closing
  // the main window then would pull the state from under the pass.
  bool pass_running_ = false;
  bool unloaded_ = false;
  // The latest release of the space bar or Enter: key and time stamp.
  std::pair<int, quint64> last_release_{0, 0};
};

}  // namespace varrow::forms
