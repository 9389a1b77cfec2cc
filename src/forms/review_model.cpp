#include "forms/review_model.h"

#include <QBrush>
#include <QColor>
#include <algorithm>
#include <cmath>

#include "platform/qt_conversions.h"
#include "review/review_analysis.h"

namespace varrow::forms {
namespace {

// Coordinates show as the whole twips a click logs; a position projected
// onto a line keeps one decimal.
QString Coordinate(float v) {
  const double d = static_cast<double>(v);
  return d == std::floor(d) ? QString::number(d, 'f', 0) : QString::number(d, 'f', 1);
}

}  // namespace

ReviewEventsModel::ReviewEventsModel(const ReviewSession& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session) {}

void ReviewEventsModel::EventsChanged(const Correction& correction) {
  if (correction.kind() == Correction::Kind::kDelete) {
    beginResetModel();
    endResetModel();
    return;
  }
  const int row = correction.rows().front();
  emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
}

int ReviewEventsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : session_.document().EventCount();
}

int ReviewEventsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant ReviewEventsModel::data(const QModelIndex& index, int role) const {
  const int event_row = index.row();
  const ReviewDocument& d = session_.document();
  if (!index.isValid() || event_row >= d.EventCount()) return {};
  const ReviewRow r = d.Row(event_row);
  if (role == Qt::ForegroundRole && index.column() == kTeam) {
    return QBrush(platform::ToQColor(r.color));
  }
  if (role == Qt::TextAlignmentRole) {
    const bool number = index.column() == kRecord || index.column() == kClock ||
                        index.column() == kX || index.column() == kY;
    return QVariant::fromValue(Qt::AlignVCenter | (number                    ? Qt::AlignRight
                                                   : index.column() == kShot ? Qt::AlignHCenter
                                                                             : Qt::AlignLeft));
  }
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  switch (index.column()) {
    case kRecord:
      return r.record;
    case kClock:
      return platform::FromUtf8(MinutesSeconds(r.clock_seconds));
    case kTeam:
      return platform::FromUtf8(d.TeamText(r));
    case kKind:
      return platform::FromUtf8(KindName(r.kind));
    case kShot:
      return r.shot ? QStringLiteral("\u25CF") : QString();
    case kX:
      return role == Qt::EditRole ? QVariant(static_cast<double>(r.x)) : QVariant(Coordinate(r.x));
    case kY:
      return role == Qt::EditRole ? QVariant(static_cast<double>(r.y)) : QVariant(Coordinate(r.y));
    case kThird:
      return platform::FromUtf8(ThirdName(r.third));
    default:
      return {};
  }
}

QVariant ReviewEventsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static const char* const kHeads[kColumnCount] = {"Record", "Clock", "Team", "Kind",
                                                   "Shot",   "X",     "Y",    "Third"};
  return section >= 0 && section < kColumnCount ? QString(kHeads[section]) : QVariant();
}

Qt::ItemFlags ReviewEventsModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (index.column() == kX || index.column() == kY) f |= Qt::ItemIsEditable;
  return f;
}

bool ReviewEventsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  const int event_row = index.row();
  if (role != Qt::EditRole || !index.isValid() || event_row >= rowCount()) return false;
  bool ok = false;
  const double v = value.toDouble(&ok);
  if (!ok) return false;
  const Event_record e = session_.document().Event(event_row);
  const float x = index.column() == kX ? static_cast<float>(v) : e.X;
  const float y = index.column() == kY ? static_cast<float>(v) : e.Y;
  // The window makes the move, through the undo stack; the model hears of it
  // as of any other correction.
  emit moveRequested(event_row, x, y);
  return true;
}

ReviewEventsFilter::ReviewEventsFilter(const ReviewSession& session, ReviewEventsModel& events,
                                       QObject* parent)
    : QSortFilterProxyModel(parent), session_(session) {
  setSourceModel(&events);
}

void ReviewEventsFilter::SetFilter(std::optional<TeamSide> team, std::optional<EventKind> kind) {
  // Laid out afresh: cheaper than removing and inserting the thousands of
  // runs another team's rows make.
  beginResetModel();
  team_ = team;
  kind_ = kind;
  endResetModel();
}

bool ReviewEventsFilter::filterAcceptsRow(int source_row, const QModelIndex&) const {
  if (!team_ && !kind_) return true;
  const ReviewDocument& d = session_.document();
  return (!team_ || d.Side(source_row) == *team_) && (!kind_ || d.Kind(source_row) == *kind_);
}

int ReviewEventsFilter::EventRow(int table_row) const {
  return mapToSource(index(table_row, 0)).row();
}

int ReviewEventsFilter::TableRow(int event_row) const {
  return mapFromSource(sourceModel()->index(event_row, 0)).row();
}

int ReviewEventsFilter::TableRowNear(int event_row) const {
  // Table rows keep the document's order.
  int low = 0;
  int high = rowCount();
  if (high == 0) return -1;
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (EventRow(middle) < event_row) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return std::min(low, rowCount() - 1);
}

QItemSelection ReviewEventsFilter::TableRows(const std::vector<int>& event_rows) const {
  constexpr int kColumns = ReviewEventsModel::kColumnCount;
  QItemSelection selection;
  int top = -1;
  int bottom = -2;
  auto close_run = [&] {
    if (top >= 0) {
      selection.append(QItemSelectionRange(index(top, 0), index(bottom, kColumns - 1)));
    }
  };
  for (const int event_row : event_rows) {
    const int row = TableRow(event_row);
    if (row < 0) continue;
    if (row != bottom + 1) {
      close_run();
      top = row;
    }
    bottom = row;
  }
  close_run();
  return selection;
}

ReviewPossessionsModel::ReviewPossessionsModel(const ReviewSession& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session) {}

void ReviewPossessionsModel::PossessionsChanged() {
  beginResetModel();
  endResetModel();
}

int ReviewPossessionsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(session_.analysis().possessions.size());
}

int ReviewPossessionsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kPossessionColumns;
}

QVariant ReviewPossessionsModel::data(const QModelIndex& index, int role) const {
  const std::vector<Possession>& possessions = session_.analysis().possessions;
  if (!index.isValid() || index.row() >= static_cast<int>(possessions.size())) return {};
  const Possession& p = possessions[static_cast<std::size_t>(index.row())];
  if (role == Qt::ForegroundRole && index.column() == 0) {
    return QBrush(platform::ToQColor(p.color));
  }
  if (role == Qt::TextAlignmentRole) {
    // The clocks and the counts, as numbers, to the right.
    const bool number = index.column() >= 1 && index.column() <= 4;
    return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
  }
  if (role != Qt::DisplayRole) return {};
  return platform::FromUtf8(
      PossessionCells(session_.document(), p)[static_cast<std::size_t>(index.column())]);
}

QVariant ReviewPossessionsModel::headerData(int section, Qt::Orientation orientation,
                                            int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= kPossessionColumns) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  return platform::FromUtf8(kPossessionHeads[static_cast<std::size_t>(section)]);
}

}  // namespace varrow::forms
