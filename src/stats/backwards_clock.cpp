#include "stats/backwards_clock.h"

namespace varrow {

void BackwardsClock::Check(std::int32_t first_record, std::span<const RecordBytes> records) {
  if (record_ != 0 || records.empty()) return;
  // Whether the run holds a step back at all, with no branch a record: the
  // steps from clock to clock ORed together are below zero only if one is.
  std::int32_t previous = any_ ? last_ : LoadInt16(records[0], kEventClockOffset);
  std::int32_t steps = 0;
#pragma GCC unroll 4
  for (const RecordBytes& r : records) {
    const std::int32_t clock = LoadInt16(r, kEventClockOffset);
    steps |= clock - previous;
    previous = clock;
  }
  std::int16_t before = static_cast<std::int16_t>(previous);
  if (steps < 0) {
    before = any_ ? last_ : LoadInt16(records[0], kEventClockOffset);
    for (std::size_t i = 0; i < records.size(); ++i) {
      const std::int16_t clock = LoadInt16(records[i], kEventClockOffset);
      if (clock < before) {
        record_ = first_record + static_cast<std::int32_t>(i);
        clock_ = clock;
        clock_before_ = before;
        return;
      }
      before = clock;
    }
  }
  any_ = true;
  last_ = before;
}

}  // namespace varrow
