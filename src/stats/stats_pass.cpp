#include "stats/stats_pass.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "field/field.h"

namespace varrow {
namespace {

// Records read per system call: enough to keep the calls few, small enough to
// keep the buffer in the processor's cache, and below the size (128 KiB) from
// which the allocator maps fresh pages for each pass, whose first touches
// cost more than the whole pass (measured: 80 KiB 70 us, 160 KiB 150 us).
constexpr std::int32_t kChunkRecords = 4096;

// The buffer the records are read into, at the same offset within a memory
// page as each chunk within the file's pages (record 4 starts 60 bytes in; a
// chunk is a whole number of pages). The kernel's copy runs fastest so: at
// some offsets its stores trail its loads by a few bytes of the same 4 KiB
// pattern, and it runs several times slower.
constexpr std::size_t kPageBytes = 4096;
static_assert(kChunkRecords * kRecordLength % kPageBytes == 0);
struct alignas(kPageBytes) ChunkBuffer {
  std::array<RecordBytes, kHeaderRecord> fixed_records_room;  // unused
  std::array<RecordBytes, kChunkRecords> records;
};

constexpr std::int64_t kFixedRecordsBytes = std::int64_t{kHeaderRecord} * kRecordLength;

FileStatus Malformed(std::string description) {
  return FileStatus::Error(kBadDataFileError, std::move(description));
}

// A system failure with the file named in its description.
FileStatus NameFile(const std::string& name, const FileStatus& status) {
  if (status.code() == kBadDataFileError) return status;
  return FileStatus::Error(status.code(), name + " cannot be read: " + status.reason());
}

FileStatus CheckLength(const std::string& name, std::int64_t bytes) {
  if (bytes < kFixedRecordsBytes) {
    return Malformed(name + " holds " + std::to_string(bytes) +
                     " bytes, too few for the team names and the header (60 bytes).");
  }
  const std::int64_t records = bytes / kRecordLength;
  if (records > kMaxRecordNumber) {
    return Malformed(name + " holds " + std::to_string(records) +
                     " records; a data file holds at most 32767.");
  }
  return FileStatus::Ok();
}

// Records beyond the header's count are undone clicks, and a partial record at
// the end is an interrupted write: neither is read.
std::int16_t CountRecords(std::int16_t last_record, std::int64_t whole_records) {
  const std::int64_t n = std::min<std::int64_t>(last_record, whole_records);
  return static_cast<std::int16_t>(std::max<std::int64_t>(n, 0));
}

void ReadFixedRecords(const RecordBytes* records, std::int64_t whole_records, MatchStats& out) {
  out.Team_2_name = DecodeName(records[0]);
  out.Team_1_name = DecodeName(records[1]);
  out.Header_rec = DecodeHeader(records[2]);
  out.Record_count = CountRecords(out.Header_rec.Last_record, whole_records);
}

float SafeCoordinate(float v, float centre, float limit) {
  if (!std::isfinite(v)) return centre;
  return std::clamp(v, 0.0f, limit);
}

// Fields of an event record, read straight from its bytes (little-endian).
constexpr int kXOffset = 0;
constexpr int kYOffset = 4;
constexpr int kClockOffset = 8;
constexpr int kColorOffset = 10;
constexpr int kCornerOffset = 14;
constexpr int kLeftGoalOffset = 16;
constexpr int kRightGoalOffset = 17;
constexpr int kShotOffset = 18;

inline std::uint32_t Load32(const RecordBytes& b, int at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

inline std::int16_t Load16(const RecordBytes& b, int at) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(b[at] | b[at + 1] << 8));
}

inline std::uint64_t Load64(const RecordBytes& b, int at) {
  if constexpr (std::endian::native == std::endian::little) {
    std::uint64_t v;
    std::memcpy(&v, b.data() + at, sizeof v);
    return v;
  } else {
    return std::uint64_t{Load32(b, at + 4)} << 32 | Load32(b, at);
  }
}

// Bytes 12 to 19: the colour's high half, then the corner, goal and shot flags.
constexpr int kFlagsOffset = 12;
constexpr std::uint64_t kFlagsMask = 0xFFFFFFFFFFFF0000;

constexpr std::uint32_t kExponentBits = 0x7F800000;  // all set: infinity or NaN
constexpr std::int32_t kLowThirdBits = std::bit_cast<std::int32_t>(field::kLowThird);
constexpr std::int32_t kHighThirdBits = std::bit_cast<std::int32_t>(field::kHighThird);

// Records scanned at a time: their marks stay in the processor's cache.
constexpr std::size_t kBlockRecords = 1024;

// The third of the field at an x coordinate given by its bits: 0 low, 1 middle
// (both boundaries included), 2 high. Finite floats order like their bits
// taken as integers (every negative one lands in the low third); a coordinate
// that is no finite number counts as the centre.
int Third(std::int32_t x_bits) {
  if ((static_cast<std::uint32_t>(x_bits) & kExponentBits) == kExponentBits) return 1;
  return 1 - int{x_bits < kLowThirdBits} + int{x_bits > kHighThirdBits};
}

// What possession needs of a block's marked records, side by side, so it can
// be counted several records at a time. The colour only changes at a marked
// record, so the colour that held the ball before marked record k is the one
// before it in the list.
struct MarkedFields {
  // color[0] is the colour before the block, color[k + 1] marked record k's.
  alignas(16) std::array<std::int32_t, kBlockRecords + 1> color;
  alignas(16) std::array<std::int32_t, kBlockRecords> x_bits;
  alignas(16) std::array<std::int32_t, kBlockRecords> clock;
};

#if defined(__GNUC__)
// Four 32-bit lanes (SSE2 on x86-64). A comparison gives all ones in a lane
// where it holds, so it can mask other lanes, and subtracting it counts.
using Lanes = std::int32_t __attribute__((vector_size(16)));
constexpr std::size_t kLanes = sizeof(Lanes) / sizeof(std::int32_t);

Lanes LoadLanes(const std::int32_t* at) {
  Lanes v;
  std::memcpy(&v, at, sizeof v);
  return v;
}

std::int32_t SumLanes(Lanes v) {
  std::int32_t sum = 0;
  for (std::size_t i = 0; i < kLanes; ++i) sum += v[i];
  return sum;
}
#endif

// Counts the changes of possession among the first `count` marked records of
// a block: the ball's time goes to the team that lost it (red_balance, the
// telescoped sums) and the loss counts in the third where the other team won
// the ball (lost, by the losing team: other, red; a kick-off after a goal
// is counted too, and taken back with the goal). A marked record of the
// colour before it only carries a flag and counts for nothing here.
void CountPossession(const MarkedFields& f, std::size_t count, std::int64_t& red_balance,
                     std::int32_t (&lost)[2][3]) {
  std::size_t k = 0;
#if defined(__GNUC__)
  // Several records at a time, with no branch: possession changes at no
  // predictable rhythm. Each lane counts at most a block's records, so no sum
  // outgrows 32 bits.
  Lanes balance{}, changes{}, lows{}, highs{}, red_changes{}, red_lows{}, red_highs{};
  for (; k + kLanes <= count; k += kLanes) {
    const Lanes color = LoadLanes(&f.color[k + 1]);
    const Lanes holder = LoadLanes(&f.color[k]);
    const Lanes x = LoadLanes(&f.x_bits[k]);
    const Lanes clock = LoadLanes(&f.clock[k]);
    const Lanes red = color == kRed;
    const Lanes holder_red = holder == kRed;
    const Lanes change = color != holder;
    balance += (clock & holder_red) - (clock & red);
    const Lanes finite =
        (x & static_cast<std::int32_t>(kExponentBits)) != static_cast<std::int32_t>(kExponentBits);
    const Lanes low = change & finite & (x < kLowThirdBits);
    const Lanes high = change & finite & (x > kHighThirdBits);
    changes -= change;
    lows -= low;
    highs -= high;
    red_changes -= change & holder_red;
    red_lows -= low & holder_red;
    red_highs -= high & holder_red;
  }
  red_balance += SumLanes(balance);
  const std::int32_t red_lost[3] = {
      SumLanes(red_lows), SumLanes(red_changes - red_lows - red_highs), SumLanes(red_highs)};
  const std::int32_t all_lost[3] = {SumLanes(lows), SumLanes(changes - lows - highs),
                                    SumLanes(highs)};
  for (int third = 0; third < 3; ++third) {
    lost[1][third] += red_lost[third];
    lost[0][third] += all_lost[third] - red_lost[third];
  }
#endif
  // The rest one at a time (all of them for a compiler without vectors).
  for (; k < count; ++k) {
    const Color color = f.color[k + 1];
    const Color holder = f.color[k];
    const std::int32_t holder_red = IsRedTeam(holder);
    red_balance += std::int64_t{f.clock[k]} * (holder_red - std::int32_t{IsRedTeam(color)});
    lost[holder_red][Third(f.x_bits[k])] += std::int32_t{color != holder};
  }
}

inline SafePosition SafePositionOf(float x, float y) {
  return {SafeCoordinate(x, field::kCentreX, field::kAreaWidth),
          SafeCoordinate(y, field::kCentreY, field::kAreaHeight)};
}

inline SafePosition SafePositionOf(const RecordBytes& b) {
  return SafePositionOf(std::bit_cast<float>(Load32(b, kXOffset)),
                        std::bit_cast<float>(Load32(b, kYOffset)));
}

}  // namespace

