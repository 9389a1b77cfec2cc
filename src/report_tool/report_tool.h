#pragma once

#include <ostream>
#include <span>
#include <string>

#include "report_tool/report_options.h"
#include "report_tool/report_pages.h"

namespace varrow::report {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // a file or an output could not be written
inline constexpr int kExitUsage = 2;

// Reports the files of `options`: the chosen output on `out`, one line per
// failure or warning on `err`. `render` draws the PDF and the images; it may
// be nullptr when neither is asked for. Reads one file at a time and writes
// its part before the next, so memory does not grow with the number of files.
// Returns the exit status.
int RunReport(const Options& options, std::ostream& out, std::ostream& err,
              RenderTarget* render = nullptr);

// Handles what needs no report: --help and --version (on `out`, status 0)
// and usage errors (the error and the usage on `err`, status 2). Returns the
// status, or -1 when the options are to be run.
int HandleHelpAndUsage(const ParsedArguments& parsed, std::ostream& out, std::ostream& err);

}  // namespace varrow::report
