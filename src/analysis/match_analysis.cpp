#include "analysis/match_analysis.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "field/field.h"

namespace varrow {
namespace {

constexpr std::int32_t kSecondsPerMinute = 60;
constexpr int kZones = kZoneRows * kZoneColumns;

// A record's flags.
constexpr std::int32_t kRedTeam = 1;
constexpr std::int32_t kLeftTeam = 2;  // its team is the left team
constexpr std::int32_t kInAttackingThird = 4;
// A goal byte or the shot flag is not 0: the three below are worked out.
constexpr std::int32_t kFlagged = 8;
constexpr std::int32_t kGoalRecord = 16;
constexpr std::int32_t kGoalForTeam = 32;
constexpr std::int32_t kShot = 64;

// The cell of `offset` along a side of `length` cut into `cells`, clamped.
int Cell(double offset, int cells, double length) {
  const double cell = std::floor(offset * cells / length);
  return static_cast<int>(std::clamp(cell, 0.0, static_cast<double>(cells - 1)));
}

// Where ZoneOf's columns and rows begin: the least float coordinate in
// each (the first begins at every coordinate below it). ZoneOf only grows
// with the coordinate, so counting the starts at or below a coordinate
// gives its cell with a few comparisons and no rounding.
struct ZoneStarts {
  std::array<float, kZoneColumns - 1> columns;
  std::array<float, kZoneRows - 1> rows;
};

template <typename CellOf>
float CellStart(int cell, float guess, const CellOf& cell_of) {
  while (cell_of(std::nextafter(guess, -1e9f)) >= cell) guess = std::nextafter(guess, -1e9f);
  while (cell_of(guess) < cell) guess = std::nextafter(guess, 1e9f);
  return guess;
}

ZoneStarts MakeZoneStarts() {
  using namespace field;
  ZoneStarts z;
  for (int c = 1; c < kZoneColumns; ++c) {
    z.columns[c - 1] = CellStart(c, kLeft + (kRight - kLeft) * c / kZoneColumns, [](float x) {
      return ZoneOf({x, kCentreY}).column;
    });
  }
  for (int r = 1; r < kZoneRows; ++r) {
    z.rows[r - 1] = CellStart(r, kTop + (kBottom - kTop) * r / kZoneRows, [](float y) {
      return ZoneOf({kCentreX, y}).row;
    });
  }
  return z;
}

const ZoneStarts& Starts() {
  static const ZoneStarts starts = MakeZoneStarts();
  return starts;
}

// The bands of x and of y that no cell of ZoneOf and no third of ThirdOfX
// straddles: a band's index is the number of band starts at or below a
// coordinate, and every coordinate of a band lies in the same zone column
// and the same third (the same row for y). Starts past the last real one
// are infinite, so no finite coordinate reaches them.
inline constexpr int kXBands = 8;
inline constexpr int kYBands = kZoneRows;
struct Bands {
  std::array<float, kXBands - 1> x;
  std::array<float, kYBands - 1> y;
};

Bands MakeBands() {
  const ZoneStarts& starts = Starts();
  // x < kLowThird is the low third, x > kHighThird the high one.
  std::vector<float> x(starts.columns.begin(), starts.columns.end());
  x.push_back(field::kLowThird);
  x.push_back(std::nextafter(field::kHighThird, std::numeric_limits<float>::infinity()));
  std::sort(x.begin(), x.end());
  x.erase(std::unique(x.begin(), x.end()), x.end());
  Bands b;
  b.x.fill(std::numeric_limits<float>::infinity());
  std::copy(x.begin(), x.end(), b.x.begin());
  b.y = starts.rows;
  return b;
}

const Bands& TheBands() {
  static const Bands bands = MakeBands();
  return bands;
}

// A coordinate of band `band` of `starts`.
template <std::size_t N>
float InBand(const std::array<float, N>& starts, int band) {
  return band == 0 ? std::nextafter(starts[0], -std::numeric_limits<float>::infinity())
                   : starts[static_cast<std::size_t>(band - 1)];
}

// Records marked at a time: their marks stay in the processor's cache.
constexpr std::size_t kBlock = 512;

// N 32-bit lanes: four (SSE2 on x86-64, as in the statistics pass), or
// eight where the processor has AVX2. A comparison gives all ones in a lane
// where it holds (-1), so it can mask other lanes.
template <int N>
struct LaneTypes;
template <>
struct LaneTypes<4> {
  using Ints = std::int32_t __attribute__((vector_size(16)));
  using Unsigned = std::uint32_t __attribute__((vector_size(16)));
  using Floats = float __attribute__((vector_size(16)));
};
template <>
struct LaneTypes<8> {
  using Ints = std::int32_t __attribute__((vector_size(32)));
  using Unsigned = std::uint32_t __attribute__((vector_size(32)));
  using Floats = float __attribute__((vector_size(32)));
};
template <int N>
using IntLanes = typename LaneTypes<N>::Ints;
template <int N>
using UnsignedIntLanes = typename LaneTypes<N>::Unsigned;
template <int N>
using FloatLanesOf = typename LaneTypes<N>::Floats;
using Lanes = IntLanes<4>;
constexpr std::size_t kLanes = 4;
constexpr std::size_t kMostLanes = 8;

// The helpers are always inlined, even unoptimised, so that in the AVX2
// marking they are compiled for AVX2 too and no eight-lane value crosses a
// call: the AVX calling convention compilers warn of never comes into play.
#pragma GCC diagnostic ignored "-Wpsabi"

template <typename V, typename T>
[[gnu::always_inline]] inline V Load(const T* at) {
  V v;
  std::memcpy(&v, at, sizeof v);
  return v;
}
template <typename T, typename V>
[[gnu::always_inline]] inline void Store(T* at, V v) {
  std::memcpy(at, &v, sizeof v);
}
// The same bits as another type of lanes. Not std::bit_cast, which an
// unoptimised build calls, handing it eight lanes the AVX way.
template <typename To, typename From>
[[gnu::always_inline]] inline To BitsAs(From v) {
  return Load<To>(&v);
}
template <typename V>
[[gnu::always_inline]] inline V Select(V mask, V yes, V no) {
  return (yes & mask) | (no & ~mask);
}
template <int N = 4>
[[gnu::always_inline]] inline IntLanes<N> Each(std::int32_t v) {
  return IntLanes<N>{} + v;
}
template <int N = 4>
[[gnu::always_inline]] inline FloatLanesOf<N> Each(float v) {
  return FloatLanesOf<N>{} + v;
}
template <int N>
[[gnu::always_inline]] inline IntLanes<N> Bits(float v) {
  return Each<N>(std::bit_cast<std::int32_t>(v));
}
// Lanes a, b, c and d of the eight of v then w.
template <int a, int b, int c, int d>
[[gnu::always_inline]] inline Lanes Shuffle(Lanes v, Lanes w) {
  return __builtin_shufflevector(v, w, a, b, c, d);
}
// The lane before each lane: the last of `before`, then all but the last of `v`.
template <int N, int... I>
[[gnu::always_inline]] inline IntLanes<N> Before(IntLanes<N> before, IntLanes<N> v,
                                                 std::integer_sequence<int, I...>) {
  return __builtin_shufflevector(before, v, (N - 1 + I)...);
}
template <int N>
[[gnu::always_inline]] inline IntLanes<N> Before(IntLanes<N> before, IntLanes<N> v) {
  return Before<N>(before, v, std::make_integer_sequence<int, N>{});
}
// Four-lane parts side by side.
template <int N>
[[gnu::always_inline]] inline IntLanes<N> Joined(const Lanes (&parts)[N / 4]) {
  if constexpr (N == 4) {
    return parts[0];
  } else {
    return __builtin_shufflevector(parts[0], parts[1], 0, 1, 2, 3, 4, 5, 6, 7);
  }
}

// Sixteen bytes of a record from `at` on, as four 32-bit numbers stored
// little-endian.
[[gnu::always_inline]] inline Lanes Row(const RecordBytes& b, int at) {
  if constexpr (std::endian::native == std::endian::little) {
    return Load<Lanes>(b.data() + at);
  } else {
    return Lanes{static_cast<std::int32_t>(LoadUint32(b, at)),
                 static_cast<std::int32_t>(LoadUint32(b, at + 4)),
                 static_cast<std::int32_t>(LoadUint32(b, at + 8)),
                 static_cast<std::int32_t>(LoadUint32(b, at + 12))};
  }
}
// Four rows of four lanes turned into four columns: lane k of column j is
// lane j of row k.
[[gnu::always_inline]] inline void Transpose(Lanes r0, Lanes r1, Lanes r2, Lanes r3, Lanes& c0,
                                             Lanes& c1, Lanes& c2, Lanes& c3) {
  const Lanes t0 = Shuffle<0, 4, 1, 5>(r0, r1);
  const Lanes t1 = Shuffle<0, 4, 1, 5>(r2, r3);
  const Lanes t2 = Shuffle<2, 6, 3, 7>(r0, r1);
  const Lanes t3 = Shuffle<2, 6, 3, 7>(r2, r3);
  c0 = Shuffle<0, 1, 4, 5>(t0, t1);
  c1 = Shuffle<2, 3, 6, 7>(t0, t1);
  c2 = Shuffle<0, 1, 4, 5>(t2, t3);
  c3 = Shuffle<2, 3, 6, 7>(t2, t3);
}
// The first lane of each row.
[[gnu::always_inline]] inline Lanes FirstLanes(Lanes r0, Lanes r1, Lanes r2, Lanes r3) {
  return Shuffle<0, 1, 4, 5>(Shuffle<0, 4, 1, 5>(r0, r1), Shuffle<0, 4, 1, 5>(r2, r3));
}

// A coordinate as MakeSafePosition makes it, four at a time, for placing it
// in a third or a zone: every boundary lies inside the drawing area, so the
// clamp into it changes no third and no zone, and only a coordinate that is
// no finite number needs the centre's.
template <int N>
[[gnu::always_inline]] inline FloatLanesOf<N> Placed(IntLanes<N> bits, float centre) {
  constexpr std::int32_t kExponentBits = 0x7F800000;  // all set: infinity or NaN
  return BitsAs<FloatLanesOf<N>>(
      Select<IntLanes<N>>((bits & kExponentBits) != kExponentBits, bits, Bits<N>(centre)));
}

}  // namespace

std::string_view OutcomeName(PossessionOutcome outcome) {
  switch (outcome) {
    case PossessionOutcome::kGoal:
      return "goal";
    case PossessionOutcome::kShot:
      return "shot";
    case PossessionOutcome::kLost:
      return "lost";
    case PossessionOutcome::kEnd:
      break;
  }
  return "end";
}

Zone ZoneOf(SafePosition p) {
  using namespace field;
  return {Cell(static_cast<double>(p.y) - kTop, kZoneRows, kBottom - kTop),
          Cell(static_cast<double>(p.x) - kLeft, kZoneColumns, kRight - kLeft)};
}

ZoneGrid TurnedHalfWay(const ZoneGrid& grid) {
  ZoneGrid turned;
  for (int row = 0; row < kZoneRows; ++row) {
    for (int column = 0; column < kZoneColumns; ++column) {
      turned[kZoneRows - 1 - row][kZoneColumns - 1 - column] = grid[row][column];
    }
  }
  return turned;
}

ZoneShares WholePercentShares(const ZoneGrid& zone_seconds) {
  std::int64_t total = 0;
  for (const auto& row : zone_seconds) {
    for (const std::int64_t seconds : row) total += std::max<std::int64_t>(seconds, 0);
  }
  ZoneShares shares{};
  if (total == 0) return shares;
  for (int row = 0; row < kZoneRows; ++row) {
    for (int column = 0; column < kZoneColumns; ++column) {
      shares[row][column] = std::lround(
          100.0 * static_cast<double>(std::max<std::int64_t>(zone_seconds[row][column], 0)) /
          static_cast<double>(total));
    }
  }
  return shares;
}

std::optional<double> TeamAnalysis::AverageSeconds() const {
  if (possessions == 0) return std::nullopt;
  return static_cast<double>(possession_seconds) / static_cast<double>(possessions);
}

TeamAnalysis& TeamAnalysis::operator+=(const TeamAnalysis& o) {
  for (std::size_t i = 0; i < third_seconds.size(); ++i) third_seconds[i] += o.third_seconds[i];
  for (int row = 0; row < kZoneRows; ++row) {
    for (int column = 0; column < kZoneColumns; ++column) {
      zone_seconds[row][column] += o.zone_seconds[row][column];
    }
  }
  possessions += o.possessions;
  possession_seconds += o.possession_seconds;
  if (o.longest_possession) {
    longest_possession =
        std::max(longest_possession.value_or(*o.longest_possession), *o.longest_possession);
  }
  reaching_attacking_third += o.reaching_attacking_third;
  ending_in_shot += o.ending_in_shot;
  ending_in_goal += o.ending_in_goal;
  return *this;
}

std::optional<double> FieldTilt(const TeamAnalysis& team, const TeamAnalysis& opponent) {
  const std::int64_t mine = team.ThirdSeconds(PitchThird::kAttacking);
  const std::int64_t both = mine + opponent.ThirdSeconds(PitchThird::kAttacking);
  if (both == 0) return std::nullopt;
  return 100.0 * static_cast<double>(mine) / static_cast<double>(both);
}

// The marks of a block of records, side by side, after the mark of the
// record before the block (index 0), and what lies between each record and
// the next (index i: from record i to record i + 1). Room for eight lanes
// past the end.
struct MatchAnalyzer::Marks {
  static constexpr std::size_t kSize = kBlock + 1 + kMostLanes;
  std::array<std::int32_t, kSize> color;
  std::array<std::int32_t, kSize> clock;
  std::array<std::int32_t, kSize> place;
  std::array<std::int32_t, kSize> flags;
  // Between record i and the next: the seconds (none where the clock stands
  // still or runs back) and what they add to the momentum; and -1 when the
  // next record is in the same possession, else 0.
  std::array<std::int32_t, kSize> seconds;
  std::array<std::int32_t, kSize> momentum;
  std::array<std::int32_t, kSize> same_possession;

