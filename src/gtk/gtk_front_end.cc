#include "gtk/gtk_front_end.h"

namespace vantorel {

// The icons live in the bundle's own icon theme folder, installed or not.
GtkFrontEnd::GtkFrontEnd(const DesktopRequest& request)
    : item_(request.bundlePath + "/share/icons/hicolor/scalable/apps", request.onChoice) {}

}  // namespace vantorel
