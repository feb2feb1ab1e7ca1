// Failure reporting between the platform and the handlers.
#pragma once

#include <cxxabi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <typeinfo>
#include <unordered_set>

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

// What the trap swallowed, on standard error: one line the first time each kind (type and message) is seen,
// so that a developer's run or a parent's bug report shows a fault while the child sees nothing. A missing
// picture met on every mouse move is one line, not one per move. Bounded: past k_max_kinds different kinds,
// the memory of what was written starts afresh.
class TrapTrace {
  public:
    static constexpr std::size_t k_max_kinds = 64;
    static constexpr std::size_t k_max_message = 300;

    static TrapTrace& instance() {
        static TrapTrace trace;
        return trace;
    }

    void report(const std::exception& error) noexcept {
        try {
            const char* type = typeid(error).name();
            std::string kind = type;
            kind += '\n';
            kind.append(error.what(), std::min(std::char_traits<char>::length(error.what()), k_max_message));
            std::lock_guard lock(m_mutex);
            if (m_written.contains(kind)) return;
            if (m_written.size() >= k_max_kinds) m_written.clear();
            m_written.insert(kind);
            std::string line = "zuvela: a handler ended early: " + demangled(type) + ": ";
            // A message may carry a file name; control characters are not written to a terminal.
            for (std::size_t i = kind.find('\n') + 1; i < kind.size(); ++i)
                line += (static_cast<unsigned char>(kind[i]) < 0x20 || kind[i] == 0x7f) ? '?' : kind[i];
            line += '\n';
            std::fputs(line.c_str(), stderr);
        } catch (...) {
            // Out of memory while reporting: the handler's end stays quiet.
        }
    }

  private:
    static std::string demangled(const char* type) {
        int status = 0;
        const std::unique_ptr<char, decltype(&std::free)> name(
            abi::__cxa_demangle(type, nullptr, nullptr, &status), &std::free);
        return status == 0 && name ? name.get() : type;
    }

    std::mutex m_mutex;
    std::unordered_set<std::string> m_written;
};

// The one error trap: the first failing platform operation ends `handler`. So does anything else a handler
// throws (running out of memory among them): nothing escapes a handler but EndProgram. What was swallowed is
// traced (TrapTrace).
template <class Handler>
bool run_trapped(Handler&& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& error) {
        TrapTrace::instance().report(error);
        return false;
    }
}

}  // namespace zuvela