  Mark At(std::size_t i) const { return {color[i], clock[i], place[i], flags[i]}; }
  void Set(std::size_t i, const Mark& m) {
    color[i] = m.color;
    clock[i] = m.clock;
    place[i] = m.place;
    flags[i] = m.flags;
  }
};

// The places of records: by team (other, red), band of x and band of y;
// one table for each side the red team can take.
struct MatchAnalyzer::Places {
  static constexpr int kCount = kPlaces;
  static_assert(kCount == 2 * kXBands * kYBands);
  std::array<Place, kCount> of_red_left[2];  // the red team is the right team, the left team
};

const MatchAnalyzer::Places& MatchAnalyzer::ThePlaces() {
  static const Places places = [] {
    const Bands& bands = TheBands();
    Places p;
    for (const bool red_left : {false, true}) {
      for (int i = 0; i < Places::kCount; ++i) {
        const bool red = i / (kXBands * kYBands) != 0;
        const float x = InBand(bands.x, i / kYBands % kXBands);
        const float y = InBand(bands.y, i % kYBands);
        const bool left = red == red_left;
        const int third_of_x = ThirdOfX(x);
        const PitchThird third = ThirdSeenBy(left, third_of_x);
        const Zone z = ZoneOf({x, y});
        const int zone = z.row * kZoneColumns + z.column;
        const int turned = left ? zone : kZones - 1 - zone;
        Place& place = p.of_red_left[red_left][static_cast<std::size_t>(i)];
        place.third = third;
        place.third_of_x = third_of_x;
        place.slot = (ColumnOf(red) * 3 + static_cast<int>(third)) * kZones + turned;
      }
    }
    return p;
  }();
  return places;
}

MatchAnalyzer::MatchAnalyzer(const Header_record& header, AnalysisOptions options)
    : options_(options),
      red_left_(IsLeftTeam(true, header)),
      places_(ThePlaces().of_red_left[red_left_].data()),
      eight_lanes_(options.lanes == MarkingLanes::kBest && EightLanesAvailable()) {}

namespace {

// Marks the records into index 1 on, and what lies between each and the
// record before it, N records at a time with no branch: where the ball is
// and which team has it come at no rhythm the processor could foresee. A
// record's place is its bands here; what the place means is looked up only
// where a possession ends and in Finish.
// (Marks and Mark are MatchAnalyzer's, whose names are its own.)
template <int N, typename Mark, typename Marks>
[[gnu::always_inline]] inline void MarkLanes(std::span<const RecordBytes> records,
                                             const Mark& before, bool red_left, Marks& marks) {
  using namespace field;
  using Ints = IntLanes<N>;
  using Floats = FloatLanesOf<N>;
  using Unsigned = UnsignedIntLanes<N>;
  const Bands& bands = TheBands();
  Floats x_starts[kXBands - 1];
  for (int b = 0; b < kXBands - 1; ++b) x_starts[b] = Each<N>(bands.x[b]);
  Floats y_starts[kYBands - 1];
  for (int b = 0; b < kYBands - 1; ++b) y_starts[b] = Each<N>(bands.y[b]);
  // The last few records padded with the last one to a whole N: the marks
  // of the padding are never read.
  const std::size_t count = records.size();
  const std::size_t whole = count / N * N;
  std::array<RecordBytes, N> tail;
  for (std::size_t k = 0; k < N; ++k) tail[k] = records[std::min(whole + k, count - 1)];
  // The marks of the N records before, of which the last is the one before
  // the next N.
  Ints last_color = Each<N>(before.color);
  Ints last_clock = Each<N>(before.clock);
  Ints last_flags = Each<N>(before.flags);
  const Ints red_is_left = -Each<N>(std::int32_t{red_left});
  for (std::size_t i = 0; i < count; i += N) {
    const RecordBytes* const records_at = i < whole ? &records[i] : tail.data();
    const std::size_t at = i + 1;
    // Bytes 4 to 19 of each record, turned into lanes of y, of the clock
    // and the colour's low half, of the colour's high half and the corner
    // flag, and of the goal bytes and the shot flag (of which only whether
    // one is not 0 matters here); and bytes 0 to 3 into lanes of x: four
    // records at a time, then side by side.
    static_assert(kEventXOffset == 0 && kEventYOffset == 4 && kEventClockOffset == 8 &&
                  kEventColorOffset == 10 && kEventLeftGoalOffset == 16 &&
                  kEventRightGoalOffset == 17 && kEventShotOffset == 18);
    Lanes y_parts[N / 4], clock_color_parts[N / 4], color_corner_parts[N / 4],
        goals_shot_parts[N / 4], x_parts[N / 4];
    for (int part = 0; part < N / 4; ++part) {
      const RecordBytes* const r = records_at + 4 * part;
      Transpose(Row(r[0], 4), Row(r[1], 4), Row(r[2], 4), Row(r[3], 4), y_parts[part],
                clock_color_parts[part], color_corner_parts[part], goals_shot_parts[part]);
      x_parts[part] = FirstLanes(Row(r[0], 0), Row(r[1], 0), Row(r[2], 0), Row(r[3], 0));
    }
    const Ints clock_color = Joined<N>(clock_color_parts);
    const auto color = BitsAs<Ints>(BitsAs<Unsigned>(clock_color) >> 16 |
                                    BitsAs<Unsigned>(Joined<N>(color_corner_parts)) << 16);
    const Ints clock = BitsAs<Ints>(BitsAs<Unsigned>(clock_color) << 16) >> 16;
    const Ints flagged = Joined<N>(goals_shot_parts) != 0;
    const Floats x = Placed<N>(Joined<N>(x_parts), kCentreX);
    const Floats y = Placed<N>(Joined<N>(y_parts), kCentreY);

    // The place: team, band of x, band of y (each start at or below the
    // coordinate takes away -1).
    const Ints red = color == kRed;
    Ints x_band{}, y_band{};
#pragma GCC unroll 8
    for (const Floats& start : x_starts) x_band -= x >= start;
#pragma GCC unroll 8
    for (const Floats& start : y_starts) y_band -= y >= start;
    const Ints place = (red & (kXBands * kYBands)) + x_band * kYBands + y_band;
    // The flags the records are walked by: the left team attacks towards
    // high x (ThirdOfX, then ThirdSeenBy).
    const Ints left = ~(red ^ red_is_left);
    const Ints attacking = Select<Ints>(left, x > Each<N>(kHighThird), x < Each<N>(kLowThird));
    const Ints flags = (red & kRedTeam) | (left & kLeftTeam) | (attacking & kInAttackingThird) |
                       (flagged & kFlagged);
    Store(marks.color.data() + at, color);
    Store(marks.clock.data() + at, clock);
    Store(marks.place.data() + at, place);
    Store(marks.flags.data() + at, flags);

    // Between the record before each and it (index at - 1 on).
    const Ints from = Before<N>(last_clock, clock);
    const Ints seconds = Select<Ints>(clock > from, clock - from, Ints{});
    const Ints from_flags = Before<N>(last_flags, flags);
    Store(marks.seconds.data() + at - 1, seconds);
    // Attacking-third seconds: added for the red team, taken away for the other.
    Store(marks.momentum.data() + at - 1,
          Select<Ints>((from_flags & kInAttackingThird) != 0,
                       Select<Ints>((from_flags & kRedTeam) != 0, seconds, -seconds), Ints{}));
    Store(marks.same_possession.data() + at, color == Before<N>(last_color, color));
    last_flags = flags;
    last_color = color;
    last_clock = clock;
  }
}

#if defined(__x86_64__)
template <typename Mark, typename Marks>
[[gnu::target("avx2")]] void MarkEightLanes(std::span<const RecordBytes> records,
                                            const Mark& before, bool red_left, Marks& marks) {
  MarkLanes<8>(records, before, red_left, marks);
}
#endif

}  // namespace

bool EightLanesAvailable() {
#if defined(__x86_64__)
  static const bool avx2 = __builtin_cpu_supports("avx2");
  return avx2;
#else
  return false;
#endif
}

void MatchAnalyzer::MarkRecords(std::span<const RecordBytes> records, const Mark& before,
                                Marks& marks) const {
#if defined(__x86_64__)
  if (eight_lanes_) return MarkEightLanes(records, before, red_left_, marks);
#endif
  MarkLanes<4>(records, before, red_left_, marks);
}

inline void MatchAnalyzer::Open(std::int32_t record, const Mark& m) {
  open_first_ = m;
  open_record_ = record;
}

// The possession under way ends at `end_clock`; `flags` are its records'
// flags together.
inline void MatchAnalyzer::Close(std::int32_t end_clock, std::int32_t flags) {
  const std::int32_t seconds = end_clock - open_first_.clock;
  const bool goal = (flags & kGoalForTeam) != 0;
  const int column = (open_first_.flags & kRedTeam) ? kRedColumn : kOtherColumn;
  TeamAnalysis& t = out_.teams[column];
  ++t.possessions;
  t.possession_seconds += seconds;
  longest_[column] = std::max<std::int64_t>(longest_[column], seconds);
  t.reaching_attacking_third += (flags & kInAttackingThird) != 0;
  t.ending_in_shot += !goal && (flags & kShot) != 0;
  t.ending_in_goal += goal;
}

// Close for `count` possessions in a row, four at a time with no branch:
// each one's seconds and its records' flags together (its team among them).
void MatchAnalyzer::CloseEach(const std::int32_t* seconds, const std::int32_t* flags,
                              std::size_t count) {
  // By team (red, other): each lane adds up at most a block's possessions
  // of at most 65535 seconds, so no sum outgrows 32 bits.
  Lanes possessions[2]{}, sums[2]{}, reaching[2]{}, shots[2]{}, goals[2]{};
  Lanes longest[2] = {Each(std::numeric_limits<std::int32_t>::min()),
                      Each(std::numeric_limits<std::int32_t>::min())};
  for (std::size_t k = 0; k < count; k += kLanes) {
    const Lanes valid = Each(static_cast<std::int32_t>(count - k)) > Lanes{0, 1, 2, 3};
    const Lanes f = Load<Lanes>(flags + k);
    const Lanes s = Load<Lanes>(seconds + k);
    const Lanes red = (f & kRedTeam) != 0;
    const Lanes goal = (f & kGoalForTeam) != 0;
    const Lanes shot = ((f & kShot) != 0) & ~goal;
    const Lanes reach = (f & kInAttackingThird) != 0;
    for (const int column : {kRedColumn, kOtherColumn}) {
      const Lanes team = (column == kRedColumn ? red : ~red) & valid;
      possessions[column] -= team;
      sums[column] += s & team;
      longest[column] = Select(team & (s > longest[column]), s, longest[column]);
      reaching[column] -= reach & team;
      shots[column] -= shot & team;
      goals[column] -= goal & team;
    }
  }
  for (const int column : {kRedColumn, kOtherColumn}) {
    TeamAnalysis& t = out_.teams[column];
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
      t.possessions += possessions[column][lane];
      t.possession_seconds += sums[column][lane];
      longest_[column] = std::max<std::int64_t>(longest_[column], longest[column][lane]);
      t.reaching_attacking_third += reaching[column][lane];
      t.ending_in_shot += shots[column][lane];
      t.ending_in_goal += goals[column][lane];
    }
  }
}

