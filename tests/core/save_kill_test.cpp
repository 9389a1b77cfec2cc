// A save killed (SIGKILL, a crash, a power button) at any moment before its
// file takes the name leaves nothing behind: the folder holds the file as it
// was, whole, and nothing else.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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
  const std::vector<std::uint8_t> new_bytes(old_bytes.size(), 2);
  ASSERT_TRUE(testing::WriteFileBytes(path, old_bytes));
  std::mt19937 random(std::random_device{}());
  for (int run = 0; run < 24; ++run) {
    int started[2];
    ASSERT_EQ(::pipe(started), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // A disk that never finishes storing: the kill comes while the save
      // waits for it, or earlier, while it makes or writes the file.
      AtomicFileOptions options;
      options.flush = [](int) {
        for (;;) ::pause();
        return 0;
      };
      const char byte = 1;
      if (::write(started[1], &byte, 1) == 1) (void)WriteFileAtomically(path, new_bytes, options);
      ::_exit(0);
    }
    ::close(started[1]);
    char byte = 0;
    EXPECT_EQ(::read(started[0], &byte, 1), 1);
    ::close(started[0]);
    ::usleep(static_cast<useconds_t>(random() % 3000));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(testing::FileNamesIn(dir.path()), std::vector<std::string>{"120599_1.dat"})
        << "run " << run;
    EXPECT_EQ(testing::ReadFileBytes(path), old_bytes) << "run " << run;
  }
}

}  // namespace
}  // namespace varrow
