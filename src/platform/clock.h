#pragma once

#include <chrono>

namespace vantorel {

// Wall-clock dates as seconds in double precision, so that intervals compare as plain numbers
// and the distant past stays far from overflow in any arithmetic.
using Seconds = std::chrono::duration<double>;
using Date = std::chrono::time_point<std::chrono::system_clock, Seconds>;

// A fixed date far before any real clock reading (1 January of year 1).
inline constexpr Date kDistantPast{Seconds{-62135596800.0}};

// The wall clock. Abstract so tests can step time by hand; the real one is SystemClock.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual Date now() const = 0;
};

class SystemClock final : public Clock {
 public:
  Date now() const override {
    return std::chrono::time_point_cast<Seconds>(std::chrono::system_clock::now());
  }
};

}  // namespace vantorel