// Keeps the possession under way as it ends: its last record is `last`, and
// `next` (none for the last possession) begins the next one.
void MatchAnalyzer::Keep(std::int32_t last_record, std::int32_t flags, const Mark& last,
                         const Mark* next) {
  Possession p;
  p.first_record = open_record_;
  p.last_record = last_record;
  p.color = open_first_.color;
  p.red = (open_first_.flags & kRedTeam) != 0;
  p.start_clock = open_first_.clock;
  p.end_clock = next != nullptr ? next->clock : last.clock;
  p.seconds = p.end_clock - p.start_clock;
  p.events = last_record - open_record_ + 1;
  p.start_third = places_[open_first_.place].third;
  p.end_third = places_[last.place].third;
  p.reached_attacking_third = (flags & kInAttackingThird) != 0;
  p.outcome = (flags & kGoalForTeam) ? PossessionOutcome::kGoal
              : (flags & kShot)      ? PossessionOutcome::kShot
              : next == nullptr      ? PossessionOutcome::kEnd
                                     : PossessionOutcome::kLost;
  // The kick-off after a goal hands the ball over: no loss.
  if (next != nullptr && !(last.flags & kGoalRecord)) {
    p.lost_third = ThirdSeenBy((last.flags & kLeftTeam) != 0, places_[next->place].third_of_x);
  }
  out_.possessions.push_back(p);
}

