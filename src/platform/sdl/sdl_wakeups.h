// Things outside SDL that must wake the event loop: the signals that end a session (SIGTERM at logout or
// shutdown, SIGINT, SIGHUP) and file descriptors of other connections (the key lock's). One thread waits on
// all of them and posts an SDL event; the work itself is done on the event thread.
#pragma once

#include <SDL.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/display.h"

namespace zuvela {

class SdlWakeups {
  public:
    // Call before SDL_Init and before any thread starts: the end signals then reach only the waiting thread.
    static void block_end_signals();

    SdlWakeups();
    ~SdlWakeups();
    SdlWakeups(const SdlWakeups&) = delete;
    SdlWakeups& operator=(const SdlWakeups&) = delete;

    // `on_ready` runs on the event thread whenever `fd` has something to read. Only before start().
    void watch_fd(int fd, std::function<void()> on_ready);
    // Starts waiting; idempotent.
    void start();

    // Takes the events this object posted: an end request comes back as an input event; a ready descriptor
    // runs its callback and gives nothing. False for events that are not ours.
    bool take(const SDL_Event& e, std::optional<InputEvent>& out);

    // The first end signal received, or 0; set as soon as it arrives, before its event is taken.
    int end_signal() const { return m_end_signal.load(); }

  private:
    void run();

    Uint32 m_event_type = 0;
    int m_signal_fd = -1;
    int m_stop_pipe[2] = {-1, -1};
    std::vector<std::pair<int, std::function<void()>>> m_watched;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_served;
    bool m_pending = false;  // a ready descriptor waits for the event thread
    std::atomic<int> m_end_signal{0};
};

}  // namespace zuvela
