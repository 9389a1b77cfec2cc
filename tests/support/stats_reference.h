#pragma once

#include <cstdint>
#include <span>

#include "stats/stats_pass.h"

namespace varrow::testing {

// What the statistics rules make of a data file, applied one record at a
// time in the order they are written, as plainly as they can be: the slow,
// obviously right reading that the statistics pass (fast, on the bytes in
// chunks) and everything derived from it are checked against.
struct ReferenceStats {
  bool refused = false;  // the reader refuses a file this short or this long
  // Header_rec, Record_count, Event_rec, any_event, both teams and their shot
  // counts; the names are not read.
  MatchStats stats;
};
ReferenceStats ComputeReferenceStats(std::span<const std::uint8_t> file);

}  // namespace varrow::testing
