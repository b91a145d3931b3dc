#include "platform/linux/front_end.h"

namespace vantorel {

std::unique_ptr<FrontEnd> makeTerminalFrontEnd(Application&) { return nullptr; }

}  // namespace vantorel
