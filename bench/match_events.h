#pragma once

#include <cstdint>
#include <random>

#include "base/colors.h"
#include "datafile/records.h"

namespace varrow::bench {

// Event records in the proportions of a real match: possession changes at
// one click in five, at no regular rhythm; about one click in fifty is a
// shot, one in a hundred a corner, one in three hundred a goal. The same seed
// gives the same events.
class MatchEvents {
 public:
  explicit MatchEvents(unsigned seed) : random_(seed) {}

  Event_record Next(std::int16_t clock_seconds) {
    Event_record e{.X = x_(random_), .Y = y_(random_), .Clock_seconds = clock_seconds};
    const unsigned roll = random_() % 300;
    if (roll < 60) color_ = OtherPossessionColor(color_);
    e.Team_color = color_;
    if (roll >= 294) e.Shot_flag = -1;
    if (roll >= 291 && roll < 294) e.Corner_flag = -1;
    if (roll == 290) e.Left_goal = 1;
    return e;
  }

 private:
  std::mt19937 random_;
  std::uniform_real_distribution<float> x_{750, 8750};
  std::uniform_real_distribution<float> y_{1000, 5000};
  Color color_ = kRed;
};

}  // namespace varrow::bench
