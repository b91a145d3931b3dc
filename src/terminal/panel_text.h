#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::terminal {

// The two panels as framed blocks of text lines, each line exactly `width` columns wide (but at
// least kMinPanelColumns).

// The width of a panel on a terminal `terminalColumns` wide (0: unknown): 48 columns, the size of
// the desktop's 440-point panels, narrowed to the terminal so the frame never wraps, but never
// below kMinPanelColumns.
inline constexpr std::size_t kPanelColumns = 48;
inline constexpr std::size_t kMinPanelColumns = 8;
std::size_t panelColumns(std::size_t terminalColumns);

inline constexpr std::string_view kAttentionTitle = "Board action needed";
inline constexpr std::string_view kReadyTitle = "Board ready";

// "Board action needed" in the top edge, the action text (cut to kMaxPanelTextBytes, made
// printable, wrapped to the frame with its line breaks, at most 12 lines), then "[ OK ]  (press
// Enter)" on the right. Nothing in the text can reach the terminal as a control.
std::vector<std::string> attentionPanel(std::string_view actionText, std::size_t width, bool ansi);

// "Board ready" in the top edge and "Ready" centred; with `ansi`, on a green background with the
// word bold and white, every line ending with all attributes reset.
std::vector<std::string> readyPanel(std::size_t width, bool ansi);

// The one line that tells a log the panel titled `title` went away.
std::string panelClosedLine(std::string_view title);

}  // namespace vantorel::terminal
