#include "platform/end_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>

namespace varrow::platform {
namespace {

constexpr std::array<int, 3> kEndSignals = {SIGTERM, SIGHUP, SIGINT};

// A signal handler can reach no object: the pipe's write end is the one thing
// it needs, kept where it can find it.
volatile sig_atomic_t signal_pipe = -1;

void OnEndSignal(int signal_number) {
  const int saved_errno = errno;
  const auto byte = static_cast<unsigned char>(signal_number);
  // A full pipe already holds a wake-up; nothing to do about a failure here.
  [[maybe_unused]] const ssize_t written = ::write(signal_pipe, &byte, 1);
  errno = saved_errno;
}

void SetAction(void (*handler)(int), int flags) {
  struct sigaction action {};
  action.sa_handler = handler;
  action.sa_flags = flags;
  sigemptyset(&action.sa_mask);
  for (int s : kEndSignals) ::sigaction(s, &action, nullptr);
}

}  // namespace

EndSignals::EndSignals(QObject* parent) : QObject(parent) {
  if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;  // the signals keep their default
  signal_pipe = pipe_[1];
  notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &EndSignals::Read);
  // SA_RESETHAND: a second one of the same signal ends the program even when
  // the event loop does not get round to the first.
  SetAction(OnEndSignal, SA_RESTART | SA_RESETHAND);
}

EndSignals::~EndSignals() {
  if (notifier_ == nullptr) return;
  SetAction(SIG_DFL, 0);
  signal_pipe = -1;
  ::close(pipe_[0]);
  ::close(pipe_[1]);
}

void EndSignals::Read() {
  unsigned char bytes[16];
  while (::read(pipe_[0], bytes, sizeof bytes) > 0) {
  }
  SetAction(SIG_DFL, 0);
  if (emitted_) return;
  emitted_ = true;
  emit received();
}

}  // namespace varrow::platform
