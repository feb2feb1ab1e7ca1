// The yardstick of the start-up benchmark: the least a full-screen SDL2 program does before its first frame.
// A full-screen-desktop window, a vsynced renderer, one 1024 × 768 streaming texture filled and presented;
// then it waits for events until it is asked to end.
#include <SDL.h>

#include <cstdint>
#include <cstdio>

int main(int, char**) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "bare_sdl: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("bare", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 1024, 768,
                                          SDL_WINDOW_FULLSCREEN_DESKTOP);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC) : nullptr;
    SDL_Texture* texture = renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_XBGR8888,
                                                        SDL_TEXTUREACCESS_STREAMING, 1024, 768)
                                    : nullptr;
    if (!texture) {
        std::fprintf(stderr, "bare_sdl: %s\n", SDL_GetError());
        return 1;
    }
    const auto draw = [&] {
        void* pixels = nullptr;
        int pitch = 0;
        if (SDL_LockTexture(texture, nullptr, &pixels, &pitch) == 0) {
            for (int y = 0; y < 768; ++y) {
                auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(pixels) + y * pitch);
                for (int x = 0; x < 1024; ++x) row[x] = 0xFF000000u | std::uint32_t(x ^ y) * 0x010101u;
            }
            SDL_UnlockTexture(texture);
        }
        SDL_RenderClear(renderer);
        SDL_RenderCopy(renderer, texture, nullptr, nullptr);
        SDL_RenderPresent(renderer);
    };
    draw();
    SDL_Event event;
    while (SDL_WaitEvent(&event)) {
        if (event.type == SDL_QUIT) break;
        if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED) draw();
    }
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
