// The colouring book on the desktop: SDL2 for windows, input, pictures and sound, X11 for the desktop-wide
// key lock, CUPS for printing, xdg-open for web links; the real services behind the application's interfaces.
#include <SDL.h>
#include <SDL_image.h>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>

#include "app/application.h"
#include "build_config.h"
#include "platform/cups/cups_printer.h"
#include "platform/desktop/single_instance.h"
#include "platform/desktop/user_folders.h"
#include "platform/desktop/xdg_browser.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_display.h"
#include "platform/sdl/sdl_music.h"
#include "platform/sdl/sdl_pictures.h"
#include "platform/sdl/sdl_sound_effects.h"
#include "platform/sdl/sdl_video_driver.h"
#include "platform/sdl/sdl_wakeups.h"
#include "platform/sdl/window_key_lock.h"
#include "platform/seeded_random.h"
#include "platform/steady_clock.h"
#include "platform/x11/x11_connection_loss.h"
#include "platform/x11/x11_key_lock.h"
#include "shell/language.h"

namespace {

constexpr const char* k_usage = "usage: zuvela [--help | --version]\n";

// --help and --version answer and end; anything else is refused before the desktop is touched. Empty when
// the program is to start.
std::optional<int> answer_arguments(int argc, char** argv) {
    if (argc <= 1) return std::nullopt;
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf(
            "%s\n"
            "A full-screen colouring book for children from three to seven. While it runs, the keys\n"
            "that would switch away are locked; Ctrl+X asks before leaving, Ctrl+P prints the\n"
            "picture, Ctrl+R shows the information panel.\n\n"
            "  --help     show this help and end\n"
            "  --version  show the version and end\n",
            k_usage);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("zuvela %s\n", zuvela::k_version);
        return 0;
    }
    std::fputs(k_usage, stderr);
    return 2;
}

// A menu, a cron job or a parent's script may start the program with a standard stream closed. The next
// descriptor opened (the single-instance socket, an X connection) would take its number, and a diagnostic
// would be written into it.
void keep_standard_streams_open() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // The lowest free number is this one. Without /dev/null, a folder: it is neither read nor written.
        int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened < 0) opened = ::open("/", O_RDONLY | O_DIRECTORY);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
}

// After Yes, a page asked for before it may still be on its way to the print server; the window is out of
// sight by then, and an end signal still ends the program at once.
constexpr std::chrono::seconds k_pages_on_leaving{10};

}  // namespace

int main(int argc, char** argv) {
    using namespace zuvela;

    keep_standard_streams_open();
    // The end signals are taken by a thread of our own from the start: an exit with 128 + the signal's number
    // at any moment, handed to the event loop as a request to end while it runs.
    SdlWakeups::take_end_signals();
    // A decoded picture takes megabytes and is let go once nothing shows it. With a fixed threshold each one
    // is a mapping of its own that goes back to the system when freed; glibc would otherwise raise the
    // threshold at the first such free and keep later pictures in a heap that does not shrink.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);

    if (const auto answered = answer_arguments(argc, argv)) return *answered;
    // A second start brings the running copy forward and ends; it touches neither the screen nor the keys.
    SingleInstance instance(
        SingleInstance::private_folder(::getuid(), std::getenv("XDG_RUNTIME_DIR")),
        SingleInstance::session_key(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                                    std::getenv("XDG_RUNTIME_DIR")));
    if (!instance.is_running_copy()) {
        std::fputs(instance.asked() ? "zuvela: already running; brought to the front\n"
                                    : "zuvela: already running, but it does not answer\n",
                   stderr);
        return 0;
    }

    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The window takes the pointer itself while a button is down (see SdlDisplay); SDL's own capture costs a
    // round trip to the X server for every queued click before the first of them, or an end signal, is seen.
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
    if (!open_session_video(k_app_id)) {
        std::fprintf(stderr, "zuvela: cannot open the display: %s\n", SDL_GetError());
        return 1;
    }
    end_once_when_the_display_is_lost();
    IMG_Init(IMG_INIT_JPG);

    int status = 0;
    {
        SdlPictureFiles files;
        SdlDisplay display;
        SdlAudio audio;
        SdlSoundEffects sounds(audio);
        SdlMusic music(audio);
        CupsPrinter printer;
        XdgBrowser browser;
        // The desktop-wide lock on X11; under a Wayland compositor the lock holds for our own window.
        std::optional<X11KeyLock> desktop_lock;
        if (desktop_wide_key_lock(SDL_GetCurrentVideoDriver())) desktop_lock.emplace();
        WindowKeyLock window_lock;
        KeyLock& key_lock = desktop_lock ? static_cast<KeyLock&>(*desktop_lock) : window_lock;
        display.set_key_lock(
            [&](const LockedKey& key) {
                return desktop_lock ? desktop_lock->swallows(key) : window_lock.swallows(key);
            },
            [&] { return desktop_lock ? desktop_lock->in_force() : window_lock.in_force(); }, !desktop_lock);
        if (desktop_lock && desktop_lock->connection_fd() >= 0)
            display.watch_fd(desktop_lock->connection_fd(), [&] { desktop_lock->pump(); });
        if (instance.fd() >= 0)
            display.watch_fd(instance.fd(), [&] {
                if (instance.take_requests()) display.raise_main();
            });
        SteadyClock clock;
        SeededRandom random;
        Platform platform{files, display, sounds, music, printer, browser, key_lock, clock, random};

        const auto env = [](const char* name) {
            return std::string_view(std::getenv(name) ? std::getenv(name) : "");
        };
        const LocaleVariables locale{env("LANGUAGE"), env("LC_ALL"), env("LC_MESSAGES"), env("LANG")};
        const AppConfig config{k_product_url, k_studio_url, user_snapshot_folder(files.program_folder()),
                               std::string(language_folder(locale))};
        Application app(platform, config, std::cerr);
        // The audio device and the tune's instruments are made ready once the splash shows.
        app.window().seams().did_show_splash = [&] {
            sounds.prepare();
            music.prepare(files.program_folder() + "/MUSIC/001.MID");
        };
        status = app.run();
        SdlWakeups::end_at_once();
        instance.give_up();
        if (status == 0) printer.wait_until_idle(k_pages_on_leaving);
    }

    IMG_Quit();
    SDL_Quit();
    return status;
}
