// The colouring book on the desktop: SDL2 for windows, input and pictures, the real services behind the
// application's interfaces.
#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <iostream>

#include "build_config.h"
#include "platform/desktop/xdg_browser.h"
#include "platform/null_services.h"
#include "platform/sdl/sdl_display.h"
#include "platform/sdl/sdl_pictures.h"
#include "platform/seeded_random.h"
#include "platform/steady_clock.h"
#include "app/application.h"

int main(int, char**) {
    using namespace zuvela;

    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
        std::fprintf(stderr, "zuvela: cannot open the display: %s\n", SDL_GetError());
        return 1;
    }
    IMG_Init(IMG_INIT_JPG);

    int status = 0;
    {
        SdlPictureFiles files;
        SdlDisplay display;
        NullSoundEffects sounds;
        NullMusic music;
        NullPrinter printer;
        XdgBrowser browser;
        NullKeyLock key_lock;
        SteadyClock clock;
        SeededRandom random;
        Platform platform{files, display, sounds, music, printer, browser, key_lock, clock, random};

        Application app(platform, AppConfig{k_product_url, k_studio_url}, std::cerr);
        status = app.run();
    }

    IMG_Quit();
    SDL_Quit();
    return status;
}
