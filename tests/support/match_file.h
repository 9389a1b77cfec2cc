#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "base/colors.h"
#include "datafile/records.h"

namespace varrow::testing {

// An event in play at (x, y): no flags.
Event_record EventAt(float x, float y, std::int16_t clock, Color color);

// A data file put together record by record, for tests that read files.
struct MatchFile {
  std::string left_name = "Red Lions";    // record 1
  std::string right_name = "Blue Birds";  // record 2
  // Left team red, right team blue, first half; Last_record is filled in.
  Header_record header{kRed, kBlue, 3, 0, 0, 0, 1, {}};
  std::vector<Event_record> events;
  // The header's count; by default 3 plus the events.
  std::optional<std::int16_t> last_record;

  // Adds an event in play: no flags.
  MatchFile& Add(float x, float y, std::int16_t clock, Color color);
  MatchFile& Add(const Event_record& e);

  std::vector<std::uint8_t> Bytes() const;
  void Write(const std::string& path) const;
};

struct RandomFileOptions {
  int longest = 9000;           // events at most; a fifth of the files have fewer than 40
  bool clock_runs_back = true;  // a step of the clock may be -1
};
// A data file of random length, with any colour, flag value, clock and
// position a damaged or odd file may hold: positions on the boundaries of
// the thirds and the zones and next to them, off the window and no numbers,
// a header that counts fewer or more records than there are, a partial
// record at the end.
std::vector<std::uint8_t> RandomFile(std::mt19937& random, RandomFileOptions options = {});

// The worked example of the match analysis: ten events of the red team (left)
// and the blue team, three possessions (ending in a goal, a loss and the end
// of the records), the clock standing still across the kick-off after the goal.
//   record clock team  x     y     note
//   4      0     red   4750  3000  kick-off
//   5      10    red   6500  2000
//   6      15    red   8000  3000  shot
//   7      20    red   8800  3000  goal in the right-hand goal (red's)
//   8      20    blue  4750  3000  kick-off, clock stands still
//   9      40    blue  3000  4500
//   10     70    blue  2000  4800
//   11     75    red   2500  4000  blue lose the ball in their attacking third
//   12     100   red   4000  2500
//   13     130   red   5000  1500
MatchFile HandWorkedMatch();

}  // namespace varrow::testing
