#include "terminal/terminal_io.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

namespace vantorel::terminal {
namespace {

// The settings KeyMode replaced, kept where an exit handler can reach them. One KeyMode at a time.
struct SavedSettings {
  bool active = false;
  int fd = -1;
  termios settings{};
};
SavedSettings saved;

void restoreSaved() {
  if (!saved.active) return;
  saved.active = false;
  while (tcsetattr(saved.fd, TCSADRAIN, &saved.settings) != 0 && errno == EINTR) {
  }
}

// Where the job-control signal handler writes the signal's number; -1 when no watch exists.
volatile std::sig_atomic_t jobControlPipe = -1;
// The handlers a JobControlWatch replaced.
struct sigaction previousStop {};
struct sigaction previousResume {};

void onJobControlSignal(int signal) {
  const int savedErrno = errno;
  const unsigned char number = static_cast<unsigned char>(signal);
  if (jobControlPipe >= 0) (void)!write(jobControlPipe, &number, 1);
  errno = savedErrno;
}

}  // namespace

bool isForegroundTerminal(int fd) {
  if (!isatty(fd)) return false;
  // A terminal that is not this process's controlling one has no foreground to be out of.
  const pid_t foreground = tcgetpgrp(fd);
  return foreground < 0 || foreground == getpgrp();
}

std::size_t terminalColumns(int fd) {
  winsize size{};
  if (ioctl(fd, TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

SourceHandle watchResize(std::function<void()> resized) {
  return watchSignal(SIGWINCH, [resized = std::move(resized)] {
    resized();
    return G_SOURCE_CONTINUE;
  });
}

std::unique_ptr<KeyMode> KeyMode::enter(int fd) {
  if (saved.active || !isForegroundTerminal(fd)) return nullptr;
  termios current{};
  if (tcgetattr(fd, &current) != 0) return nullptr;
  termios keys = current;
  keys.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  keys.c_lflag |= ISIG;
  // Ctrl+\ would end the process by a signal that skips every clean-up, leaving the terminal
  // without echo; Ctrl+C does the same job in an orderly way.
  keys.c_cc[VQUIT] = _POSIX_VDISABLE;
  keys.c_cc[VMIN] = 1;
  keys.c_cc[VTIME] = 0;
  static const bool hookInstalled = std::atexit(restoreSaved) == 0;
  (void)hookInstalled;
  saved = {true, fd, current};
  if (tcsetattr(fd, TCSANOW, &keys) != 0) {
    saved.active = false;
    return nullptr;
  }
  return std::unique_ptr<KeyMode>(new KeyMode());
}

KeyMode::~KeyMode() { restoreSaved(); }

std::unique_ptr<JobControlWatch> JobControlWatch::create(std::function<void(int)> received) {
  if (jobControlPipe >= 0) return nullptr;
  std::unique_ptr<JobControlWatch> watch(new JobControlWatch(std::move(received)));
  int ends[2] = {-1, -1};
  if (pipe2(ends, O_NONBLOCK | O_CLOEXEC) != 0) return nullptr;
  watch->read_.reset(ends[0]);
  watch->write_.reset(ends[1]);
  jobControlPipe = ends[1];
  struct sigaction action {};
  action.sa_handler = onJobControlSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  if (sigaction(SIGTSTP, &action, &previousStop) != 0) return nullptr;
  if (sigaction(SIGCONT, &action, &previousResume) != 0) {
    sigaction(SIGTSTP, &previousStop, nullptr);
    return nullptr;
  }
  watch->installed_ = true;
  JobControlWatch* self = watch.get();
  watch->source_ = watchFd(self->read_.get(), G_IO_IN, [self] {
    unsigned char signals[16];
    const ssize_t count = read(self->read_.get(), signals, sizeof signals);
    for (ssize_t i = 0; i < count; ++i) self->received_(signals[i]);
    return G_SOURCE_CONTINUE;
  });
  return watch;
}

JobControlWatch::~JobControlWatch() {
  if (installed_) {
    sigaction(SIGTSTP, &previousStop, nullptr);
    sigaction(SIGCONT, &previousResume, nullptr);
  }
  source_.reset();
  jobControlPipe = -1;
}

}  // namespace vantorel::terminal
