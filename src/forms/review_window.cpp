#include "forms/review_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QUndoCommand>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <initializer_list>

#include "datafile/folder.h"
#include "forms/review_model.h"
#include "forms/review_pitch_view.h"
#include "forms/timeline_dialog.h"
#include "forms/window_util.h"
#include "platform/qt_conversions.h"
#include "review/review_analysis.h"

namespace varrow::forms {
namespace {

// One correction on the undo stack; the window applies it and takes it back.
class CorrectionCommand : public QUndoCommand {
 public:
  using Run = std::function<void(const Correction&, bool undo)>;
  CorrectionCommand(Correction correction, Run run)
      : QUndoCommand(platform::FromUtf8(correction.Name())),
        correction_(std::move(correction)),
        run_(std::move(run)) {}
  void redo() override { run_(correction_, false); }
  void undo() override { run_(correction_, true); }

 private:
  Correction correction_;
  Run run_;
};

// Rows of one height, selected whole, and columns sized from the font
// (`widths` in digits) rather than from their contents: measuring 32,767 rows
// would take a while.
void SetUpTable(QTableView& table, const char* name, QAbstractItemModel& model,
                std::initializer_list<int> widths, int row_height) {
  table.setObjectName(name);
  table.setModel(&model);
  table.setSelectionBehavior(QAbstractItemView::SelectRows);
  table.setWordWrap(false);
  table.setAlternatingRowColors(true);
  table.verticalHeader()->hide();
  table.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table.verticalHeader()->setDefaultSectionSize(row_height);
  const int digit = table.fontMetrics().horizontalAdvance(QLatin1Char('0'));
  int column = 0;
  for (const int width : widths) table.setColumnWidth(column++, width * digit + 12);
  table.horizontalHeader()->setStretchLastSection(true);
}

}  // namespace

ReviewWindow::ReviewWindow(ReviewSession& session, SettingsStore& settings, QWidget* parent)
    : LayoutKeepingDialog(settings, kReviewSettingsSection, parent), session_(session) {
  setObjectName("ReviewEvents");
  // "[*]" shows as "*" while there are unsaved corrections.
  setWindowTitle(platform::FromUtf8(session_.Title()) + "[*]");
  undo_ = new QUndoStack(this);
  connect(undo_, &QUndoStack::cleanChanged, this,
          [this](bool clean) { setWindowModified(!clean); });
  // Corrections left unsaved last time, loaded: not saved until Ctrl+S.
  if (session_.unsaved_loaded()) undo_->resetClean();

  auto* layout = new QVBoxLayout(this);
  BuildMenus(*layout);
  layout->addWidget(BuildFilters());

  events_ = new ReviewEventsModel(session_, this);
  model_ = new ReviewEventsFilter(session_, *events_, this);
  table_ = new QTableView;
  SetUpTable(*table_, "ReviewTable", *model_, {7, 6, 15, 11, 5, 8, 8, 10},
             table_->fontMetrics().height() + 6);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
  connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &ReviewWindow::SelectionChanged);
  connect(table_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &ReviewWindow::SelectionChanged);
  // Queued: the edit that asked for the move has finished before the table changes.
  connect(
      events_, &ReviewEventsModel::moveRequested, this,
      [this](int row, float x, float y) { Push(session_.document().Move(row, x, y)); },
      Qt::QueuedConnection);

  pitch_ = new ReviewPitchView(session_, nullptr);
  connect(pitch_, &ReviewPitchView::eventClicked, this, &ReviewWindow::SelectEventRow);
  connect(pitch_, &ReviewPitchView::moveRequested, this,
          [this](int row, float x, float y) { Push(session_.document().Move(row, x, y)); });

  auto* overlays = new QHBoxLayout;
  show_shots_ = new QCheckBox("S&hots");
  show_losses_ = new QCheckBox("&Possession lost");
  show_goals_ = new QCheckBox("&Goals");
  show_territory_ = new QCheckBox("Te&rritory");
  show_shots_->setObjectName("ShowShots");
  show_losses_->setObjectName("ShowLosses");
  show_goals_->setObjectName("ShowGoals");
  show_territory_->setObjectName("ShowTerritory");
  show_territory_->setToolTip(
      "Each zone's share of the ball time of the team chosen in the Team list, or of both");
  for (QCheckBox* box : {show_shots_, show_losses_, show_goals_, show_territory_}) {
    overlays->addWidget(box);
    connect(box, &QCheckBox::toggled, this, &ReviewWindow::OverlaysChanged);
  }
  overlays->addStretch();

