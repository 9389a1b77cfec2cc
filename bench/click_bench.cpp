// The cost of recording one click on the field, against the system calls it
// cannot avoid. All figures come from one run on one data file:
//   Click             one click, its two record writes, no flush
//   BarePwrites       the same two 20-byte pwrite calls, nothing else
//   ClickFlushed      one click while the file is flushed in the background
//                     (fdatasync), as recorded live
//   BarePwritesSynced two 20-byte pwrites and one fdatasync, for comparison
// The core cost of a click is Click minus BarePwrites (medians of the same
// run); the data file lives in a fresh directory under the current one, so
// run it from a directory on the disk the program records to.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "recorder/recorder.h"

namespace varrow {
namespace {

// A surface that draws nothing: the click's own work, not a painter's.
class NullSurface : public Surface {
 protected:
  void DeviceLine(Pt, Pt, Color, int) override {}
  void DeviceBox(Pt, Pt, Color, int, bool) override {}
  void DeviceCircle(Pt, float, Color, int, std::optional<Color>) override {}
  void DeviceArc(Pt, float, Color, int, double, double) override {}
  void DeviceClear() override {}
  void DeviceText(Pt, std::string_view, Color) override {}
  float DeviceTextWidth(std::string_view) const override { return 0; }
  float DeviceLineHeight() const override { return 0; }
  float DeviceScaleWidth() const override { return 0; }
};

class BenchControls : public MainControls {
 public:
  std::string Caption(MainControl c) const override { return captions_[Index(c)]; }
  void SetCaption(MainControl c, std::string_view text) override { captions_[Index(c)] = text; }
  Color ForeColor(MainControl c) const override { return c == MainControl::kText2 ? kRed : kBlue; }
  void SetForeColor(MainControl, Color) override {}
  bool Visible(MainControl c) const override { return visible_[Index(c)]; }
  void SetVisible(MainControl c, bool visible) override { visible_[Index(c)] = visible; }
  void SetLocked(MainControl, bool) override {}
  bool TimerEnabled() const override { return timer_; }
  void SetTimerEnabled(bool enabled) override { timer_ = enabled; }
  // A warning or an error means the run does not measure what it claims.
  void MsgBox(std::string_view text, MsgIcon icon, std::string_view title) override {
    if (icon == MsgIcon::kExclamation) {
      throw std::runtime_error(std::string(title) + ": " + std::string(text));
    }
  }
  std::size_t Ask(std::string_view, std::string_view,
                  const std::vector<std::string>& buttons) override {
    return buttons.size() - 1;
  }
  void SetBusyPointer(bool) override {}
  void ShowPeriodWindow() override {}
  std::optional<std::string> ShowOpenDialog(std::string_view) override { return std::nullopt; }
  std::vector<std::string> ShowOpenFilesDialog(std::string_view, const std::string&,
                                               const std::string&) override {
    return {};
  }
  void ShowProgressWindow() override {}
  void SetProgressMax(int) override {}
  void SetProgressValue(int) override {}
  void CloseProgressWindow() override {}
  void ShowReportsWindow() override {}
  void ShowReviewWindow(ReviewSession&) override {}
  void ShowMatchReportWindow(const std::vector<std::string>&) override {}
  void ShowAboutWindow() override {}
  void ShowHelp(const std::string&) override {}
  void PostFlushCheck() override {}
  void CloseMainWindow() override {}
  void CloseOtherWindows() override {}

 private:
  static std::size_t Index(MainControl c) { return static_cast<std::size_t>(c); }
  mutable std::string captions_[16];
  bool visible_[16] = {};
  bool timer_ = false;
};

class NoSettings : public SettingsStore {
 public:
  std::string GetSetting(std::string_view, std::string_view, std::string_view,
                         std::string_view default_value) override {
    return std::string(default_value);
  }
  void SaveSetting(std::string_view, std::string_view, std::string_view,
                   std::string_view) override {}
  std::optional<SettingsFailure> Sync() override { return std::nullopt; }
};

class BenchEnvironment : public Environment {
 public:
  explicit BenchEnvironment(std::string dir) : dir_(std::move(dir)) {}
  CalendarDate Today() const override { return {2000, 6, 17}; }
  FileStatus CurrentDirectory(std::string& path) const override {
    path = dir_;
    return FileStatus::Ok();
  }
  std::string ProgramDirectory() const override { return dir_; }

