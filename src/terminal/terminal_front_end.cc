// The terminal front end, used when there is no display: the status title as the last line of
// the terminal, the menu as keys read from standard input, panels as framed text.

#include "terminal/terminal_front_end.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "glib/glib_handles.h"
#include "terminal/terminal_io.h"
#include "terminal/terminal_output.h"
#include "terminal/terminal_ui.h"

namespace vantorel {
namespace {

// The screen and keys of TerminalUi, which is the FrontEnd, on standard input and output and the
// main loop. The screen writes only through `output_`, which exists before the first flush.
class TerminalFrontEnd final : public terminal::TerminalUi {
 public:
  explicit TerminalFrontEnd(std::function<void(Choice)> onChoice)
      : TerminalUi([this](std::string_view bytes) { output_.write(bytes); },
                   isatty(STDOUT_FILENO) == 1,
                   [] { return terminal::terminalColumns(STDOUT_FILENO); }, std::move(onChoice)),
        output_(STDOUT_FILENO) {
    onChange([this] { requestFlush(); });
    output_.onDrained([this] { requestFlush(); });
    // A resized terminal gets the status line and the panel at its new width at once.
    if (isatty(STDOUT_FILENO)) resize_ = terminal::watchResize([this] { resized(); });
    if (isatty(STDIN_FILENO)) {
      jobControl_ = terminal::JobControlWatch::create([this](int signal) { onJobControl(signal); });
      takeKeyboard();
    } else {
      watchKeys();
    }
  }

  ~TerminalFrontEnd() override {
    jobControl_.reset();
    resize_.reset();
    input_.reset();
    flush_.reset();
    screen().finish();
    output_.drain(kLastWordsMilliseconds);
    // keyMode_ goes last: the terminal gets its settings back after the final output.
  }

 private:
  // The screen is written when the loop is idle, once for any number of changes, and only when
  // the reader has taken the previous write: a reader that falls behind gets the latest state,
  // never a backlog of redraws.
  void requestFlush() {
    if (flush_) return;
    flush_ = addIdle([this] {
      flush_.release();  // GLib removes the source on return
      if (!output_.busy()) screen().flush();
      return G_SOURCE_REMOVE;
    });
  }

  void watchKeys() {
    input_ = watchFd(STDIN_FILENO, G_IO_IN, [this] { return readKeys(); });
  }

  // Keys come from the terminal only while this process is its foreground job: a background job
  // that reads from it or changes its settings is stopped by it.
  void takeKeyboard() {
    if (inputEnded_ || !terminal::isForegroundTerminal(STDIN_FILENO)) {
      input_.reset();
      return;
    }
    if (!keyMode_) keyMode_ = terminal::KeyMode::enter(STDIN_FILENO);
    if (!input_) watchKeys();
  }

  // Ctrl+Z: the terminal goes back to its own settings and the status line is ended while the
  // process is stopped; on continuing (fg or bg) the keyboard is taken again if in front, and the
  // live region is drawn anew below whatever the shell printed meanwhile.
  void onJobControl(int signal) {
    if (signal == SIGTSTP) {
      screen().finish();
      keyMode_.reset();
      raise(SIGSTOP);
      return;
    }
    takeKeyboard();
    screen().detach();
    requestFlush();
  }

  // Stops watching once standard input has ended or failed; the rest runs on.
  gboolean readKeys() {
    char buffer[256];
    const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
    if (count > 0) {
      handleInput(std::string_view(buffer, static_cast<std::size_t>(count)));
      return G_SOURCE_CONTINUE;
    }
    if (count < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) {
      return G_SOURCE_CONTINUE;
    }
    inputEnded_ = true;
    input_.release();  // GLib removes the source on return
    return G_SOURCE_REMOVE;
  }

  // What is still queued at exit gets this long to reach a reader that has stopped reading.
  static constexpr int kLastWordsMilliseconds = 500;

  std::unique_ptr<terminal::KeyMode> keyMode_;
  terminal::Output output_;
  SourceHandle flush_;
  SourceHandle input_;
  SourceHandle resize_;
  bool inputEnded_ = false;
  std::unique_ptr<terminal::JobControlWatch> jobControl_;
};

}  // namespace

std::unique_ptr<FrontEnd> makeTerminalFrontEnd(std::function<void(Choice)> onChoice) {
  // A reader that went away (the pipe a log was written to) ends the output, not the process.
  std::signal(SIGPIPE, SIG_IGN);
  return std::make_unique<TerminalFrontEnd>(std::move(onChoice));
}

}  // namespace vantorel
