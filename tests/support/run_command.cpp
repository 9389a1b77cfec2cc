#include "run_command.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>

#include "fakes.h"
#include "temp_dir.h"

namespace varrow::testing {

CommandResult RunCommand(const std::vector<std::string>& argv,
                         const std::vector<std::string>& env) {
  TempDir dir;
  const std::string out_path = dir.File("out");
  const std::string err_path = dir.File("err");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);

  std::vector<std::string> argv_strings = argv;
  std::vector<char*> argv_pointers;
  for (std::string& s : argv_strings) argv_pointers.push_back(s.data());
  argv_pointers.push_back(nullptr);
  std::vector<std::string> env_strings = env;
  for (const char* name : {"PATH", "HOME"}) {
    if (const char* value = std::getenv(name)) {
      env_strings.push_back(std::string(name) + "=" + value);
    }
  }
  std::vector<char*> env_pointers;
  for (std::string& s : env_strings) env_pointers.push_back(s.data());
  env_pointers.push_back(nullptr);

  CommandResult result;
  pid_t pid = 0;
  result.started = posix_spawnp(&pid, argv_pointers[0], &actions, nullptr, argv_pointers.data(),
                                env_pointers.data()) == 0;
  posix_spawn_file_actions_destroy(&actions);
  if (!result.started) return result;
  int wait_status = 0;
  while (waitpid(pid, &wait_status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(wait_status)) result.status = WEXITSTATUS(wait_status);
  if (WIFSIGNALED(wait_status)) result.signal = WTERMSIG(wait_status);
  const auto out = ReadFileBytes(out_path);
  const auto err = ReadFileBytes(err_path);
  result.out.assign(out.begin(), out.end());
  result.err.assign(err.begin(), err.end());
  return result;
}

std::string PdfText(const std::string& pdf) {
  return RunCommand({"pdftotext", "-layout", pdf, "-"}).out;
}

double PdfFirstWordTop(const std::string& pdf, int page) {
  const std::string n = std::to_string(page);
  const std::string boxes = RunCommand({"pdftotext", "-bbox", "-f", n, "-l", n, pdf, "-"}).out;
  const std::size_t word = boxes.find("<word ");
  if (word == std::string::npos) return -1;
  const std::size_t y_min = boxes.find("yMin=\"", word);
  if (y_min == std::string::npos) return -1;
  return std::strtod(boxes.c_str() + y_min + 6, nullptr);
}

}  // namespace varrow::testing
