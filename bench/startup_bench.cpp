// Startup benchmark: how long varrow takes from process start to its first
// painted frame, and its peak memory, each as a ratio to a minimal Qt Widgets
// program measured in the same run. Target: both ratios at most 1.3. The
// minimal program with one label is measured too: the bare program draws no
// text, and the first text any program draws costs the font database,
// shaping and glyph rendering.
//
//   build/bench/startup_bench [runs] [varrow_first_paint] [minimal_window]
//
// varrow_first_paint is the program built from its own main with a probe
// that prints the moment of the first paint (first_paint_probe.cpp).
//
// Needs a display, or runs offscreen when none is set.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace {

long long NowNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

struct Sample {
  double first_paint_ms = 0;
  double peak_rss_mb = 0;
};

// Starts `program` (with `argument`, if any), reads the moment of its first
// paint from its output and waits for it to end.
bool Measure(const std::string& program, Sample& sample, const char* argument = nullptr) {
  int out[2];
  if (pipe(out) != 0) return false;
  const long long start = NowNs();
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    execl(program.c_str(), program.c_str(), argument, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  std::string text;
  char buffer[256];
  ssize_t n;
  while ((n = read(out[0], buffer, sizeof buffer)) > 0) text.append(buffer, n);
  close(out[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  const std::string key = "first-paint-monotonic-ns ";
  const std::size_t at = text.find(key);
  if (at == std::string::npos || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s did not report its first paint (status %d): %s\n", program.c_str(),
                 status, text.c_str());
    return false;
  }
  const long long painted = std::atoll(text.c_str() + at + key.size());
  sample.first_paint_ms = (painted - start) / 1e6;
  sample.peak_rss_mb = usage.ru_maxrss / 1024.0;  // ru_maxrss is in KiB
  return true;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  const std::string varrow = argc > 2 ? argv[2] : VARROW_PROGRAM;
  const std::string minimal = argc > 3 ? argv[3] : MINIMAL_PROGRAM;

  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
      std::getenv("QT_QPA_PLATFORM") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  // Settings and runtime files go to a scratch directory, never the user's.
  char scratch[] = "/tmp/varrow-bench-XXXXXX";
  if (mkdtemp(scratch) == nullptr) return 1;
  const std::string config = std::string(scratch) + "/config";
  const std::string runtime = std::string(scratch) + "/runtime";
  std::filesystem::create_directory(config);
  std::filesystem::create_directory(runtime);
  std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);

  std::vector<double> varrow_ms, varrow_mb, minimal_ms, minimal_mb, label_ms, label_mb;
  // One warm-up of each, so all start from warm caches; then they take turns.
  Sample sample;
  if (!Measure(minimal, sample) || !Measure(minimal, sample, "--label") ||
      !Measure(varrow, sample)) {
    return 1;
  }
  for (int i = 0; i < runs; ++i) {
    if (!Measure(minimal, sample)) return 1;
    minimal_ms.push_back(sample.first_paint_ms);
    minimal_mb.push_back(sample.peak_rss_mb);
    // The same window with one line of text: what any program that draws
    // text pays (font database, shaping, glyphs), which the bare one never does.
    if (!Measure(minimal, sample, "--label")) return 1;
    label_ms.push_back(sample.first_paint_ms);
    label_mb.push_back(sample.peak_rss_mb);
    if (!Measure(varrow, sample)) return 1;
    varrow_ms.push_back(sample.first_paint_ms);
    varrow_mb.push_back(sample.peak_rss_mb);
  }
  std::filesystem::remove_all(scratch);

  const char* platform = std::getenv("QT_QPA_PLATFORM");
  std::printf("startup, median of %d runs (platform: %s)\n", runs,
              platform != nullptr ? platform : "display");
  std::printf("  %-28s %10s %12s\n", "", "first paint", "peak RSS");
  const auto row = [](const char* name, const std::vector<double>& ms,
                      const std::vector<double>& mb) {
    std::printf("  %-28s %8.1f ms %9.1f MB\n", name, Median(ms), Median(mb));
  };
  row("minimal window", minimal_ms, minimal_mb);
  row("minimal window, one label", label_ms, label_mb);
  row("varrow", varrow_ms, varrow_mb);
  std::printf("  %-28s %10.2f %12.2f   (one label alone)\n", "ratio, one label",
              Median(label_ms) / Median(minimal_ms), Median(label_mb) / Median(minimal_mb));
  const double time_ratio = Median(varrow_ms) / Median(minimal_ms);
  const double memory_ratio = Median(varrow_mb) / Median(minimal_mb);
  std::printf("  %-28s %10.2f %12.2f   (target: both at most 1.30)   %s\n", "ratio, varrow",
              time_ratio, memory_ratio,
              time_ratio <= 1.30 && memory_ratio <= 1.30 ? "met" : "MISSED");
  return 0;
}
