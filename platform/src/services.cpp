// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/services.h"

#include "platform/library.h"
#include "platform/text.h"

#include "platform/host_files.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
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

// The whole check of a display, name look-up and connections together, takes
// at most this long.
constexpr std::chrono::milliseconds DisplayCheckTime{2000};
using Deadline = std::chrono::steady_clock::time_point;

int millisecondsLeft(Deadline deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

// Whether something accepts a connection at `address` before the deadline.
bool answers(int family, const sockaddr* address, socklen_t length, Deadline deadline) {
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
    return ::poll(&waiting, 1, millisecondsLeft(deadline)) == 1 &&
           ::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, &error, &errorLength) == 0 &&
           error == 0;
}

bool localSocketAnswers(const std::string& path, bool abstract, Deadline deadline) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t offset = abstract ? 1 : 0;
    if (path.size() + offset >= sizeof address.sun_path)
        return false;
    path.copy(address.sun_path + offset, path.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset +
                                               path.size() + (abstract ? 0 : 1));
    return answers(AF_UNIX, reinterpret_cast<const sockaddr*>(&address), length, deadline);
}

// The addresses of `host` at `port`, looked up in the background so that a
// name server that does not answer cannot hold the run past the deadline. A
// look-up still running then is left to itself.
addrinfo* lookUp(const std::string& host, const std::string& port, Deadline deadline) {
    struct Request {
        std::string host;
        std::string port;
        addrinfo hints{};
        gaicb block{};
    };
    auto* request = new Request{host, port, {}, {}};
    request->hints.ai_socktype = SOCK_STREAM;
    request->block.ar_name = request->host.c_str();
    request->block.ar_service = request->port.c_str();
    request->block.ar_request = &request->hints;
    gaicb* list[] = {&request->block};
    if (::getaddrinfo_a(GAI_NOWAIT, list, 1, nullptr) != 0) {
        delete request;
        return nullptr;
    }
    const int left = millisecondsLeft(deadline);
    const timespec wait{.tv_sec = left / 1000, .tv_nsec = (left % 1000) * 1000000L};
    const gaicb* const waiting[] = {&request->block};
    ::gai_suspend(waiting, 1, &wait);
    if (::gai_error(&request->block) == EAI_INPROGRESS &&
        ::gai_cancel(&request->block) != EAI_CANCELED)
        return nullptr; // still in use by the look-up: not freed
    addrinfo* found = ::gai_error(&request->block) == 0 ? request->block.ar_result : nullptr;
    delete request;
    return found;
}

// An X display "[host]:number[.screen]": the server's local socket, or TCP
// port 6000 + number on another host.
bool xDisplayAnswers(const std::string& display, Deadline deadline) {
    const auto colon = display.rfind(':');
    if (colon == std::string::npos)
        return false;
    const std::string host = display.substr(0, colon);
    const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
    unsigned displayNumber = 0;
    const auto [end, error] =
        std::from_chars(number.data(), number.data() + number.size(), displayNumber);
    constexpr unsigned lastDisplay = 65535 - 6000;
    if (number.empty() || error != std::errc{} || end != number.data() + number.size() ||
        displayNumber > lastDisplay)
        return false;
    if (host.empty() || host == "unix") {
        const std::string socket = "/tmp/.X11-unix/X" + number;
        return localSocketAnswers(socket, true, deadline) ||
               localSocketAnswers(socket, false, deadline);
    }
    addrinfo* found = lookUp(host, std::to_string(6000 + displayNumber), deadline);
    bool reached = false;
    for (const addrinfo* at = found; at && !reached; at = at->ai_next)
        reached = answers(at->ai_family, at->ai_addr, at->ai_addrlen, deadline);
    if (found)
        ::freeaddrinfo(found);
    return reached;
}

bool waylandDisplayAnswers(const std::string& display, Deadline deadline) {
    if (display.starts_with('/'))
        return localSocketAnswers(display, false, deadline);
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime && *runtime &&
           localSocketAnswers(std::string(runtime) + "/" + display, false, deadline);
}

// The desktop face, from its library; the headless face when that cannot be
// loaded, so that a report is never lost.
std::unique_ptr<Services> loadDesktopServices() {
    std::string error;
    // Kept loaded to the end of the program: its application object lives
    // there.
    static LoadedLibrary* face =
        new LoadedLibrary(LoadedLibrary::openByName("libkor_platform_desktop.so", error));
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
    FolderOpening openFolder(std::string_view windowsPath) override {
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
            m_face = windowsCanOpen({}) ? loadDesktopServices() : makeHeadlessServices();
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

bool windowsCanOpen(std::string_view qtPlatforms) {
    const Deadline deadline = std::chrono::steady_clock::now() + DisplayCheckTime;
    // A name may carry options after a colon: "xcb:nomitshm".
    const auto opens = [deadline](std::string_view name) {
        if (name.starts_with("wayland"))
            return isSet("WAYLAND_DISPLAY") &&
                   waylandDisplayAnswers(std::getenv("WAYLAND_DISPLAY"), deadline);
        if (name.starts_with("xcb"))
            return isSet("DISPLAY") && xDisplayAnswers(std::getenv("DISPLAY"), deadline);
        return !name.empty();
    };
    std::string_view rest = qtPlatforms.empty() ? "wayland;xcb" : qtPlatforms;
    for (std::size_t end = rest.find(';'); end != std::string_view::npos; end = rest.find(';')) {
        if (opens(rest.substr(0, end)))
            return true;
        rest.remove_prefix(end + 1);
    }
    return opens(rest);
}

std::unique_ptr<Services> makeServicesForThisSession() {
    return std::make_unique<SessionServices>();
}

} // namespace kor::platform
