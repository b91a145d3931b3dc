#pragma once

#include <functional>
#include <memory>

#include "core/status_view.h"
#include "ports/front_end.h"

namespace vantorel {

// The front end on standard input and output: the status title as a line (rewritten in place on
// a terminal, green while tinted, redrawn at once when the terminal is resized), the menu as keys
// (1-4 pick the wanted states, q quits, Enter presses OK, any other key shows the menu), panels
// as framed text. Restores the terminal when destroyed.
std::unique_ptr<FrontEnd> makeTerminalFrontEnd(std::function<void(Choice)> onChoice);

}  // namespace vantorel
