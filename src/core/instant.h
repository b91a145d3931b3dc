#pragma once

#include <chrono>

namespace vantorel {

// Points on the monotonic clock. Intervals (the tint, the re-prompt, the ready panel's life)
// are measured on it, so a wall clock stepped back or forth never stretches or skips them.
using Instant = std::chrono::steady_clock::time_point;
using Duration = std::chrono::steady_clock::duration;

}  // namespace vantorel
