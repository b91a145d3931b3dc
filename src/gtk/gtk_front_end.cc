#include "gtk/gtk_front_end.h"

namespace vantorel {

// The icons live in the bundle's own icon theme folder, installed or not. Every window carries the
// program's icon, which the item has put on the icon theme's search path.
GtkFrontEnd::GtkFrontEnd(const DesktopRequest& request)
    : item_(request.bundlePath + "/share/icons", request.onChoice) {
  gtk_window_set_default_icon_name(IndicatorItem::kProgramIcon);
}

}  // namespace vantorel
