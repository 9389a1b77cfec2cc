#include "run_command.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "fakes.h"
#include "temp_dir.h"

namespace varrow::testing {

CommandResult RunCommand(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                         const RunLimits& limits) {
  TempDir dir;
  const std::string out_path = dir.File("out");
  const std::string err_path = dir.File("err");
  const int out_fd = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  const int err_fd = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);

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
  // The child reports a failure to start through this pipe; it closes on exec.
  int started[2];
  if (out_fd < 0 || err_fd < 0 || ::pipe2(started, O_CLOEXEC) != 0) {
    if (out_fd >= 0) ::close(out_fd);
    if (err_fd >= 0) ::close(err_fd);
    return result;
  }
  const pid_t pid = ::fork();
  if (pid == 0) {
    // Only async-signal-safe calls from here to exec.
    ::dup2(out_fd, 1);
    ::dup2(err_fd, 2);
    bool ok = true;
    if (limits.file_size >= 0) {
      const rlimit limit{static_cast<rlim_t>(limits.file_size),
                         static_cast<rlim_t>(limits.file_size)};
      // As a shell's `ulimit -f` leaves it: the program itself must ignore
      // SIGXFSZ to see EFBIG instead of being killed.
      ok = ::signal(SIGXFSZ, SIG_DFL) != SIG_ERR && ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    if (ok && limits.gid >= 0) {
      ok = ::setgroups(0, nullptr) == 0 && ::setgid(static_cast<gid_t>(limits.gid)) == 0;
    }
    if (ok && limits.uid >= 0) ok = ::setuid(static_cast<uid_t>(limits.uid)) == 0;
    if (ok) ::execvpe(argv_pointers[0], argv_pointers.data(), env_pointers.data());
    const char failed = 1;
    [[maybe_unused]] const ssize_t n = ::write(started[1], &failed, 1);
    ::_exit(127);
  }
  ::close(started[1]);
  ::close(out_fd);
  ::close(err_fd);
  char failed = 0;
  result.started = pid > 0 && ::read(started[0], &failed, 1) == 0;
  ::close(started[0]);
  if (pid < 0) return result;
  int wait_status = 0;
  while (waitpid(pid, &wait_status, 0) < 0 && errno == EINTR) {
  }
  if (!result.started) return result;
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
