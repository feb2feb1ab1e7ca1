#include "platform/sdl/sdl_sound_effects.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "platform/errors.h"
#include "platform/sdl/sdl_sound_chime.h"

namespace zuvela {

namespace {

constexpr double k_fade_seconds = 0.006;

// Runs in the mixer thread on the samples of one channel: a linear fade to silence, then silence until the
// channel is stopped or its sound ends.
void fade_effect(int, void* stream, int length, void* data) {
    auto* fade = static_cast<SdlSoundEffects::Fade*>(data);
    auto* samples = static_cast<Sint16*>(stream);
    const int frames = length / int(sizeof(Sint16)) / fade->channels;
    for (int i = 0; i < frames; ++i) {
        const float gain = fade->remaining > 0 ? float(fade->remaining) / float(fade->length) : 0.0f;
        if (fade->remaining > 0) --fade->remaining;
        for (int c = 0; c < fade->channels; ++c) {
            Sint16& s = samples[i * fade->channels + c];
            s = Sint16(std::lround(float(s) * gain));
        }
    }
}

}  // namespace

SdlSoundEffects::SdlSoundEffects(SdlAudio& audio) : m_audio(audio) {
    m_open = m_audio.hold();
    if (!m_open) return;
    const std::vector<std::uint8_t> wav = default_chime_wav(m_audio.frequency());
    m_chime = ChunkRef(Mix_LoadWAV_RW(SDL_RWFromConstMem(wav.data(), int(wav.size())), 1), Mix_FreeChunk);
    const int fade_frames = std::max(1, int(std::lround(k_fade_seconds * m_audio.frequency())));
    for (Fade& fade : m_fades) fade = Fade{0, fade_frames, m_audio.output_channels()};
}

SdlSoundEffects::~SdlSoundEffects() {
    if (m_open) {
        silence(m_effect);
        silence(m_voice);
        m_sounds.clear();
        m_chime.reset();
    }
    m_audio.release();
}

void SdlSoundEffects::play(const std::string& path) {
    if (!m_open) return;
    ChunkRef chunk = sound(path);
    start(m_effect, chunk ? std::move(chunk) : m_chime);
}

void SdlSoundEffects::speak(const std::string& path) {
    if (!m_open) return;
    start(m_voice, sound(path));
}

SdlSoundEffects::ChunkRef SdlSoundEffects::sound(const std::string& path) {
    try {
        std::optional<ChunkRef> chunk = m_sounds.load(path, [](const std::string& file) {
            Mix_Chunk* decoded = Mix_LoadWAV(file.c_str());
            if (!decoded) throw PlatformError("cannot decode " + file + ": " + Mix_GetError());
            return ChunkRef(decoded, Mix_FreeChunk);
        });
        return chunk ? *chunk : nullptr;
    } catch (const PlatformError&) {
        return nullptr;
    }
}

// The sound still heard on the lane fades out while the new one starts on the lane's other mixer channel. An
// empty chunk only fades the old sound out.
void SdlSoundEffects::start(Lane& lane, ChunkRef chunk) {
    const int next = lane.current == 0 ? 1 : 0;
    const int channel = lane.channels[std::size_t(next)];
    // Whatever the other channel still plays (a faded sound running out in silence) ends now.
    Mix_HaltChannel(channel);
    Mix_UnregisterAllEffects(channel);
    lane.chunks[std::size_t(next)].reset();
    if (lane.current >= 0) fade_out(lane.channels[std::size_t(lane.current)]);
    lane.current = next;
    if (!chunk) return;
    if (Mix_PlayChannel(channel, chunk.get(), 0) >= 0) lane.chunks[std::size_t(next)] = std::move(chunk);
}

void SdlSoundEffects::fade_out(int channel) {
    if (!Mix_Playing(channel)) return;
    Fade& fade = m_fades[std::size_t(channel)];
    fade.remaining = fade.length;
    Mix_RegisterEffect(channel, fade_effect, nullptr, &fade);
}

void SdlSoundEffects::silence(Lane& lane) {
    for (std::size_t i = 0; i < lane.channels.size(); ++i) {
        Mix_HaltChannel(lane.channels[i]);
        Mix_UnregisterAllEffects(lane.channels[i]);
        lane.chunks[i].reset();
    }
    lane.current = -1;
}

}  // namespace zuvela
