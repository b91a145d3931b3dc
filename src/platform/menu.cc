#include "platform/menu.h"

#include "platform/application.h"
#include "platform/menu_dispatch.h"

namespace vantorel {

void dispatchMenuItem(const MenuItem& item, Application& app) {
  if (item.separator || !item.enabled) return;
  if (auto target = item.target.lock()) {
    target->performMenuAction(item.action, item);
  } else if (item.action == MenuAction::kTerminate) {
    app.terminate();
  }
}

}  // namespace vantorel
