#include "stats/backwards_clock.h"

namespace varrow {

void BackwardsClock::Check(std::int32_t first_record, std::span<const RecordBytes> records) {
  if (record_ != 0) return;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const std::int16_t clock = LoadInt16(records[i], kEventClockOffset);
    if (any_ && clock < last_) {
      record_ = first_record + static_cast<std::int32_t>(i);
      clock_ = clock;
      clock_before_ = last_;
      return;
    }
    any_ = true;
    last_ = clock;
  }
}

}  // namespace varrow
