// Preloaded into a program by the start-up benchmark (startup_bench.sh). Appends to $BENCH_SHIM_OUT, in
// microseconds since $BENCH_EXEC_US (the wall clock taken just before the exec):
//   first_frame N   when SDL_RenderPresent is first called;
//   lock N          when an XSync that follows XGrabKey calls returns: the server has the grabs by then
//                   (the last such line counts);
//   click_to_frame N  from a mouse button press or release handed to the program to its next present, or to
//                   its next wait for input when it changed nothing on the screen: a long one is a stall the
//                   child would see.
#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

long long now_us() {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return static_cast<long long>(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

long long since_exec() {
    const char* start = std::getenv("BENCH_EXEC_US");
    return start ? now_us() - std::atoll(start) : -1;
}

void note(const char* what, long long value) {
    const char* path = std::getenv("BENCH_SHIM_OUT");
    if (!path) return;
    if (FILE* f = std::fopen(path, "a")) {
        std::fprintf(f, "%s %lld\n", what, value);
        std::fclose(f);
    }
}

template <typename F>
F next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

constexpr unsigned k_mouse_button_down = 0x401;
constexpr unsigned k_mouse_button_up = 0x402;

std::atomic<bool> presented{false};
std::atomic<int> grabs_since_sync{0};
long long click_at = 0;  // of the first button event not yet answered

void answered() {
    if (click_at == 0) return;
    note("click_to_frame", now_us() - click_at);
    click_at = 0;
}

int took(int got, const void* event) {
    if (got == 1 && event) {
        const unsigned type = *static_cast<const unsigned*>(event);
        if ((type == k_mouse_button_down || type == k_mouse_button_up) && click_at == 0) click_at = now_us();
    }
    return got;
}

}  // namespace

extern "C" {

void SDL_RenderPresent(void* renderer) {
    static auto real = next<void (*)(void*)>("SDL_RenderPresent");
    if (!presented.exchange(true)) note("first_frame", since_exec());
    real(renderer);
    answered();
}

int SDL_PollEvent(void* event) {
    static auto real = next<int (*)(void*)>("SDL_PollEvent");
    return took(real(event), event);
}

int SDL_WaitEvent(void* event) {
    static auto real = next<int (*)(void*)>("SDL_WaitEvent");
    answered();
    return took(real(event), event);
}

int SDL_WaitEventTimeout(void* event, int timeout) {
    static auto real = next<int (*)(void*, int)>("SDL_WaitEventTimeout");
    if (timeout > 0) answered();
    return took(real(event, timeout), event);
}

int XGrabKey(void* display, int keycode, unsigned modifiers, unsigned long window, int owner_events,
             int pointer_mode, int keyboard_mode) {
    static auto real = next<int (*)(void*, int, unsigned, unsigned long, int, int, int)>("XGrabKey");
    ++grabs_since_sync;
    return real(display, keycode, modifiers, window, owner_events, pointer_mode, keyboard_mode);
}

int XSync(void* display, int discard) {
    static auto real = next<int (*)(void*, int)>("XSync");
    const int grabs = grabs_since_sync.exchange(0);
    const int result = real(display, discard);
    if (grabs > 0) note("lock", since_exec());
    return result;
}
}
