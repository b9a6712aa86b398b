#include "platform/services.h"

#include "platform/library.h"
#include "platform/text.h"

#include "host_files.h"

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <iostream>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

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

constexpr int ConnectTimeoutMilliseconds = 2000;

// Whether something accepts a connection at `address` within the timeout.
bool answers(int family, const sockaddr* address, socklen_t length) {
    FileDescriptor socket(::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!socket.isOpen())
        return false;
    if (::connect(socket.get(), address, length) == 0)
        return true;
    if (errno != EINPROGRESS)
        return false;
    pollfd waiting{.fd = socket.get(), .events = POLLOUT, .revents = 0};
    int error = 0;
    socklen_t errorLength = sizeof error;
    return ::poll(&waiting, 1, ConnectTimeoutMilliseconds) == 1 &&
           ::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, &error, &errorLength) == 0 &&
           error == 0;
}

bool localSocketAnswers(const std::string& path, bool abstract) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t offset = abstract ? 1 : 0;
    if (path.size() + offset >= sizeof address.sun_path)
        return false;
    path.copy(address.sun_path + offset, path.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset +
                                               path.size() + (abstract ? 0 : 1));
    return answers(AF_UNIX, reinterpret_cast<const sockaddr*>(&address), length);
}

// An X display "[host]:number[.screen]": the server's local socket, or TCP
// port 6000 + number on another host.
bool xDisplayAnswers(const std::string& display) {
    const auto colon = display.rfind(':');
    if (colon == std::string::npos)
        return false;
    const std::string host = display.substr(0, colon);
    const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
        return false;
    if (host.empty() || host == "unix") {
        const std::string socket = "/tmp/.X11-unix/X" + number;
        return localSocketAnswers(socket, true) || localSocketAnswers(socket, false);
    }
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(6000 + std::stoi(number));
    if (::getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0)
        return false;
    bool reached = false;
    for (const addrinfo* at = found; at && !reached; at = at->ai_next)
        reached = answers(at->ai_family, at->ai_addr, at->ai_addrlen);
    ::freeaddrinfo(found);
    return reached;
}

bool waylandDisplayAnswers(const std::string& display) {
    if (display.starts_with('/'))
        return localSocketAnswers(display, false);
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime && *runtime && localSocketAnswers(std::string(runtime) + "/" + display, false);
}

// A display that is set but does not answer (a boot script, cron, an expired
// forwarding) would make the toolkit end the program before the message is
// shown; such a session has no desktop.
bool displayAnswers() {
    if (isSet("WAYLAND_DISPLAY") && waylandDisplayAnswers(std::getenv("WAYLAND_DISPLAY")))
        return true;
    return isSet("DISPLAY") && xDisplayAnswers(std::getenv("DISPLAY"));
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
            m_face =
                hasDisplay() && displayAnswers() ? loadDesktopServices() : makeHeadlessServices();
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
