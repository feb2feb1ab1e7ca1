// Recording what the audio back end plays, through SDL's disk audio driver: it plays in real time into a
// file, which each test reads back. A post-mix hook stamps every mixed buffer with the time it was mixed, so
// a sample's place in the file gives the moment it left the mixer.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numbers>
#include <optional>
#include <thread>
#include <vector>

#include "platform/errors.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_music.h"
#include "platform/sdl/sdl_sound_chime.h"
#include "platform/sdl/sdl_sound_effects.h"
#include "support/bytes.h"
#include "support/midi_writer.h"
#include "support/wav_writer.h"

namespace zuvela::recorded {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

inline void sleep_ms(int ms) {
    std::this_thread::sleep_for(milliseconds(ms));
}

inline double ms_between(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// ---- files the tests play ----

using test::MidiNote;
using test::write_bytes;

inline void write_tone(const fs::path& path, double hz, double seconds, double amplitude = 0.4) {
    write_bytes(path, test::tone_wav(hz, seconds, amplitude));
}

inline void write_midi(const fs::path& path, int program, const std::vector<MidiNote>& notes) {
    write_bytes(path, test::midi_notes(program, notes));
}

inline constexpr int k_piano = 0;
inline constexpr int k_flute = 73;

// ---- the recording ----

// What the disk driver wrote, with the time each mixed buffer left the mixer.
class Recording {
  public:
    Recording(std::vector<std::int16_t> samples, int rate, int channels,
              std::vector<std::pair<Clock::time_point, long>> buffers)
        : m_samples(std::move(samples)), m_rate(rate), m_channels(channels), m_buffers(std::move(buffers)) {}

    long frames() const { return long(m_samples.size()) / m_channels; }
    int rate() const { return m_rate; }
    double seconds(long frames) const { return double(frames) / m_rate; }
    long frames_in(double seconds) const { return long(std::lround(seconds * m_rate)); }

    // The first frame mixed after `t`.
    long frame_at(Clock::time_point t) const {
        for (const auto& [when, first] : m_buffers) {
            if (when >= t) return first;
        }
        return frames();
    }
    // When a frame would be heard on a device that plays what it is given at once.
    Clock::time_point time_of(long frame) const {
        auto it = std::upper_bound(m_buffers.begin(), m_buffers.end(), frame,
                                   [](long f, const auto& b) { return f < b.second; });
        if (it == m_buffers.begin()) return m_buffers.front().first;
        --it;
        return it->first + std::chrono::duration_cast<Clock::duration>(
                               std::chrono::duration<double>(seconds(frame - it->second)));
    }

    int peak(long from, long to) const {
        int peak = 0;
        for (long f = std::max(0L, from); f < std::min(to, frames()); ++f) {
            for (int c = 0; c < m_channels; ++c)
                peak = std::max(peak, std::abs(int(m_samples[std::size_t(f * m_channels + c)])));
        }
        return peak;
    }
    // First frame at or after `from` (before `to`) louder than `threshold`; nothing when none.
    std::optional<long> first_sound(long from, long to, int threshold = 64) const {
        for (long f = std::max(0L, from); f < std::min(to, frames()); ++f) {
            if (std::abs(int(m_samples[std::size_t(f * m_channels)])) > threshold) return f;
        }
        return std::nullopt;
    }
    // Last frame before `to` (at or after `from`) louder than `threshold`.
    std::optional<long> last_sound(long from, long to, int threshold = 64) const {
        for (long f = std::min(to, frames()) - 1; f >= std::max(0L, from); --f) {
            if (std::abs(int(m_samples[std::size_t(f * m_channels)])) > threshold) return f;
        }
        return std::nullopt;
    }
    // The amplitude (of full scale) of a sine of `hz` in the left channel over [from, from + count), Hann
    // windowed.
    double tone(long from, long count, double hz) const {
        double re = 0, im = 0, weight = 0;
        for (long i = 0; i < count; ++i) {
            const long f = from + i;
            if (f < 0 || f >= frames()) continue;
            const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(i) / double(count));
            const double x = m_samples[std::size_t(f * m_channels)] / 32768.0 * w;
            const double phase = 2 * std::numbers::pi * hz * double(f) / m_rate;
            re += x * std::cos(phase);
            im -= x * std::sin(phase);
            weight += w;
        }
        return weight > 0 ? 2 * std::hypot(re, im) / weight : 0;
    }
    // The smallest and largest tone level over windows of 20 ms stepping by 10 ms across [from, to).
    std::pair<double, double> tone_range(long from, long to, double hz) const {
        const long window = frames_in(0.02);
        double low = 1e9, high = 0;
        for (long f = from; f + window <= to; f += window / 2) {
            const double level = tone(f, window, hz);
            low = std::min(low, level);
            high = std::max(high, level);
        }
        return {low, high};
    }

  private:
    std::vector<std::int16_t> m_samples;
    int m_rate;
    int m_channels;
    std::vector<std::pair<Clock::time_point, long>> m_buffers;  // mixed at, first frame
};

// Each test plays into a file of its own through SDL's disk driver.
class SdlAudioTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static int counter = 0;
        dir = fs::temp_directory_path() /
              ("zuvela-audio-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        fs::create_directories(dir);
        raw = dir / "played.raw";
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
        ::unsetenv("SDL_DISKAUDIODELAY");
    }
    void TearDown() override {
        stop_recording();
        fs::remove_all(dir);
    }

