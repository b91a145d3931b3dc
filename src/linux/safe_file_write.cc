#include "linux/safe_file_write.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "linux/atomic_file.h"
#include "linux/bounded_file.h"

namespace vantorel {
namespace {

// ": <reason>" for the errno left by the call that failed, or nothing when none was left.
std::string reason(int error) { return error != 0 ? std::string(": ") + std::strerror(error) : ""; }

}  // namespace

std::string writeFileSafely(const std::string& path, const std::string& text) {
  const std::size_t slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty() || name == "." || name == "..") return "\"" + path + "\" is not a file name";
  const std::string folder = parentFolder(path);
  errno = 0;
  if (!makeFolders(folder)) return "cannot create the folder " + folder + reason(errno);

  struct stat info {};
  if (lstat(path.c_str(), &info) == 0) {
    if (S_ISLNK(info.st_mode)) return path + " is a symbolic link; not writing through it";
    if (!S_ISREG(info.st_mode)) return path + " is not a regular file; not replacing it";
  } else if (errno != ENOENT) {
    return "cannot examine " + path + reason(errno);
  }
  // The temporary is made with O_EXCL, so a link planted at its name is never followed either;
  // the rename replaces the name itself, never what a link there points to.
  errno = 0;
  if (!replaceFileAtomically(folder, name, text)) return "cannot write " + path + reason(errno);
  return "";
}

}  // namespace vantorel
