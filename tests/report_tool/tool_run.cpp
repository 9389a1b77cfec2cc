#include "tool_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

#include "fakes.h"
#include "report_tool/report_tool.h"
#include "temp_dir.h"

extern char** environ;

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
  TempDir dir;
  const std::string out_path = dir.File("out");
  const std::string err_path = dir.File("err");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);

  std::vector<std::string> argv_strings = {VARROW_REPORT_BINARY};
  argv_strings.insert(argv_strings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& s : argv_strings) argv.push_back(s.data());
  argv.push_back(nullptr);

  std::vector<std::string> env_strings = env;
  for (const char* name : {"PATH", "HOME"}) {
    if (const char* value = std::getenv(name))
      env_strings.push_back(std::string(name) + "=" + value);
  }
  std::vector<char*> envp;
  for (std::string& s : env_strings) envp.push_back(s.data());
  envp.push_back(nullptr);

  ToolResult result;
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << argv[0];
    return result;
  }
  int wait_status = 0;
  while (waitpid(pid, &wait_status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(wait_status)) {
    result.status = WEXITSTATUS(wait_status);
  } else {
    ADD_FAILURE() << "varrow-report ended by signal " << WTERMSIG(wait_status);
  }
  const auto out = ReadFileBytes(out_path);
  const auto err = ReadFileBytes(err_path);
  result.out.assign(out.begin(), out.end());
  result.err.assign(err.begin(), err.end());
  return result;
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
