#include "platform/sdl/sdl_music.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "platform/desktop/bounded_file.h"
#include "platform/errors.h"
#include "platform/sdl/sdl_music_smf.h"

namespace zuvela {

namespace {

// SDL_mixer's FluidSynth player reports a piece as playing for seconds after its last note; it is believed
// only this long past the piece's own length, by the clock. Timidity ends the piece on time and is believed
// as it is: the sound card's clock, not the computer's, says when the piece has been played.
constexpr double k_late_end_allowance = 0.25;

// "dir//MUSIC/001.MID" and "dir/MUSIC/001.MID" are one file to the cache.
std::string cache_key(const std::string& path) {
    return std::filesystem::path(path).lexically_normal().string();
}

}  // namespace

// A MIDI file as the synthesizer has it: the piece with its release tail (kept alive for SDL_mixer), and how
// long that lasts. No music without a device.
struct SdlMusic::Song {
    std::vector<std::uint8_t> smf;
    double seconds = 0;
    Mix_Music* music = nullptr;

    Song() = default;
    Song(const Song&) = delete;
    Song& operator=(const Song&) = delete;
    ~Song() {
        if (music) Mix_FreeMusic(music);
    }
};

std::vector<std::uint8_t> SdlMusic::read_piece(const std::string& path, MidiTiming* timing) {
    return with_release_tail(read_bounded_file(path, k_max_file_bytes), k_release_seconds, timing);
}

SdlMusic::SdlMusic(SdlAudio& audio) : m_audio(audio) {}

SdlMusic::~SdlMusic() {
    close_down();
}

void SdlMusic::hold() {
    if (m_held) return;
    m_audio.hold();
    m_held = true;
}

void SdlMusic::join_preloader() {
    if (m_preloader.joinable()) m_preloader.join();
}

void SdlMusic::prepare(const std::string& path) {
    hold();
    join_preloader();
    m_preloader = std::thread([this, key = cache_key(path)] {
        try {
            std::lock_guard lock(m_songs_mutex);
            song_locked(key);
        } catch (...) {
            // load_segment() reports it.
        }
    });
}

SdlMusic::SongRef SdlMusic::song_locked(const std::string& path) {
    const bool device = m_audio.is_open();
    std::optional<SongRef> song = m_songs.load(path, [device](const std::string& file) {
        auto song = std::make_shared<Song>();
        MidiTiming timing;
        song->smf = read_piece(file, &timing);
        song->seconds = timing.seconds;
        if (device) {
            SDL_RWops* rw = SDL_RWFromConstMem(song->smf.data(), int(song->smf.size()));
            song->music = Mix_LoadMUSType_RW(rw, MUS_MID, 1);
            if (!song->music) throw PlatformError("cannot load " + file + ": " + Mix_GetError());
        }
        return SongRef(std::move(song));
    });
    if (!song) throw PlatformError("cannot open " + path);
    return *song;
}

void SdlMusic::create_performance() {
    hold();
    ++m_performance;
    m_volume = 0;
}

void SdlMusic::set_master_volume(std::int32_t level) {
    hold();
    m_volume = level;
    if (m_audio.is_open() && m_current && m_current->performance == m_performance) {
        Mix_VolumeMusic(mixer_volume(level));
    }
}

int SdlMusic::load_segment(const std::string& path) {
    hold();
    SongRef song;
    {
        std::lock_guard lock(m_songs_mutex);
        song = song_locked(cache_key(path));
    }
    m_segments[++m_last_segment] = std::move(song);
    return m_last_segment;
}

int SdlMusic::play_segment(int segment) {
    hold();
    const auto it = m_segments.find(segment);
    if (it == m_segments.end()) throw PlatformError("no such segment");
    const SongRef& song = it->second;
    if (m_audio.is_open() && song->music) {
        // Starting over a fade-out would make SDL_mixer wait for the fade to end.
        if (Mix_FadingMusic() == MIX_FADING_OUT) Mix_HaltMusic();
        Mix_VolumeMusic(mixer_volume(m_volume));
        if (Mix_PlayMusic(song->music, 0) != 0)
            throw PlatformError(std::string("cannot play: ") + Mix_GetError());
        m_on_stream = song;
    }
    m_current = Playback{++m_last_playback, segment, m_performance, song, Clock::now()};
    return m_last_playback;
}

bool SdlMusic::is_playing(int segment, int playback) {
    if (!m_current || m_current->handle != playback || m_current->segment != segment) return false;
    const double elapsed = std::chrono::duration<double>(Clock::now() - m_current->started).count();
    if (!m_audio.is_open() || !m_current->song->music) return elapsed < m_current->song->seconds;
    if (!Mix_PlayingMusic()) return false;
    return m_audio.midi_synthesizer() == "timidity" ||
           elapsed < m_current->song->seconds + k_late_end_allowance;
}

void SdlMusic::stop(int segment, int playback) {
    if (!m_current) return;
    const bool named = m_current->handle == playback || (playback <= 0 && m_current->segment == segment);
    const bool left_by_earlier_performance = m_current->performance != m_performance;
    if (!named && !left_by_earlier_performance) return;
    if (m_audio.is_open()) Mix_FadeOutMusic(k_stop_fade_ms);
    m_current.reset();
}

void SdlMusic::close_down() {
    join_preloader();
    if (!m_held) return;
    if (m_audio.is_open()) Mix_HaltMusic();
    m_current.reset();
    m_on_stream.reset();
    m_segments.clear();
    {
        std::lock_guard lock(m_songs_mutex);
        m_songs.clear();
    }
    m_audio.release();
    m_held = false;
}

int SdlMusic::mixer_volume(std::int32_t level) {
    const double volume = k_normal_mixer_volume * std::pow(10.0, (double(level) - 150.0) / 2000.0);
    return std::clamp(int(std::lround(volume)), 0, MIX_MAX_VOLUME);
}

}  // namespace zuvela
