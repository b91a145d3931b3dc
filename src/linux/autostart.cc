#include "linux/autostart.h"

#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include "core/autostart_entry.h"
#include "linux/file_read.h"
#include "linux/file_write.h"

namespace vantorel {

std::string autostartEntryPath() {
  return joinedPath(xdgConfigHome(), "autostart/vantorel.desktop");
}

namespace {

struct KeyFileFree {
  void operator()(GKeyFile* file) const { g_key_file_free(file); }
};
struct StringsFree {
  void operator()(gchar** strings) const { g_strfreev(strings); }
};
using OwnedText = std::unique_ptr<char, void (*)(void*)>;

OwnedText keyString(GKeyFile* file, const char* key) {
  return {g_key_file_get_string(file, G_KEY_FILE_DESKTOP_GROUP, key, nullptr), &g_free};
}

// True when the program that `command` (an Exec or TryExec value) names first is there to run.
bool programThere(const char* command) {
  gchar** argv = nullptr;
  if (!g_shell_parse_argv(command, nullptr, &argv, nullptr)) return false;
  const std::unique_ptr<gchar*, StringsFree> owned(argv);
  return OwnedText(g_find_program_in_path(argv[0]), &g_free) != nullptr;
}

}  // namespace

Status enableAutostart() {
  std::string executable;
  if (Status found = executablePath(executable); !found.ok()) return found;
  return enableAutostart(executable);
}

Status enableAutostart(const std::string& executable) {
  const auto entry = autostartEntry(executable);
  if (!entry) return Status::failed("no desktop entry can start the program at " + executable);
  std::string path = autostartEntryPath();
  // An entry kept elsewhere (in a repository of dotfiles) and linked here is written in its own
  // folder, and stays linked.
  struct stat info {};
  if (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
    const OwnedText target(realpath(path.c_str(), nullptr), &std::free);
    if (!target) return Status::failedWithErrno("cannot follow the link " + path);
    path = target.get();
  }
  return writeFileSafely(path, *entry);
}

Status disableAutostart() {
  const std::string path = autostartEntryPath();
  // unlink removes a symbolic link itself, never what it points to.
  if (unlink(path.c_str()) != 0 && errno != ENOENT) {
    return Status::failedWithErrno("cannot remove " + path);
  }
  return Status::done();
}

bool autostartEnabled() {
  const auto text = readRegularFile(autostartEntryPath(), kMaxSmallFile);
  const std::unique_ptr<GKeyFile, KeyFileFree> file(g_key_file_new());
  if (!text || !g_key_file_load_from_data(file.get(), text->data(), text->size(), G_KEY_FILE_NONE,
                                          nullptr)) {
    return false;
  }
  const OwnedText type = keyString(file.get(), G_KEY_FILE_DESKTOP_KEY_TYPE);
  const OwnedText tryExec = keyString(file.get(), G_KEY_FILE_DESKTOP_KEY_TRY_EXEC);
  const OwnedText exec = keyString(file.get(), G_KEY_FILE_DESKTOP_KEY_EXEC);
  const auto isTrue = [&](const char* key) {
    return g_key_file_get_boolean(file.get(), G_KEY_FILE_DESKTOP_GROUP, key, nullptr) != FALSE;
  };
  const bool disabled = g_key_file_has_key(file.get(), G_KEY_FILE_DESKTOP_GROUP,
                                           "X-GNOME-Autostart-enabled", nullptr) &&
                        !isTrue("X-GNOME-Autostart-enabled");
  return type && std::strcmp(type.get(), G_KEY_FILE_DESKTOP_TYPE_APPLICATION) == 0 &&
         (!tryExec || programThere(tryExec.get())) && exec && programThere(exec.get()) &&
         !isTrue(G_KEY_FILE_DESKTOP_KEY_HIDDEN) && !disabled;
}

}  // namespace vantorel
