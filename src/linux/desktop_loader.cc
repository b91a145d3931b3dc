#include "linux/desktop_loader.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "core/visible_text.h"
#include "ports/desktop_module.h"

namespace vantorel {
namespace {

bool isSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// The module's front end, or nullptr with the reason in `whyNot`.
FrontEnd* makeFromModule(const std::string& bundlePath, std::function<void(Choice)> onChoice,
                         std::string& whyNot) {
  const std::string path = bundlePath + "/" + VANTOREL_DESKTOP_MODULE;
  // Never closed: the front end's code lives in it until the process ends.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    whyNot = dlerror();
    return nullptr;
  }
  const auto entry = reinterpret_cast<DesktopEntryPoint>(dlsym(module, kDesktopEntryPointName));
  if (entry == nullptr) {
    whyNot = dlerror();
    return nullptr;
  }
  return entry(DesktopRequest{bundlePath, std::move(onChoice)}, whyNot);
}

}  // namespace

std::unique_ptr<FrontEnd> loadDesktopFrontEnd(const std::string& bundlePath,
                                              std::function<void(Choice)> onChoice) {
  // Without a display the module is not even loaded: the terminal program never maps GTK.
  if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY")) return nullptr;
  std::string whyNot;
  std::unique_ptr<FrontEnd> frontEnd(makeFromModule(bundlePath, std::move(onChoice), whyNot));
  if (!frontEnd) {
    std::fprintf(stderr, "vantorel: no desktop (%s); running in the terminal\n",
                 visibleText(whyNot).c_str());
  }
  return frontEnd;
}

}  // namespace vantorel