  momentum_ = new ReviewMomentumView(session_, nullptr);
  connect(momentum_, &ReviewMomentumView::minuteClicked, this, &ReviewWindow::MinuteClicked);
  auto* momentum_label = new QLabel("&Momentum:");
  momentum_label->setBuddy(momentum_);
  auto* momentum_row = new QHBoxLayout;
  momentum_row->addWidget(momentum_label);
  momentum_row->addWidget(momentum_, 1);

  auto* right = new QWidget;
  auto* right_layout = new QVBoxLayout(right);
  right_layout->setContentsMargins(0, 0, 0, 0);
  right_layout->addWidget(pitch_, 1);
  right_layout->addLayout(momentum_row);
  right_layout->addLayout(overlays);
  right_layout->addWidget(BuildFigures());

  tabs_ = new QTabWidget;
  tabs_->setObjectName("ReviewTabs");
  tabs_->addTab(table_, "Eve&nts");
  tabs_->addTab(BuildPossessions(), "Possess&ions");
  connect(tabs_, &QTabWidget::currentChanged, this, [this] {
    // Chosen by its access key or a click: the keys go on to its list.
    tabs_->currentWidget()->setFocus();
    ShowPath();
  });

  splitter_ = new QSplitter(Qt::Horizontal);
  splitter_->setObjectName("ReviewSplitter");
  splitter_->addWidget(tabs_);
  splitter_->addWidget(right);
  splitter_->setStretchFactor(0, 1);
  splitter_->setStretchFactor(1, 1);
  layout->addWidget(splitter_, 1);
  ShowFigures();

  // Else a size that shows the table and the pitch side by side.
  RestoreLayout(QSize(1120, 660), [](int width) { return QList<int>{width / 2, width / 2}; });

  // The keys work at once: the first event selected, the table focused.
  if (model_->rowCount() > 0) SelectEventRow(0);
  table_->setFocus();
}

ReviewWindow::~ReviewWindow() = default;

void ReviewWindow::BuildMenus(QVBoxLayout& layout) {
  auto* bar = new QMenuBar(this);
  layout.setMenuBar(bar);
  auto add = [this](QMenu* menu, const char* name, const QString& caption,
                    const QList<QKeySequence>& keys, auto handler) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcuts(keys);
    connect(action, &QAction::triggered, this, handler);
    // The window's own actions too, so the keys work wherever the focus is.
    addAction(action);
    return action;
  };
  QMenu* file = bar->addMenu("&File");
  add(file, "actionSave", "&Save", {QKeySequence::Save}, [this] { Save(); });
  add(file, "actionExportTimeline", "Export &Timeline...", {}, [this] { ExportTimeline(); });
  file->addSeparator();
  add(file, "actionClose", "&Close", {}, [this] { reject(); });

  QMenu* edit = bar->addMenu("&Edit");
  QAction* undo = undo_->createUndoAction(this, "&Undo");
  undo->setObjectName("actionUndo");
  undo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
  QAction* redo = undo_->createRedoAction(this, "&Redo");
  redo->setObjectName("actionRedo");
  redo->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  for (QAction* a : {undo, redo}) {
    edit->addAction(a);
    addAction(a);
  }
  edit->addSeparator();
  add(edit, "actionToggleShot", "Toggle &Shot", {QKeySequence(Qt::Key_S)}, [this] {
    if (const std::optional<int> row = CurrentEventRow())
      Push(session_.document().ToggleShot(*row));
  });
  add(edit, "actionSwitchTeam", "Switch &Team", {QKeySequence(Qt::Key_T)}, [this] {
    if (const std::optional<int> row = CurrentEventRow())
      Push(session_.document().SwitchTeam(*row));
  });
  add(edit, "actionDelete", "&Delete", {QKeySequence(Qt::Key_Delete)},
      [this] { Push(session_.document().Delete(SelectedEventRows())); });
}

