#include "gtk/overlay.h"

#include <gtk-layer-shell/gtk-layer-shell.h>
#include <wayland-client.h>

#include <cstring>

namespace vantorel {

unsigned layerShellVersion() {
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) return 0;
  unsigned version = 0;
  static const wl_registry_listener listener = {
      [](void* data, wl_registry*, uint32_t, const char* interface, uint32_t offered) {
        if (std::strcmp(interface, "zwlr_layer_shell_v1") == 0) {
          *static_cast<unsigned*>(data) = offered;
        }
      },
      [](void*, wl_registry*, uint32_t) {},
  };
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &listener, &version);
  if (wl_display_roundtrip(display) < 0) version = 0;
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  return version;
}

void placeOnOverlay(GtkWindow* window, bool takesKeys) {
  gtk_layer_init_for_window(window);
  gtk_layer_set_namespace(window, "vantorel");
  gtk_layer_set_layer(window, GTK_LAYER_SHELL_LAYER_OVERLAY);
  gtk_layer_set_keyboard_mode(window, takesKeys ? GTK_LAYER_SHELL_KEYBOARD_MODE_ON_DEMAND
                                                : GTK_LAYER_SHELL_KEYBOARD_MODE_NONE);
}

}  // namespace vantorel