    // Opens the device through the services under test and starts stamping the mixed buffers.
    // The disk driver waits a whole number of milliseconds per buffer, so with 512 frames (10.67 ms) it plays
    // about 5 % faster than the sample rate; tests that time music against the clock use 480 frames (10 ms).
    static constexpr int k_real_time_frames = 480;
    void start(bool with_music = true, int buffer_frames = SdlAudioSettings{}.buffer_frames) {
        SdlAudioSettings settings;
        settings.buffer_frames = buffer_frames;
        audio.emplace(settings);
        sounds.emplace(*audio);
        if (with_music) music.emplace(*audio);
        sounds->prepare();
        record();
    }

    // Starts stamping the mixed buffers of the open device.
    void record() {
        ASSERT_TRUE(audio->is_open()) << SDL_GetError();
        ASSERT_EQ(audio->midi_synthesizer(), "timidity");
        stamps = std::make_unique<Stamps>();
        stamps->channels = audio->output_channels();
        Mix_SetPostMix(&Stamps::on_mix, stamps.get());
    }

    // Closes the device and reads back what was played.
    Recording finish() {
        const int rate = audio->frequency();
        const int channels = audio->output_channels();
        stop_recording();
        std::ifstream in(raw, std::ios::binary);
        std::vector<std::int16_t> samples;
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        samples.resize(bytes.size() / 2);
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        // Buffers written before the hook was installed come first in the file.
        const long file_frames = long(samples.size()) / channels;
        const long offset = file_frames - stamps->mixed_frames;
        EXPECT_GE(offset, 0);
        std::vector<std::pair<Clock::time_point, long>> buffers;
        const int count = std::min(stamps->count.load(), Stamps::k_capacity);
        for (int i = 0; i < count; ++i)
            buffers.emplace_back(stamps->buffers[std::size_t(i)].first,
                                 stamps->buffers[std::size_t(i)].second + offset);
        return Recording(std::move(samples), rate, channels, std::move(buffers));
    }

    void stop_recording() {
        if (audio && audio->is_open()) Mix_SetPostMix(nullptr, nullptr);
        music.reset();
        sounds.reset();
        audio.reset();
    }

    fs::path file(const std::string& name) const { return dir / name; }

    struct Stamps {
        static constexpr int k_capacity = 1 << 15;
        std::array<std::pair<Clock::time_point, long>, k_capacity> buffers;
        std::atomic<int> count{0};
        long mixed_frames = 0;
        int channels = 2;
        static void on_mix(void* data, Uint8*, int length) {
            auto* self = static_cast<Stamps*>(data);
            const int i = self->count.load(std::memory_order_relaxed);
            if (i < k_capacity) self->buffers[std::size_t(i)] = {Clock::now(), self->mixed_frames};
            self->mixed_frames += length / 2 / self->channels;
            self->count.store(i + 1, std::memory_order_release);
        }
    };

    fs::path dir;
    fs::path raw;
    std::optional<SdlAudio> audio;
    std::optional<SdlSoundEffects> sounds;
    std::optional<SdlMusic> music;
    std::unique_ptr<Stamps> stamps;
};

}  // namespace zuvela::recorded
