// The terminal front end, used when there is no display: the status title as the last line of
// the terminal, the menu as keys read from standard input, panels as framed text.

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <memory>

#include "platform/linux/front_end.h"
#include "platform/terminal/terminal_io.h"
#include "platform/terminal/terminal_output.h"
#include "platform/terminal/terminal_ui.h"

namespace vantorel {
namespace {

using terminal::TerminalUi;

class TerminalStatusItem final : public StatusItem, public StatusButton {
 public:
  explicit TerminalStatusItem(std::weak_ptr<TerminalUi> ui) : ui_(std::move(ui)) {
    if (auto ui = ui_.lock()) {
      id_ = ui->newId();
      ui->addStatusItem(id_);
    }
  }
  ~TerminalStatusItem() override {
    if (auto ui = ui_.lock()) ui->removeStatusItem(id_);
  }

  StatusButton* button() override { return this; }
  void setMenu(Menu menu) override {
    if (auto ui = ui_.lock()) ui->setMenu(id_, std::move(menu));
  }
  void setTitle(const std::string& title) override {
    title_ = title;
    show();
  }
  void setGreenTint(bool green) override {
    green_ = green;
    show();
  }
  // A terminal has nothing to hover over or announce: both are only kept.
  void setToolTip(const std::string& toolTip) override { toolTip_ = toolTip; }
  std::string toolTip() const override { return toolTip_; }
  void setAccessibilityLabel(const std::string&) override {}

 private:
  void show() {
    if (auto ui = ui_.lock()) ui->setStatus(id_, title_, green_);
  }

  std::weak_ptr<TerminalUi> ui_;
  int id_ = 0;
  std::string title_;
  bool green_ = false;
  std::string toolTip_;
};

class TerminalStatusBar final : public StatusBar {
 public:
  explicit TerminalStatusBar(std::weak_ptr<TerminalUi> ui) : ui_(std::move(ui)) {}
  std::unique_ptr<StatusItem> createItem() override {
    return std::make_unique<TerminalStatusItem>(ui_);
  }

 private:
  std::weak_ptr<TerminalUi> ui_;
};

class TerminalPanel final : public Panel {
 public:
  TerminalPanel(std::weak_ptr<TerminalUi> ui, PanelSpec layout)
      : ui_(std::move(ui)), layout_(std::move(layout)) {
    if (auto ui = ui_.lock()) id_ = ui->newId();
  }
  // A panel dropped while on screen leaves the screen with it.
  ~TerminalPanel() override { close(); }

  void center() override {}
  void makeKeyAndOrderFront() override {
    if (auto ui = ui_.lock()) ui->showPanel(id_, layout_);
  }
  void close() override {
    if (auto ui = ui_.lock()) ui->closePanel(id_);
  }

 private:
  std::weak_ptr<TerminalUi> ui_;
  PanelSpec layout_;
  int id_ = 0;
};

class TerminalPanelFactory final : public PanelFactory {
 public:
  explicit TerminalPanelFactory(std::weak_ptr<TerminalUi> ui) : ui_(std::move(ui)) {}
  std::unique_ptr<Panel> createPanel(PanelSpec layout) override {
    return std::make_unique<TerminalPanel>(ui_, std::move(layout));
  }

 private:
  std::weak_ptr<TerminalUi> ui_;
};

class TerminalFrontEnd final : public FrontEnd {
 public:
  explicit TerminalFrontEnd(Application& app)
      : output_(STDOUT_FILENO),
        ui_(std::make_shared<TerminalUi>(
            app, [this](std::string_view bytes) { output_.write(bytes); },
            isatty(STDOUT_FILENO) == 1, [] { return terminal::terminalColumns(STDOUT_FILENO); })),
        flush_([ui = ui_.get()] { ui->screen().flush(); }),
        statusBar_(ui_),
        panels_(ui_) {
    ui_->onChange([this] { flush_.request(); });
    if (isatty(STDIN_FILENO)) {
      jobControl_ = terminal::JobControlWatch::create([this](int signal) { onJobControl(signal); });
      takeKeyboard();
    } else {
      input_ = terminal::FdWatch::create(STDIN_FILENO, [this] { return readKeys(); });
    }
  }

  ~TerminalFrontEnd() override {
    jobControl_.reset();
    input_.reset();
    ui_->onChange({});
    ui_->screen().finish();
    output_.drain(kLastWordsMilliseconds);
    // keyMode_ goes last: the terminal gets its settings back after the final output.
  }

  StatusBar& statusBar() override { return statusBar_; }
  PanelFactory& panels() override { return panels_; }

 private:
  // Keys come from the terminal only while this process is its foreground job: a background job
  // that reads from it or changes its settings is stopped by it.
  void takeKeyboard() {
    if (inputEnded_ || !terminal::isForegroundTerminal(STDIN_FILENO)) {
      input_.reset();
      return;
    }
    if (!keyMode_) keyMode_ = terminal::KeyMode::enter(STDIN_FILENO);
    if (!input_) input_ = terminal::FdWatch::create(STDIN_FILENO, [this] { return readKeys(); });
  }

  // Ctrl+Z: the terminal goes back to its own settings and the status line is ended while the
  // process is stopped; on continuing (fg or bg) the keyboard is taken again if in front, and the
  // live region is drawn anew below whatever the shell printed meanwhile.
  void onJobControl(int signal) {
    if (signal == SIGTSTP) {
      ui_->screen().finish();
      keyMode_.reset();
      raise(SIGSTOP);
      return;
    }
    takeKeyboard();
    ui_->screen().detach();
    ui_->screen().flush();
  }

  // False once standard input has ended or failed: it is no longer watched, the rest runs on.
  bool readKeys() {
    char buffer[256];
    const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
    if (count > 0) {
      ui_->handleInput(std::string_view(buffer, static_cast<std::size_t>(count)));
      return true;
    }
    if (count < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    inputEnded_ = true;
    return false;
  }

  // What is still queued at exit gets this long to reach a reader that has stopped reading.
  static constexpr int kLastWordsMilliseconds = 500;

  std::unique_ptr<terminal::KeyMode> keyMode_;
  terminal::Output output_;
  std::shared_ptr<TerminalUi> ui_;
  terminal::IdleJob flush_;
  TerminalStatusBar statusBar_;
  TerminalPanelFactory panels_;
  std::unique_ptr<terminal::FdWatch> input_;
  bool inputEnded_ = false;
  std::unique_ptr<terminal::JobControlWatch> jobControl_;
};

}  // namespace

std::unique_ptr<FrontEnd> makeTerminalFrontEnd(Application& app) {
  // A reader that went away (the pipe a log was written to) ends the output, not the process.
  std::signal(SIGPIPE, SIG_IGN);
  return std::make_unique<TerminalFrontEnd>(app);
}

}  // namespace vantorel
