#pragma once

#include <gtk/gtk.h>

namespace vantorel {

// Panels on a Wayland compositor's overlay layer (the wlr layer-shell protocol): above every
// window, centred on the output's usable area, with the keyboard when asked. A client can do none
// of this for an ordinary Wayland window.

// The version of the layer-shell protocol the Wayland compositor named by WAYLAND_DISPLAY offers;
// 0 when it offers none or cannot be reached. Asked on a connection of its own, before GTK opens
// its display. From version 4 a surface can take the keyboard on demand, which a panel that must
// let the person go back to their work needs.
unsigned layerShellVersion();
inline constexpr unsigned kOverlayLayerShellVersion = 4;

// Puts `window` (not yet realized) on the overlay layer, taking the keyboard on demand (it gets
// the focus when it appears) when `takesKeys`, or never.
void placeOnOverlay(GtkWindow* window, bool takesKeys);

}  // namespace vantorel