SafePosition MakeSafePosition(float x, float y) { return SafePositionOf(x, y); }

int ThirdOfX(float x) { return Third(std::bit_cast<std::int32_t>(x)); }

EventClassifier::EventClassifier(MatchStats& out)
    : out_(out), left_team_red_(IsRedTeam(out.Header_rec.Team_2_color)) {
  out_.Red_stats = Team_stats{};
  out_.Blue_stats = Team_stats{};
  out_.Red_shot_count = out_.Blue_shot_count = 0;
  out_.any_event = false;
  // Room for a shot every 32 records from the start (matches have far fewer),
  // so the tables seldom grow a reallocation at a time.
  const auto room = static_cast<std::size_t>(std::max(0, out.Record_count / 32));
  for (Team_stats* t : {&out_.Red_stats, &out_.Blue_stats}) {
    t->Shot_x.reserve(room);
    t->Shot_y.reserve(room);
  }
}

void EventClassifier::Classify(std::int32_t first_record, std::span<const RecordBytes> records,
                               const StatsProgress& progress) {
  if (progress) {
    ClassifyEach(first_record, records,
                 [&](std::int32_t r) { progress(static_cast<std::int16_t>(r)); });
  } else {
    ClassifyEach(first_record, records, [](std::int32_t) {});
  }
}