QWidget* ReviewWindow::BuildFilters() {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  team_filter_ = new QComboBox;
  team_filter_->setObjectName("TeamFilter");
  team_filter_->addItem("All teams", -1);
  team_filter_->addItem(
      platform::FromUtf8(ShownTeamName(session_.document().Team_2_name(), TeamSide::kLeft)),
      static_cast<int>(TeamSide::kLeft));
  team_filter_->addItem(
      platform::FromUtf8(ShownTeamName(session_.document().Team_1_name(), TeamSide::kRight)),
      static_cast<int>(TeamSide::kRight));
  kind_filter_ = new QComboBox;
  kind_filter_->setObjectName("KindFilter");
  kind_filter_->addItem("All kinds", -1);
  for (const EventKind kind : {EventKind::kGoal, EventKind::kCornerKick, EventKind::kGoalLine,
                               EventKind::kTouchline, EventKind::kPlay}) {
    kind_filter_->addItem(platform::FromUtf8(KindName(kind)), static_cast<int>(kind));
  }
  auto* team_label = new QLabel("Te&am:");
  team_label->setBuddy(team_filter_);
  auto* kind_label = new QLabel("&Kind:");
  kind_label->setBuddy(kind_filter_);
  layout->addWidget(team_label);
  layout->addWidget(team_filter_);
  layout->addSpacing(12);
  layout->addWidget(kind_label);
  layout->addWidget(kind_filter_);
  layout->addStretch();
  for (QComboBox* box : {team_filter_, kind_filter_}) {
    connect(box, &QComboBox::currentIndexChanged, this, &ReviewWindow::FilterChanged);
  }
  return row;
}

QWidget* ReviewWindow::BuildFigures() {
  auto* panel = new QWidget;
  panel->setObjectName("ReviewFigures");
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(0, 4, 0, 0);
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(2);
  // The general statistics and, beside them, the analysis: each a label
  // column and the two teams' columns.
  const std::size_t lines[2] = {
      FiguresOf(session_.stats()).lines.size(),
      AnalysisFiguresOf(session_.stats(), session_.analysis()).lines.size()};
  for (int table = 0; table < 2; ++table) {
    const int first_column = table * 4;
    auto add = [&](int r, int c) {
      auto* label = new QLabel;
      label->setTextFormat(Qt::PlainText);
      if (c > 0) label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      grid->addWidget(label, r, first_column + c);
      figure_labels_[table].push_back(label);
    };
    add(0, 1);
    add(0, 2);
    for (int r = 1; r <= static_cast<int>(lines[table]); ++r) {
      for (int c = 0; c < 3; ++c) add(r, c);
    }
    grid->setColumnStretch(first_column, 1);
  }
  grid->setColumnMinimumWidth(3, 8);
  grid->setRowStretch(static_cast<int>(std::max(lines[0], lines[1])) + 1, 1);
  return panel;
}

QWidget* ReviewWindow::BuildPossessions() {
  possessions_ = new ReviewPossessionsModel(session_, this);
  possessions_table_ = new QTableView;
  SetUpTable(*possessions_table_, "PossessionsTable", *possessions_, {15, 6, 6, 7, 6, 7, 9, 9},
             table_->verticalHeader()->defaultSectionSize());
  possessions_table_->setSelectionMode(QAbstractItemView::SingleSelection);
  possessions_table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(possessions_table_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &ReviewWindow::PossessionChosen);
  return possessions_table_;
}

void ReviewWindow::ShowFigures() {
  const FiguresTable tables[2] = {FiguresOf(session_.stats()),
                                  AnalysisFiguresOf(session_.stats(), session_.analysis())};
  for (int table = 0; table < 2; ++table) {
    const FiguresTable& t = tables[table];
    std::vector<QLabel*>& labels = figure_labels_[table];
    for (int c = 0; c < 2; ++c) {
      QLabel* head = labels[static_cast<std::size_t>(c)];
      head->setText(platform::FromUtf8(t.heads[c]));
      QPalette p = head->palette();
      p.setColor(QPalette::WindowText, platform::ToQColor(t.colors[c]));
      head->setPalette(p);
    }
    std::size_t i = 2;
    for (const FiguresTable::Line& line : t.lines) {
      labels[i++]->setText(platform::FromUtf8(line.label));
      labels[i++]->setText(platform::FromUtf8(line.values[0]));
      labels[i++]->setText(platform::FromUtf8(line.values[1]));
    }
  }
}

