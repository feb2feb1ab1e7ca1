// One running copy per user and display. The claim lives in a folder that only this user may enter: the
// first start holds a lock on a file there and listens on a socket beside it; a later start finds the lock
// held, asks the running copy through the socket to come to the front, and ends. No other user can take the
// name first or reach the socket, and the running copy answers nobody but its own user. The kernel drops the
// lock with the last descriptor, so a copy that crashed leaves nothing that blocks the next start: its socket
// file is replaced.
#pragma once

#include <chrono>
#include <string>

namespace zuvela {

class SingleInstance {
  public:
    // Tries to become the running copy for `key` in `folder` (see private_folder()). With no folder, or
    // when the claim cannot be made, the start goes ahead as the only one. A later start has asked the
    // running copy forward, for at most k_ask_for, when this returns.
    SingleInstance(const std::string& folder, const std::string& key);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool is_running_copy() const { return m_running_copy; }
    // A later start: whether the running copy could be asked (it may be stopped, or too busy to listen).
    bool asked() const { return m_asked; }
    // Readable whenever a later start asks the running copy forward; -1 in a later start.
    int fd() const { return m_listener; }
    // Takes every request waiting; true when at least one came from this user.
    bool take_requests();
    // The running copy is leaving: from now on a new start runs, even while this one still finishes.
    void give_up();

    const std::string& socket_path() const { return m_socket_path; }

    // Which display this session's windows go to, in one spelling for each: an X display by its host and
    // number (":0", ":0.0", "unix:0" and ":00" are one), else a Wayland one by its socket's path.
    static std::string session_key(const char* x_display, const char* wayland_display,
                                   const char* runtime_dir);
    // A folder of `uid`'s own that nobody else may enter, where the claim can be made: $XDG_RUNTIME_DIR, else
    // /run/user/UID, else `shared`/zuvela-UID (made when missing). Empty when none of them is such a folder
    // (another user made the last one first).
    static std::string private_folder(unsigned uid, const char* runtime_dir,
                                      const std::string& shared = "/tmp");

    static constexpr std::chrono::milliseconds k_ask_for{2000};

  private:
    int m_lock = -1;
    int m_listener = -1;
    bool m_running_copy = true;
    bool m_asked = false;
    std::string m_socket_path;
};

}  // namespace zuvela
