#include "platform/sdl/sdl_sound_effects.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/desktop/bounded_file.h"
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

[[noreturn]] void refuse(const std::string& what, const std::string& why) {
    throw PlatformError("cannot decode " + what + ": " + why);
}

std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
unsigned le16(const std::uint8_t* p) {
    return unsigned(p[0]) | unsigned(p[1]) << 8;
}

constexpr unsigned k_format_pcm = 1;
constexpr unsigned k_format_float = 3;

}  // namespace

// The chunks are walked as SDL walks them (each padded to an even length; the first format chunk counts; the
// first data chunk ends the walk), but nothing may reach past the end of the file.
void SdlSoundEffects::check_wav(std::span<const std::uint8_t> b, const std::string& what) {
    if (b.size() > k_max_file_bytes) refuse(what, "the file is too large");
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0)
        refuse(what, "not a WAV file");
    bool have_format = false;
    unsigned channels = 0, block_align = 0;
    std::uint32_t rate = 0;
    for (std::size_t at = 12;;) {
        if (b.size() - at < 8) refuse(what, "no data chunk");
        const std::uint8_t* header = b.data() + at;
        const std::uint32_t length = le32(header + 4);
        const std::size_t room = b.size() - at - 8;
        if (std::memcmp(header, "data", 4) == 0) {
            if (!have_format) refuse(what, "sound data before its format");
            if (length > room) refuse(what, "the data chunk claims more than the file holds");
            if (double(length) / block_align / rate > k_max_seconds) refuse(what, "too long for a sound");
            return;
        }
        if (length > room) refuse(what, "a chunk claims more than the file holds");
        if (std::memcmp(header, "fmt ", 4) == 0 && !have_format) {
            if (length < 16) refuse(what, "short format chunk");
            const std::uint8_t* f = header + 8;
            const unsigned tag = le16(f);
            channels = le16(f + 2);
            rate = le32(f + 4);
            block_align = le16(f + 12);
            const unsigned bits = le16(f + 14);
            const bool pcm = tag == k_format_pcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
            const bool floats = tag == k_format_float && bits == 32;
            if (!pcm && !floats) refuse(what, "not plain PCM sound");
            if (channels < 1 || channels > 2) refuse(what, "not mono or stereo");
            if (rate < 8000 || rate > 192000) refuse(what, "unusual sample rate");
            if (block_align != channels * bits / 8) refuse(what, "inconsistent frame size");
            have_format = true;
        }
        at += 8 + std::size_t(length) + (length & 1);
        if (at > b.size()) refuse(what, "no data chunk");
    }
}

SdlSoundEffects::ChunkRef SdlSoundEffects::decode_bytes(std::span<const std::uint8_t> bytes,
                                                        const std::string& what) {
    check_wav(bytes, what);
    Mix_Chunk* decoded = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), int(bytes.size())), 1);
    if (!decoded) refuse(what, Mix_GetError());
    return ChunkRef(decoded, Mix_FreeChunk);
}

SdlSoundEffects::ChunkRef SdlSoundEffects::decode_file(const std::string& path) {
    return decode_bytes(read_bounded_file(path, k_max_file_bytes), path);
}

SdlSoundEffects::SdlSoundEffects(SdlAudio& audio) : m_audio(audio) {}

void SdlSoundEffects::prepare() {
    if (m_held) return;
    m_held = true;
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
    if (m_held) m_audio.release();
}

void SdlSoundEffects::play(const std::string& path) {
    prepare();
    if (!m_open) return;
    ChunkRef chunk = sound(path);
    start(m_effect, chunk ? std::move(chunk) : m_chime);
}

void SdlSoundEffects::speak(const std::string& path) {
    prepare();
    if (!m_open) return;
    start(m_voice, sound(path));
}

SdlSoundEffects::ChunkRef SdlSoundEffects::sound(const std::string& path) {
    try {
        std::optional<ChunkRef> chunk = m_sounds.load(path, &SdlSoundEffects::decode_file);
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
