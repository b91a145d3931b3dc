#pragma once

#include <glib-object.h>
#include <glib.h>

#include <functional>
#include <memory>
#include <utility>

namespace vantorel {

// One source attached to the default main context, owned: destroying (or resetting) the handle
// removes the source, so a callback can never outlive the object it calls into. Movable, not
// copyable. Zero means "no source".
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

  guint get() const { return id_; }
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

// A GObject owning one reference.
template <class T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

// Takes a reference the caller already owns (a "transfer full" return value).
template <class T>
GObjectPtr<T> adoptGObject(T* object) {
  return GObjectPtr<T>(object);
}

namespace glib_detail {

// The std::function behind a source: freed by GLib when the source goes, however it goes.
struct SourceCall {
  std::function<gboolean()> call;
  static gboolean run(gpointer data) { return static_cast<SourceCall*>(data)->call(); }
  static void destroy(gpointer data) { delete static_cast<SourceCall*>(data); }
};

}  // namespace glib_detail

// Calls `call` every `intervalMs` milliseconds on the default context while it returns
// G_SOURCE_CONTINUE and the handle lives.
inline SourceHandle addTimeout(guint intervalMs, std::function<gboolean()> call) {
  auto* data = new glib_detail::SourceCall{std::move(call)};
  return SourceHandle(g_timeout_add_full(G_PRIORITY_DEFAULT, intervalMs,
                                         &glib_detail::SourceCall::run, data,
                                         &glib_detail::SourceCall::destroy));
}

// Calls `call` when the default context is idle, while it returns G_SOURCE_CONTINUE and the
// handle lives.
inline SourceHandle addIdle(std::function<gboolean()> call) {
  auto* data = new glib_detail::SourceCall{std::move(call)};
  return SourceHandle(g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, &glib_detail::SourceCall::run, data,
                                      &glib_detail::SourceCall::destroy));
}

}  // namespace vantorel
