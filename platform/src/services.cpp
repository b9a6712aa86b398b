#include "platform/services.h"

#include <cstdlib>

namespace kor::platform {
namespace {

std::unique_ptr<Services>& servicesOfThisProcess() {
    static std::unique_ptr<Services> installed;
    return installed;
}

bool isSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

} // namespace

Services& services() {
    std::unique_ptr<Services>& installed = servicesOfThisProcess();
    if (!installed)
        installed = makeHeadlessServices();
    return *installed;
}

std::unique_ptr<Services> setServices(std::unique_ptr<Services> replacement) {
    std::unique_ptr<Services>& installed = servicesOfThisProcess();
    std::swap(installed, replacement);
    return replacement;
}

void endProgram(int exitStatus) {
    services().endProgram(exitStatus);
    std::_Exit(exitStatus);
}

bool hasDisplay() {
    return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY");
}

} // namespace kor::platform
