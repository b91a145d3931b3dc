#pragma once

#include <glib-object.h>
#include <glib.h>

#include <functional>
#include <memory>
#include <utility>

namespace vantorel {

// The GLib handles every GLib backend (Linux, terminal, GTK) holds its sources and objects in, so
// that a callback can never outlive the object it calls into and no reference leaks.

// One source attached to the default main context, owned: destroying (or resetting) the handle
// removes the source. Movable, not copyable. Zero means "no source".
class SourceHandle {
 public:
  SourceHandle() = default;
  explicit SourceHandle(guint id) : id_(id) {}
  ~SourceHandle() { reset(); }

  SourceHandle(SourceHandle&& other) noexcept : id_(other.release()) {}
  SourceHandle& operator=(SourceHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  SourceHandle(const SourceHandle&) = delete;
  SourceHandle& operator=(const SourceHandle&) = delete;

  // Removes the owned source (if any) and takes `id` instead.
  void reset(guint id = 0) {
    const guint old = std::exchange(id_, id);
    if (old != 0) g_source_remove(old);
  }
  // Gives the source up without removing it: for a callback that is about to return
  // G_SOURCE_REMOVE, after which GLib removes the source itself.
  guint release() { return std::exchange(id_, 0); }

  explicit operator bool() const { return id_ != 0; }

 private:
  guint id_ = 0;
};

// Drops one reference to a GObject.
struct GObjectUnref {
  void operator()(gpointer object) const {
    if (object != nullptr) g_object_unref(object);
  }
};

// A GObject owning one reference; made from a reference the caller owns ("transfer full").
template <class T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

// Each of these calls `call` on the default context while it returns G_SOURCE_CONTINUE and the
// handle lives; GLib frees `call` with the source, however the source goes.

// Every `intervalMs` milliseconds.
SourceHandle addTimeout(guint intervalMs, std::function<gboolean()> call);
// When the context is idle.
SourceHandle addIdle(std::function<gboolean()> call);
// Whenever `fd` meets `condition` (or has failed or hung up). `call` must not drop the handle.
SourceHandle watchFd(int fd, GIOCondition condition, std::function<gboolean()> call);
// Each time the Unix signal `signal` arrives.
SourceHandle watchSignal(int signal, std::function<gboolean()> call);

}  // namespace vantorel
