#pragma once

#include <QAbstractTableModel>
#include <QItemSelection>
#include <QSortFilterProxyModel>
#include <optional>
#include <vector>

#include "review/review_session.h"

namespace varrow::forms {

// One row per event record of the session's document. Rows are made from
// the document when the view asks for them, so a file of 32,767 records
// opens at once. X and Y are editable: an edit asks for a move, which the
// window makes an undoable correction.
class ReviewEventsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { kRecord, kClock, kTeam, kKind, kShot, kX, kY, kThird, kColumnCount };

  ReviewEventsModel(const ReviewSession& session, QObject* parent);

  // The document changed at these rows. A delete, or its undo, moves every
  // later row: the rows are laid out afresh, in one step however many moved.
  void EventsChanged(const Correction& correction);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

 signals:
  void moveRequested(int event_row, float x, float y);

 private:
  const ReviewSession& session_;
};

// The review table as shown: the events of one team or one kind (or all),
// in document order.
class ReviewEventsFilter : public QSortFilterProxyModel {
  Q_OBJECT

 public:
  ReviewEventsFilter(const ReviewSession& session, ReviewEventsModel& events, QObject* parent);

  // None shows every team or every kind.
  void SetFilter(std::optional<TeamSide> team, std::optional<EventKind> kind);
  // The document row a table row shows, and the table row of a document row
  // (-1 when the filter hides it).
  int EventRow(int table_row) const;
  int TableRow(int event_row) const;
  // The table row of that document row or, when it is not shown, of the
  // next one shown (else the last); -1 for an empty table.
  int TableRowNear(int event_row) const;
  // The table rows of these document rows (ascending) that are shown, whole
  // rows, one range for each run of adjacent table rows.
  QItemSelection TableRows(const std::vector<int>& event_rows) const;

 protected:
  bool filterAcceptsRow(int source_row, const QModelIndex& source_parent) const override;

 private:
  const ReviewSession& session_;
  std::optional<TeamSide> team_;
  std::optional<EventKind> kind_;
};

// One row per possession of the session's analysis, in record order, made
// when the view asks for it.
class ReviewPossessionsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  ReviewPossessionsModel(const ReviewSession& session, QObject* parent);

  // The analysis was made afresh: every row may have changed.
  void PossessionsChanged();

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const ReviewSession& session_;
};

}  // namespace varrow::forms
