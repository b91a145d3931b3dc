#pragma once

#include <string>

namespace vantorel {

// A new identifier for a request or a success that no other call, in this process or any
// other, returns: a random (version 4) UUID, from the system's random source.
std::string freshId();

}  // namespace vantorel
