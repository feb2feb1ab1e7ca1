// The key lock where no client may hold the desktop's keys (a Wayland session): it is in force for our own
// window only. The display shows it every key event the window receives; the compositor's own shortcuts are
// kept away by the display's keyboard grab, which it takes while this lock is in force.
#pragma once

#include <functional>

#include "platform/services.h"

namespace zuvela {

class WindowKeyLock final : public KeyLock {
  public:
    // Returns a new handle > 0; installing again replaces the previous lock and its handle.
    int install(std::function<bool(const LockedKey&)> swallow) override;
    // Lifts the lock when `handle` is the one in force; another handle or a second call does nothing.
    void release(int handle) override;

    bool in_force() const { return m_handle != 0; }
    // The installed callback's answer; false when the lock is not in force.
    bool swallows(const LockedKey& key) const;

  private:
    std::function<bool(const LockedKey&)> m_swallow;
    int m_handle = 0;
    int m_next_handle = 1;
};

}  // namespace zuvela
