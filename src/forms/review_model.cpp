#include "forms/review_model.h"

#include <QBrush>
#include <QColor>
#include <algorithm>
#include <cmath>

#include "platform/qt_conversions.h"

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

void ReviewEventsModel::SetFilter(std::optional<TeamSide> team, std::optional<EventKind> kind) {
  beginResetModel();
  team_ = team;
  kind_ = kind;
  Rebuild();
  endResetModel();
}

void ReviewEventsModel::Rebuild() {
  shown_.clear();
  if (!Filtered()) return;
  const ReviewDocument& d = session_.document();
  for (int row = 0; row < d.EventCount(); ++row) {
    const ReviewRow r = d.Row(row);
    if ((!team_ || r.side == *team_) && (!kind_ || r.kind == *kind_)) shown_.push_back(row);
  }
}

int ReviewEventsModel::EventRow(int table_row) const {
  if (table_row < 0 || table_row >= rowCount()) return -1;
  return Filtered() ? shown_[static_cast<std::size_t>(table_row)] : table_row;
}

int ReviewEventsModel::TableRow(int event_row) const {
  if (!Filtered()) return event_row >= 0 && event_row < rowCount() ? event_row : -1;
  const auto it = std::lower_bound(shown_.begin(), shown_.end(), event_row);
  return it != shown_.end() && *it == event_row ? static_cast<int>(it - shown_.begin()) : -1;
}

int ReviewEventsModel::TableRowNear(int event_row) const {
  const int rows = rowCount();
  if (rows == 0) return -1;
  if (!Filtered()) return std::clamp(event_row, 0, rows - 1);
  const auto it = std::lower_bound(shown_.begin(), shown_.end(), event_row);
  return it == shown_.end() ? rows - 1 : static_cast<int>(it - shown_.begin());
}

void ReviewEventsModel::EventsChanged(const Correction& correction) {
  // A changed record may leave or join the filtered rows, and a delete moves
  // every later row: both are cheaper to lay out afresh than to track.
  if (correction.kind() == Correction::Kind::kDelete || Filtered()) {
    beginResetModel();
    Rebuild();
    endResetModel();
    return;
  }
  const int row = TableRow(correction.rows().front());
  if (row >= 0) emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
}

int ReviewEventsModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return Filtered() ? static_cast<int>(shown_.size()) : session_.document().EventCount();
}

int ReviewEventsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant ReviewEventsModel::data(const QModelIndex& index, int role) const {
  const int event_row = EventRow(index.row());
  if (event_row < 0) return {};
  const ReviewDocument& d = session_.document();
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
      switch (r.side) {
        case TeamSide::kLeft:
          return platform::FromUtf8(ShownTeamName(d.Team_2_name(), TeamSide::kLeft));
        case TeamSide::kRight:
          return platform::FromUtf8(ShownTeamName(d.Team_1_name(), TeamSide::kRight));
        case TeamSide::kNone:
          break;
      }
      return QStringLiteral("#%1").arg(static_cast<quint32>(r.color), 6, 16, QLatin1Char('0'));
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
  const int event_row = EventRow(index.row());
  if (role != Qt::EditRole || event_row < 0) return false;
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

}  // namespace varrow::forms
