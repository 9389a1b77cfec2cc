#pragma once

#include <optional>
#include <vector>

#include "forms/window_util.h"
#include "hosts/settings_store.h"
#include "review/review_session.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QTabWidget;
class QTableView;
class QUndoStack;
class QVBoxLayout;

namespace varrow::forms {

class ReviewEventsFilter;
class ReviewEventsModel;
class ReviewMomentumView;
class ReviewPitchView;
class ReviewPossessionsModel;

// Settings of the window, in a section of their own.
inline constexpr std::string_view kReviewSettingsSection = "ReviewEvents";

// "Review Events: <file>": the event records of a data file on a table and a
// pitch, its possessions on a second tab, the momentum strip under the pitch,
// the general statistics and the analysis figures beside them, and the
// corrections (SHOT, team, position, delete) as undoable commands, saved with
// Ctrl+S. The session does the work; this window wires the widgets to it.
class ReviewWindow : public LayoutKeepingDialog {
  Q_OBJECT

 public:
  ReviewWindow(ReviewSession& session, SettingsStore& settings, QWidget* parent);
  ~ReviewWindow() override;

  QTableView* table() const { return table_; }
  ReviewPitchView* pitch() const { return pitch_; }
  ReviewMomentumView* momentum() const { return momentum_; }
  QTableView* possessionsTable() const { return possessions_table_; }
  QUndoStack* undoStack() const { return undo_; }
  // The rows as the table shows them.
  ReviewEventsFilter* model() const { return model_; }
  // The document rows selected in the table, ascending; the current one.
  std::vector<int> SelectedEventRows() const;
  std::optional<int> CurrentEventRow() const;
  void SelectEventRow(int event_row);
  // Selects the shown ones of these document rows (ascending) in one step,
  // the first of them current.
  void SelectEventRows(const std::vector<int>& event_rows);

  // Ctrl+S. False (after its message, or the operator's No to keeping no
  // original) when the file was not saved.
  bool Save(bool keep_original = true);
  // File > Export Timeline: the period's video timeline from the events as
  // shown (unsaved corrections included), where the operator says.
  void ExportTimeline();

 public slots:
  // Escape and the close box: asks Save / Discard / Cancel while there are
  // unsaved corrections.
  void reject() override;
  // When the program is asked to end from outside (a signal, the desktop
  // session ending): asks nothing. Corrections not saved are kept beside the
  // file (ReviewSession::KeepUnsaved) and a line on the standard error says
  // where; then the window closes.
  void CloseWithoutAsking();

 private:
  void BuildMenus(QVBoxLayout& layout);
  QWidget* BuildFilters();
  QWidget* BuildFigures();
  QWidget* BuildPossessions();
  void OverlaysChanged();
  // A minute of the momentum strip: its first event (or the next shown).
  void MinuteClicked(int minute);
  void PossessionChosen();
  // The path of the possession chosen, while the Possessions tab shows.
  void ShowPath();
  // Makes an undoable command of a correction, if there is one to make.
  void Push(std::optional<Correction> correction);
  // After a correction was applied or taken back.
  void Corrected(const Correction& correction, bool undone);
  void ShowFigures();
  void FilterChanged();
  void SelectionChanged();

  ReviewSession& session_;
  ReviewEventsModel* events_ = nullptr;
  ReviewEventsFilter* model_ = nullptr;
  QTableView* table_ = nullptr;
  ReviewPossessionsModel* possessions_ = nullptr;
  QTableView* possessions_table_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  ReviewPitchView* pitch_ = nullptr;
  ReviewMomentumView* momentum_ = nullptr;
  QUndoStack* undo_ = nullptr;
  QComboBox* team_filter_ = nullptr;
  QComboBox* kind_filter_ = nullptr;
  QCheckBox* show_shots_ = nullptr;
  QCheckBox* show_losses_ = nullptr;
  QCheckBox* show_goals_ = nullptr;
  QCheckBox* show_territory_ = nullptr;
  // The figures panel's two tables, the general statistics and the
  // analysis: each its two heads, then each line's label and values.
  std::vector<QLabel*> figure_labels_[2];
};

}  // namespace varrow::forms
