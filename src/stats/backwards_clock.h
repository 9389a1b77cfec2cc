#pragma once

#include <cstdint>
#include <span>

#include "datafile/records.h"

namespace varrow {

// Finds the first event record whose clock is below the clock of the record
// before it. A recording's clock only goes forwards, so only a damaged file
// has one, and its times of possession can come out below zero.
class BackwardsClock {
 public:
  // Looks at `records`, numbered from `first_record` on; each call goes on
  // where the last one ended.
  void Check(std::int32_t first_record, std::span<const RecordBytes> records);

  // The record's number, 0 while there is none; its clock and the clock
  // before it.
  std::int32_t record() const { return record_; }
  std::int16_t clock() const { return clock_; }
  std::int16_t clock_before() const { return clock_before_; }

 private:
  bool any_ = false;
  std::int16_t last_ = 0;
  std::int32_t record_ = 0;
  std::int16_t clock_ = 0;
  std::int16_t clock_before_ = 0;
};

}  // namespace varrow
