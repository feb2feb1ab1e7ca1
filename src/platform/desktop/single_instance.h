// One running copy per user and display. The first start holds an abstract Unix socket named after both; a
// later start finds the name taken, asks the running copy to come to the front and ends. The kernel frees the
// name with the last descriptor, so a copy that crashed leaves nothing behind to clean up.
#pragma once

#include <string>

namespace zuvela {

class SingleInstance {
  public:
    // Tries to become the running copy for `key`; without a usable socket the start goes ahead as the only
    // one. A later start has already asked the running copy forward when this returns.
    explicit SingleInstance(const std::string& key);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool is_running_copy() const { return m_running_copy; }
    // Readable whenever a later start asks the running copy forward; -1 in a later start.
    int fd() const { return m_listener; }
    // Takes every request waiting; true when there was at least one.
    bool take_requests();

    // The key of this user's session on this display: the user's id and the X display (its screen number
    // left out) or the Wayland one.
    static std::string session_key(unsigned uid, const char* x_display, const char* wayland_display);

  private:
    int m_listener = -1;
    bool m_running_copy = true;
};

}  // namespace zuvela
