#include "platform/desktop/single_instance.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>

namespace zuvela {

namespace {

// An abstract address (a leading NUL): no file on disk, gone when its socket closes.
struct Address {
    sockaddr_un un{};
    socklen_t length = 0;
};

Address abstract_address(const std::string& key) {
    Address a;
    a.un.sun_family = AF_UNIX;
    const std::string name = "zuvela/" + key;
    const std::size_t n = std::min(name.size(), sizeof a.un.sun_path - 1);
    std::memcpy(a.un.sun_path + 1, name.data(), n);
    a.length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + n);
    return a;
}

// A later start: the running copy may have bound the name and not yet listen; it is asked again for a
// moment, and the start ends either way.
void ask_forward(const Address& address) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return;
        const bool connected =
            ::connect(fd, reinterpret_cast<const sockaddr*>(&address.un), address.length) == 0;
        if (connected) {
            const char request = 'R';
            (void)::send(fd, &request, 1, MSG_NOSIGNAL);
        }
        ::close(fd);
        if (connected || errno != ECONNREFUSED) return;
        ::poll(nullptr, 0, 10);
    }
}

}  // namespace

SingleInstance::SingleInstance(const std::string& key) {
    const Address address = abstract_address(key);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address.un), address.length) == 0) {
        if (::listen(fd, 16) == 0) {
            m_listener = fd;
            return;
        }
        ::close(fd);
        return;
    }
    const int error = errno;
    ::close(fd);
    if (error != EADDRINUSE) return;
    m_running_copy = false;
    ask_forward(address);
}

SingleInstance::~SingleInstance() {
    if (m_listener >= 0) ::close(m_listener);
}

bool SingleInstance::take_requests() {
    bool any = false;
    for (;;) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            return any;
        }
        ::close(fd);
        any = true;
    }
}

std::string SingleInstance::session_key(unsigned uid, const char* x_display, const char* wayland_display) {
    std::string display;
    if (x_display && *x_display) {
        display = x_display;
        // ":0" and ":0.0" are one display: only the screen differs.
        const auto colon = display.rfind(':');
        const auto dot = display.find('.', colon == std::string::npos ? 0 : colon);
        if (colon != std::string::npos && dot != std::string::npos) display.erase(dot);
    } else if (wayland_display && *wayland_display) {
        display = std::string("wayland-") + wayland_display;
    }
    return std::to_string(uid) + "/" + display;
}

}  // namespace zuvela
