// Failure reporting between the platform and the handlers.
#pragma once

#include <stdexcept>
#include <string>

namespace zuvela {

// A platform operation that could not be carried out (a missing picture, a display that cannot switch …).
// Handlers never catch it themselves: run_trapped() ends the handler quietly and keeps what was done.
class PlatformError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Thrown to end the program at once. Not a PlatformError, so no trap stops it on the way out.
struct EndProgram {
    int exit_status = 0;
};

// The one error trap: the first failing platform operation ends `handler` without a word. So does anything
// else a handler throws (running out of memory among them): nothing escapes a handler but EndProgram.
template <class Handler>
bool run_trapped(Handler&& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace zuvela
