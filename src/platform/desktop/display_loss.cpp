#include "platform/desktop/display_loss.h"

#include <unistd.h>

#include <atomic>

namespace zuvela {

void end_for_lost_display() noexcept {
    static std::atomic<bool> ending{false};
    // Two threads running the exit handlers at once would crash: only the first one through ends the process.
    if (ending.exchange(true)) {
        for (;;) ::pause();
    }
    static const char k_message[] = "zuvela: the connection to the display was lost\n";
    (void)!::write(STDERR_FILENO, k_message, sizeof k_message - 1);
    ::_exit(k_display_lost_status);
}

}  // namespace zuvela
