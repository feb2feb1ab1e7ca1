#include "platform/sdl/sdl_wakeups.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace zuvela {

namespace {

constexpr int k_end_request = 1;
constexpr int k_fd_ready = 2;

sigset_t end_signals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

}  // namespace

void SdlWakeups::block_end_signals() {
    const sigset_t set = end_signals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

SdlWakeups::SdlWakeups() {
    m_event_type = SDL_RegisterEvents(1);
    const sigset_t set = end_signals();
    m_signal_fd = signalfd(-1, &set, SFD_CLOEXEC);
    if (pipe2(m_stop_pipe, O_CLOEXEC) != 0) m_stop_pipe[0] = m_stop_pipe[1] = -1;
}

SdlWakeups::~SdlWakeups() {
    if (m_thread.joinable()) {
        {
            std::lock_guard lock(m_mutex);
            m_pending = false;
        }
        m_served.notify_all();
        // The thread was started only with the pipe open, and one byte always fits in an empty pipe: it is
        // told to stop and joined, never left running with a pointer to this object.
        const char stop = 1;
        while (write(m_stop_pipe[1], &stop, 1) < 0 && errno == EINTR) {
        }
        m_thread.join();
    }
    for (int fd : {m_signal_fd, m_stop_pipe[0], m_stop_pipe[1]}) {
        if (fd >= 0) close(fd);
    }
}

void SdlWakeups::watch_fd(int fd, std::function<void()> on_ready) {
    if (!m_thread.joinable()) m_watched.emplace_back(fd, std::move(on_ready));
}

void SdlWakeups::start() {
    if (m_thread.joinable() || m_event_type == Uint32(-1) || m_stop_pipe[0] < 0) return;
    m_thread = std::thread([this] { run(); });
}

void SdlWakeups::run() {
    for (;;) {
        std::vector<pollfd> fds{{m_stop_pipe[0], POLLIN, 0}, {m_signal_fd, POLLIN, 0}};
        for (const auto& [fd, _] : m_watched) fds.push_back({fd, POLLIN, 0});
        if (poll(fds.data(), fds.size(), -1) < 0) continue;
        if (fds[0].revents) return;
        if (fds[1].revents & POLLIN) {
            signalfd_siginfo info{};
            if (read(m_signal_fd, &info, sizeof info) == sizeof info) {
                int none = 0;
                m_end_signal.compare_exchange_strong(none, int(info.ssi_signo));
                SDL_Event e{};
                e.type = m_event_type;
                e.user.code = k_end_request;
                e.user.data1 = reinterpret_cast<void*>(std::intptr_t(info.ssi_signo));
                SDL_PushEvent(&e);
            }
        }
        for (std::size_t i = 2; i < fds.size(); ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            std::unique_lock lock(m_mutex);
            m_pending = true;
            SDL_Event e{};
            e.type = m_event_type;
            e.user.code = k_fd_ready;
            e.user.data1 = reinterpret_cast<void*>(std::intptr_t(i - 2));
            SDL_PushEvent(&e);
            // Poll again only once the event thread has read what was there.
            m_served.wait(lock, [this] { return !m_pending; });
            if (fds[i].revents & (POLLHUP | POLLERR)) return;
        }
    }
}

bool SdlWakeups::take(const SDL_Event& e, std::optional<InputEvent>& out) {
    if (e.type != m_event_type) return false;
    const auto value = int(reinterpret_cast<std::intptr_t>(e.user.data1));
    if (e.user.code == k_end_request) {
        out = EndRequest{value};
    } else if (e.user.code == k_fd_ready && std::size_t(value) < m_watched.size()) {
        m_watched[std::size_t(value)].second();
        {
            std::lock_guard lock(m_mutex);
            m_pending = false;
        }
        m_served.notify_all();
    }
    return true;
}

}  // namespace zuvela
