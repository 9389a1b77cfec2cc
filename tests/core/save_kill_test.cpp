// A save stopped at any moment (SIGKILL, a crash, a power button) leaves
// nothing beside the file, which holds what it held.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>

#include "datafile/atomic_file.h"
#include "fakes.h"
#include "temp_dir.h"

namespace varrow {
namespace {

TEST(SaveKillTest, AKilledSaveLeavesNothingBesideTheFile) {
  testing::TempDir dir;
  const std::string path = dir.File("120599_1.dat");
  // The largest data file: its write takes long enough to be killed in.
  const std::vector<std::uint8_t> old_bytes(kMaxRecordNumber * kRecordLength, 1);
  ASSERT_TRUE(testing::WriteFileBytes(path, old_bytes));
  std::mt19937 random(std::random_device{}());
  for (int run = 0; run < 24; ++run) {
    int started[2];
    ASSERT_EQ(::pipe(started), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      // A disk that never finishes storing: the kill comes while the save
      // waits for it, or earlier, while it makes or writes the file.
      AtomicFileOptions options;
      options.flush = [](int) { return ::pause(); };
      const char byte = 1;
      if (::write(started[1], &byte, 1) == 1) {
        (void)WriteFileAtomically(path, std::vector<std::uint8_t>(old_bytes.size(), 2), options);
      }
      ::_exit(0);
    }
    char byte = 0;
    EXPECT_EQ(::read(started[0], &byte, 1), 1);
    ::close(started[0]);
    ::close(started[1]);
    ::usleep(static_cast<useconds_t>(random() % 3000));
    ::kill(child, SIGKILL);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    EXPECT_EQ(testing::FileNamesIn(dir.path()), std::vector<std::string>{"120599_1.dat"}) << run;
    EXPECT_EQ(testing::ReadFileBytes(path), old_bytes) << run;
  }
}

// Where the file system has no unnamed files, a writer stopped part way
// leaves a hidden named one: the next writer in the folder removes those of
// its own pattern once they are a day old, and nothing else.
TEST(SaveKillTest, NamedTemporariesLeftBehindGoOnceADayOld) {
  testing::TempDir dir;
  const std::vector<std::uint8_t> bytes = {'n', 'e', 'w'};
  const struct {
    const char* name;
    int hours;
    bool stays;
  } files[] = {
      {".120599_1.dat.~a1B2c3", 25, false}, {".report.pdf.~ZZZZZZ", 48, false},
      {".120599_1.dat.~d4E5f6", 23, true},  // its writer may still be at work
      {".120599_1.dat.~short", 48, true},   {"120599_1.dat.~a1B2c3", 48, true},
  };
  std::vector<std::string> staying = {"120599_1.dat"};
  for (const auto& f : files) {
    ASSERT_TRUE(testing::WriteFileBytes(dir.File(f.name), bytes));
    std::filesystem::last_write_time(
        dir.File(f.name),
        std::filesystem::file_time_type::clock::now() - std::chrono::hours(f.hours));
    if (f.stays) staying.push_back(f.name);
  }
  AtomicFileOptions named;
  named.named_temporary = true;
  named.remove_stale_temporaries = true;
  ASSERT_TRUE(WriteFileAtomically(dir.File("120599_1.dat"), bytes, named).ok());
  std::sort(staying.begin(), staying.end());
  EXPECT_EQ(testing::FileNamesIn(dir.path()), staying);
}

}  // namespace
}  // namespace varrow
