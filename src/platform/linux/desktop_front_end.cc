#include "platform/linux/front_end.h"

namespace vantorel {

std::unique_ptr<FrontEnd> makeDesktopFrontEnd(Application&) { return nullptr; }

}  // namespace vantorel
