#include "review/review_document.h"

#include <algorithm>
#include <cmath>

#include "analysis/match_analysis.h"
#include "datafile/data_file_reader.h"
#include "field/field.h"

namespace varrow {
namespace {

constexpr std::size_t kFixedBytes = std::size_t{kHeaderRecord} * kRecordLength;

}  // namespace

std::string ShownTeamName(std::string_view stored_name, TeamSide side) {
  const std::string_view name = TrimmedName(stored_name);
  if (!name.empty()) return std::string(name);
  return side == TeamSide::kLeft ? "Left team" : "Right team";
}

std::string Correction::Name() const {
  switch (kind_) {
    case Kind::kToggleShot:
      return "Toggle Shot";
    case Kind::kSwitchTeam:
      return "Switch Team";
    case Kind::kMove:
      return "Move Event";
    case Kind::kDelete:
      break;
  }
  return rows_.size() == 1 ? "Delete Event" : "Delete " + std::to_string(rows_.size()) + " Events";
}

void Correction::Apply(ReviewDocument& d) const {
  if (kind_ != Kind::kDelete) {
    d.events_[static_cast<std::size_t>(rows_.front())] = after_;
    return;
  }
  // One pass, whatever the number of rows.
  std::size_t out = 0;
  std::size_t next = 0;
  for (std::size_t i = 0; i < d.events_.size(); ++i) {
    if (next < rows_.size() && static_cast<std::size_t>(rows_[next]) == i) {
      ++next;
      continue;
    }
    d.events_[out++] = d.events_[i];
  }
  d.events_.resize(out);
  d.header_ = header_after_;
}

void Correction::Revert(ReviewDocument& d) const {
  if (kind_ != Kind::kDelete) {
    d.events_[static_cast<std::size_t>(rows_.front())] = before_.front();
    return;
  }
  std::vector<RecordBytes> merged;
  merged.reserve(d.events_.size() + rows_.size());
  std::size_t kept = 0;
  for (std::size_t k = 0; k < rows_.size(); ++k) {
    while (merged.size() < static_cast<std::size_t>(rows_[k])) merged.push_back(d.events_[kept++]);
    merged.push_back(before_[k]);
  }
  merged.insert(merged.end(), d.events_.begin() + static_cast<std::ptrdiff_t>(kept),
                d.events_.end());
  d.events_ = std::move(merged);
  d.header_ = header_before_;
}

std::vector<std::uint8_t> ReviewDocument::FileBytes() const {
  std::vector<std::uint8_t> out;
  out.reserve(kFixedBytes + (events_.size() + rest_.size()) * kRecordLength);
  for (const RecordBytes* b : {&left_name_, &right_name_, &header_}) {
    out.insert(out.end(), b->begin(), b->end());
  }
  for (const std::vector<RecordBytes>* records : {&events_, &rest_}) {
    for (const RecordBytes& b : *records) out.insert(out.end(), b.begin(), b.end());
  }
  return out;
}

TeamSide ReviewDocument::Side(int row) const {
  const auto color =
      static_cast<Color>(LoadUint32(events_[static_cast<std::size_t>(row)], kEventColorOffset));
  const Header_record h = Header();
  return color == h.Team_2_color   ? TeamSide::kLeft
         : color == h.Team_1_color ? TeamSide::kRight
                                   : TeamSide::kNone;
}

ReviewRow ReviewDocument::Row(int row) const {
  const Event_record e = Event(row);
  const Header_record h = Header();
  ReviewRow r;
  r.record = kFirstEventRecord + row;
  r.clock_seconds = e.Clock_seconds;
  r.color = e.Team_color;
  r.side = Side(row);
  r.kind = KindOf(e);
  r.shot = e.Shot_flag == -1;
  r.x = e.X;
  r.y = e.Y;
  r.third = ThirdSeenBy(IsLeftTeam(IsRedTeam(e.Team_color), h), ThirdOfX(e.X));
  return r;
}

std::string ReviewDocument::TeamText(const ReviewRow& row) const {
  switch (row.side) {
    case TeamSide::kLeft:
      return ShownTeamName(Team_2_name(), TeamSide::kLeft);
    case TeamSide::kRight:
      return ShownTeamName(Team_1_name(), TeamSide::kRight);
    case TeamSide::kNone:
      break;
  }
  return ColorHex(row.color);
}

Correction ReviewDocument::ChangeRecord(Correction::Kind kind, int row,
                                        const Event_record& changed) const {
  Correction c(kind);
  c.rows_ = {row};
  c.before_ = {events_[static_cast<std::size_t>(row)]};
  c.after_ = EncodeEvent(changed);
  return c;
}

std::optional<Correction> ReviewDocument::ToggleShot(int row) const {
  if (!ValidRow(row)) return std::nullopt;
  Event_record e = Event(row);
  e.Shot_flag = e.Shot_flag == -1 ? 0 : -1;
  return ChangeRecord(Correction::Kind::kToggleShot, row, e);
}

std::optional<Correction> ReviewDocument::SwitchTeam(int row) const {
  if (!ValidRow(row)) return std::nullopt;
  const Header_record h = Header();
  Event_record e = Event(row);
  const Color other = e.Team_color == h.Team_2_color ? h.Team_1_color : h.Team_2_color;
  if (other == e.Team_color) return std::nullopt;  // both teams in one colour
  e.Team_color = other;
  return ChangeRecord(Correction::Kind::kSwitchTeam, row, e);
}

std::optional<Correction> ReviewDocument::Move(int row, float x, float y) const {
  if (!ValidRow(row) || !std::isfinite(x) || !std::isfinite(y)) return std::nullopt;
  Event_record e = Event(row);
  x = std::clamp(x, 0.0f, field::kAreaWidth);
  y = std::clamp(y, 0.0f, field::kAreaHeight);
  if (x == e.X && y == e.Y) return std::nullopt;
  e.X = x;
  e.Y = y;
  return ChangeRecord(Correction::Kind::kMove, row, e);
}

std::optional<Correction> ReviewDocument::Delete(std::vector<int> rows) const {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  if (rows.empty() || !ValidRow(rows.front()) || !ValidRow(rows.back())) return std::nullopt;
  Correction c(Correction::Kind::kDelete);
  Header_record h = Header();
  for (const int row : rows) {
    c.before_.push_back(events_[static_cast<std::size_t>(row)]);
    const Event_record e = Event(row);
    // A goal in the left-hand goal was scored by the right team (Score_1).
    if (e.Left_goal == 1 && h.Score_1 > 0) --h.Score_1;
    if (e.Right_goal == 1 && h.Score_2 > 0) --h.Score_2;
  }
  h.Last_record = static_cast<std::int16_t>(h.Last_record - static_cast<int>(rows.size()));
  c.rows_ = std::move(rows);
  c.header_before_ = header_;
  c.header_after_ = EncodeHeader(h);
  // Reserved bytes mean nothing, so they stay as they were.
  c.header_after_[18] = header_[18];
  c.header_after_[19] = header_[19];
  return c;
}

MatchStats ReviewDocument::Statistics() const {
  MatchStats stats;
  stats.Team_2_name = Team_2_name();
  stats.Team_1_name = Team_1_name();
  stats.Header_rec = Header();
  // The records the pass would read in the saved file: after a delete both
  // Last_record and the file are shorter by the same number.
  stats.Record_count =
      static_cast<std::int16_t>(events_.empty() ? 0 : kHeaderRecord + EventCount());
  EventClassifier classifier(stats);
  classifier.Classify(kFirstEventRecord, events_);
  classifier.Finish();
  return stats;
}

MatchAnalysis ReviewDocument::Analysis() const {
  return AnalyzeEvents(Header(), events_, {.keep_possessions = true});
}

std::vector<ReviewDocument::Loss> ReviewDocument::PossessionLosses() const {
  std::vector<Loss> losses;
  for (const Possession& p : Analysis().possessions) {
    if (!p.lost_third) continue;
    // The next possession's first event, where the other team won the ball.
    const Event_record won = Event(p.last_record + 1 - kFirstEventRecord);
    const SafePosition at = MakeSafePosition(won.X, won.Y);
    losses.push_back({at.x, at.y, p.color});
  }
  return losses;
}

FiguresTable FiguresOf(const MatchStats& stats) {
  FiguresTable t;
  // The red team's column first, as on the general statistics page.
  const bool left_red = IsRedTeam(stats.Header_rec.Team_2_color);
  t.heads[0] = left_red ? ShownTeamName(stats.Team_2_name, TeamSide::kLeft)
                        : ShownTeamName(stats.Team_1_name, TeamSide::kRight);
  t.heads[1] = left_red ? ShownTeamName(stats.Team_1_name, TeamSide::kRight)
                        : ShownTeamName(stats.Team_2_name, TeamSide::kLeft);
  t.colors[0] = kRed;
  t.colors[1] = left_red ? stats.Header_rec.Team_1_color : stats.Header_rec.Team_2_color;
  const Team_stats* teams[2] = {&stats.Red_stats, &stats.Blue_stats};
  auto line = [&](std::string label, auto value) {
    FiguresTable::Line l{std::move(label), {value(*teams[0]), value(*teams[1])}};
    t.lines.push_back(std::move(l));
  };
  auto number = [](auto field) {
    return [field](const Team_stats& s) { return std::to_string(s.*field); };
  };
  line("Goals", number(&Team_stats::Goals));
  line("Shots", number(&Team_stats::Shots));
  line("Corners", number(&Team_stats::Corners));
  line("Time of possession", [](const Team_stats& s) { return MinutesSeconds(s.Possession_time); });
  line("Lost in defending 1/3", number(&Team_stats::Lost_defending));
  line("Lost in middle 1/3", number(&Team_stats::Lost_middle));
  line("Lost in attacking 1/3", number(&Team_stats::Lost_attacking));
  return t;
}

FileStatus ReadReviewDocument(const std::string& path, ReviewDocument& out) {
  DataFileReader file;
  if (FileStatus s = file.Open(path); !s) return s;
  ReviewDocument d;
  d.source_ = file.Identity();
  d.left_name_ = EncodeName(file.Team_2_name());
  d.right_name_ = EncodeName(file.Team_1_name());
  const Header_record& h = file.Header_rec();
  d.header_ = EncodeHeader(h);
  d.header_[18] = h.Reserved[0];
  d.header_[19] = h.Reserved[1];
  d.events_.reserve(static_cast<std::size_t>(std::max(0, file.Record_count() - kHeaderRecord)));
  std::int32_t first = 0;
  std::span<const RecordBytes> run;
  do {
    if (FileStatus s = file.NextEvents(first, run); !s) return s;
    d.events_.insert(d.events_.end(), run.begin(), run.end());
  } while (!run.empty());
  // Undone clicks beyond the count stay in the file as they are.
  for (std::int64_t r = std::max<std::int64_t>(file.Record_count(), kHeaderRecord) + 1;
       r <= file.WholeRecords(); ++r) {
    Event_record e;
    if (FileStatus s = file.ReadEvent(static_cast<std::int32_t>(r), e); !s) return s;
    d.rest_.push_back(EncodeEvent(e));
  }
  file.Close();
  out = std::move(d);
  return FileStatus::Ok();
}

}  // namespace varrow
