#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/panel.h"

namespace vantorel::terminal {

// How a panel is drawn as text.
struct PanelStyle {
  std::size_t width = 48;  // columns, frame included
  bool ansi = false;       // colours and bold through ANSI escape sequences
};

// Columns a panel of `layout`'s size takes, at about nine points a column, kept within
// [kMinPanelColumns, maxColumns] (the terminal's width) so the frame never wraps.
inline constexpr std::size_t kMinPanelColumns = 24;
std::size_t panelColumns(const PanelSpec& layout, std::size_t maxColumns);

// The panel as a framed block of lines: the title in the top edge, the labels from top to bottom
// (each wrapped to the frame, line breaks kept, centred when asked), then the button as
// "[ OK ]  (press Enter)" on the right. Every text is made printable first, so nothing in a title
// or label can reach the terminal as a control. With `ansi`, a green panel gets a green
// background, white text white and bold text bold; each line ends with every attribute reset.
std::vector<std::string> drawPanel(const PanelSpec& layout, const PanelStyle& style);

// The one line that tells a log a panel went away.
std::string panelClosedLine(const PanelSpec& layout);

}  // namespace vantorel::terminal
