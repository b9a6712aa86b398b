#include "platform/services.h"

#include "platform/library.h"
#include "platform/text.h"

#include <cstdlib>
#include <iostream>

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

// The desktop face, from its library; the headless face when that cannot be
// loaded, so that a report is never lost.
std::unique_ptr<Services> loadDesktopServices() {
    std::string error;
    // Kept loaded to the end of the program: its application object lives
    // there.
    static LoadedLibrary* face = new LoadedLibrary(LoadedLibrary::openBesideProgram(
        "libkor_platform_desktop.so", KOR_DESKTOP_FACE_BUILT, error));
    using Factory = Services* (*)();
    if (const auto make = reinterpret_cast<Factory>(face->symbol("korMakeDesktopServices")))
        return std::unique_ptr<Services>(make());
    std::cerr << "cannot load the desktop message services: " << escapeControlCharacters(error)
              << '\n';
    return makeHeadlessServices();
}

class SessionServices final : public Services {
  public:
    void showMessage(std::string_view caption, std::string_view text) override {
        face().showMessage(caption, text);
    }
    Answer ask(std::string_view text) override { return face().ask(text); }
    void beep() override { face().beep(); }
    bool openFolder(std::string_view windowsPath) override {
        return face().openFolder(windowsPath);
    }
    [[noreturn]] void endProgram(int exitStatus) override {
        if (m_face)
            m_face->endProgram(exitStatus);
        std::exit(exitStatus);
    }

  private:
    Services& face() {
        if (!m_face)
            m_face = hasDisplay() ? loadDesktopServices() : makeHeadlessServices();
        return *m_face;
    }

    std::unique_ptr<Services> m_face;
};

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

std::unique_ptr<Services> makeServicesForThisSession() {
    return std::make_unique<SessionServices>();
}

} // namespace kor::platform
