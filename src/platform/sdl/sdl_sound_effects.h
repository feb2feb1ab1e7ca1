// Sound effects and spoken words through SDL_mixer: sndPlaySound's behaviour on one effect channel and one
// voice channel.
//
// A WAV file is decoded once and kept while its file is unchanged (platform/file_stamp.h). A call returns at
// once; the sound starts with the device's next buffer. A sound that is replaced fades out over 6 ms instead
// of stopping in mid-waveform, so a quick second click does not crack.
//
// SDL decodes whatever a WAV header claims (a damaged file can ask for gigabytes), so the bytes are checked
// first and only plain sound is handed on; a file refused is unreadable.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/file_stamp.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/services.h"

struct Mix_Chunk;

namespace zuvela {

class SdlSoundEffects final : public SoundEffects {
  public:
    using ChunkRef = std::shared_ptr<Mix_Chunk>;

    static constexpr std::uint64_t k_max_file_bytes = std::uint64_t(16) << 20;
    // Longer is no sound effect or word; decoded for the device it would take hundreds of megabytes.
    static constexpr double k_max_seconds = 60;

    // Holds `audio`'s device (opening it if it is the first) from prepare() or the first sound until
    // destroyed: a start-up does not wait for the device.
    explicit SdlSoundEffects(SdlAudio& audio);
    ~SdlSoundEffects() override;
    SdlSoundEffects(const SdlSoundEffects&) = delete;
    SdlSoundEffects& operator=(const SdlSoundEffects&) = delete;

    // Opens the device ahead of the first sound. Optional.
    void prepare();

    // A missing or unreadable file plays the built-in chime (sdl_sound_chime.h).
    void play(const std::string& path) override;
    // A missing or unreadable file is silent; it still ends a word that is being spoken.
    void speak(const std::string& path) override;

    // Throws PlatformError unless `bytes` are a RIFF/WAVE file of PCM (integer 8, 16, 24 or 32 bits, or
    // 32-bit float), 1 or 2 channels, 8 000 to 192 000 frames a second, whose first data chunk lies within
    // the file, follows the format chunk and lasts at most k_max_seconds. `what` names the bytes in the
    // error.
    static void check_wav(std::span<const std::uint8_t> bytes, const std::string& what);
    // Checked, then decoded to the open device's format. Throws PlatformError.
    static ChunkRef decode_bytes(std::span<const std::uint8_t> bytes, const std::string& what);
    // The file read once, then decode_bytes().
    static ChunkRef decode_file(const std::string& path);

    // How many decoded files are kept.
    std::size_t cached_sounds() const { return m_sounds.size(); }

    // What one replaced sound's fade-out needs in the mixer thread.
    struct Fade {
        int remaining = 0;
        int length = 1;
        int channels = 2;
    };

  private:
    // One logical channel over a pair of mixer channels.
    struct Lane {
        std::array<int, 2> channels;
        int current = -1;  // index into channels of the one heard last, -1 before the first sound
        std::array<ChunkRef, 2> chunks{};  // what each mixer channel plays, kept alive while it does
    };

    ChunkRef sound(const std::string& path);
    void start(Lane& lane, ChunkRef chunk);
    void fade_out(int channel);
    void silence(Lane& lane);

    SdlAudio& m_audio;
    bool m_held = false;
    bool m_open = false;
    StampedCache<ChunkRef> m_sounds;
    ChunkRef m_chime;
    Lane m_effect{{k_effect_channel_pair[0], k_effect_channel_pair[1]}};
    Lane m_voice{{k_voice_channel_pair[0], k_voice_channel_pair[1]}};
    std::array<Fade, k_mixer_channels> m_fades{};
};

}  // namespace zuvela
