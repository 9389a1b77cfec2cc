#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varrow::testing {

// What a program run to its end left behind.
struct CommandResult {
  bool started = false;
  int status = -1;  // the exit status; -1 when it did not exit
  int signal = 0;   // the signal that ended it, if one did
  std::string out;
  std::string err;
};

// What a run is confined to, for tests of failing writes.
struct RunLimits {
  // The largest file it may write, in bytes, SIGXFSZ at its default: a
  // program that ignores the signal sees a write beyond it fail with EFBIG,
  // as on a full disk. -1: no limit.
  std::int64_t file_size = -1;
  // The user and group it runs as (needs root); -1: this process's own.
  int uid = -1;
  int gid = -1;
};

// Runs `argv` (argv[0] looked up in PATH) and waits for it, in an environment
// holding only PATH, HOME and `env` ("NAME=value"): no display unless `env`
// gives one.
CommandResult RunCommand(const std::vector<std::string>& argv,
                         const std::vector<std::string>& env = {}, const RunLimits& limits = {});

// The text of a PDF as `pdftotext -layout` lays it out, each page ended by a
// form feed; "" when it cannot be read.
std::string PdfText(const std::string& pdf);
// How far down its page (points) the first word of a PDF's page stands; -1
// when the page holds no word.
double PdfFirstWordTop(const std::string& pdf, int page = 1);

}  // namespace varrow::testing
