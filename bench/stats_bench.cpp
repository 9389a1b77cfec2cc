// The statistics pass over the largest data file (32767 records), timed
// against reading the same file's bytes in the same run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "datafile/data_file.h"
#include "stats/stats_pass.h"

namespace {

using varrow::DataFile;
using varrow::Event_record;
using varrow::FileStatus;
using Clock = std::chrono::steady_clock;

constexpr double kTargetRatio = 2.0;
constexpr int kRuns = 300;

// A long recording in the proportions of a real match: possession changes at
// one click in five, at no regular rhythm; about one click in fifty is a shot,
// one in a hundred a corner, one in three hundred a goal.
bool WriteLargestFile(const std::string& path) {
  DataFile f;
  if (!f.Open(path, varrow::OpenMode::kCreateNew)) return false;
  bool ok = f.WriteName(varrow::kLeftNameRecord, "Red Lions") &&
            f.WriteName(varrow::kRightNameRecord, "Blue Birds");
  ok = ok && f.WriteHeader(varrow::Header_record{
                 varrow::kRed, varrow::kBlue, varrow::kMaxRecordNumber, 30000, 3, 2, 1, {}});
  std::mt19937 random(2000);
  std::uniform_real_distribution<float> x(750, 8750);
  std::uniform_real_distribution<float> y(1000, 5000);
  varrow::Color color = varrow::kRed;
  for (int r = varrow::kFirstEventRecord; ok && r <= varrow::kMaxRecordNumber; ++r) {
    Event_record e{.X = x(random), .Y = y(random), .Clock_seconds = static_cast<std::int16_t>(r)};
    const unsigned roll = random() % 300;
    if (roll < 60) color = varrow::OtherPossessionColor(color);
    e.Team_color = color;
    if (roll >= 294) e.Shot_flag = -1;
    if (roll >= 291 && roll < 294) e.Corner_flag = -1;
    if (roll == 290) e.Left_goal = 1;
    ok = static_cast<bool>(f.WriteEvent(r, e));
  }
  return ok;
}

double Median(std::vector<double> v) {
  std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

double Min(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

double Micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

}  // namespace

int main() {
  char dir_template[] = "/tmp/varrow_stats_bench_XXXXXX";
  if (mkdtemp(dir_template) == nullptr) return 1;
  const std::string dir = dir_template;
  const std::string path = dir + "/120599_1.dat";
  if (!WriteLargestFile(path)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return 1;
  }

  std::vector<std::uint8_t> bytes;
  std::vector<double> read_us, pass_us, progress_pass_us, memory_pass_us;
  long progress_calls = 0;
  int shots = 0;
  for (int run = 0; run < kRuns + 5; ++run) {
    // Reading the bytes: open, one read of the whole file into a buffer that
    // is already allocated, close.
    auto t0 = Clock::now();
    {
      DataFile f;
      if (!f.Open(path, varrow::OpenMode::kExistingReadOnly) || !f.ReadAll(bytes, 1 << 20)) {
        return 1;
      }
    }
    auto t1 = Clock::now();
    // The statistics pass over the file.
    varrow::MatchStats stats;
    const FileStatus s = varrow::ComputeFileStats(path, stats);
    auto t2 = Clock::now();
    if (!s) {
      std::fprintf(stderr, "%s\n", s.reason().c_str());
      return 1;
    }
    // The same as Generate Stats runs it, a progress callback for every record.
    varrow::MatchStats with_progress;
    auto t5 = Clock::now();
    if (!varrow::ComputeFileStats(path, with_progress, [&](std::int16_t) { ++progress_calls; })) {
      return 1;
    }
    auto t6 = Clock::now();
    shots = stats.Red_shot_count + stats.Blue_shot_count;
    varrow::MatchStats in_memory;
    auto t3 = Clock::now();
    if (!varrow::ComputeStats(bytes, in_memory)) return 1;
    auto t4 = Clock::now();
    if (run < 5) continue;  // warm-up
    read_us.push_back(Micros(t1 - t0));
    pass_us.push_back(Micros(t2 - t1));
    memory_pass_us.push_back(Micros(t4 - t3));
    progress_pass_us.push_back(Micros(t6 - t5));
  }
  std::filesystem::remove_all(dir);

  // The median is the figure; the minimum shows what the machine does when
  // nothing else runs on it.
  const double read = Median(read_us);
  const double pass = Median(pass_us);
  const double ratio = pass / read;
  const double best_ratio = Min(pass_us) / Min(read_us);
  std::printf("Statistics pass over a %zu-byte file of %d records (%d shots), median of %d runs\n",
              bytes.size(), varrow::kMaxRecordNumber, shots, kRuns);
  std::printf("                                    median    minimum\n");
  std::printf("  reading the file's bytes:        %8.1f  %8.1f us\n", read, Min(read_us));
  std::printf("  statistics pass from the file:   %8.1f  %8.1f us  (%.2f ns a record)\n", pass,
              Min(pass_us), pass * 1000 / (varrow::kMaxRecordNumber - 3));
  std::printf("  the pass over the bytes in memory: %6.1f  %8.1f us  (classification alone)\n",
              Median(memory_pass_us), Min(memory_pass_us));
  std::printf("  the pass with per-record progress: %6.1f  %8.1f us  (as Generate Stats runs it)\n",
              Median(progress_pass_us), Min(progress_pass_us));
  std::printf("  ratio pass / read: %.2f (minimum to minimum %.2f)   target <= %.1f   %s\n", ratio,
              best_ratio, kTargetRatio, ratio <= kTargetRatio ? "MET" : "MISSED");
  return progress_calls > 0 ? 0 : 1;
}
