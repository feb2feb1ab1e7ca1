// A MIDI file as the music back end loads it: our reader adds the release tail, then SDL_mixer's Timidity
// takes the result (SDL's dummy audio driver).
#include <SDL.h>
#include <SDL_mixer.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "platform/errors.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_music.h"
#include "platform/sdl/sdl_music_smf.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    static zuvela::SdlAudio audio;
    if (!audio.hold()) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> smf;
    zuvela::MidiTiming timing;
    try {
        smf = zuvela::with_release_tail(std::span(data, size), zuvela::SdlMusic::k_release_seconds, &timing);
    } catch (const zuvela::PlatformError&) {
        return 0;
    }
    const zuvela::MidiTiming again = zuvela::read_midi_timing(smf);
    if (again.end_tick < timing.end_tick) __builtin_trap();
    SDL_RWops* rw = SDL_RWFromConstMem(smf.data(), int(smf.size()));
    if (!rw) return 0;
    if (Mix_Music* music = Mix_LoadMUSType_RW(rw, MUS_MID, 1)) Mix_FreeMusic(music);
    return 0;
}
