// Things outside SDL that must wake the event loop: the signals that end a session (SIGTERM at logout or
// shutdown, SIGINT, SIGHUP) and file descriptors of other connections (the key lock's). The work itself is
// done on the event thread.
//
// The end signals have a thread of their own for the whole run, so that none ever waits behind anything
// else: until an event loop waits, and again once it is over, a signal ends the program at once with 128 +
// its number; while the loop runs it becomes an end request, which the loop takes before any queued input.
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
    // First thing in main, before any thread starts: the end signals then reach only their own thread.
    static void take_end_signals();
    // The event loop is over: from now on an end signal ends the program at once (a page still on its way
    // to the printer does not hold back a logout).
    static void end_at_once();

    SdlWakeups();
    ~SdlWakeups();
    SdlWakeups(const SdlWakeups&) = delete;
    SdlWakeups& operator=(const SdlWakeups&) = delete;

    // `on_ready` runs on the event thread whenever `fd` has something to read. Only before start().
    void watch_fd(int fd, std::function<void()> on_ready);
    // The event loop waits from now on: end signals come to it as end requests. Idempotent.
    void start();

    // Takes the events this object posted: an end request comes back as an input event (once); a ready
    // descriptor runs its callback and gives nothing. False for events that are not ours.
    bool take(const SDL_Event& e, std::optional<InputEvent>& out);
    // The end request, once, as soon as its signal has come: the loop asks before it takes queued input.
    std::optional<InputEvent> take_end_request();

    // The first end signal received, or 0; set as soon as it arrives, before its event is taken.
    int end_signal() const { return m_end_signal.load(); }

    // Called on the signals' thread.
    void did_receive_end_signal(int signal_number);

  private:
    void run();

    Uint32 m_event_type = 0;
    int m_stop_pipe[2] = {-1, -1};
    std::vector<std::pair<int, std::function<void()>>> m_watched;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_served;
    bool m_pending = false;  // a ready descriptor waits for the event thread
    bool m_receiving = false;
    std::atomic<int> m_end_signal{0};
    std::atomic<bool> m_end_taken{false};
};

}  // namespace zuvela
