#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "datafile/records.h"
#include "fakes.h"
#include "recorder/recorder.h"
#include "surface/recording_surface.h"
#include "temp_dir.h"

namespace varrow::testing {

// The program's variables and its main window on fakes, not yet loaded.
struct FakeProgram {
  FakeProgram() = default;
  FakeProgram(const FakeProgram&) = delete;
  FakeProgram& operator=(const FakeProgram&) = delete;

  ProgramState state_;
  FakeControls controls_;
  RecordingSurface surface_;
  FakeSettings settings_;
  FakeEnvironment environment_;
  Recorder recorder_{state_, controls_, surface_, settings_, environment_};

  // Records still reach the system at once, but only STOP CLOCK flushes
  // them to the disk: for runs about something other than durability, which
  // would spend most of their time flushing.
  void SkipFlushing() { recorder_.SetFlushFunction({}); }
};

// A started program on fakes whose New creates its files in a fresh temporary
// directory: team names "Reds" (left, red) and "Blues" (right, blue), score
// 0 : 0, date 5 December 1999. The surface log starts empty after start-up.
// Free of any test framework, so fuzz targets and generators can drive it.
class RecorderRig : public FakeProgram {
 public:
  RecorderRig();

  // File > New; `option` 1 to 4 clicks that option of the period window,
  // 0 just presses OK.
  void New(int option = 0);
  void Click(float x, float y) { recorder_.Form_MouseDown(1, 0, x, y); }
  // Ticks until the clock shows `seconds`.
  void TickTo(int seconds);

  std::string Path() const { return state_.Data_file_path; }
  std::vector<std::uint8_t> Bytes() const { return ReadFileBytes(Path()); }
  // Record n as stored, or an empty vector when the file does not hold it.
  std::vector<std::uint8_t> Record(int n) const;
  Header_record DiskHeader() const { return DecodeHeader(RecordOf(Bytes(), kHeaderRecord)); }
  Event_record DiskEvent(int n) const { return DecodeEvent(RecordOf(Bytes(), n)); }

  TempDir dir_;
};

}  // namespace varrow::testing