 private:
  std::string dir_;
};

// Records stop well before the file's last record; then the file starts over.
constexpr int kRestartAt = 32000;

// One recording in progress, and a second descriptor on its data file for the
// bare system calls.
class Rig {
 public:
  Rig() : dir_(MakeDir()), environment_(dir_) {
    recorder_.Form_Load();
    recorder_.mnuNew_Click();
    recorder_.Command2_Click();
    fd_ = ::open(state_.Data_file_path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0) throw std::runtime_error("cannot open " + state_.Data_file_path);
    // Positions in play all over the field, and every sixteenth click out
    // over a touchline (projection and a change of possession).
    for (int i = 0; i < 64; ++i) {
      const float x = 1000.0f + static_cast<float>((i * 997) % 7000);
      const float y = i % 16 == 15 ? 500.0f : 1200.0f + static_cast<float>((i * 613) % 3600);
      positions_.push_back(Pt{x, y});
    }
  }
  ~Rig() {
    if (controls_.TimerEnabled()) recorder_.Command2_Click();
    ::close(fd_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  void Click(benchmark::State& state) {
    if (state_.form1.RecordNumber >= kRestartAt) {
      state.PauseTiming();
      recorder_.Command2_Click();
      state_.Header_rec.Last_record = kHeaderRecord;
      recorder_.Command2_Click();
      state.ResumeTiming();
    }
    const Pt p = positions_[next_++ % positions_.size()];
    recorder_.Form_MouseDown(1, 0, p.x, p.y);
  }
  // What a click writes: the next event record, then the header.
  void BarePwrites() {
    if (++bare_record_ >= kRestartAt) bare_record_ = kFirstEventRecord;
    const off_t event_at = static_cast<off_t>(bare_record_ - 1) * kRecordLength;
    if (::pwrite(fd_, bytes_, kRecordLength, event_at) != kRecordLength ||
        ::pwrite(fd_, bytes_, kRecordLength, 2 * kRecordLength) != kRecordLength) {
      throw std::runtime_error("pwrite failed");
    }
  }
  void Sync() {
    if (::fdatasync(fd_) != 0) throw std::runtime_error("fdatasync failed");
  }
  // The flush takes effect from the next START CLOCK.
  void SetFlushing(bool on) {
    if (on == flushing_) return;
    flushing_ = on;
    recorder_.Command2_Click();
    recorder_.SetFlushFunction(on ? FlushFunction(FlushToDisk) : FlushFunction());
    recorder_.Command2_Click();
  }
  const std::string& Path() const { return state_.Data_file_path; }

 private:
  static std::string MakeDir() {
    std::string pattern = (std::filesystem::current_path() / "click_bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    return pattern;
  }
  std::string dir_;
  ProgramState state_;
  BenchControls controls_;
  NullSurface surface_;
  NoSettings settings_;
  BenchEnvironment environment_;
  Recorder recorder_{state_, controls_, surface_, settings_, environment_};
  int fd_ = -1;
  bool flushing_ = true;
  std::vector<Pt> positions_;
  std::size_t next_ = 0;
  int bare_record_ = kFirstEventRecord;
  std::uint8_t bytes_[kRecordLength] = {0x00, 0x70, 0x94, 0x45, 0x00, 0x80, 0x3B, 0x45, 0x41};
};

Rig* rig = nullptr;

void Click(benchmark::State& state) {
  rig->SetFlushing(false);
  for (auto _ : state) rig->Click(state);
}

void BarePwrites(benchmark::State& state) {
  for (auto _ : state) rig->BarePwrites();
}

void ClickFlushed(benchmark::State& state) {
  rig->SetFlushing(true);
  for (auto _ : state) rig->Click(state);
}

void BarePwritesSynced(benchmark::State& state) {
  for (auto _ : state) {
    rig->BarePwrites();
    rig->Sync();
  }
}

constexpr int kRepetitions = 21;

BENCHMARK(Click)->Repetitions(kRepetitions)->MinTime(0.05)->Unit(benchmark::kMicrosecond);
BENCHMARK(BarePwrites)->Repetitions(kRepetitions)->MinTime(0.05)->Unit(benchmark::kMicrosecond);
BENCHMARK(ClickFlushed)->Repetitions(kRepetitions)->MinTime(0.05)->Unit(benchmark::kMicrosecond);
BENCHMARK(BarePwritesSynced)
    ->Repetitions(kRepetitions)
    ->Iterations(400)
    ->Unit(benchmark::kMicrosecond);

// Prints the usual table and keeps each benchmark's median time per iteration.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        medians[run.run_name.function_name] = run.GetAdjustedRealTime();
      }
    }
  }
  std::map<std::string, double> medians;  // microseconds
};

}  // namespace
}  // namespace varrow

int main(int argc, char** argv) {
  using varrow::MedianReporter;
  // The four benchmarks' repetitions are shuffled together, so a slow spell
  // of the disk does not fall on one of them only.
  std::vector<char*> args(argv, argv + argc);
  std::string interleave = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, interleave.data());
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  varrow::Rig rig;
  varrow::rig = &rig;
  std::printf("data file: %s\n", rig.Path().c_str());
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const auto& m = reporter.medians;
  auto at = [&](const char* name) {
    auto it = m.find(name);
    return it == m.end() ? 0.0 : it->second;
  };
  const double click = at("Click");
  const double bare = at("BarePwrites");
  const double click_flushed = at("ClickFlushed");
  const double bare_synced = at("BarePwritesSynced");
  if (click == 0 || bare == 0 || click_flushed == 0 || bare_synced == 0) return 0;  // filtered run
  const double core = click - bare;
  const double ratio = click / bare;
  const double core_flushed = click_flushed - bare;
  std::printf("\nMedians of %d repetitions, one data file, one run:\n", varrow::kRepetitions);
  std::printf("  two bare 20-byte pwrites            %8.2f us\n", bare);
  std::printf("  two bare pwrites + fdatasync        %8.2f us\n", bare_synced);
  std::printf(
      "  core cost of one click (click minus bare pwrites) %6.2f us   target < 20 us   %s\n", core,
      core < 20 ? "met" : "MISSED");
  std::printf(
      "  click with its record writes / bare pwrites       %6.2f      target <= 1.5    %s\n", ratio,
      ratio <= 1.5 ? "met" : "MISSED");
  std::printf(
      "  core cost of one click, file flushed in the background  %6.2f us   target < 20 us   %s\n",
      core_flushed, core_flushed < 20 ? "met" : "MISSED");
  return 0;
}