void ReviewWindow::OverlaysChanged() {
  const int team = team_filter_->currentData().toInt();
  PitchOverlays overlays;
  overlays.shots = show_shots_->isChecked();
  overlays.losses = show_losses_->isChecked();
  overlays.goals = show_goals_->isChecked();
  overlays.territory = show_territory_->isChecked();
  if (team >= 0) overlays.territory_team = static_cast<TeamSide>(team);
  pitch_->SetOverlays(overlays);
}

void ReviewWindow::MinuteClicked(int minute) {
  const int first = FirstEventOfMinute(session_.document(), minute);
  if (first < 0) return;
  const int near = model_->TableRowNear(first);
  if (near < 0) return;
  // The strip keeps the keys, for the next minute.
  QWidget* focus = QApplication::focusWidget();
  tabs_->setCurrentWidget(table_);
  if (focus != nullptr) focus->setFocus();
  SelectEventRow(model_->EventRow(near));
}

void ReviewWindow::PossessionChosen() {
  const QModelIndex current = possessions_table_->selectionModel()->currentIndex();
  const std::vector<Possession>& possessions = session_.analysis().possessions;
  if (current.isValid() && current.row() < static_cast<int>(possessions.size())) {
    // Its first event, or the next the filter shows.
    const int near =
        model_->TableRowNear(FirstEventRow(possessions[static_cast<std::size_t>(current.row())]));
    if (near >= 0) SelectEventRow(model_->EventRow(near));
  }
  ShowPath();
}

void ReviewWindow::ShowPath() {
  const QModelIndex current = possessions_table_->selectionModel()->currentIndex();
  pitch_->SetPath(tabs_->currentWidget() == possessions_table_ && current.isValid()
                      ? std::optional(current.row())
                      : std::nullopt);
}

