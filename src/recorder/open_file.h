#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "datafile/data_file_reader.h"
#include "datafile/records.h"

namespace varrow {

// The filter of the dialogs that choose data files.
inline constexpr std::string_view kDataFileFilter = "Data Files (*.dat)|*.dat";

// What File > Open restores from a data file.
struct OpenedFile {
  std::string Team_2_name;  // all 20 characters, trailing spaces included
  std::string Team_1_name;
  Header_record Header_rec;
  // The event at the header's Last_record; none when the file holds no event.
  std::optional<Event_record> last_event;
  FileIdentity identity;  // which file was read
};

// Reads and checks everything Open needs, so that nothing changes unless all
// of it is sound: a data file the reader takes, whose header counts from 3 up
// to the whole records in the file, and whose last event lies at a finite
// position inside the main window's drawing area. A failure carries the
// system's error number or kBadDataFileError, and a description naming the
// file.
[[nodiscard]] FileStatus ReadDataFileForOpen(const std::string& path, OpenedFile& out);

}  // namespace varrow
