// The audio back end against the real SDL2_mixer, through SDL's disk audio driver: it plays in real time into
// a file, which each test reads back. A post-mix hook stamps every mixed buffer with the time it was mixed,
// so a sample's place in the file gives the moment it left the mixer.
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

namespace zuvela {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

void sleep_ms(int ms) {
    std::this_thread::sleep_for(milliseconds(ms));
}

double ms_between(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// ---- files the tests play ----

void write_bytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

// A sine tone as a 16-bit mono WAV at 44.1 kHz (the mixer converts it), with 5 ms ramps at both ends.
void write_tone(const fs::path& path, double hz, double seconds, double amplitude = 0.4) {
    constexpr int rate = 44100;
    const int frames = int(seconds * rate);
    const int ramp = rate / 200;
    std::vector<std::uint8_t> wav;
    for (const char* tag : {"RIFF"}) wav.insert(wav.end(), tag, tag + 4);
    put32(wav, 36 + 2 * std::uint32_t(frames));
    wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(wav, 16);
    put16(wav, 1);
    put16(wav, 1);
    put32(wav, rate);
    put32(wav, rate * 2);
    put16(wav, 2);
    put16(wav, 16);
    wav.insert(wav.end(), {'d', 'a', 't', 'a'});
    put32(wav, 2 * std::uint32_t(frames));
    for (int i = 0; i < frames; ++i) {
        const double edge = std::min({1.0, double(i) / ramp, double(frames - 1 - i) / ramp});
        const double v = amplitude * edge * std::sin(2 * std::numbers::pi * hz * i / rate);
        put16(wav, std::uint16_t(std::int16_t(std::lround(v * 32767))));
    }
    write_bytes(path, wav);
}

struct MidiNote {
    int key;
    double start;  // seconds
    double length;
};

// A format 0 MIDI file at 120 beats a minute, 480 ticks a quarter (960 ticks a second), one program.
void write_midi(const fs::path& path, int program, const std::vector<MidiNote>& notes) {
    struct Event {
        std::uint32_t tick;
        std::array<std::uint8_t, 3> bytes;
    };
    std::vector<Event> events;
    for (const MidiNote& n : notes) {
        events.push_back({std::uint32_t(n.start * 960), {0x90, std::uint8_t(n.key), 100}});
        events.push_back({std::uint32_t((n.start + n.length) * 960), {0x80, std::uint8_t(n.key), 0}});
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.tick < b.tick; });
    std::vector<std::uint8_t> track = {0x00, 0xc0, std::uint8_t(program)};
    std::uint32_t at = 0;
    for (const Event& e : events) {
        std::uint32_t delta = e.tick - at;
        at = e.tick;
        std::vector<std::uint8_t> vlq = {std::uint8_t(delta & 0x7f)};
        while (delta >>= 7) vlq.insert(vlq.begin(), std::uint8_t((delta & 0x7f) | 0x80));
        track.insert(track.end(), vlq.begin(), vlq.end());
        track.insert(track.end(), e.bytes.begin(), e.bytes.end());
    }
    track.insert(track.end(), {0x00, 0xff, 0x2f, 0x00});
    std::vector<std::uint8_t> smf = {'M', 'T', 'h', 'd',  0,    0,   0,   6,   0,
                                     0,   0,   1,   0x01, 0xe0, 'M', 'T', 'r', 'k'};
    smf.push_back(std::uint8_t(track.size() >> 24));
    smf.push_back(std::uint8_t(track.size() >> 16));
    smf.push_back(std::uint8_t(track.size() >> 8));
    smf.push_back(std::uint8_t(track.size()));
    smf.insert(smf.end(), track.begin(), track.end());
    write_bytes(path, smf);
}

constexpr int k_piano = 0;
constexpr int k_flute = 73;

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

// ---- sound effects ----

TEST_F(SdlAudioTest, APlayIsHeardWithin30Milliseconds) {
    const fs::path wav = file("a.wav");
    write_tone(wav, 440, 0.15);
    start(false);
    sleep_ms(50);
    std::vector<Clock::time_point> calls;
    std::vector<double> call_ms;
    for (int i = 0; i < 12; ++i) {
        calls.push_back(Clock::now());
        sounds->play(wav.string());
        call_ms.push_back(ms_between(calls.back(), Clock::now()));
        sleep_ms(200 + 7 * i);  // the calls fall on different places in the buffer
    }
    const Recording r = finish();
    std::printf("play() returned after %.2f ms the first time (decoding the file), then at most %.2f ms\n",
                call_ms.front(), *std::max_element(call_ms.begin() + 1, call_ms.end()));
    std::vector<double> latencies;
    for (const Clock::time_point call : calls) {
        const long from = r.frame_at(call - milliseconds(20));
        const auto onset = r.first_sound(from, from + r.frames_in(0.3));
        ASSERT_TRUE(onset) << "the play was not heard";
        latencies.push_back(ms_between(call, r.time_of(*onset)));
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("click to sound (disk driver): min %.1f ms, median %.1f ms, max %.1f ms\n", latencies.front(),
                latencies[latencies.size() / 2], latencies.back());
    EXPECT_GE(latencies.front(), -1.0);
    // The figures are printed; timings are not asserted on a shared machine, only that the sound comes.
    EXPECT_LT(latencies.back(), 300.0);
}

TEST_F(SdlAudioTest, ASecondPlayCutsOffTheFirst) {
    write_tone(file("a.wav"), 440, 0.8);
    write_tone(file("b.wav"), 660, 0.4);
    start(false);
    sounds->play(file("a.wav").string());
    sleep_ms(250);
    sounds->play(file("b.wav").string());
    const Clock::time_point second = Clock::now();  // the change comes with the next buffer mixed after this
    sleep_ms(500);
    const Recording r = finish();

    const long cut = r.frame_at(second);
    const auto before = r.tone_range(cut - r.frames_in(0.15), cut - r.frames_in(0.02), 440);
    EXPECT_GT(before.first, 0.3) << "the first sound plays until the second call";
    const auto after_a = r.tone_range(cut + r.frames_in(0.03), cut + r.frames_in(0.35), 440);
    const auto after_b = r.tone_range(cut + r.frames_in(0.03), cut + r.frames_in(0.35), 660);
    EXPECT_LT(after_a.second, 0.004) << "the first sound is gone";
    EXPECT_GT(after_b.first, 0.3) << "the second sound plays";
    EXPECT_LT(r.peak(0, r.frames()), 32767) << "no clipping";
}

TEST_F(SdlAudioTest, SpeakPlaysBesidePlayAndANewWordReplacesTheLast) {
    write_tone(file("effect.wav"), 440, 1.2, 0.3);
    write_tone(file("one.wav"), 660, 1.0, 0.3);
    write_tone(file("two.wav"), 880, 0.5, 0.3);
    start(false);
    sounds->play(file("effect.wav").string());
    sleep_ms(100);
    sounds->speak(file("one.wav").string());
    sleep_ms(350);
    sounds->speak(file("two.wav").string());
    const Clock::time_point second = Clock::now();
    sleep_ms(800);
    const Recording r = finish();

    const long cut = r.frame_at(second);
    const long before = cut - r.frames_in(0.2);
    EXPECT_GT(r.tone_range(before, cut - r.frames_in(0.02), 440).first, 0.2) << "the effect plays";
    EXPECT_GT(r.tone_range(before, cut - r.frames_in(0.02), 660).first, 0.2) << "the word plays beside it";
    const long after = cut + r.frames_in(0.03);
    EXPECT_GT(r.tone_range(after, after + r.frames_in(0.4), 440).first, 0.2)
        << "a word does not cut the effect";
    EXPECT_LT(r.tone_range(after, after + r.frames_in(0.4), 660).second, 0.003) << "the first word is gone";
    EXPECT_GT(r.tone_range(after, after + r.frames_in(0.4), 880).first, 0.2) << "the second word plays";
}

TEST_F(SdlAudioTest, AMissingOrUnreadableWavPlaysTheDefaultChime) {
    write_bytes(file("damaged.wav"), {'R', 'I', 'F', 'F', 1, 2, 3});
    start(false);
    std::vector<Clock::time_point> calls;
    for (const char* name : {"missing.wav", "damaged.wav"}) {
        calls.push_back(Clock::now());
        sounds->play(file(name).string());
        sleep_ms(500);
    }
    const Recording r = finish();
    for (const Clock::time_point call : calls) {
        const long from = r.frame_at(call);
        const auto onset = r.first_sound(from, from + r.frames_in(0.45), 30);
        ASSERT_TRUE(onset) << "the default sound is heard";
        const auto end = r.last_sound(*onset, from + r.frames_in(0.45), 30);
        EXPECT_NEAR(r.seconds(*end - *onset), k_chime_seconds, 0.05) << "about a third of a second";
        EXPECT_GT(r.tone(*onset, r.frames_in(0.08), k_chime_first_hz), 0.1) << "ding";
        EXPECT_GT(
            r.tone(*onset + r.frames_in(k_chime_second_at + 0.01), r.frames_in(0.08), k_chime_second_hz), 0.1)
            << "dong";
        EXPECT_LT(r.peak(*onset, *end), 32767 / 2);
    }
}

TEST_F(SdlAudioTest, AMissingVoiceIsSilentAndEndsTheWordBeforeIt) {
    write_bytes(file("damaged.wav"), {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v'});
    write_tone(file("word.wav"), 660, 1.0, 0.3);
    start(false);
    const Clock::time_point begin = Clock::now();
    sounds->speak(file("missing.wav").string());
    sounds->speak(file("damaged.wav").string());
    sleep_ms(300);
    sounds->speak(file("word.wav").string());
    sleep_ms(200);
    sounds->speak(file("missing.wav").string());
    const Clock::time_point missing = Clock::now();
    sleep_ms(300);
    const Recording r = finish();
    EXPECT_EQ(r.peak(r.frame_at(begin), r.frame_at(begin) + r.frames_in(0.25)), 0)
        << "silence, no default sound";
    const long cut = r.frame_at(missing);
    EXPECT_GT(r.tone_range(cut - r.frames_in(0.1), cut, 660).first, 0.2);
    EXPECT_EQ(r.peak(cut + r.frames_in(0.03), r.frames()), 0);
}

TEST_F(SdlAudioTest, AReplacedChangedOrRemovedFileIsReadAfresh) {
    const fs::path wav = file("colour.wav");
    write_tone(wav, 440, 0.25);
    start(false);
    std::vector<Clock::time_point> calls;
    auto play = [&] {
        calls.push_back(Clock::now());
        sounds->play(wav.string());
        sleep_ms(300);
    };
    play();
    play();  // served from the cache
    EXPECT_EQ(sounds->cached_sounds(), 1u);
    write_tone(file("other.wav"), 660, 0.25);
    fs::rename(file("other.wav"), wav);  // replaced by another file
    play();
    write_tone(wav, 880, 0.25);  // rewritten in place, the same length
    play();
    fs::remove(wav);
    play();  // the default chime
    EXPECT_EQ(sounds->cached_sounds(), 0u);
    const Recording r = finish();

    const double expected[] = {440, 440, 660, 880, k_chime_first_hz};
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const long from = r.frame_at(calls[i]);
        const auto onset = r.first_sound(from, from + r.frames_in(0.1), 30);
        ASSERT_TRUE(onset) << "call " << i;
        EXPECT_GT(r.tone(*onset + r.frames_in(0.01), r.frames_in(0.06), expected[i]), 0.1) << "call " << i;
    }
}

// ---- music ----

TEST_F(SdlAudioTest, MusicPlaysAndAStopFallsSilentWithin100Milliseconds) {
    const fs::path mid = file("long.mid");
    write_midi(mid, k_flute, {{72, 0.0, 3.0}, {76, 0.0, 3.0}});
    start(true, k_real_time_frames);
    const int segment = music->load_segment(mid.string());
    music->create_performance();
    music->set_master_volume(150);
    const int playback = music->play_segment(segment);
    EXPECT_GT(segment, 0);
    EXPECT_GT(playback, 0);
    sleep_ms(600);
    EXPECT_TRUE(music->is_playing(segment, playback));
    const Clock::time_point stop = Clock::now();
    music->stop(segment, playback);
    EXPECT_FALSE(music->is_playing(segment, playback));
    sleep_ms(300);
    const Recording r = finish();

    const long at = r.frame_at(stop);
    EXPECT_GT(r.peak(at - r.frames_in(0.3), at), 1000) << "the music was heard";
    const auto last = r.last_sound(at - r.frames_in(0.1), r.frames(), 8);
    ASSERT_TRUE(last);
    const double silent_after = ms_between(stop, r.time_of(*last + 1));
    std::printf("stop to silence: %.1f ms\n", silent_after);
    EXPECT_LT(silent_after, 1000.0) << "it falls silent";
    // The fade: no step at the end larger than a small part of the level before.
    EXPECT_LT(r.peak(*last - r.frames_in(0.005), *last + 1), r.peak(at - r.frames_in(0.1), at) / 3);
}

TEST_F(SdlAudioTest, AShortPieceRestartsWithin500MillisecondsWhenPolledLikeTheApp) {
    const fs::path mid = file("tune.mid");
    // Three notes, 0.6 s in all; the last one is held to the very end.
    write_midi(mid, k_piano, {{72, 0.0, 0.18}, {74, 0.2, 0.18}, {76, 0.4, 0.2}});
    start(true, k_real_time_frames);
    music->create_performance();
    music->set_master_volume(-3000);
    const int segment = music->load_segment(mid.string());
    music->set_master_volume(150);
    int playback = music->play_segment(segment);
    const Clock::time_point begin = Clock::now();
    std::vector<Clock::time_point> plays = {begin};
    std::vector<Clock::time_point> restarts;
    bool playing_at_first_tick = false;
    for (int tick = 1; tick <= 6; ++tick) {  // tmrRepeat: every 500 ms
        std::this_thread::sleep_until(begin + milliseconds(500 * tick));
        if (music->is_playing(segment, playback)) {
            if (tick == 1) playing_at_first_tick = true;
            continue;
        }
        restarts.push_back(Clock::now());
        plays.push_back(restarts.back());
        playback = music->play_segment(segment);
    }
    sleep_ms(300);
    const Recording r = finish();
    EXPECT_TRUE(playing_at_first_tick);
    ASSERT_GE(restarts.size(), 2u);

    for (std::size_t i = 0; i < restarts.size(); ++i) {
        const long at = r.frame_at(restarts[i]);
        const auto onset = r.first_sound(at, at + r.frames_in(0.1));
        const long previous = r.frame_at(plays[i]);
        const auto previous_onset = r.first_sound(previous, previous + r.frames_in(0.1));
        ASSERT_TRUE(onset && previous_onset);
        const auto end_of_last = r.last_sound(*previous_onset, at);
        ASSERT_TRUE(end_of_last);
        // The last note ended 0.6 s into the piece. Times are those at which the samples left the mixer: the
        // disk driver does not play at exactly the sample rate, a sound card does.
        const Clock::time_point note_end = r.time_of(*previous_onset + r.frames_in(0.6));
        const double note_end_to_restart = ms_between(note_end, r.time_of(*onset)) / 1000;
        const double silence = ms_between(r.time_of(*end_of_last), r.time_of(*onset)) / 1000;
        std::printf("restart: %.0f ms after the last note ended, after %.0f ms of silence\n",
                    1000 * note_end_to_restart, 1000 * silence);
        EXPECT_LT(note_end_to_restart, 2.0) << "it starts again";
        EXPECT_GT(silence, 0.0);
        // The held last note dies away over the release instead of stopping dead.
        const int level = r.peak(*end_of_last - r.frames_in(0.25), *end_of_last - r.frames_in(0.15));
        EXPECT_LT(r.peak(*end_of_last - r.frames_in(0.01), *end_of_last + 1), level / 4);
    }
}

TEST_F(SdlAudioTest, TheSwitchOffSilencesThePlaybackOfThePreviousSwitchOn) {
    const fs::path mid = file("long.mid");
    write_midi(mid, k_flute, {{72, 0.0, 3.0}});
    start(true, k_real_time_frames);
    // MusicOn_Click, switching on.
    music->create_performance();
    music->set_master_volume(-3000);
    const int segment = music->load_segment(mid.string());
    music->set_master_volume(150);
    const int playback = music->play_segment(segment);
    sleep_ms(500);
    // MusicOn_Click, switching off: a new performance, then the old playback's handles.
    const Clock::time_point off = Clock::now();
    music->create_performance();
    music->set_master_volume(-3000);
    music->stop(segment, playback);
    EXPECT_FALSE(music->is_playing(segment, playback));
    sleep_ms(300);
    const Recording r = finish();
    const long at = r.frame_at(off);
    EXPECT_GT(r.peak(at - r.frames_in(0.3), at), 1000) << "heard at the normal level until the switch-off";
    const auto last = r.last_sound(at - r.frames_in(0.1), r.frames(), 8);
    ASSERT_TRUE(last);
    EXPECT_LT(ms_between(off, r.time_of(*last + 1)), 1000.0) << "it falls silent";
}

TEST_F(SdlAudioTest, AStopNamingNothingThatPlaysLeavesTheMusicAlone) {
    const fs::path mid = file("long.mid");
    write_midi(mid, k_flute, {{72, 0.0, 2.0}});
    start();
    music->create_performance();
    const int segment = music->load_segment(mid.string());
    const int playback = music->play_segment(segment);
    music->stop(segment, playback + 7);
    EXPECT_TRUE(music->is_playing(segment, playback));
    // A new performance's stop reaches what the earlier one started, whatever it names.
    music->create_performance();
    music->stop(0, 0);
    EXPECT_FALSE(music->is_playing(segment, playback));
}

TEST_F(SdlAudioTest, TheMasterVolumeBelongsToThePerformanceThatPlays) {
    const fs::path mid = file("long.mid");
    write_midi(mid, k_flute, {{72, 0.0, 3.0}});
    start(true, k_real_time_frames);
    music->create_performance();
    music->set_master_volume(150);
    const int segment = music->load_segment(mid.string());
    music->play_segment(segment);
    sleep_ms(400);
    const Clock::time_point second = Clock::now();
    music->create_performance();  // a new performance, quiet, playing nothing yet
    music->set_master_volume(-3000);
    sleep_ms(400);
    const Clock::time_point third = Clock::now();
    music->play_segment(segment);  // now the quiet performance plays
    sleep_ms(400);
    const Recording r = finish();
    const long a = r.frame_at(second), b = r.frame_at(third);
    const int normal = r.peak(a - r.frames_in(0.2), a);
    const int untouched = r.peak(b - r.frames_in(0.2), b);
    const int quiet = r.peak(b + r.frames_in(0.2), b + r.frames_in(0.35));
    std::printf("music peaks: %d at 150, %d after a new performance's -3000, %d once it plays\n", normal,
                untouched, quiet);
    EXPECT_GT(normal, 1500);
    EXPECT_NEAR(untouched, normal, normal / 5);
    EXPECT_LT(quiet, normal / 15) << "about 31.5 dB quieter";
    EXPECT_GT(quiet, 0) << "but not off";
}

TEST_F(SdlAudioTest, CloseDownReleasesTheDeviceAndALaterCallTakesItAgain) {
    const fs::path mid = file("tune.mid");
    write_midi(mid, k_piano, {{60, 0.0, 0.3}});
    audio.emplace();
    music.emplace(*audio);
    EXPECT_TRUE(audio->is_open());
    music->create_performance();
    const int segment = music->load_segment(mid.string());
    music->play_segment(segment);
    music->close_down();
    EXPECT_FALSE(audio->is_open()) << "no one else holds the device";
    EXPECT_THROW(music->play_segment(segment), PlatformError) << "its segments are gone";
    music->create_performance();
    EXPECT_TRUE(audio->is_open());
    const int again = music->load_segment(mid.string());
    EXPECT_TRUE(music->is_playing(again, music->play_segment(again)));
}

TEST_F(SdlAudioTest, LoadingAMissingOrUnreadableMidiFileFails) {
    write_bytes(file("text.mid"), {'h', 'e', 'l', 'l', 'o'});
    start();
    music->create_performance();
    EXPECT_THROW(music->load_segment(file("missing.mid").string()), PlatformError);
    EXPECT_THROW(music->load_segment(file("text.mid").string()), PlatformError);
    EXPECT_THROW(music->load_segment(dir.string()), PlatformError);
    EXPECT_THROW(music->play_segment(42), PlatformError);
}

TEST_F(SdlAudioTest, TheMusicClickStaysWithinOneFrame) {
    const std::string tune = fs::path(ZUVELA_ASSET_DIR) / "MUSIC/001.MID";
    start();
    auto click = [&] {
        const Clock::time_point t = Clock::now();
        music->create_performance();
        music->set_master_volume(-3000);
        const int segment = music->load_segment(tune);
        music->set_master_volume(150);
        const int playback = music->play_segment(segment);
        const double ms = ms_between(t, Clock::now());
        music->create_performance();
        music->set_master_volume(-3000);
        music->stop(segment, playback);
        return ms;
    };
    const double cold = click();
    const double cached = click();
    music->close_down();
    music.emplace(*audio);
    const std::string doubled =
        fs::path(ZUVELA_ASSET_DIR).string() + "//MUSIC/001.MID";  // as the app spells it
    music->prepare(doubled);
    sleep_ms(200);
    const double prepared = click();
    std::printf(
        "MusicOn_Click (create + volume + load + volume + play): first %.2f ms, again %.2f ms, "
        "after prepare() %.2f ms\n",
        cold, cached, prepared);
}

// ---- no device ----

TEST(SdlAudioWithoutDevice, EverythingSucceedsSilently) {
    ::setenv("SDL_AUDIODRIVER", "nonexistent", 1);
    const fs::path dir = fs::temp_directory_path() / ("zuvela-nodevice-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path mid = dir / "tune.mid";
    write_midi(mid, k_flute, {{72, 0.0, 0.3}});
    {
        SdlAudio audio;
        SdlSoundEffects sounds(audio);
        SdlMusic music(audio);
        EXPECT_FALSE(audio.is_open());
        sounds.play((dir / "missing.wav").string());
        sounds.speak((dir / "missing.wav").string());
        music.prepare(mid.string());
        music.create_performance();
        music.set_master_volume(150);
        EXPECT_THROW(music.load_segment((dir / "missing.mid").string()), PlatformError);
        const int segment = music.load_segment(mid.string());
        int playback = music.play_segment(segment);
        EXPECT_TRUE(music.is_playing(segment, playback)) << "playing for as long as the piece lasts";
        music.stop(segment, playback);
        EXPECT_FALSE(music.is_playing(segment, playback));
        playback = music.play_segment(segment);
        sleep_ms(int(1000 * (0.3 + SdlMusic::k_release_seconds)) + 50);
        EXPECT_FALSE(music.is_playing(segment, playback)) << "and then it ends, to be restarted";
        music.close_down();
    }
    fs::remove_all(dir);
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
}

// ---- measurements for the record (run with --gtest_also_run_disabled_tests) ----

// Plays the shipped tune for 70 s as the app does and keeps the recording in $TMPDIR/zuvela-tune.raw for a
// spectrogram: sox -t raw -r 48000 -e signed -b 16 -c 2 zuvela-tune.raw -n spectrogram -o tune.png
TEST_F(SdlAudioTest, DISABLED_TheTuneAsTheAppPlaysIt) {
    const std::string tune = fs::path(ZUVELA_ASSET_DIR) / "MUSIC/001.MID";
    // 487 frames: the disk driver's 10 ms wait plus its overshoot come closest to the sample rate over a
    // minute.
    start(true, 487);
    music->prepare(tune);
    sleep_ms(100);
    music->create_performance();
    music->set_master_volume(-3000);
    const int segment = music->load_segment(tune);
    music->set_master_volume(150);
    int playback = music->play_segment(segment);
    const Clock::time_point begin = Clock::now();
    Clock::time_point restart{};
    for (int tick = 1; tick <= 140; ++tick) {
        std::this_thread::sleep_until(begin + milliseconds(500 * tick));
        if (!music->is_playing(segment, playback)) {
            if (restart == Clock::time_point{}) restart = Clock::now();
            playback = music->play_segment(segment);
        }
    }
    const Recording r = finish();
    fs::copy_file(raw, fs::temp_directory_path() / "zuvela-tune.raw", fs::copy_options::overwrite_existing);
    ASSERT_NE(restart, Clock::time_point{});
    const long at = r.frame_at(restart);
    const long first = *r.first_sound(0, r.frames());
    const auto onset = r.first_sound(at, at + r.frames_in(0.1));
    const auto end = r.last_sound(at - r.frames_in(2), at);
    ASSERT_TRUE(onset && end);
    const double piece = 28 * 4 * 60.0 / 108;
    const Clock::time_point start_time = r.time_of(first);
    auto at_s = [&](long frame) { return ms_between(start_time, r.time_of(frame)) / 1000; };
    const long note_end = first + r.frames_in(piece);
    std::printf(
        "first rendition heard from frame %ld; its last note ended at %.3f s, the sound died away at %.3f s, "
        "the restart was heard at %.3f s: %.0f ms after the last note, after %.0f ms of silence\n",
        first, at_s(note_end), at_s(*end), at_s(*onset), 1000 * (at_s(*onset) - at_s(note_end)),
        1000 * (at_s(*onset) - at_s(*end)));
    std::printf("the disk driver played %.4f s of samples per second\n",
                r.seconds(*onset - first) / at_s(*onset));
    std::printf("peak %.3f of full scale\n", r.peak(0, r.frames()) / 32768.0);
}

TEST_F(SdlAudioTest, DISABLED_ClickLatencyOverManyCalls) {
    const std::string names[] = {"CRVENA.WAV", "SVPLAVA.WAV"};
    start(false);
    // Where each file's own sound begins (they open with a few milliseconds of silence), as the mixer has it.
    double lead_in[2] = {};
    for (int n = 0; n < 2; ++n) {
        Mix_Chunk* chunk = Mix_LoadWAV((fs::path(ZUVELA_ASSET_DIR) / "SOUND" / names[n]).c_str());
        ASSERT_NE(chunk, nullptr);
        const auto* samples = reinterpret_cast<const std::int16_t*>(chunk->abuf);
        std::size_t i = 0;
        while (i < chunk->alen / 2 && std::abs(int(samples[i])) <= 16) ++i;
        lead_in[n] = double(i / std::size_t(audio->output_channels())) / audio->frequency();
        Mix_FreeChunk(chunk);
    }
    sleep_ms(50);
    std::vector<Clock::time_point> calls;
    for (int i = 0; i < 40; ++i) {
        calls.push_back(Clock::now());
        sounds->play((fs::path(ZUVELA_ASSET_DIR) / "SOUND" / names[i % 2]).string());
        sleep_ms(700 + i % 11);  // each sound has ended before the next
    }
    const Recording r = finish();
    std::vector<double> latencies;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const long from = r.frame_at(calls[i] - milliseconds(12));
        const auto onset = r.first_sound(from, from + r.frames_in(0.2), 16);
        if (onset) latencies.push_back(ms_between(calls[i], r.time_of(*onset)) - 1000 * lead_in[i % 2]);
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("lead-in of the files %.1f and %.1f ms\n", 1000 * lead_in[0], 1000 * lead_in[1]);
    std::printf("%zu clicks: min %.1f ms, median %.1f ms, 95%% %.1f ms, max %.1f ms\n", latencies.size(),
                latencies.front(), latencies[latencies.size() / 2], latencies[latencies.size() * 95 / 100],
                latencies.back());
}

}  // namespace
}  // namespace zuvela