// Most records are the ball moving within one team: with the possession time
// telescoped, they count for nothing. So each block of records is first
// scanned for the ones that do (a change of colour, or a flag set), with no
// branch, since changes of possession come at no predictable rhythm; then
// those are classified, again with no branch; last come the few with a flag.
template <typename Progress>
void EventClassifier::ClassifyEach(std::int32_t first_record, std::span<const RecordBytes> records,
                                   const Progress& progress) {
  if (records.empty()) return;
  if (first_record == kFirstEventRecord) {
    // The first event opens the first possession; standing in for the record
    // before it, it changes nothing there.
    first_color_ = last_color_ = static_cast<Color>(Load32(records[0], kColorOffset));
    first_clock_ = Load16(records[0], kClockOffset);
    previous_ = records[0];
  } else {
    TakeBackKickOff(previous_, records[0]);
  }
  // Pointers, so the loops below reach the records with no arithmetic.
  std::array<const RecordBytes*, kBlockRecords> marked;
  MarkedFields fields;
  std::int64_t red_balance = red_time_balance_;
  for (std::size_t block = 0; block < records.size(); block += kBlockRecords) {
    const std::size_t end = std::min(records.size(), block + kBlockRecords);
    for (std::size_t i = block; i < end; ++i) progress(first_record + static_cast<std::int32_t>(i));

    // A record that counts for nothing holds the colour of the one before
    // and zero flags: bytes 10 to 17 read as the previous colour (the
    // colour, then the corner and goal flags), bytes 18 and 19 as zero.
    fields.color[0] = last_color_;
    std::size_t count = 0;
    std::uint64_t expected = static_cast<std::uint32_t>(last_color_);
#pragma GCC unroll 4
    for (std::size_t i = block; i < end; ++i) {
      const std::uint64_t color_and_flags = Load64(records[i], kColorOffset);
      const std::uint32_t shot = static_cast<std::uint16_t>(Load16(records[i], kShotOffset));
      marked[count] = &records[i];
      count += static_cast<std::size_t>(((color_and_flags ^ expected) | shot) != 0);
      expected = static_cast<std::uint32_t>(color_and_flags);
    }
    last_color_ = static_cast<Color>(expected);

    // The marked records' fields, gathered; the list keeps the flagged ones
    // (written behind the reading, so nothing unread is overwritten).
    std::size_t flag_count = 0;
    for (std::size_t k = 0; k < count; ++k) {
      const RecordBytes& b = *marked[k];
      fields.color[k + 1] = static_cast<std::int32_t>(Load32(b, kColorOffset));
      fields.x_bits[k] = static_cast<std::int32_t>(Load32(b, kXOffset));
      fields.clock[k] = Load16(b, kClockOffset);
      marked[flag_count] = &b;
      flag_count += static_cast<std::size_t>((Load64(b, kFlagsOffset) & kFlagsMask) != 0);
    }
    CountPossession(fields, count, red_balance, lost_);

    // Shots are listed apart in turn: whether a flagged record is one is no
    // more predictable than a change of possession.
    std::size_t shot_count = 0;
    for (std::size_t k = 0; k < flag_count; ++k) {
      const RecordBytes& b = *marked[k];
      const bool red = IsRedTeam(static_cast<Color>(Load32(b, kColorOffset)));
      left_goals_ += b[kLeftGoalOffset] == 1;
      right_goals_ += b[kRightGoalOffset] == 1;
      corners_by_stored_color_[red] += Load16(b, kCornerOffset) == -1;
      marked[shot_count] = &b;
      shot_count += static_cast<std::size_t>(Load16(b, kShotOffset) == -1);
      const auto i = static_cast<std::size_t>(&b - records.data());
      if (i + 1 < records.size()) TakeBackKickOff(b, records[i + 1]);
    }
    for (std::size_t k = 0; k < shot_count; ++k) {
      const auto i = static_cast<std::size_t>(marked[k] - records.data());
      AddShot(first_record + static_cast<std::int32_t>(i), records[i],
              i > 0 ? records[i - 1] : previous_);
    }
  }
  red_time_balance_ = red_balance;
  last_clock_ = Load16(records.back(), kClockOffset);
  previous_ = records.back();
  any_event_ = true;
}

