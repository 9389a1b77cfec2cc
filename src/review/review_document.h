#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/match_analysis.h"
#include "base/colors.h"
#include "datafile/data_file.h"
#include "datafile/records.h"
#include "stats/event_kind.h"
#include "stats/stats_pass.h"

namespace varrow {

// The header team an event's colour belongs to.
enum class TeamSide { kLeft, kRight, kNone };

// A team's name as the review window shows it: without its padding, and a
// blank name (never typed in) as the side it plays on, so no row is unnamed.
std::string ShownTeamName(std::string_view stored_name, TeamSide side);

// One event record as the review table shows it.
struct ReviewRow {
  std::int32_t record = 0;
  std::int16_t clock_seconds = 0;
  Color color = 0;
  TeamSide side = TeamSide::kNone;
  EventKind kind = EventKind::kPlay;
  bool shot = false;
  float x = 0;  // as stored
  float y = 0;
  // Where it lies for the team that had the ball (ThirdSeenBy).
  PitchThird third = PitchThird::kMiddle;
};

class ReviewDocument;

// One correction of a review, holding what undoing it needs: the records it
// replaced (and for a delete, the header before it).
class Correction {
 public:
  enum class Kind { kToggleShot, kSwitchTeam, kMove, kDelete };

  Kind kind() const { return kind_; }
  // The rows it changes, ascending; for a delete, the rows as they were before.
  const std::vector<int>& rows() const { return rows_; }
  // The name the undo and redo commands show: "Toggle Shot", "Delete 3 Events"...
  std::string Name() const;

  void Apply(ReviewDocument& document) const;
  void Revert(ReviewDocument& document) const;

 private:
  friend class ReviewDocument;
  explicit Correction(Kind kind) : kind_(kind) {}
  Kind kind_;
  std::vector<int> rows_;
  std::vector<RecordBytes> before_;
  RecordBytes after_{};  // the changed record (every kind but a delete)
  RecordBytes header_before_{};
  RecordBytes header_after_{};
};

// A data file held in memory for review: the two names, the header, the
// event records the statistics count (4 to min(Last_record, whole records))
// and the whole records that follow them (undone clicks), which are kept
// untouched. Row n is record 4 + n.
class ReviewDocument {
 public:
  ReviewDocument() = default;
  // The file as it would be saved: whole records only.
  std::vector<std::uint8_t> FileBytes() const;
  // The file it was read from, whatever path named it.
  const FileIdentity& Source() const { return source_; }

  int EventCount() const { return static_cast<int>(events_.size()); }
  Event_record Event(int row) const { return DecodeEvent(events_[static_cast<std::size_t>(row)]); }
  std::span<const RecordBytes> Events() const { return events_; }
  ReviewRow Row(int row) const;
  // A row's side and kind alone, as the Team and Kind lists filter by them:
  // a list of 32,767 rows is filtered at once.
  TeamSide Side(int row) const;
  EventKind Kind(int row) const { return KindOf(Event(row)); }
  // The team a row shows: its side's name, or "#rrggbb" for a colour of
  // neither team.
  std::string TeamText(const ReviewRow& row) const;
  Header_record Header() const { return DecodeHeader(header_); }
  // The names as stored, all 20 characters.
  std::string Team_2_name() const { return DecodeName(left_name_); }
  std::string Team_1_name() const { return DecodeName(right_name_); }

  // The corrections; none when it would change nothing (or a row is out of range).
  // SHOT on or off (key S).
  std::optional<Correction> ToggleShot(int row) const;
  // The event's colour to the other header team's (key T); a colour of
  // neither team becomes the left team's.
  std::optional<Correction> SwitchTeam(int row) const;
  // A new position, kept inside the main window's drawing area; flags stay.
  std::optional<Correction> Move(int row, float x, float y) const;
  // Removes the rows: later records move up, Last_record goes down by their
  // number, and each goal among them is taken off the score of the side it
  // was scored for (never below zero).
  std::optional<Correction> Delete(std::vector<int> rows) const;

  // The statistics pass over the document as it stands.
  MatchStats Statistics() const;
  // The match analysis of the same records, its possessions kept.
  MatchAnalysis Analysis() const;

  // Where possession was lost, as the statistics count it: the position of
  // the event that changed the colour, in the colour of the team that lost
  // the ball (the change right after a goal, the kick-off, is no loss).
  struct Loss {
    float x = 0;
    float y = 0;
    Color loser = 0;
  };
  std::vector<Loss> PossessionLosses() const;

 private:
  friend class Correction;
  friend FileStatus ReadReviewDocument(const std::string& path, ReviewDocument& out);
  bool ValidRow(int row) const { return row >= 0 && row < EventCount(); }
  Correction ChangeRecord(Correction::Kind kind, int row, const Event_record& changed) const;

  FileIdentity source_;
  RecordBytes left_name_{};
  RecordBytes right_name_{};
  RecordBytes header_{};
  std::vector<RecordBytes> events_;
  std::vector<RecordBytes> rest_;
};

// The figures panel: the general statistics of one pass, the red team's
// column first as the reports print them.
struct FiguresTable {
  struct Line {
    std::string label;
    std::string values[2];
  };
  std::string heads[2];  // team names, trailing blanks removed
  Color colors[2] = {kRed, kBlue};
  std::vector<Line> lines;
};
FiguresTable FiguresOf(const MatchStats& stats);

// Reads a data file for review through the one data-file reader, so a file
// the statistics refuse is refused with the same description. A partial
// record at the end (an interrupted write) is no record and is not kept.
[[nodiscard]] FileStatus ReadReviewDocument(const std::string& path, ReviewDocument& out);

}  // namespace varrow
