#pragma once

#include <QAbstractTableModel>
#include <optional>
#include <vector>

#include "review/review_session.h"

namespace varrow::forms {

// The review table: one row per event record of the session's document
// (all of them, or those of one team or one kind). Rows are made from the
// document when the view asks for them, so a file of 32,767 records opens
// at once. X and Y are editable: an edit asks for a move, which the window
// makes an undoable correction.
class ReviewEventsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { kRecord, kClock, kTeam, kKind, kShot, kX, kY, kThird, kColumnCount };

  ReviewEventsModel(const ReviewSession& session, QObject* parent);

  // None shows every team or every kind.
  void SetFilter(std::optional<TeamSide> team, std::optional<EventKind> kind);
  // The document row a table row shows, and the table row of a document row
  // (-1 when the filter hides it).
  int EventRow(int table_row) const;
  int TableRow(int event_row) const;
  // The table row of that document row or, when it is not shown, of the
  // next one shown (else the last); -1 for an empty table.
  int TableRowNear(int event_row) const;
  // The document changed at these rows (a delete: from the first of them on).
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
  bool Filtered() const { return team_.has_value() || kind_.has_value(); }
  void Rebuild();

  const ReviewSession& session_;
  std::optional<TeamSide> team_;
  std::optional<EventKind> kind_;
  std::vector<int> shown_;  // document rows shown, while a filter is on
};

}  // namespace varrow::forms
