#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace vantorel {

// The board state the user wants attached. Its raw value is both the display text and the
// persisted form.
enum class Desired { c6Boot, c6Normal, rpBoot, rpNormal };

inline constexpr std::array<Desired, 4> kAllDesired = {Desired::c6Boot, Desired::c6Normal,
                                                       Desired::rpBoot, Desired::rpNormal};

std::string_view rawValue(Desired desired);

// The case whose raw value equals `raw` exactly (case-sensitive, whole string), or nothing.
std::optional<Desired> desiredFromRawValue(std::string_view raw);

}  // namespace vantorel
