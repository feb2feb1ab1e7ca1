// The background music on SDL_mixer's one music stream.
//
// Performances, segments and playbacks are bookkeeping here: SDL_mixer plays one piece at a time, so a
// playback is the piece on the music stream, started by play_segment and lasting until it ends, another
// starts, or a stop() reaches it. stop() reaches the playback it names and any playback an earlier
// performance started (the switch-off stops through a performance made in the same click), and fades it out
// over 40 ms.
//
// A MIDI file is read, checked and handed to the synthesizer (its instruments loaded) once, and kept while
// the file is unchanged (platform/file_stamp.h); prepare() does that on a background thread ahead of the
// first click, once the audio device is open: a piece made ready without a device would stay silent. The
// synthesizer gets the piece with a short release added at its end (sdl_music_smf.h), so a final chord dies
// away instead of being cut off.
//
// is_playing() is true until the synthesizer has rendered the piece and its release: with Timidity that is
// exact; SDL_mixer's FluidSynth player (the fallback) keeps saying "playing" for seconds, so it is believed
// only to 250 ms past the piece's length. With no audio device every call succeeds as it would with one, and
// is_playing() answers true for as long as the piece would be playing: the restart timer then restarts it as
// often as it would be heard.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_stamp.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_music_smf.h"
#include "platform/services.h"

namespace zuvela {

class SdlMusic final : public Music {
  public:
    // The release added at the end of every piece.
    static constexpr double k_release_seconds = 0.15;
    // The fade of a stopped playback.
    static constexpr int k_stop_fade_ms = 40;
    // SDL_mixer's music volume (0 to 128) at the normal master volume of 150 (+1.5 dB): peaks of a full
    // arrangement around -11 dBFS, leaving room for the effect and the voice on top.
    static constexpr int k_normal_mixer_volume = 48;
    // 200 000 events, the most a piece may have, take about a megabyte.
    static constexpr std::uint64_t k_max_file_bytes = std::uint64_t(4) << 20;

    // Holds `audio`'s device (opening it if it is the first) from the first call until close_down() or
    // destruction: a start-up does not wait for the device.
    explicit SdlMusic(SdlAudio& audio);
    ~SdlMusic() override;
    SdlMusic(const SdlMusic&) = delete;
    SdlMusic& operator=(const SdlMusic&) = delete;

    // Reads the MIDI file and loads its instruments on a background thread, so that load_segment() finds it
    // ready. Failures are left for load_segment() to report. Optional.
    void prepare(const std::string& path);

    void create_performance() override;
    // Hundredths of a decibel; takes effect at once when the current performance is playing.
    void set_master_volume(std::int32_t level) override;
    int load_segment(const std::string& path) override;
    int play_segment(int segment) override;
    bool is_playing(int segment, int playback) override;
    void stop(int segment, int playback) override;
    // Stops the music, forgets every segment and releases the device. A later call opens it again.
    void close_down() override;

    // SDL_mixer's music volume for a master volume in hundredths of a decibel: 150 gives
    // k_normal_mixer_volume, every 20 dB below it a tenth of that, clamped to 0 to 128.
    static int mixer_volume(std::int32_t level);

    // The MIDI file at `path` read once, checked and given its release tail: what the synthesizer gets.
    // Throws PlatformError.
    static std::vector<std::uint8_t> read_piece(const std::string& path, MidiTiming* timing = nullptr);

  private:
    struct Song;
    using SongRef = std::shared_ptr<const Song>;
    using Clock = std::chrono::steady_clock;

    struct Playback {
        int handle = 0;
        int segment = 0;
        int performance = 0;
        SongRef song;
        Clock::time_point started;
    };

    void hold();
    SongRef song_locked(const std::string& path);
    void join_preloader();

    SdlAudio& m_audio;
    bool m_held = false;
    int m_performance = 0;
    std::int32_t m_volume = 0;  // of the current performance
    int m_last_segment = 0;
    int m_last_playback = 0;
    std::map<int, SongRef> m_segments;
    std::optional<Playback> m_current;
    SongRef m_on_stream;  // the piece last started on the music stream, alive while it may still be fading

    std::mutex m_songs_mutex;  // the song cache is filled by prepare()'s thread too
    StampedCache<SongRef> m_songs;
    std::thread m_preloader;
};

}  // namespace zuvela
