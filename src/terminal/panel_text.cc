#include "terminal/panel_text.h"

#include <algorithm>

#include "core/visible_text.h"
#include "terminal/text.h"

namespace vantorel::terminal {
namespace {

// A label shows at most this many lines, the last one ending in "…" when the text goes on, so
// that a panel always fits on a screen and can be erased from it.
constexpr std::size_t kMaxLabelLines = 12;
constexpr const char* kReset = "\x1b[0m";

std::string repeat(std::string_view piece, std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) out.append(piece);
  return out;
}

class Frame {
 public:
  // `background`: the SGR that starts every line, empty for none.
  Frame(std::string_view title, std::size_t width, bool ansi, std::string background = {})
      : width_(std::max(width, kMinPanelColumns)), ansi_(ansi), background_(std::move(background)) {
    const std::string shown = truncateToWidth(printable(title), inner() - 2);
    if (shown.empty()) {
      edge("┌" + repeat("─", width_ - 2) + "┐");
    } else {
      edge("┌─ " + shown + " " + repeat("─", width_ - 5 - displayWidth(shown)) + "┐");
    }
    row("", 0);
  }

  std::size_t inner() const { return width_ - 4; }

  // One row inside the frame; `text` is printable and fits in inner() columns. `on` and `off`
  // are the SGR around it.
  void row(const std::string& text, std::size_t pad, std::string_view on = {},
           std::string_view off = {}) {
    std::string content = "│ " + std::string(pad, ' ');
    content += ansi_ ? std::string(on) + text + std::string(off) : text;
    content += std::string(inner() - pad - displayWidth(text), ' ') + " │";
    edge(content);
  }

  std::vector<std::string> close() {
    edge("└" + repeat("─", width_ - 2) + "┘");
    return std::move(lines_);
  }

 private:
  void edge(const std::string& content) {
    lines_.push_back(ansi_ ? background_ + content + kReset : content);
  }

  const std::size_t width_;
  const bool ansi_;
  const std::string background_;
  std::vector<std::string> lines_;
};

}  // namespace

std::size_t panelColumns(std::size_t terminalColumns) {
  if (terminalColumns == 0) return kPanelColumns;
  return std::clamp(terminalColumns, kMinPanelColumns, kPanelColumns);
}

std::vector<std::string> attentionPanel(std::string_view actionText, std::size_t width, bool ansi) {
  Frame frame(kAttentionTitle, width, ansi);
  std::vector<std::string> lines = wrapToWidth(
      printable(cutToBytes(actionText, kMaxPanelTextBytes), LineBreaks::kKeep), frame.inner());
  if (lines.size() > kMaxLabelLines) {
    lines.resize(kMaxLabelLines);
    lines.back() = truncateToWidth(lines.back() + " …", frame.inner());
  }
  for (const std::string& line : lines) frame.row(line, 0);
  frame.row("", 0);
  const std::string button = truncateToWidth("[ OK ]  (press Enter)", frame.inner());
  frame.row(button, frame.inner() - displayWidth(button));
  return frame.close();
}

std::vector<std::string> readyPanel(std::size_t width, bool ansi) {
  Frame frame(kReadyTitle, width, ansi, "\x1b[42m");
  const std::string ready = "Ready";
  const std::size_t free = frame.inner() - std::min(frame.inner(), displayWidth(ready));
  frame.row(truncateToWidth(ready, frame.inner()), free / 2, "\x1b[1m\x1b[97m", "\x1b[22m\x1b[39m");
  frame.row("", 0);
  return frame.close();
}

std::string panelClosedLine(std::string_view title) {
  return "(closed: " + std::string(title) + ")";
}

}  // namespace vantorel::terminal
