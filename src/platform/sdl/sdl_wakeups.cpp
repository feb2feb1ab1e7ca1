#include "platform/sdl/sdl_wakeups.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

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

// Who hears an end signal: the event loop while it waits, else nobody, and the program ends at once. Before
// the loop nothing of the desktop has been changed that the X server would not give back itself when the
// program is gone (the display mode is switched only once the loop runs, and the lock's grabs go with its
// connection); after it, everything has been given back already.
struct EndSignalWatch {
    std::mutex mutex;
    SdlWakeups* receiver = nullptr;
    bool over = false;
};

// Never destroyed: its thread runs until the program is gone, also while statics are torn down.
EndSignalWatch& end_signal_watch() {
    static EndSignalWatch* const watch = new EndSignalWatch;
    return *watch;
}

void watch_end_signals(int signal_fd) {
    for (;;) {
        signalfd_siginfo info{};
        const ssize_t n = read(signal_fd, &info, sizeof info);
        if (n < 0 && errno != EINTR) return;
        if (n != ssize_t(sizeof info)) continue;
        const int signal_number = int(info.ssi_signo);
        EndSignalWatch& watch = end_signal_watch();
        std::lock_guard lock(watch.mutex);
        if (!watch.receiver) _exit(128 + signal_number);
        watch.receiver->did_receive_end_signal(signal_number);
    }
}

}  // namespace

void SdlWakeups::take_end_signals() {
    const sigset_t set = end_signals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    const int fd = signalfd(-1, &set, SFD_CLOEXEC);
    try {
        if (fd < 0) throw std::system_error(errno, std::generic_category());
        std::thread(watch_end_signals, fd).detach();
    } catch (const std::system_error&) {
        // Nobody to take them: the signals keep their default action and end the program themselves.
        if (fd >= 0) close(fd);
        pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    }
}

void SdlWakeups::end_at_once() {
    EndSignalWatch& watch = end_signal_watch();
    std::lock_guard lock(watch.mutex);
    watch.over = true;
    watch.receiver = nullptr;
}

SdlWakeups::SdlWakeups() {
    m_event_type = SDL_RegisterEvents(1);
    if (pipe2(m_stop_pipe, O_CLOEXEC) != 0) m_stop_pipe[0] = m_stop_pipe[1] = -1;
}

SdlWakeups::~SdlWakeups() {
    {
        EndSignalWatch& watch = end_signal_watch();
        std::lock_guard lock(watch.mutex);
        if (watch.receiver == this) watch.receiver = nullptr;
    }
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
    for (int fd : {m_stop_pipe[0], m_stop_pipe[1]}) {
        if (fd >= 0) close(fd);
    }
}

void SdlWakeups::watch_fd(int fd, std::function<void()> on_ready) {
    if (!m_thread.joinable()) m_watched.emplace_back(fd, std::move(on_ready));
}

void SdlWakeups::start() {
    if (m_event_type == Uint32(-1)) return;
    if (!m_receiving) {
        m_receiving = true;
        EndSignalWatch& watch = end_signal_watch();
        std::lock_guard lock(watch.mutex);
        if (!watch.over) watch.receiver = this;
    }
    if (m_thread.joinable() || m_watched.empty() || m_stop_pipe[0] < 0) return;
    m_thread = std::thread([this] { run(); });
}

void SdlWakeups::did_receive_end_signal(int signal_number) {
    int none = 0;
    m_end_signal.compare_exchange_strong(none, signal_number);
    // Wakes a loop that waits. A queue full of input loses nothing: the loop asks before it takes the next.
    SDL_Event e{};
    e.type = m_event_type;
    e.user.code = k_end_request;
    e.user.data1 = reinterpret_cast<void*>(std::intptr_t(signal_number));
    SDL_PushEvent(&e);
}

void SdlWakeups::run() {
    std::vector<pollfd> fds{{m_stop_pipe[0], POLLIN, 0}};
    for (const auto& [fd, _] : m_watched) fds.push_back({fd, POLLIN, 0});
    for (;;) {
        if (poll(fds.data(), fds.size(), -1) < 0) continue;
        if (fds[0].revents) return;
        for (std::size_t i = 1; i < fds.size(); ++i) {
            const short ready = fds[i].revents;
            if (ready & POLLNVAL) fds[i].fd = -1;  // closed under us: nothing more will come
            if (!(ready & (POLLIN | POLLHUP | POLLERR))) continue;
            std::unique_lock lock(m_mutex);
            SDL_Event e{};
            e.type = m_event_type;
            e.user.code = k_fd_ready;
            e.user.data1 = reinterpret_cast<void*>(std::intptr_t(i - 1));
            if (SDL_PushEvent(&e) != 1) {
                // The queue is full: looked at again in a moment, the descriptor is still readable.
                lock.unlock();
                poll(nullptr, 0, 10);
                continue;
            }
            m_pending = true;
            // Poll again only once the event thread has read what was there.
            m_served.wait(lock, [this] { return !m_pending; });
            // A connection that ended has been told so once; it is not watched any more.
            if (ready & (POLLHUP | POLLERR)) fds[i].fd = -1;
        }
    }
}

std::optional<InputEvent> SdlWakeups::take_end_request() {
    const int signal_number = m_end_signal.load();
    if (signal_number == 0 || m_end_taken.exchange(true)) return std::nullopt;
    return EndRequest{signal_number};
}

bool SdlWakeups::take(const SDL_Event& e, std::optional<InputEvent>& out) {
    if (e.type != m_event_type) return false;
    const auto value = int(reinterpret_cast<std::intptr_t>(e.user.data1));
    if (e.user.code == k_end_request) {
        out = take_end_request();
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
