#include "review/review_document.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "field/field.h"

namespace varrow {
namespace {

constexpr std::size_t kFixedBytes = std::size_t{kHeaderRecord} * kRecordLength;

RecordBytes RecordAt(std::span<const std::uint8_t> file, std::size_t index) {
  RecordBytes b{};
  std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(index * kRecordLength), kRecordLength,
              b.begin());
  return b;
}

std::string_view Trimmed(std::string_view name) {
  const std::size_t end = name.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view{} : name.substr(0, end + 1);
}

bool IsGoal(const Event_record& e) { return e.Left_goal == 1 || e.Right_goal == 1; }

}  // namespace

std::string_view ThirdName(PitchThird third) {
  switch (third) {
    case PitchThird::kDefending:
      return "defending";
    case PitchThird::kAttacking:
      return "attacking";
    case PitchThird::kMiddle:
      break;
  }
  return "middle";
}

std::string ClockText(std::int32_t seconds) {
  char buf[32];
  const long magnitude = std::labs(static_cast<long>(seconds));
  std::snprintf(buf, sizeof buf, "%s%ld:%02ld", seconds < 0 ? "-" : "", magnitude / 60,
                magnitude % 60);
  return buf;
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

ReviewDocument ReviewDocument::FromFileBytes(std::span<const std::uint8_t> file) {
  ReviewDocument d;
  if (file.size() < kFixedBytes) return d;
  d.left_name_ = RecordAt(file, 0);
  d.right_name_ = RecordAt(file, 1);
  d.header_ = RecordAt(file, 2);
  // The records the statistics count: up to Last_record, never past the
  // whole records in the file.
  const std::size_t whole = file.size() / kRecordLength;
  const std::int16_t last = DecodeHeader(d.header_).Last_record;
  const std::size_t counted =
      std::min<std::size_t>(whole, static_cast<std::size_t>(std::max<int>(last, kHeaderRecord)));
  d.events_.reserve(counted - kHeaderRecord);
  for (std::size_t i = kHeaderRecord; i < counted; ++i) d.events_.push_back(RecordAt(file, i));
  d.rest_.assign(file.begin() + static_cast<std::ptrdiff_t>(counted * kRecordLength), file.end());
  return d;
}

std::vector<std::uint8_t> ReviewDocument::FileBytes() const {
  std::vector<std::uint8_t> out;
  out.reserve(kFixedBytes + events_.size() * kRecordLength + rest_.size());
  for (const RecordBytes* b : {&left_name_, &right_name_, &header_}) {
    out.insert(out.end(), b->begin(), b->end());
  }
  for (const RecordBytes& b : events_) out.insert(out.end(), b.begin(), b.end());
  out.insert(out.end(), rest_.begin(), rest_.end());
  return out;
}

ReviewRow ReviewDocument::Row(int row) const {
  const Event_record e = Event(row);
  const Header_record h = Header();
  ReviewRow r;
  r.record = kFirstEventRecord + row;
  r.clock_seconds = e.Clock_seconds;
  r.color = e.Team_color;
  r.side = e.Team_color == h.Team_2_color   ? TeamSide::kLeft
           : e.Team_color == h.Team_1_color ? TeamSide::kRight
                                            : TeamSide::kNone;
  r.kind = KindOf(e);
  r.shot = e.Shot_flag == -1;
  r.x = e.X;
  r.y = e.Y;
  // As the statistics take sides: red or not, and the left team is red when
  // the header's left colour is; the left team defends the low-x third.
  const bool left = IsRedTeam(e.Team_color) == IsRedTeam(h.Team_2_color);
  const int third = ThirdOfX(e.X);
  r.third = third == 1             ? PitchThird::kMiddle
            : (third == 0) == left ? PitchThird::kDefending
                                   : PitchThird::kAttacking;
  return r;
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

MatchStats ReviewDocument::Statistics(const std::string& name) const {
  MatchStats stats;
  // The document was read from a file the pass accepted, and corrections
  // only shorten it, so the pass accepts it again.
  (void)ComputeStats(FileBytes(), stats, name);
  return stats;
}

std::vector<ReviewDocument::Loss> ReviewDocument::PossessionLosses() const {
  std::vector<Loss> losses;
  for (int row = 1; row < EventCount(); ++row) {
    const Event_record before = Event(row - 1);
    const Event_record e = Event(row);
    if (e.Team_color == before.Team_color || IsGoal(before)) continue;
    const SafePosition p = MakeSafePosition(e.X, e.Y);
    losses.push_back({p.x, p.y, before.Team_color});
  }
  return losses;
}

FiguresTable FiguresOf(const MatchStats& stats) {
  FiguresTable t;
  // The red team's column first, as on the general statistics page.
  const bool left_red = IsRedTeam(stats.Header_rec.Team_2_color);
  t.heads[0] = Trimmed(left_red ? stats.Team_2_name : stats.Team_1_name);
  t.heads[1] = Trimmed(left_red ? stats.Team_1_name : stats.Team_2_name);
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
  line("Time of possession", [](const Team_stats& s) { return ClockText(s.Possession_time); });
  line("Lost in defending 1/3", number(&Team_stats::Lost_defending));
  line("Lost in middle 1/3", number(&Team_stats::Lost_middle));
  line("Lost in attacking 1/3", number(&Team_stats::Lost_attacking));
  return t;
}

// The one place the review reads a data file.
FileStatus ReadReviewDocument(const std::string& path, ReviewDocument& out) {
  DataFile file;
  std::vector<std::uint8_t> bytes;
  FileStatus s = file.Open(path, OpenMode::kExistingReadOnly);
  // One byte over the longest file the statistics take, so a longer one is
  // refused by their check below, in their words.
  constexpr std::int64_t kMaxBytes = std::int64_t{kMaxRecordNumber + 1} * kRecordLength;
  if (s) s = file.ReadAll(bytes, kMaxBytes);
  file.Close();
  if (!s) {
    if (s.code() == kBadDataFileError) return s;
    return FileStatus::Error(s.code(), path + " cannot be read: " + s.reason());
  }
  MatchStats checked;
  if (FileStatus c = ComputeStats(bytes, checked, path); !c) return c;
  out = ReviewDocument::FromFileBytes(bytes);
  return FileStatus::Ok();
}

}  // namespace varrow
