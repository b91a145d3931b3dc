#include "cli/quit.h"

#include <signal.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "cli/commands.h"
#include "linux/single_instance.h"

namespace vantorel {

int quitRunningInstance(std::ostream& err) {
  const std::optional<long> pid = runningInstancePid();
  if (!pid) {
    err << "vantorel: no Vantorel is running\n";
    return kExitNotMet;
  }
  if (kill(static_cast<pid_t>(*pid), SIGTERM) != 0) {
    err << "vantorel: cannot end the running Vantorel (process " << *pid
        << "): " << std::strerror(errno) << "\n";
    return kExitUsageOrIo;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (runningInstancePid() == pid) {
    if (std::chrono::steady_clock::now() > deadline) {
      err << "vantorel: the running Vantorel (process " << *pid << ") did not end within 10 s\n";
      return kExitNotMet;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return kExitDone;
}

}  // namespace vantorel
