#include "platform/desktop/single_instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace zuvela {

namespace {

using Clock = std::chrono::steady_clock;

bool is_private_folder(const std::string& path, unsigned uid) {
    struct stat st {};
    return !path.empty() && path[0] == '/' && ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == uid && (st.st_mode & 077) == 0;
}

// The key as a file name: letters, digits and a few marks as they are, anything else (a path's slashes) as
// %XX; a key too long for a socket's path by a hash of it.
std::string file_name_for(const std::string& key, std::size_t room) {
    std::string name = "zuvela-";
    for (const unsigned char c : key) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == ':') {
            name += char(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            name += hex;
        }
    }
    if (name.size() <= room) return name;
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const unsigned char c : key) hash = (hash ^ c) * 1099511628211ull;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return std::string("zuvela-") + hex;
}

struct Address {
    sockaddr_un un{};
    socklen_t length = 0;
};

Address address_of(const std::string& path) {
    Address a;
    a.un.sun_family = AF_UNIX;
    std::memcpy(a.un.sun_path, path.c_str(), path.size() + 1);
    a.length = socklen_t(offsetof(sockaddr_un, sun_path) + path.size() + 1);
    return a;
}

bool peer_is(int fd, uid_t uid) {
    ucred peer{};
    socklen_t length = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == uid;
}

int milliseconds_until(Clock::time_point t) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(t - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

// A later start. The running copy may hold the lock and not listen yet, or be stopped with its queue of
// callers full: it is asked again for a while, never waited for without end.
bool ask_forward(const std::string& path) {
    const Address address = address_of(path);
    const Clock::time_point give_up_at = Clock::now() + SingleInstance::k_ask_for;
    for (;;) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) return false;
        int error =
            ::connect(fd, reinterpret_cast<const sockaddr*>(&address.un), address.length) == 0 ? 0 : errno;
        if (error == EINPROGRESS) {
            pollfd connecting{fd, POLLOUT, 0};
            socklen_t length = sizeof error;
            if (::poll(&connecting, 1, milliseconds_until(give_up_at)) != 1 ||
                ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                error = ETIMEDOUT;
        }
        if (error == 0) {
            const char request = 'R';
            const bool asked =
                peer_is(fd, ::getuid()) && ::send(fd, &request, 1, MSG_NOSIGNAL | MSG_DONTWAIT) == 1;
            ::close(fd);
            return asked;
        }
        ::close(fd);
        const bool worth_again =
            error == ECONNREFUSED || error == ENOENT || error == EAGAIN || error == EINTR;
        if (!worth_again || Clock::now() >= give_up_at) return false;
        ::poll(nullptr, 0, 10);
    }
}

}  // namespace

SingleInstance::SingleInstance(const std::string& folder, const std::string& key) {
    // Not even a hash's name would fit in a socket's path.
    if (folder.empty() || folder.size() + 32 > sizeof(sockaddr_un::sun_path)) return;
    const std::size_t room = sizeof(sockaddr_un::sun_path) - 1 - folder.size() - std::strlen("/.socket");
    const std::string base = folder + "/" + file_name_for(key, room);
    m_socket_path = base + ".socket";

    m_lock = ::open((base + ".lock").c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_lock < 0) return;
    int locked;
    while ((locked = ::flock(m_lock, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (locked == 0) {
        // The socket of a copy that crashed is in the way of ours.
        ::unlink(m_socket_path.c_str());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        const Address address = address_of(m_socket_path);
        if (fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address.un), address.length) == 0 &&
            ::listen(fd, 16) == 0) {
            m_listener = fd;
        } else if (fd >= 0) {
            ::close(fd);
        }
        return;
    }
    const int error = errno;
    ::close(m_lock);
    m_lock = -1;
    if (error != EWOULDBLOCK) return;
    m_running_copy = false;
    m_asked = ask_forward(m_socket_path);
}

SingleInstance::~SingleInstance() {
    give_up();
    if (m_listener >= 0) ::close(m_listener);
}

void SingleInstance::give_up() {
    if (m_lock < 0) return;
    // Unreachable from now on; the listener itself stays open for the event loop that still watches it.
    if (m_listener >= 0) ::unlink(m_socket_path.c_str());
    ::close(m_lock);
    m_lock = -1;
}

bool SingleInstance::take_requests() {
    bool any = false;
    for (;;) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            return any;
        }
        // Only root gets past the folder's permissions; nobody but this user brings the window forward.
        if (peer_is(fd, ::getuid())) any = true;
        ::close(fd);
    }
}

std::string SingleInstance::session_key(const char* x_display, const char* wayland_display,
                                        const char* runtime_dir) {
    if (x_display && *x_display) {
        // [protocol/]host:number[.screen]: the screen is left out, a local connection has no host, and the
        // number is read as a number.
        const std::string name = x_display;
        const auto colon = name.rfind(':');
        if (colon == std::string::npos) return "x11-" + name;
        std::string host = name.substr(0, colon);
        if (const auto slash = host.rfind('/'); slash != std::string::npos) {
            const std::string protocol = host.substr(0, slash);
            host.erase(0, slash + 1);
            if (protocol == "unix" || protocol == "local") host.clear();
        }
        for (char& c : host) c = char(std::tolower(static_cast<unsigned char>(c)));
        if (host == "unix") host.clear();
        std::size_t digits = colon + 1;
        while (digits < name.size() && std::isdigit(static_cast<unsigned char>(name[digits]))) ++digits;
        std::string number = name.substr(colon + 1, digits - colon - 1);
        const bool screen_or_end = digits == name.size() || name[digits] == '.';
        if (number.empty() || !screen_or_end) return "x11-" + name;
        number.erase(0, std::min(number.find_first_not_of('0'), number.size() - 1));
        return "x11-" + host + ":" + number;
    }
    if (wayland_display && *wayland_display) {
        // A name without a slash is a socket in the runtime folder.
        std::string path = wayland_display;
        if (path[0] != '/' && runtime_dir && *runtime_dir) path = std::string(runtime_dir) + "/" + path;
        return "wayland-" + path;
    }
    return "none";
}

std::string SingleInstance::private_folder(unsigned uid, const char* runtime_dir, const std::string& shared) {
    if (runtime_dir && is_private_folder(runtime_dir, uid)) return runtime_dir;
    const std::string per_user = "/run/user/" + std::to_string(uid);
    if (is_private_folder(per_user, uid)) return per_user;
    const std::string own = shared + "/zuvela-" + std::to_string(uid);
    ::mkdir(own.c_str(), 0700);
    return is_private_folder(own, uid) ? own : std::string();
}

}  // namespace zuvela
