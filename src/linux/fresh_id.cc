#include "linux/fresh_id.h"

#include <glib.h>

#include <memory>

namespace vantorel {

std::string freshId() {
  const std::unique_ptr<gchar, decltype(&g_free)> uuid(g_uuid_string_random(), &g_free);
  return uuid.get();
}

}  // namespace vantorel
