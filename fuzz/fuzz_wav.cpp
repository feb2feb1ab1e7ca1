// A sound effect's file as the program decodes it: checked, then SDL_mixer's Mix_LoadWAV on the program's
// open device (SDL's dummy driver), converted to the device's format.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/errors.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_sound_effects.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    static zuvela::SdlAudio audio;
    if (!audio.hold()) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        zuvela::SdlSoundEffects::decode_bytes(std::span(data, size), "the input");
    } catch (const zuvela::PlatformError&) {
    }
    return 0;
}
