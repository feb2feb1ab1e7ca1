#include "platform/sdl/window_key_lock.h"

#include <utility>

namespace zuvela {

int WindowKeyLock::install(std::function<bool(const LockedKey&)> swallow) {
    m_swallow = std::move(swallow);
    m_handle = m_next_handle++;
    return m_handle;
}

void WindowKeyLock::release(int handle) {
    if (handle == 0 || handle != m_handle) return;
    m_handle = 0;
    m_swallow = nullptr;
}

bool WindowKeyLock::swallows(const LockedKey& key) const {
    return m_handle != 0 && m_swallow && m_swallow(key);
}

}  // namespace zuvela