void MatchAnalyzer::Add(std::int32_t first_record, std::span<const RecordBytes> records) {
  Marks marks;
  // Where possession changes in a block (the index of the first record of
  // the new possession), and the flags of each possession's records together
  // up to each record.
  std::array<std::uint16_t, kBlock> changes;
  std::array<std::int32_t, kBlock + 1> possession_flags;
  // The possessions that end in a block (room for four lanes past the end).
  std::array<std::int32_t, kBlock + kLanes> ended_seconds;
  std::array<std::int32_t, kBlock + kLanes> ended_flags;
  for (std::size_t block = 0; block < records.size(); block += kBlock) {
    const std::size_t count = std::min(kBlock, records.size() - block);
    // The number of the record marked at index i.
    const auto record_at = [&](std::size_t i) {
      return first_record + static_cast<std::int32_t>(block + i) - 1;
    };
    if (!any_) {
      // The first event opens the first possession: before it stands a
      // record of its colour and clock that adds nothing (no seconds to
      // it, no flags).
      previous_ = Mark{.color = static_cast<Color>(LoadUint32(records[0], kEventColorOffset)),
                       .clock = LoadInt16(records[0], kEventClockOffset)};
    }
    marks.Set(0, previous_);
    MarkRecords(records.subspan(block, count), previous_, marks);
    if (!any_) {
      Open(first_record, marks.At(1));
      any_ = true;
    }

    // Then the records in order, with no branch that depends on them but
    // for the few flagged ones and a change of minute; the changes of
    // possession are listed for afterwards.
    std::size_t change_count = 0;
    std::int32_t flags = open_flags_;
    possession_flags[0] = flags;
    // The momentum of one minute is added up while the seconds stay in it.
    std::int32_t minute_start = minute_start_;
    std::int32_t minute_momentum = minute_momentum_;
    for (std::size_t i = 1; i <= count; ++i) {
      place_seconds_[static_cast<std::size_t>(marks.place[i - 1])] += marks.seconds[i - 1];
      if (marks.clock[i - 1] >= minute_start &&
          marks.clock[i] <= minute_start + kSecondsPerMinute) {
        minute_momentum += marks.momentum[i - 1];
      } else {
        minute_start_ = minute_start;
        minute_momentum_ = minute_momentum;
        SpreadMomentum(marks.clock[i - 1], marks.clock[i], marks.flags[i - 1]);
        minute_start = minute_start_;
        minute_momentum = minute_momentum_;
      }
      changes[change_count] = static_cast<std::uint16_t>(i);
      change_count += static_cast<std::size_t>(marks.same_possession[i] + 1);
      if (marks.flags[i] & kFlagged) {
        marks.flags[i] = FlagGoalsAndShots(records[block + i - 1], marks.flags[i]);
      }
      // A change of possession starts the flags afresh.
      flags = (flags & marks.same_possession[i]) | marks.flags[i];
      possession_flags[i] = flags;
    }
    minute_start_ = minute_start;
    minute_momentum_ = minute_momentum;
    // The possessions that end in the block: their seconds and their
    // records' flags together, counted four at a time.
    std::int32_t start_clock = open_first_.clock;
    for (std::size_t k = 0; k < change_count; ++k) {
      const std::size_t i = changes[k];
      ended_seconds[k] = marks.clock[i] - start_clock;
      ended_flags[k] = possession_flags[i - 1];
      start_clock = marks.clock[i];
    }
    CloseEach(ended_seconds.data(), ended_flags.data(), change_count);
    for (std::size_t k = 0; k < change_count && options_.keep_possessions; ++k) {
      const std::size_t i = changes[k];
      const Mark next = marks.At(i);
      Keep(record_at(i - 1), possession_flags[i - 1], marks.At(i - 1), &next);
      Open(record_at(i), next);
    }
    if (change_count > 0) {
      const std::size_t i = changes[change_count - 1];
      Open(record_at(i), marks.At(i));
    }
    previous_ = marks.At(count);
    open_flags_ = flags;
    last_record_ = record_at(count);
  }
}

