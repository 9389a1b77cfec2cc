// The one atomic writer: what it leaves in a folder, the names it makes, and
// what it says when the folder cannot be flushed.
#include "datafile/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include "fakes.h"
#include "temp_dir.h"

namespace varrow {
namespace {

using testing::FileNamesIn;
using testing::TempDir;

const std::vector<std::uint8_t> kBytes = {'n', 'e', 'w'};

void SetAge(const std::string& path, int seconds) {
  timeval now{};
  ::gettimeofday(&now, nullptr);
  const timeval then{now.tv_sec - seconds, 0};
  const timeval times[2] = {then, then};
  ASSERT_EQ(::utimes(path.c_str(), times), 0);
}

// Where the file system has no unnamed files, a writer stopped part way
// leaves a hidden named one; the next writer in the folder removes those of
// its own pattern once they are a day old, and nothing else.
TEST(AtomicFileTest, NamedTemporariesLeftBehindGoOnceADayOld) {
  TempDir dir;
  const struct {
    const char* name;
    int age;
    bool stays;
  } files[] = {
      {".120599_1.dat.~a1B2c3", 2 * 24 * 3600, false}, {".other.pdf.~ZZZZZZ", 25 * 3600, false},
      {".120599_1.dat.~d4E5f6", 23 * 3600, true},  // a writer may still be at work
      {".120599_1.dat.~short", 2 * 24 * 3600, true},   {".notes.~a1B2c3d", 2 * 24 * 3600, true},
      {"120599_1.dat.~a1B2c3", 2 * 24 * 3600, true},
  };
  std::vector<std::string> staying = {"120599_1.dat"};
  for (const auto& f : files) {
    testing::WriteFileBytes(dir.File(f.name), kBytes);
    SetAge(dir.File(f.name), f.age);
    if (f.stays) staying.push_back(f.name);
  }
  std::sort(staying.begin(), staying.end());
  AtomicFileOptions named;
  named.named_temporary = true;
  const CommitResult r = WriteFileAtomically(dir.File("120599_1.dat"), kBytes, named);
  ASSERT_TRUE(r.ok()) << r.status.reason();
  EXPECT_EQ(FileNamesIn(dir.path()), staying);
  EXPECT_EQ(testing::ReadFileBytes(dir.File("120599_1.dat")), kBytes);
}

}  // namespace
}  // namespace varrow
