// The colouring book on the desktop: SDL2 for windows, input, pictures and sound, X11 for the desktop-wide
// key lock, CUPS for printing, xdg-open for web links; the real services behind the application's interfaces.
#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "app/application.h"
#include "build_config.h"
#include "platform/cups/cups_printer.h"
#include "platform/desktop/user_folders.h"
#include "platform/desktop/xdg_browser.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_display.h"
#include "platform/sdl/sdl_music.h"
#include "platform/sdl/sdl_pictures.h"
#include "platform/sdl/sdl_sound_effects.h"
#include "platform/sdl/sdl_wakeups.h"
#include "platform/seeded_random.h"
#include "platform/steady_clock.h"
#include "platform/x11/x11_key_lock.h"
#include "shell/voice_language.h"

int main(int, char**) {
    using namespace zuvela;

    // The end signals are taken by a thread of our own and handed to the event loop as a request to end.
    SdlWakeups::block_end_signals();
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
        std::fprintf(stderr, "zuvela: cannot open the display: %s\n", SDL_GetError());
        return 1;
    }
    IMG_Init(IMG_INIT_JPG);

    int status = 0;
    {
        SdlPictureFiles files;
        SdlDisplay display;
        SdlAudio audio;
        SdlSoundEffects sounds(audio);
        SdlMusic music(audio);
        music.prepare(files.program_folder() + "/MUSIC/001.MID");
        CupsPrinter printer;
        XdgBrowser browser;
        X11KeyLock key_lock;
        display.set_key_lock([&](const LockedKey& key) { return key_lock.swallows(key); },
                             [&] { return key_lock.in_force(); });
        if (key_lock.connection_fd() >= 0)
            display.watch_fd(key_lock.connection_fd(), [&] { key_lock.pump(); });
        SteadyClock clock;
        SeededRandom random;
        Platform platform{files, display, sounds, music, printer, browser, key_lock, clock, random};

        const auto env = [](const char* name) {
            return std::string_view(std::getenv(name) ? std::getenv(name) : "");
        };
        const LocaleVariables locale{env("LANGUAGE"), env("LC_ALL"), env("LC_MESSAGES"), env("LANG")};
        const AppConfig config{k_product_url, k_studio_url, user_snapshot_folder(files.program_folder()),
                               std::string(voice_folder(locale))};
        Application app(platform, config, std::cerr);
        status = app.run();
    }

    IMG_Quit();
    SDL_Quit();
    return status;
}