// The seconds from `from` to `to` that do not lie within the minute being
// added up: second s counts in minute s / 60, and the seconds before 0 count
// nowhere. The next minute added up is the one of `to`.
void MatchAnalyzer::SpreadMomentum(std::int32_t from, std::int32_t to, std::int32_t flags) {
  FlushMomentum();
  const std::int32_t sign = (flags & kInAttackingThird) ? ((flags & kRedTeam) ? 1 : -1) : 0;
  for (std::int32_t s = std::max(from, 0); s < to;) {
    const std::int32_t minute = s / kSecondsPerMinute;
    const std::int32_t end = std::min(to, (minute + 1) * kSecondsPerMinute);
    minutes_[static_cast<std::size_t>(minute)] += sign * (end - s);
    s = end;
  }
  if (to >= 0) minute_start_ = to / kSecondsPerMinute * kSecondsPerMinute;
}

void MatchAnalyzer::FlushMomentum() {
  if (minute_start_ >= 0) {
    minutes_[static_cast<std::size_t>(minute_start_ / kSecondsPerMinute)] += minute_momentum_;
  }
  minute_momentum_ = 0;
  minute_start_ = kNoMinute;
}

// A record with a goal byte or the shot flag other than 0: which goal and
// shot count, by the pass's rules; each goal is kept for the momentum chart.
std::int32_t MatchAnalyzer::FlagGoalsAndShots(const RecordBytes& b, std::int32_t flags) {
  const bool left = (flags & kLeftTeam) != 0;
  if (IsGoalRecord(b)) flags |= kGoalRecord;
  if (b[GoalOffsetFor(left)] == 1) flags |= kGoalForTeam;
  if (IsShotRecord(b)) flags |= kShot;
  for (const bool left_team : {true, false}) {
    if (b[GoalOffsetFor(left_team)] == 1) {
      // Room for a match's goals in one allocation; Finish turns the clock
      // into the minute.
      std::vector<MomentumGoal>& goals = out_.momentum.goals;
      if (goals.empty()) goals.reserve(16);
      goals.push_back({LoadInt16(b, kEventClockOffset), left_team == red_left_});
    }
  }
  return flags;
}

