#include "platform/terminal/screen.h"

#include <algorithm>

#include "platform/terminal/text.h"

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

void Screen::showBlock(int id, std::vector<std::string> lines, std::string closedLine) {
  auto found =
      std::find_if(blocks_.begin(), blocks_.end(), [id](const Block& b) { return b.id == id; });
  if (found != blocks_.end()) {
    if (found + 1 == blocks_.end() && found->lines == lines) return;  // already in front
    blocks_.erase(found);
  } else if (!terminal_) {
    commitStatusToLog();
    for (const std::string& line : lines) pending_ += line + "\n";
  }
  blocks_.push_back({id, std::move(lines), std::move(closedLine)});
  liveChanged_ = true;
}

void Screen::removeBlock(int id) {
  auto found =
      std::find_if(blocks_.begin(), blocks_.end(), [id](const Block& b) { return b.id == id; });
  if (found == blocks_.end()) return;
  if (!terminal_) {
    commitStatusToLog();
    pending_ += found->closedLine + "\n";
  }
  blocks_.erase(found);
  liveChanged_ = true;
}

void Screen::print(const std::vector<std::string>& lines) {
  if (!terminal_) commitStatusToLog();
  for (const std::string& line : lines) pending_ += line + "\n";
}

std::string Screen::statusLine() const {
  if (!terminal_) return title_ + (green_ ? " [green]" : "");
  return green_ ? kGreen + title_ + kReset : title_;
}

std::size_t Screen::rowsOf(std::string_view line, std::size_t columns) const {
  const std::size_t width = visibleWidth(line);
  if (columns == 0 || width <= columns) return 1;
  return (width + columns - 1) / columns;
}

void Screen::commitStatusToLog() {
  if (!statusSet_) return;
  const std::string line = statusLine();
  if (statusLogged_ && line == loggedStatus_) return;
  pending_ += line + "\n";
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
  drawnRows_ = 0;
  for (const Block& block : blocks_) {
    for (const std::string& line : block.lines) {
      out += line + "\n";
      drawnRows_ += rowsOf(line, width);
    }
  }
  const std::string status = statusLine();
  out += status;
  drawnRows_ += rowsOf(status, width);
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
