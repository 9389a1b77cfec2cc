#include "tool_run.h"

#include <gtest/gtest.h>

#include <sstream>

#include "report_tool/report_tool.h"
#include "run_command.h"

namespace varrow::testing {

ToolResult RunTool(const std::vector<std::string>& args, report::RenderTarget* render) {
  std::ostringstream out;
  std::ostringstream err;
  ToolResult result;
  const report::ParsedArguments parsed = report::ParseArguments(args);
  result.status = report::HandleHelpAndUsage(parsed, out, err);
  if (result.status < 0) result.status = report::RunReport(parsed.options, out, err, render);
  result.out = out.str();
  result.err = err.str();
  return result;
}

ToolResult RunProgram(const std::vector<std::string>& args, const std::vector<std::string>& env) {
  std::vector<std::string> argv = {VARROW_REPORT_BINARY};
  argv.insert(argv.end(), args.begin(), args.end());
  const CommandResult run = RunCommand(argv, env);
  if (!run.started) ADD_FAILURE() << "cannot start " << argv[0];
  if (run.signal != 0) ADD_FAILURE() << "varrow-report ended by signal " << run.signal;
  return {run.status, run.out, run.err};
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace varrow::testing