MatchAnalysis MatchAnalyzer::Finish() {
  if (!any_) return std::move(out_);
  FlushMomentum();
  if (options_.keep_possessions) Keep(last_record_, open_flags_, previous_, nullptr);
  Close(previous_.clock, open_flags_);
  for (const int column : {kRedColumn, kOtherColumn}) {
    if (out_.teams[column].possessions > 0)
      out_.teams[column].longest_possession = longest_[column];
  }
  for (std::size_t place = 0; place < place_seconds_.size(); ++place) {
    const int slot = places_[place].slot;
    TeamAnalysis& t = out_.teams[slot / (3 * kZones)];
    const int zone = slot % kZones;
    t.third_seconds[static_cast<std::size_t>(slot / kZones % 3)] += place_seconds_[place];
    t.zone_seconds[zone / kZoneColumns][zone % kZoneColumns] += place_seconds_[place];
  }
  // Minutes 0 up to the one holding the last record's clock - 1; none at 0.
  const std::int32_t count =
      previous_.clock > 0 ? (previous_.clock - 1) / kSecondsPerMinute + 1 : 0;
  out_.momentum.minutes.assign(minutes_.begin(), minutes_.begin() + count);
  std::vector<MomentumGoal>& goals = out_.momentum.goals;
  std::erase_if(goals, [&](const MomentumGoal& g) { return count == 0 || g.minute < 0; });
  for (MomentumGoal& g : goals) g.minute = std::min(g.minute / kSecondsPerMinute, count - 1);
  return std::move(out_);
}