// The change of possession straight after a goal is the kick-off handing the
// ball over, which is no loss. Goals are rare, so the loop above counts it
// like any other change and the goal takes it back here.
void EventClassifier::TakeBackKickOff(const RecordBytes& goal, const RecordBytes& next) {
  if (goal[kLeftGoalOffset] != 1 && goal[kRightGoalOffset] != 1) return;
  const auto holder = static_cast<Color>(Load32(goal, kColorOffset));
  if (static_cast<Color>(Load32(next, kColorOffset)) != holder) {
    --lost_[IsRedTeam(holder)][Third(static_cast<std::int32_t>(Load32(next, kXOffset)))];
  }
}

inline void EventClassifier::AddShot(std::int32_t r, const RecordBytes& b,
                                     const RecordBytes& previous) {
  Team_stats& t =
      IsRedTeam(static_cast<Color>(Load32(b, kColorOffset))) ? out_.Red_stats : out_.Blue_stats;
  const SafePosition end = SafePositionOf(b);
  // The shot was taken where the ball was before; the first event has no
  // earlier position, so its shot starts where it was recorded.
  SafePosition start = end;
  if (r > kFirstEventRecord) {
    start = SafePositionOf(previous);
    // The start was read again: it is the last record read.
    if (r == out_.Record_count) {
      out_.Event_rec = DecodeEvent(previous);
      event_rec_set_ = true;
    }
  }
  // Counted in Finish, from the tables.
  t.Shot_x.push_back({start.x, end.x});
  t.Shot_y.push_back({start.y, end.y});
}

