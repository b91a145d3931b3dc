#pragma once

#include <ostream>

namespace vantorel {

// `vantorel quit`: asks the running Vantorel to end (SIGTERM, which it answers as its menu's
// Quit) and waits, up to 10 s, until it has gone. 0 once it has gone; 1 with a line on `err`
// when none runs or it did not end in time; 2 when it could not be signalled.
int quitRunningInstance(std::ostream& err);

}  // namespace vantorel
