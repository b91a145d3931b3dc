#pragma once

#include <functional>

namespace vantorel {

// The program's command line: the commands a flashing script or a person runs (the hand-shake's,
// status and wait, the bench's serial and rules, autostart), each with its own --help, and
// --version. Without a command it calls `runProgram` with whether --terminal and --verbose were
// given, and returns its exit status. Usage errors exit with status 2.
int runCommandLine(int argc, char** argv,
                   const std::function<int(bool forceTerminal, bool verbose)>& runProgram);

}  // namespace vantorel