void EventClassifier::Finish() {
  if (any_event_) {
    // Each possession runs from the change that began it (or the first
    // event) to the change that ended it (or the last record).
    const auto red_time = red_time_balance_ - (IsRedTeam(first_color_) ? first_clock_ : 0) +
                          (IsRedTeam(last_color_) ? last_clock_ : 0);
    const auto other_time = -red_time_balance_ - (IsRedTeam(first_color_) ? 0 : first_clock_) +
                            (IsRedTeam(last_color_) ? 0 : last_clock_);
    out_.Red_stats.Possession_time = static_cast<std::int32_t>(red_time);
    out_.Blue_stats.Possession_time = static_cast<std::int32_t>(other_time);
  }
  for (const bool red : {true, false}) {
    Team_stats& t = red ? out_.Red_stats : out_.Blue_stats;
    // The left team defends the low-x end and its goal is the left-hand one.
    const bool left = red == left_team_red_;
    const std::int32_t* lost = lost_[red];
    // Every counter grows by at most one a record, so none outgrows 16 bits.
    t.Lost_defending = static_cast<std::int16_t>(left ? lost[0] : lost[2]);
    t.Lost_middle = static_cast<std::int16_t>(lost[1]);
    t.Lost_attacking = static_cast<std::int16_t>(left ? lost[2] : lost[0]);
    t.Goals = static_cast<std::int16_t>(left ? right_goals_ : left_goals_);
    t.Shots = static_cast<std::int16_t>(t.Shot_x.size());
    // The stored colour is the team that played the ball out: the corner kick is the other's.
    t.Corners = static_cast<std::int16_t>(corners_by_stored_color_[!red]);
    t.Possession_seconds = static_cast<std::int32_t>(PossessionSeconds(t.Possession_time));
    t.Possession_minutes = static_cast<std::int32_t>(PossessionMinutes(t.Possession_time));
  }
  out_.Red_shot_count = out_.Red_stats.Shots;
  out_.Blue_shot_count = out_.Blue_stats.Shots;
  out_.any_event = any_event_;
  if (any_event_ && !event_rec_set_) out_.Event_rec = DecodeEvent(previous_);
}

FileStatus StatsFileReader::Open(const std::string& path, MatchStats& out) {
  out = MatchStats{};
  if (FileStatus s = file_.Open(path, OpenMode::kExistingReadOnly); !s) return NameFile(path, s);
  std::int64_t bytes = 0;
  FileStatus s = file_.Size(bytes);
  if (s) s = CheckLength(path, bytes);
  std::array<RecordBytes, kHeaderRecord> fixed{};
  std::size_t got = 0;
  if (s) s = file_.ReadRecords(kLeftNameRecord, fixed, got);
  if (s && got < fixed.size()) s = Malformed(path + " became shorter while it was read.");
  if (!s) {
    file_.Close();
    return NameFile(path, s);
  }
  ReadFixedRecords(fixed.data(), bytes / kRecordLength, out);
  return FileStatus::Ok();
}

FileStatus StatsFileReader::Run(MatchStats& out, const StatsProgress& progress) {
  EventClassifier classifier(out);
  // Left uninitialised: every record classified was read into it first.
  const auto chunk = std::make_unique_for_overwrite<ChunkBuffer>();
  const std::span<RecordBytes> buffer = chunk->records;
  std::int32_t r = kFirstEventRecord;
  while (r <= out.Record_count) {
    const auto want =
        std::min<std::size_t>(buffer.size(), static_cast<std::size_t>(out.Record_count - r + 1));
    std::size_t got = 0;
    FileStatus s = file_.ReadRecords(r, buffer.first(want), got);
    if (s && got < want) {
      s = Malformed(file_.Path() + " ended at record " + std::to_string(r + got) +
                    " while it was read.");
    }
    if (!s) {
      const std::string path = file_.Path();
      file_.Close();
      return NameFile(path, s);
    }
    classifier.Classify(r, buffer.first(got), progress);
    r += static_cast<std::int32_t>(got);
  }
  classifier.Finish();
  file_.Close();
  return FileStatus::Ok();
}

FileStatus ComputeFileStats(const std::string& path, MatchStats& out,
                            const StatsProgress& progress) {
  StatsFileReader reader;
  if (FileStatus s = reader.Open(path, out); !s) return s;
  return reader.Run(out, progress);
}

FileStatus ComputeStats(std::span<const std::uint8_t> file, MatchStats& out,
                        const std::string& name) {
  out = MatchStats{};
  const auto bytes = static_cast<std::int64_t>(file.size());
  if (FileStatus s = CheckLength(name, bytes); !s) return s;
  // Classified in place: a record is 20 bytes with no alignment of its own,
  // so the file's bytes are its records, with nothing to copy.
  static_assert(sizeof(RecordBytes) == kRecordLength && alignof(RecordBytes) == 1);
  const std::span records(reinterpret_cast<const RecordBytes*>(file.data()),
                          static_cast<std::size_t>(bytes / kRecordLength));
  ReadFixedRecords(records.data(), bytes / kRecordLength, out);
  EventClassifier classifier(out);
  classifier.Classify(kFirstEventRecord,
                      records.subspan(kHeaderRecord, static_cast<std::size_t>(std::max(
                                                         0, out.Record_count - kHeaderRecord))));
  classifier.Finish();
  return FileStatus::Ok();
}

}  // namespace varrow
