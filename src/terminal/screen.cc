#include "terminal/screen.h"

#include "terminal/text.h"

namespace vantorel::terminal {
namespace {

constexpr const char* kGreen = "\x1b[32m";
constexpr const char* kReset = "\x1b[0m";

// Columns of a line that may hold SGR sequences, which take none.
std::size_t visibleWidth(std::string_view line) {
  std::string visible;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\x1b' && i + 1 < line.size() && line[i + 1] == '[') {
      i += 2;
      while (i < line.size() && !(line[i] >= 0x40 && line[i] <= 0x7E)) ++i;
      continue;
    }
    visible += line[i];
  }
  return displayWidth(visible);
}

// Rows a line takes on a terminal `columns` wide (0: unknown), where it wraps when too wide.
std::size_t rowsOf(std::string_view line, std::size_t columns) {
  const std::size_t width = visibleWidth(line);
  if (columns == 0 || width <= columns) return 1;
  return (width + columns - 1) / columns;
}

}  // namespace

Screen::Screen(Sink sink, bool terminal, std::function<std::size_t()> columns)
    : sink_(std::move(sink)), terminal_(terminal), columns_(std::move(columns)) {}

std::size_t Screen::columns() const { return columns_ ? columns_() : 0; }

void Screen::setStatus(std::string title, bool green) {
  title = printable(title);
  if (statusSet_ && title == title_ && green == green_) return;
  title_ = std::move(title);
  green_ = green;
  statusSet_ = true;
  liveChanged_ = true;
}

void Screen::showPanel(std::vector<std::string> lines, std::string closedLine) {
  closePanel();
  if (!terminal_) {
    commitStatusToLog();
    for (const std::string& line : lines) addPending(line);
  }
  panel_ = std::move(lines);
  closedLine_ = std::move(closedLine);
  panelShown_ = true;
  liveChanged_ = true;
}

void Screen::closePanel() {
  if (!panelShown_) return;
  if (!terminal_) {
    commitStatusToLog();
    addPending(closedLine_);
  }
  panel_.clear();
  panelShown_ = false;
  liveChanged_ = true;
}

void Screen::print(const std::vector<std::string>& lines) {
  if (!terminal_) commitStatusToLog();
  for (const std::string& line : lines) addPending(line);
}

void Screen::setMenu(std::vector<std::string> lines) {
  if (!terminal_ || lines == menu_) return;
  menu_ = std::move(lines);
  liveChanged_ = true;
}

void Screen::redrawPanel(std::vector<std::string> lines) {
  if (!panelShown_) return;
  panel_ = std::move(lines);
  liveChanged_ = true;
}

void Screen::resized() {
  if (!terminal_) return;
  const std::size_t width = columns();
  if (drawnRows_ > 0) {
    drawnRows_ = 0;
    for (const std::string& line : drawn_) drawnRows_ += rowsOf(line, width);
  }
  liveChanged_ = true;
}

void Screen::addPending(const std::string& line) {
  pending_ += line + "\n";
  if (pending_.size() <= kMaxPending) return;
  // A reader that has been away this long has missed the oldest lines anyway.
  const std::size_t cut = pending_.find('\n', pending_.size() - kMaxPending);
  pending_.erase(0, cut + 1);
}

std::string Screen::statusLine() const {
  if (!terminal_) return title_ + (green_ ? " [green]" : "");
  return green_ ? kGreen + title_ + kReset : title_;
}

void Screen::commitStatusToLog() {
  if (!statusSet_) return;
  const std::string line = statusLine();
  if (statusLogged_ && line == loggedStatus_) return;
  addPending(line);
  loggedStatus_ = line;
  statusLogged_ = true;
}

void Screen::flush() {
  if (!terminal_) {
    commitStatusToLog();
    liveChanged_ = false;
    if (pending_.empty()) return;
    sink_(pending_);
    pending_.clear();
    return;
  }
  if (pending_.empty() && !liveChanged_) return;
  std::string out;
  if (drawnRows_ > 0) {
    out += "\r";
    if (drawnRows_ > 1) out += "\x1b[" + std::to_string(drawnRows_ - 1) + "A";
    out += "\x1b[J";
  }
  out += pending_;
  pending_.clear();
  const std::size_t width = columns();
  drawn_ = menu_;
  drawn_.insert(drawn_.end(), panel_.begin(), panel_.end());
  drawn_.push_back(statusLine());
  drawnRows_ = 0;
  for (std::size_t i = 0; i < drawn_.size(); ++i) {
    out += drawn_[i] + (i + 1 < drawn_.size() ? "\n" : "");
    drawnRows_ += rowsOf(drawn_[i], width);
  }
  liveChanged_ = false;
  sink_(out);
}

void Screen::finish() {
  flush();
  detach();
}

void Screen::detach() {
  if (!terminal_ || drawnRows_ == 0) return;
  sink_("\n");
  drawnRows_ = 0;  // what is on screen now stays there
  liveChanged_ = true;
}

}  // namespace vantorel::terminal
