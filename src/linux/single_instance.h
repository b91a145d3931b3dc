#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "glib/system_edge.h"

namespace vantorel {

// One running Vantorel per user: the running program holds an exclusive lock on a file in the
// user's runtime folder, with its process id written in it. The kernel drops the lock when the
// process ends, however it ends (SIGKILL included), so a dead copy never blocks the next start.
// The folder is $XDG_RUNTIME_DIR/vantorel, or /tmp/vantorel-<uid> when XDG_RUNTIME_DIR is unset
// or relative; either is created private (0700) and refused unless it is the user's own, private
// folder.

// The lock file's path in that folder.
std::string instanceLockPath();

// The lock, held until this object goes.
class InstanceLock {
 public:
  explicit InstanceLock(UniqueFd fd) : fd_(std::move(fd)) {}

 private:
  UniqueFd fd_;
};

// What claiming the lock found: the lock itself (this process is now the one), or the process id
// of the Vantorel holding it, or neither with `error` saying why the lock could not be used.
struct InstanceClaim {
  std::unique_ptr<InstanceLock> lock;
  std::optional<long> runningPid;
  std::string error;
};
InstanceClaim claimInstance(const std::string& path = instanceLockPath());

// The process id of the Vantorel holding the lock at `path`; nothing when none does.
std::optional<long> runningInstancePid(const std::string& path = instanceLockPath());

}  // namespace vantorel