MatchAnalysis AnalyzeEvents(const Header_record& header, std::span<const RecordBytes> events,
                            AnalysisOptions options) {
  MatchAnalyzer analyzer(header, options);
  analyzer.Add(kFirstEventRecord, events);
  return analyzer.Finish();
}

FileStatus ComputeStatsAndAnalysis(DataFileReader& file, MatchStats& stats, MatchAnalysis& analysis,
                                   AnalysisOptions options, const EventRecordsSink& events) {
  MatchAnalyzer analyzer(file.Header_rec(), options);
  const FileStatus s =
      ComputeStats(file, stats, {}, [&](std::int32_t first, std::span<const RecordBytes> run) {
        analyzer.Add(first, run);
        if (events) events(first, run);
      });
  if (s) analysis = analyzer.Finish();
  return s;
}

FileStatus ComputeFileAnalysis(const std::string& path, MatchStats& stats, MatchAnalysis& analysis,
                               AnalysisOptions options) {
  DataFileReader file;
  if (FileStatus s = file.Open(path); !s) return s;
  return ComputeStatsAndAnalysis(file, stats, analysis, options);
}

void AnalysisTotals::Add(const MatchAnalysis& period, bool keep_momentum) {
  for (const int column : {kRedColumn, kOtherColumn}) teams[column] += period.teams[column];
  if (keep_momentum) periods.push_back(period.momentum);
}

}  // namespace varrow
