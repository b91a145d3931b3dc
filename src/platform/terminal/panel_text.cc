#include "platform/terminal/panel_text.h"

#include <algorithm>

#include "platform/terminal/text.h"

namespace vantorel::terminal {
namespace {

constexpr double kPointsPerColumn = 9.0;
// A label shows at most this many lines, the last one ending in "…" when the text goes on, so
// that a panel always fits on a screen and can be erased from it.
constexpr std::size_t kMaxLabelLines = 12;
constexpr const char* kReset = "\x1b[0m";
constexpr const char* kGreenBackground = "\x1b[42m";

std::string repeat(std::string_view piece, std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) out.append(piece);
  return out;
}

struct Frame {
  const PanelStyle& style;
  std::string background;  // SGR that starts every line, empty for none
  std::vector<std::string> lines;

  std::size_t inner() const { return style.width - 4; }

  void edge(const std::string& content) {
    lines.push_back(style.ansi ? background + content + kReset : content);
  }

  // One row inside the frame; `text` is printable and fits in inner() columns.
  void row(const std::string& text, std::size_t pad, const std::string& on = {},
           const std::string& off = {}) {
    std::string content = "│ " + std::string(pad, ' ');
    content += style.ansi ? on + text + off : text;
    content += std::string(inner() - pad - displayWidth(text), ' ') + " │";
    edge(content);
  }
};

}  // namespace

std::size_t panelColumns(const PanelSpec& layout, std::size_t maxColumns) {
  const auto wanted = static_cast<std::size_t>(std::max(0.0, layout.width / kPointsPerColumn));
  return std::max(kMinPanelColumns, std::min(wanted, maxColumns));
}

std::vector<std::string> drawPanel(const PanelSpec& layout, const PanelStyle& requested) {
  PanelStyle style = requested;
  style.width = std::max(style.width, kMinPanelColumns);
  Frame frame{style, layout.background == PanelColor::kSystemGreen ? kGreenBackground : "", {}};

  const std::string title = truncateToWidth(printable(layout.title), frame.inner() - 2);
  if (title.empty()) {
    frame.edge("┌" + repeat("─", style.width - 2) + "┐");
  } else {
    frame.edge("┌─ " + title + " " + repeat("─", style.width - 5 - displayWidth(title)) + "┐");
  }
  frame.row("", 0);

  // Labels read from the top: the frames' origin is the bottom-left corner.
  std::vector<const LabelSpec*> labels;
  for (const LabelSpec& label : layout.labels) labels.push_back(&label);
  std::stable_sort(labels.begin(), labels.end(), [](const LabelSpec* a, const LabelSpec* b) {
    return a->frame.y + a->frame.height > b->frame.y + b->frame.height;
  });
  for (const LabelSpec* label : labels) {
    std::string on, off;
    if (label->bold) on += "\x1b[1m", off += "\x1b[22m";
    if (label->textColor == PanelColor::kWhite) on += "\x1b[97m", off += "\x1b[39m";
    if (label->textColor == PanelColor::kSystemGreen) on += "\x1b[32m", off += "\x1b[39m";
    std::vector<std::string> lines =
        wrapToWidth(printable(label->text, LineBreaks::kKeep), frame.inner());
    if (lines.size() > kMaxLabelLines) {
      lines.resize(kMaxLabelLines);
      lines.back() = truncateToWidth(lines.back() + " …", frame.inner());
    }
    for (const std::string& line : lines) {
      const std::size_t free = frame.inner() - displayWidth(line);
      frame.row(line, label->alignment == TextAlignment::kCenter ? free / 2 : 0, on, off);
    }
  }

  frame.row("", 0);
  if (layout.button) {
    const std::string button = truncateToWidth(
        "[ " + printable(layout.button->title) + " ]  (press Enter)", frame.inner());
    frame.row(button, frame.inner() - displayWidth(button));
  }
  frame.edge("└" + repeat("─", style.width - 2) + "┘");
  return frame.lines;
}

std::string panelClosedLine(const PanelSpec& layout) {
  return "(closed: " + printable(layout.title) + ")";
}

}  // namespace vantorel::terminal
