// varrow-report's JSON report (the statistics and the match analysis of each
// file) over 10,000 data files of 1,638 records, timed against reading the
// same files' bytes in the same run, with the program's peak memory after
// 1,000 files and after all 10,000.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "datafile/records.h"
#include "match_events.h"
#include "report_tool/report_tool.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFiles = 10000;
constexpr int kRecords = 1638;  // the largest file the original program could read
constexpr int kRuns = 5;
constexpr double kTargetRatio = 2.5;

const char* const kTeams[] = {"Red Lions", "Blue Birds", "Rovers", "United", "Athletic",
                              "Wanderers", "Rangers",    "City",   "Albion", "Town",
                              "Harriers",  "Olympic",    "Celtic", "Dynamo", "Sporting",
                              "Real",      "Academy",    "Stars",  "Rapids", "Valley"};

// One period of a match, its teams and sides varying with `index`.
std::vector<std::uint8_t> MatchFileBytes(int index) {
  std::vector<std::uint8_t> out;
  out.reserve(kRecords * varrow::kRecordLength);
  auto append = [&](const varrow::RecordBytes& b) { out.insert(out.end(), b.begin(), b.end()); };
  const bool left_red = index % 2 == 0;
  const varrow::Color left = left_red ? varrow::kRed : varrow::kBlue;
  append(varrow::EncodeName(kTeams[index % 20]));
  append(varrow::EncodeName(kTeams[(index / 20 + index + 1) % 20]));
  append(varrow::EncodeHeader(varrow::Header_record{left,
                                                    varrow::OtherPossessionColor(left),
                                                    kRecords,
                                                    2700,
                                                    1,
                                                    1,
                                                    static_cast<std::int16_t>(1 + index % 2),
                                                    {}}));
  varrow::bench::MatchEvents events(static_cast<unsigned>(index) + 1);
  for (int r = varrow::kFirstEventRecord; r <= kRecords; ++r) {
    append(varrow::EncodeEvent(events.Next(static_cast<std::int16_t>(r * 2700 / kRecords))));
  }
  return out;
}

// Reading the bytes: open, read the whole file into a buffer already
// allocated, close; the least any report of the files must do.
std::size_t ReadAll(const std::vector<std::string>& files, std::vector<std::uint8_t>& buffer) {
  std::size_t total = 0;
  for (const std::string& path : files) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) std::abort();
    ssize_t n;
    while ((n = ::read(fd, buffer.data(), buffer.size())) > 0) total += static_cast<std::size_t>(n);
    ::close(fd);
  }
  return total;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double Median(std::vector<double> v) {
  std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

long PeakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Runs the tool on `files` with `options`, its output thrown away.
double Report(const std::vector<std::string>& files, varrow::report::Options options) {
  options.files = files;
  std::ofstream null("/dev/null");
  std::ostringstream err;
  const auto t0 = Clock::now();
  const int status = varrow::report::RunReport(options, null, err);
  const auto t1 = Clock::now();
  if (status != 0) {
    std::fprintf(stderr, "varrow-report failed: %s\n", err.str().c_str());
    std::exit(1);
  }
  return Seconds(t1 - t0);
}

varrow::report::Options Format(varrow::report::OutputFormat format, bool by_team = false) {
  varrow::report::Options options;
  options.format = format;
  options.by_team = by_team;
  return options;
}

// The memory a list of file names takes.
std::size_t NamesBytes(const std::vector<std::string>& names) {
  std::size_t bytes = names.capacity() * sizeof(std::string);
  for (const std::string& n : names) bytes += n.capacity() > 15 ? n.capacity() + 1 : 0;
  return bytes;
}

}  // namespace

int main() {
  // On tmpfs the files live in memory, as a warm page cache holds them.
  const std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
  std::string dir_template = base + "/varrow_report_bench_XXXXXX";
  if (mkdtemp(dir_template.data()) == nullptr) return 1;
  const std::string dir = dir_template;

  std::vector<std::string> files;
  for (int i = 0; i < kFiles; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/%05d_%d.dat", i / 2, 1 + i % 2);
    files.push_back(dir + name);
    const std::vector<std::uint8_t> bytes = MatchFileBytes(i);
    std::ofstream(files.back(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
  }

  const std::vector<std::string> first_thousand(files.begin(), files.begin() + 1000);
  const auto json_options = Format(varrow::report::OutputFormat::kJson);
  Report(first_thousand, json_options);
  const long rss_after_1000 = PeakRssKb();

  std::vector<std::uint8_t> buffer(1 << 16);
  std::vector<double> read_s, json_s;
  std::size_t bytes = 0;
  for (int run = 0; run < kRuns + 1; ++run) {
    const auto t0 = Clock::now();
    bytes = ReadAll(files, buffer);
    const auto t1 = Clock::now();
    const double json = Report(files, json_options);
    if (run == 0) continue;  // warm-up
    read_s.push_back(Seconds(t1 - t0));
    json_s.push_back(json);
  }
  const long rss_after_all = PeakRssKb();
  const double text = Report(files, Format(varrow::report::OutputFormat::kText));
  const double csv = Report(files, Format(varrow::report::OutputFormat::kCsv));
  const double season = Report(files, Format(varrow::report::OutputFormat::kText, true));
  std::filesystem::remove_all(dir);

  const double read = Median(read_s);
  const double json = Median(json_s);
  const double ratio = json / read;
  std::printf("varrow-report over %d files of %d records (%.1f MB in %s), median of %d runs\n",
              kFiles, kRecords, bytes / 1e6, base.c_str(), kRuns);
  std::printf("  reading the files' bytes:   %7.3f s  (%.1f us a file)\n", read,
              read * 1e6 / kFiles);
  std::printf("  the JSON report, analysis included: %7.3f s  (%.1f us a file)\n", json,
              json * 1e6 / kFiles);
  std::printf("  ratio JSON / read: %.2f   target <= %.1f   %s\n", ratio, kTargetRatio,
              ratio <= kTargetRatio ? "MET" : "MISSED");
  std::printf("  for comparison, once: text pages %.3f s, CSV %.3f s, season table %.3f s\n", text,
              csv, season);
  // The tool holds the file names it was given (its command line); the 9,000
  // names more are all that grows from the first run to the last.
  const long more_names_kb =
      static_cast<long>((NamesBytes(files) - NamesBytes(first_thousand)) / 1024);
  std::printf(
      "  peak resident memory: %ld kB after the first 1,000 files, %ld kB after all"
      " %d files %d times;\n  the tool's copy of the %d more file names takes %ld kB"
      " of the %ld kB difference\n",
      rss_after_1000, rss_after_all, kFiles, kRuns + 1, kFiles - 1000, more_names_kb,
      rss_after_all - rss_after_1000);
  return 0;
}
