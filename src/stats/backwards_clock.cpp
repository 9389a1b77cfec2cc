#include "stats/backwards_clock.h"

namespace varrow {

void BackwardsClock::Check(std::int32_t first_record, std::span<const RecordBytes> records) {
  if (record_ != 0 || records.empty()) return;
  // Whether the run holds a step back at all, without a branch a record: a
  // whole file is checked in about the time it takes to read.
  std::int16_t before = any_ ? last_ : LoadInt16(records[0], kEventClockOffset);
  bool back = false;
  for (const RecordBytes& r : records) {
    const std::int16_t clock = LoadInt16(r, kEventClockOffset);
    back |= clock < before;
    before = clock;
  }
  if (back) {
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
