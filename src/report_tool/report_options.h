#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/timeline.h"

namespace varrow::report {

enum class OutputFormat { kText, kJson, kCsv };

// What the command line asked for.
struct Options {
  std::vector<std::string> files;
  OutputFormat format = OutputFormat::kText;
  bool by_team = false;       // the season table instead of match pages
  bool events = false;        // one row per event record instead of match pages
  bool possessions = false;   // one row per possession instead of match pages
  bool analysis = false;      // an analysis page after each general page and shot chart
  std::string pdf_path;       // empty: no PDF
  std::string png_dir;        // empty: no images
  std::string timeline_path;  // empty: no video timeline
  // Where each period lies on the video, and the clips' lead and lag.
  TimelineSettings timeline;
  bool help = false;
  bool version = false;

  bool Renders() const { return !pdf_path.empty() || !png_dir.empty(); }
};

// The options, or a usage error: `error` says what is wrong with the command line.
struct ParsedArguments {
  Options options;
  std::string error;
};

// Parses the arguments that follow the program name.
ParsedArguments ParseArguments(std::span<const std::string> args);

// The short usage shown with a usage error.
std::string_view UsageText();
// Everything --help prints.
std::string_view HelpText();

}  // namespace varrow::report
