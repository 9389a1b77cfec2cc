#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "report_tool/report_pages.h"

namespace varrow::testing {

struct ToolResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the tool's command line (the arguments after the program name) in
// this process, as main() does without Qt.
ToolResult RunTool(const std::vector<std::string>& args, report::RenderTarget* render = nullptr);

// Runs the built varrow-report with `args` in an environment holding only
// PATH, HOME and `env` ("NAME=value"): no display unless `env` gives one.
ToolResult RunProgram(const std::vector<std::string>& args,
                      const std::vector<std::string>& env = {});

// The lines of a text (the last line's end is not an extra empty line).
std::vector<std::string> Lines(std::string_view text);

}  // namespace varrow::testing
