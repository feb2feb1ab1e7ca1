// Catches the X errors of one connection for as long as it lives.
#pragma once

#include <X11/Xlib.h>

#include <set>

namespace zuvela {

// Catches the errors of one connection while it lives (a refused grab is BadAccess, which Xlib's default
// handler answers by ending the program) and hands other connections' errors to the handler it replaced. It
// syncs before putting that handler back, so every error of its requests has arrived.
class ErrorTrap {
  public:
    explicit ErrorTrap(Display* display) : m_display(display), m_outer(s_active) {
        s_active = this;
        m_previous = XSetErrorHandler(&ErrorTrap::on_error);
    }
    ~ErrorTrap() {
        XSync(m_display, False);
        XSetErrorHandler(m_previous);
        s_active = m_outer;
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    bool failed(unsigned long serial) const { return m_failed.count(serial) != 0; }

  private:
    static int on_error(Display* display, XErrorEvent* error) {
        for (ErrorTrap* trap = s_active; trap; trap = trap->m_outer) {
            if (trap->m_display == display) {
                trap->m_failed.insert(error->serial);
                return 0;
            }
        }
        // Another connection's (SDL's): to the handler there was before any trap; an inner trap's previous
        // handler is this function again.
        ErrorTrap* outermost = s_active;
        while (outermost && outermost->m_outer) outermost = outermost->m_outer;
        return outermost && outermost->m_previous ? outermost->m_previous(display, error) : 0;
    }

    static inline ErrorTrap* s_active = nullptr;
    Display* m_display;
    ErrorTrap* m_outer;
    XErrorHandler m_previous = nullptr;
    std::set<unsigned long> m_failed;
};

}  // namespace zuvela
