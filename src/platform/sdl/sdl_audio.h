// The program's one audio device, shared by the sound effects (sdl_sound_effects.h) and the music
// (sdl_music.h): SDL's audio subsystem with SDL_mixer on it, opened with a small buffer so that a click is
// heard at once.
//
// MIDI goes through SDL_mixer's built-in Timidity with the freepats instruments: it reports the end of a
// piece when its last note has been rendered, where SDL_mixer's FluidSynth player goes on reporting "playing"
// for seconds. FluidSynth stays the fallback when no Timidity configuration is found.
//
// With no audio device (none present, or opening it fails) nothing is opened and every user of the device
// behaves the same, silently.
#pragma once

#include <cstdint>
#include <string>

namespace zuvela {

struct SdlAudioSettings {
    int frequency = 48000;
    int buffer_frames = 512;  // 10.7 ms at 48 kHz
    // Timidity configuration for MIDI. Empty: $TIMIDITY_CFG when set, else /etc/timidity/freepats.cfg when it
    // is there; with neither, SDL_mixer's FluidSynth plays MIDI.
    std::string timidity_config;
};

// SDL_mixer channels. The effect and the voice have two each: a sound that is replaced fades out over a few
// milliseconds on one while its successor starts on the other, so nothing clicks; only one of a pair is
// heard.
inline constexpr int k_effect_channel_pair[2] = {0, 1};
inline constexpr int k_voice_channel_pair[2] = {2, 3};
inline constexpr int k_mixer_channels = 4;

// One per program (SDL_mixer is process-wide). Use from one thread.
class SdlAudio {
  public:
    explicit SdlAudio(SdlAudioSettings settings = {});
    ~SdlAudio();
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    // The first hold opens the device (SDL's audio subsystem, SDL_mixer and its MIDI synthesizer); every hold
    // is ended by one release, and the last release closes the device again. Returns whether a device is
    // open. After a failed opening no further attempt is made.
    bool hold();
    void release();

    bool is_open() const { return m_open; }
    // The device's format while it is open: signed 16-bit samples, interleaved.
    int frequency() const { return m_frequency; }
    int output_channels() const { return m_output_channels; }
    int buffer_frames() const { return m_settings.buffer_frames; }
    // "timidity" or "fluidsynth": which synthesizer plays MIDI; empty while no device is open.
    const std::string& midi_synthesizer() const { return m_midi_synthesizer; }

  private:
    bool open();
    void close();

    SdlAudioSettings m_settings;
    int m_holders = 0;
    bool m_open = false;
    bool m_failed = false;
    int m_frequency = 0;
    int m_output_channels = 0;
    std::string m_midi_synthesizer;
};

}  // namespace zuvela