std::vector<int> ReviewWindow::SelectedEventRows() const {
  // Range by range: asking row by row whether it is selected takes as long
  // as the rows times the ranges.
  std::vector<int> rows;
  for (const QItemSelectionRange& range : table_->selectionModel()->selection()) {
    for (int row = range.top(); row <= range.bottom(); ++row) {
      rows.push_back(model_->EventRow(row));
    }
  }
  if (rows.empty()) {
    if (const std::optional<int> current = CurrentEventRow()) rows.push_back(*current);
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

std::optional<int> ReviewWindow::CurrentEventRow() const {
  const QModelIndex current = table_->selectionModel()->currentIndex();
  const int row = current.isValid() ? model_->EventRow(current.row()) : -1;
  if (row < 0) return std::nullopt;
  return row;
}

void ReviewWindow::SelectEventRow(int event_row) { SelectEventRows({event_row}); }

void ReviewWindow::SelectEventRows(const std::vector<int>& event_rows) {
  const QItemSelection rows = model_->TableRows(event_rows);
  if (rows.isEmpty()) return;
  const QModelIndex first = rows.front().topLeft();
  QItemSelectionModel* selection = table_->selectionModel();
  selection->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
  // The ranges are whole rows already: widening them again (the Rows flag)
  // merges each into the others, which takes seconds for thousands.
  selection->select(rows, QItemSelectionModel::ClearAndSelect);
  table_->scrollTo(first);
}

void ReviewWindow::SelectionChanged() {
  const std::optional<int> row = CurrentEventRow();
  pitch_->SetSelectedRow(row);
  momentum_->SetMinute(row ? std::optional(session_.document().Event(*row).Clock_seconds / 60)
                           : std::nullopt);
}

void ReviewWindow::FilterChanged() {
  const std::optional<int> current = CurrentEventRow();
  const int team = team_filter_->currentData().toInt();
  const int kind = kind_filter_->currentData().toInt();
  model_->SetFilter(team < 0 ? std::nullopt : std::optional(static_cast<TeamSide>(team)),
                    kind < 0 ? std::nullopt : std::optional(static_cast<EventKind>(kind)));
  // The territory shown is the team's the list chose.
  if (show_territory_->isChecked()) OverlaysChanged();
  if (current && model_->TableRow(*current) >= 0) {
    SelectEventRow(*current);
  } else if (model_->rowCount() > 0) {
    SelectEventRow(model_->EventRow(0));
  } else {
    SelectionChanged();
  }
}

void ReviewWindow::Push(std::optional<Correction> correction) {
  if (!correction) return;
  undo_->push(new CorrectionCommand(
      std::move(*correction), [this](const Correction& c, bool undo) { Corrected(c, undo); }));
}

void ReviewWindow::Corrected(const Correction& c, bool undone) {
  if (undone) {
    session_.Revert(c);
  } else {
    session_.Apply(c);
  }
  events_->EventsChanged(c);
  possessions_->PossessionsChanged();
  pitch_->DocumentChanged();
  momentum_->DocumentChanged();
  ShowFigures();
  if (c.kind() != Correction::Kind::kDelete || undone) {
    // The corrected rows, selected again.
    SelectEventRows(c.rows());
  } else if (const int near = model_->TableRowNear(c.rows().front()); near >= 0) {
    // The event that moved up into the place of the first one deleted (or
    // the next one the filter shows).
    SelectEventRow(model_->EventRow(near));
  }
  SelectionChanged();
}

void ReviewWindow::ExportTimeline() {
  const ReviewDocument& document = session_.document();
  const Header_record header = document.Header();
  TimelineExportDialog settings({header.Period}, settings_, this);
  if (settings.exec() != QDialog::Accepted) return;
  QString suggested = QFile::decodeName(QByteArray::fromStdString(session_.path()));
  if (suggested.endsWith(".dat", Qt::CaseInsensitive)) suggested.chop(4);
  const QString chosen = QFileDialog::getSaveFileName(this, "Export Timeline", suggested + ".xml",
                                                      "Timelines (*.xml)");
  if (chosen.isEmpty()) return;
  const std::string path = QFile::encodeName(chosen).toStdString();
  // A recording cannot be made again: never write over it.
  if (IdentityAt(path) == document.Source()) {
    QMessageBox::warning(this, "Export Timeline",
                         chosen + " is the data file under review: choose another name.");
    return;
  }
  const CommitResult written =
      WriteTimeline(path, PeriodTimeline(document.Team_2_name(), document.Team_1_name(), header,
                                         document.Events(), settings.Settings()));
  if (!written.ok()) {
    QMessageBox::critical(
        this, "Export Timeline",
        chosen + " cannot be written: " + platform::FromUtf8(written.status.reason()));
  }
}

bool ReviewWindow::Save(bool keep_original) {
  const ReviewSaveResult result = session_.Save(keep_original);
  switch (result.kind) {
    case ReviewSaveResult::Kind::kAsk: {
      QMessageBox box(QMessageBox::Question, windowTitle().remove("[*]"),
                      platform::FromUtf8(result.text).replace("\r\n", "\n"),
                      QMessageBox::Yes | QMessageBox::No, this);
      box.setDefaultButton(QMessageBox::No);
      return box.exec() == QMessageBox::Yes && Save(false);
    }
    case ReviewSaveResult::Kind::kRefused:
      ShowMessage(this, result.text, MsgIcon::kExclamation, result.title);
      return false;
    case ReviewSaveResult::Kind::kSaved:
      break;
  }
  // The file has changed: the title says so before any warning does.
  undo_->setClean();
  if (!result.text.empty()) ShowMessage(this, result.text, MsgIcon::kExclamation, result.title);
  return true;
}

void ReviewWindow::reject() {
  if (!undo_->isClean()) {
    QMessageBox box(QMessageBox::Question, windowTitle().remove("[*]"),
                    "Save the corrections to " + platform::FromUtf8(session_.path()) + "?",
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
      case QMessageBox::Save:
        if (!Save()) return;
        break;
      case QMessageBox::Discard:
        break;
      default:
        return;
    }
  }
  QDialog::reject();
}

void ReviewWindow::CloseWithoutAsking() {
  if (!undo_->isClean()) {
    const std::string line = "varrow: " + session_.KeepUnsaved() + "\n";
    std::fputs(line.c_str(), stderr);
  }
  done(QDialog::Rejected);
}

}  // namespace varrow::forms
