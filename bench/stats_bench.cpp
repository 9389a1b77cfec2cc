// The statistics pass over the largest data file (32767 records), timed
// against reading the same file's bytes in the same run; and the match
// analysis of the same file (the pass and the analysis in one read) against
// the pass.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "analysis/match_analysis.h"
#include "datafile/data_file.h"
#include "match_events.h"
#include "stats/stats_pass.h"

namespace {

using varrow::DataFile;
using varrow::Event_record;
using varrow::FileStatus;
using Clock = std::chrono::steady_clock;

constexpr double kTargetRatio = 2.0;
constexpr double kAnalysisTargetRatio = 3.0;
constexpr int kRuns = 300;

// The longest recording a data file holds.
bool WriteLargestFile(const std::string& path) {
  DataFile f;
  if (!f.Open(path, varrow::OpenMode::kCreateNew)) return false;
  bool ok = f.WriteName(varrow::kLeftNameRecord, "Red Lions") &&
            f.WriteName(varrow::kRightNameRecord, "Blue Birds");
  ok = ok && f.WriteHeader(varrow::Header_record{
                 varrow::kRed, varrow::kBlue, varrow::kMaxRecordNumber, 30000, 3, 2, 1, {}});
  varrow::bench::MatchEvents events(2000);
  for (int r = varrow::kFirstEventRecord; ok && r <= varrow::kMaxRecordNumber; ++r) {
    ok = static_cast<bool>(f.WriteEvent(r, events.Next(static_cast<std::int16_t>(r))));
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

  // The file's bytes read into page-aligned memory, as the pass reads them.
  // The kernel's copy is fastest when the buffer shares the file's offset
  // within a page; a std::vector's buffer (16 bytes into a page) costs it
  // about a tenth more, which would flatter the ratio.
  struct alignas(4096) WholeFile {
    std::array<varrow::RecordBytes, varrow::kMaxRecordNumber> records;
  };
  const auto whole = std::make_unique<WholeFile>();
  std::vector<std::uint8_t> bytes;
  std::vector<double> read_us, vector_read_us, pass_us, progress_pass_us, memory_pass_us,
      analysis_us;
  long progress_calls = 0;
  int shots = 0;
  // Reading the bytes: open, take the length, read, close; the least any
  // reader must do.
  auto read_into = [&](void* buffer, std::size_t capacity, std::size_t& got) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    const bool ok = ::fstat(fd, &st) == 0 && static_cast<std::size_t>(st.st_size) <= capacity &&
                    ::pread(fd, buffer, static_cast<std::size_t>(st.st_size), 0) == st.st_size;
    ::close(fd);
    got = ok ? static_cast<std::size_t>(st.st_size) : 0;
    return ok;
  };
  auto read_file = [&] {
    std::size_t got = 0;
    return read_into(whole->records.data(), sizeof whole->records, got);
  };
  auto read_vector = [&] {
    bytes.resize(sizeof whole->records);
    std::size_t got = 0;
    const bool ok = read_into(bytes.data(), bytes.size(), got);
    bytes.resize(got);
    return ok;
  };
  varrow::MatchStats stats;
  auto file_pass = [&] { return static_cast<bool>(varrow::ComputeFileStats(path, stats)); };
  // The same as Generate Stats runs it, a progress callback for every record.
  auto progress_pass = [&] {
    return static_cast<bool>(
        varrow::ComputeFileStats(path, stats, [&](std::int16_t) { ++progress_calls; }));
  };
  // The classifier alone over the bytes read into the vector.
  auto memory_pass = [&] {
    const std::span records(reinterpret_cast<const varrow::RecordBytes*>(bytes.data()),
                            bytes.size() / varrow::kRecordLength);
    stats = varrow::MatchStats{};
    stats.Header_rec = varrow::DecodeHeader(records[varrow::kHeaderRecord - 1]);
    stats.Record_count = static_cast<std::int16_t>(records.size());
    varrow::EventClassifier classifier(stats);
    classifier.Classify(varrow::kFirstEventRecord, records.subspan(varrow::kHeaderRecord));
    classifier.Finish();
    return true;
  };
  // The analysis as varrow-report runs it: the pass and the analysis of
  // each run of records as the reader hands it out.
  varrow::MatchAnalysis analysis;
  auto analysis_pass = [&] {
    return static_cast<bool>(varrow::ComputeFileAnalysis(path, stats, analysis));
  };
  // Each is timed right after a run of itself, so each finds the file and
  // its own buffers in the processor's cache as a steady run would, whatever
  // ran before; the six take turns in every round.
  auto time = [](auto&& step, std::vector<double>& samples, bool keep) {
    if (!step()) return false;
    const auto start = Clock::now();
    if (!step()) return false;
    if (keep) samples.push_back(Micros(Clock::now() - start));
    return true;
  };
  for (int run = 0; run < kRuns + 5; ++run) {
    const bool keep = run >= 5;  // the first rounds warm up
    if (!time(read_file, read_us, keep) || !time(file_pass, pass_us, keep) ||
        !time(progress_pass, progress_pass_us, keep) || !time(read_vector, vector_read_us, keep) ||
        !time(memory_pass, memory_pass_us, keep) || !time(analysis_pass, analysis_us, keep)) {
      std::fprintf(stderr, "cannot read or classify %s\n", path.c_str());
      return 1;
    }
    shots = stats.Red_shot_count + stats.Blue_shot_count;
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
  std::printf("    (the same into a std::vector:  %8.1f  %8.1f us)\n", Median(vector_read_us),
              Min(vector_read_us));
  std::printf("  statistics pass from the file:   %8.1f  %8.1f us  (%.2f ns a record)\n", pass,
              Min(pass_us), pass * 1000 / (varrow::kMaxRecordNumber - 3));
  std::printf("  the pass over the bytes in memory: %6.1f  %8.1f us  (classification alone)\n",
              Median(memory_pass_us), Min(memory_pass_us));
  std::printf("  the pass with per-record progress: %6.1f  %8.1f us  (as Generate Stats runs it)\n",
              Median(progress_pass_us), Min(progress_pass_us));
  std::printf("  ratio pass / read: %.2f (minimum to minimum %.2f)   target <= %.1f   %s\n", ratio,
              best_ratio, kTargetRatio, ratio <= kTargetRatio ? "MET" : "MISSED");
  const double analysis_ratio = Median(analysis_us) / pass;
  std::printf(
      "Match analysis of the same file (%zu possessions), pass and analysis in one read,\n"
      "records marked %s at a time\n",
      static_cast<std::size_t>(analysis.teams[0].possessions + analysis.teams[1].possessions),
      varrow::EightLanesAvailable() ? "eight" : "four");
  std::printf("  analysis from the file:          %8.1f  %8.1f us  (%.2f ns a record)\n",
              Median(analysis_us), Min(analysis_us),
              Median(analysis_us) * 1000 / (varrow::kMaxRecordNumber - 3));
  std::printf("  ratio analysis / pass: %.2f (minimum to minimum %.2f)   target <= %.1f   %s\n",
              analysis_ratio, Min(analysis_us) / Min(pass_us), kAnalysisTargetRatio,
              analysis_ratio <= kAnalysisTargetRatio ? "MET" : "MISSED");
  return progress_calls > 0 ? 0 : 1;
}
