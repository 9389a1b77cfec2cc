#pragma once

#include <cstdint>
#include <optional>
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

}  // namespace varrow::testing
