// The pieces of the audio back end that need no device: the MIDI reader and its release tail, the WAV check,
// the chime, the volume mapping and the stamped cache; and damaged files through the real libraries, each in
// a child process of its own.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

#include "platform/errors.h"
#include "platform/file_stamp.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_music.h"
#include "platform/sdl/sdl_music_smf.h"
#include "platform/sdl/sdl_sound_chime.h"
#include "platform/sdl/sdl_sound_effects.h"
#include "support/bytes.h"
#include "support/child_process.h"
#include "support/midi_writer.h"
#include "support/sanitizers.h"
#include "support/wav_writer.h"

namespace zuvela {
namespace {

namespace fs = std::filesystem;
using test::midi_file;
using test::put_vlq;
using test::read_bytes;
using test::riff;
using test::wav_chunk;
using test::wav_format;

const fs::path k_test_data = fs::path(__FILE__).parent_path() / "data";

// Runs `body` in a child process on SDL's dummy audio driver, its address space capped 1 GB above its start
// (unless the sanitizer needs the room), so that a file wrongly accepted can neither take the machine's
// memory nor end the test run. Returns what `body` returned, or 100 + the signal that ended the child.
int in_child(const std::function<int()>& body) {
    return answer_in_child([&] {
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        cap_address_space_growth();
        return body();
    });
}

// One note lasting `ticks` (at 96 a quarter, 120 beats a minute: 192 a second), then `extra` note events.
std::vector<std::uint8_t> long_track(std::uint32_t ticks, std::size_t extra = 0) {
    std::vector<std::uint8_t> t = {0x00, 0x90, 60, 100};
    for (std::size_t i = 0; i < extra; ++i) t.insert(t.end(), {0x00, 62, std::uint8_t(i & 1 ? 0 : 90)});
    put_vlq(t, ticks);
    t.insert(t.end(), {0x80, 60, 0, 0x00, 0xff, 0x2f, 0x00});
    return t;
}

// A format 0 file: one note of `ticks` at 96 ticks a quarter, with an optional tempo.
test::Bytes one_note_file(std::uint32_t ticks, std::uint32_t tempo_us = 0) {
    test::Bytes track = tempo_us ? test::tempo_event(0, tempo_us) : test::Bytes{};
    track.insert(track.end(), {0x00, 0x90, 60, 100});
    test::put_vlq(track, ticks);
    track.insert(track.end(), {0x80, 60, 0});
    track.insert(track.end(), test::k_end_of_track.begin(), test::k_end_of_track.end());
    return test::midi_file({track}, 0);
}

TEST(SdlMusicSmf, TheShippedTuneLastsItsTwentyEightBars) {
    const auto smf = read_bytes(fs::path(ZUVELA_ASSET_DIR) / "MUSIC/001.MID");
    const MidiTiming timing = read_midi_timing(smf);
    // 28 bars of 4/4 at 108 beats a minute.
    EXPECT_NEAR(timing.seconds, 28 * 4 * 60.0 / 108, 0.001);
    EXPECT_EQ(timing.end_tick, 28u * 4 * 480);
}

TEST(SdlMusicSmf, TempoChangesAreFollowedWhereverTheyFall) {
    EXPECT_NEAR(read_midi_timing(one_note_file(192)).seconds, 1.0, 1e-9);  // two quarters at 120
    EXPECT_NEAR(read_midi_timing(one_note_file(192, 1'000'000)).seconds, 2.0, 1e-9);

    // A note of four quarters: one at 120 beats a minute, two at 60, one at 240. The changes come mid-piece
    // and in both tracks, the later one in the first track.
    test::Bytes conductor = test::tempo_event(288, 250'000);
    conductor.insert(conductor.end(), test::k_end_of_track.begin(), test::k_end_of_track.end());
    test::Bytes notes = {0x00, 0x90, 60, 100};
    const test::Bytes slower = test::tempo_event(96, 1'000'000);
    notes.insert(notes.end(), slower.begin(), slower.end());
    put_vlq(notes, 288);
    notes.insert(notes.end(), {0x80, 60, 0});
    notes.insert(notes.end(), test::k_end_of_track.begin(), test::k_end_of_track.end());
    const test::Bytes smf = midi_file({conductor, notes});
    EXPECT_NEAR(read_midi_timing(smf).seconds, 0.5 + 2.0 + 0.25, 1e-9);
    MidiTiming tailed;
    with_release_tail(smf, 0.15, &tailed);
    EXPECT_NEAR(tailed.seconds, 2.75 + 0.15, 0.003) << "the release counted at the last tempo";
}

TEST(SdlMusicSmf, TheReleaseTailIsATrackOfItsOwnAfterTheEnd) {
    const auto smf = read_bytes(fs::path(ZUVELA_ASSET_DIR) / "MUSIC/001.MID");
    MidiTiming timing;
    const auto tailed = with_release_tail(smf, 0.15, &timing);
    EXPECT_NEAR(timing.seconds, read_midi_timing(smf).seconds + 0.15, 0.002);
    ASSERT_GT(tailed.size(), smf.size());
    EXPECT_TRUE(std::equal(smf.begin() + 12, smf.end(), tailed.begin() + 12))
        << "the piece itself is unchanged";
    EXPECT_EQ(tailed[10] << 8 | tailed[11], (smf[10] << 8 | smf[11]) + 1);
    const MidiTiming again = read_midi_timing(tailed);
    EXPECT_EQ(again.end_tick, timing.end_tick);
    EXPECT_NEAR(again.seconds, timing.seconds, 1e-9);

    // A format 0 file becomes format 1 with two tracks.
    const auto single = with_release_tail(one_note_file(96), 0.25, &timing);
    EXPECT_EQ(single[9], 1);
    EXPECT_EQ(single[11], 2);
    EXPECT_NEAR(timing.seconds, 0.75, 0.01);
}

TEST(SdlMusicSmf, WhatIsNoMidiFileIsRefused) {
    const std::vector<std::uint8_t> text = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 0, 0};
    EXPECT_THROW(read_midi_timing(text), PlatformError);
    EXPECT_THROW(read_midi_timing(std::vector<std::uint8_t>{}), PlatformError);
    auto no_track = one_note_file(96);
    no_track.resize(14);
    EXPECT_THROW(read_midi_timing(no_track), PlatformError);
    auto truncated = one_note_file(96);
    truncated.resize(truncated.size() - 6);  // the track ends before its End of Track
    EXPECT_THROW(read_midi_timing(truncated), PlatformError);
    auto cut_short = one_note_file(96);
    cut_short[21] = std::uint8_t(cut_short[21] + 10);  // the chunk runs past the end of the file
    EXPECT_NO_THROW(read_midi_timing(cut_short));
    EXPECT_EQ(with_release_tail(cut_short, 0.15), cut_short) << "a damaged file gets no tail";
}

TEST(SdlMusicSmf, WhatTheSynthesizerWouldReadOtherwiseOrChokeOnIsRefused) {
    const std::vector<std::uint8_t> end = {0x00, 0xff, 0x2f, 0x00};
    auto track = [&](std::vector<std::uint8_t> events) {
        events.insert(events.end(), end.begin(), end.end());
        return events;
    };
    const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> refused = {
        {"a delta of five bytes", midi_file({track({0x81, 0x80, 0x80, 0x80, 0x00, 0x90, 60, 100})})},
        {"data with no status", midi_file({track({0x00, 60, 100})})},
        {"a short tempo", midi_file({track({0x00, 0xff, 0x51, 0x02, 0x07, 0xa1, 0x00, 0x90, 60, 100})})},
        {"a tempo too fast",
         midi_file({track({0x00, 0xff, 0x51, 0x03, 0x00, 0x00, 0x01, 0x00, 0x90, 60, 100})})},
        {"a system message", midi_file({track({0x00, 0xf1, 0x00, 0x00, 0x90, 60, 100})})},
        {"no End of Track", midi_file({{0x00, 0x90, 60, 100}, track({0x00, 0x90, 64, 100})})},
        {"format 2", midi_file({track({0x00, 0x90, 60, 100})}, 2)},
        {"format 0 with two tracks", midi_file({track({0x00, 0x90, 60, 100}), track({})}, 0)},
        {"over 30 minutes", midi_file({long_track(1801 * 192)})},
        {"over 200 000 events", midi_file({long_track(192, 200'010)})},
        {"over 256 tracks", midi_file(std::vector(257, long_track(192)))},
        {"a track past the end before another",
         [&] {
             auto smf = midi_file({track({0x00, 0x90, 60, 100}), track({0x00, 0x90, 64, 100})});
             smf[20] = 0x7f;
             return smf;
         }()},
    };
    for (const auto& [what, smf] : refused) EXPECT_THROW(with_release_tail(smf, 0.15), PlatformError) << what;

    EXPECT_NEAR(read_midi_timing(with_release_tail(midi_file({long_track(1799 * 192)}), 0.15)).seconds,
                1799.15, 0.01);
    EXPECT_NO_THROW(with_release_tail(midi_file({long_track(192, 199'900)}), 0.15));
    EXPECT_NO_THROW(with_release_tail(midi_file(std::vector(256, long_track(192))), 0.15));

    // The file on which the synthesizer read backwards for minutes: a delta of 93 bytes.
    const auto runaway = read_bytes(k_test_data / "midi-overlong-delta.mid");
    ASSERT_EQ(runaway.size(), 232u);
    EXPECT_THROW(with_release_tail(runaway, 0.15), PlatformError);
    // A second track of five whose length runs past the end of the file: the synthesizer read the tracks
    // after it, never checked, until it had taken 1.6 GB.
    EXPECT_THROW(with_release_tail(read_bytes(k_test_data / "midi-track-past-end.mid"), 0.15), PlatformError);
}

TEST(SdlMusicSmf, TheRunawayFileFailsToLoadAndTheTuneStillLoads) {
    const std::string runaway = (k_test_data / "midi-overlong-delta.mid").string();
    const std::string tune = (fs::path(ZUVELA_ASSET_DIR) / "MUSIC/001.MID").string();
    const auto started = std::chrono::steady_clock::now();
    const int answer = in_child([&] {
        SdlAudio audio;
        SdlMusic music(audio);
        music.create_performance();
        if (!audio.is_open()) return 10;
        try {
            music.load_segment(runaway);
            return 1;
        } catch (const PlatformError&) {
        }
        return music.load_segment(tune) > 0 ? 0 : 2;
    });
    EXPECT_EQ(answer, 0);
    std::printf("[          ] loading both took %.3f s\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
}

bool accepted(const std::vector<std::uint8_t>& wav) {
    try {
        SdlSoundEffects::check_wav(wav, "test");
        return true;
    } catch (const PlatformError&) {
        return false;
    }
}

TEST(SdlSoundEffectsCheck, OnlyPlainSoundWithinTheFileIsDecoded) {
    const std::vector<std::uint8_t> tenth(4410, 0x10);
    const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> good = {
        {"16-bit mono", riff({wav_format(1, 1, 22050, 16), wav_chunk("data", tenth)})},
        {"8-bit stereo at 8 kHz", riff({wav_format(1, 2, 8000, 8), wav_chunk("data", tenth)})},
        {"24-bit at 192 kHz",
         riff({wav_format(1, 2, 192000, 24), wav_chunk("data", std::vector<std::uint8_t>(600))})},
        {"float", riff({wav_format(3, 1, 44100, 32), wav_chunk("data", tenth)})},
        {"an odd chunk first",
         riff({wav_chunk("LIST", {1, 2, 3}), wav_format(1, 1, 22050, 16), wav_chunk("data", tenth)})},
        {"59 seconds",
         riff({wav_format(1, 1, 8000, 8), wav_chunk("data", std::vector<std::uint8_t>(59 * 8000))})},
    };
    for (const auto& [what, wav] : good) EXPECT_TRUE(accepted(wav)) << what;
    int shipped = 0;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(ZUVELA_ASSET_DIR) / "SOUND")) {
        if (entry.path().extension() != ".WAV" && entry.path().extension() != ".wav") continue;
        EXPECT_TRUE(accepted(read_bytes(entry.path()))) << entry.path();
        ++shipped;
    }
    EXPECT_GT(shipped, 20);

    auto data_claiming = [&](std::uint32_t length) {
        auto wav = riff({wav_format(1, 1, 22050, 16), wav_chunk("data", tenth)});
        for (int i = 0; i < 4; ++i) wav[std::size_t(40 + i)] = std::uint8_t(length >> (8 * i));
        return wav;
    };
    EXPECT_TRUE(accepted(data_claiming(4410)));
    const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> bad = {
        {"838 MB claimed in 204 bytes", read_bytes(k_test_data / "wav-838mb-data-chunk.wav")},
        {"data one byte past the end", data_claiming(4411)},
        {"a chunk past the end",
         riff({wav_format(1, 1, 22050, 16), wav_chunk("LIST", {1, 2}, 1000), wav_chunk("data", tenth)})},
        {"extensible", riff({wav_format(0xfffe, 1, 22050, 16), wav_chunk("data", tenth)})},
        {"ADPCM", riff({wav_format(2, 1, 22050, 4, 256), wav_chunk("data", tenth)})},
        {"64-bit float", riff({wav_format(3, 1, 22050, 64), wav_chunk("data", tenth)})},
        {"12 bits", riff({wav_format(1, 1, 22050, 12, 2), wav_chunk("data", tenth)})},
        {"three channels", riff({wav_format(1, 3, 22050, 16), wav_chunk("data", tenth)})},
        {"no channel", riff({wav_format(1, 0, 22050, 16, 2), wav_chunk("data", tenth)})},
        {"7 999 Hz", riff({wav_format(1, 1, 7999, 16), wav_chunk("data", tenth)})},
        {"192 001 Hz", riff({wav_format(1, 1, 192001, 16), wav_chunk("data", tenth)})},
        {"a wrong frame size", riff({wav_format(1, 2, 22050, 16, 2), wav_chunk("data", tenth)})},
        {"data before format", riff({wav_chunk("data", tenth), wav_format(1, 1, 22050, 16)})},
        {"no data", riff({wav_format(1, 1, 22050, 16)})},
        {"61 seconds",
         riff({wav_format(1, 1, 8000, 8), wav_chunk("data", std::vector<std::uint8_t>(61 * 8000))})},
        {"not RIFF", std::vector<std::uint8_t>(64, 'x')},
    };
    for (const auto& [what, wav] : bad) EXPECT_FALSE(accepted(wav)) << what;
    auto huge = riff({wav_format(1, 1, 22050, 16), wav_chunk("data", tenth)});
    huge.resize((std::size_t(16) << 20) + 1);
    EXPECT_FALSE(accepted(huge)) << "over 16 MB";
}

// SDL takes the first format chunk and ignores any later one, so the check must measure with the first too.
TEST(SdlSoundEffectsCheck, TheFirstFormatCountsAndALengthIsCountedInFrames) {
    // 488 000 bytes: 61 s of 8-bit mono at 8 kHz, 2.8 s of 16-bit stereo at 44.1 kHz.
    const std::vector<std::uint8_t> bytes(61 * 8000, 0x80);
    const auto mono = wav_format(1, 1, 8000, 8);
    const auto stereo = wav_format(1, 2, 44100, 16);
    EXPECT_TRUE(accepted(riff({stereo, mono, wav_chunk("data", bytes)})));
    EXPECT_FALSE(accepted(riff({mono, stereo, wav_chunk("data", bytes)})));
    const auto adpcm = wav_format(2, 1, 22050, 4, 256);
    EXPECT_TRUE(accepted(riff({stereo, adpcm, wav_chunk("data", bytes)}))) << "a later format is not read";

    // Four bytes a frame.
    const auto at_8k = wav_format(1, 2, 8000, 16);
    EXPECT_TRUE(accepted(riff({at_8k, wav_chunk("data", std::vector<std::uint8_t>(59 * 8000 * 4))})))
        << "59 seconds";
    EXPECT_FALSE(accepted(riff({at_8k, wav_chunk("data", std::vector<std::uint8_t>(61 * 8000 * 4))})))
        << "61 seconds";
}

TEST(SdlSoundEffectsCheck, TheDamagedWavIsRefusedAndTheShippedOnesDecodeAsBefore) {
    const fs::path dir = fs::temp_directory_path() / ("zuvela-wav-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::vector<std::uint8_t> tenth(4410, 0x10);
    for (const auto& [name, wav] :
         {std::pair{"float.wav", riff({wav_format(3, 1, 44100, 32), wav_chunk("data", tenth)})},
          {"24.wav", riff({wav_format(1, 2, 22050, 24), wav_chunk("data", std::vector<std::uint8_t>(600))})}})
        std::ofstream(dir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(wav.data()), std::streamsize(wav.size()));
    const int answer = in_child([&] {
        SdlAudio audio;
        if (!audio.hold()) return 10;
        try {
            SdlSoundEffects::decode_file((k_test_data / "wav-838mb-data-chunk.wav").string());
            return 1;
        } catch (const PlatformError&) {
        }
        for (const char* name : {"float.wav", "24.wav"})
            if (!SdlSoundEffects::decode_file((dir / name).string())) return 2;
        for (const auto& entry : fs::recursive_directory_iterator(fs::path(ZUVELA_ASSET_DIR) / "SOUND")) {
            if (entry.path().extension() != ".WAV") continue;
            const auto ours = SdlSoundEffects::decode_file(entry.path().string());
            Mix_Chunk* theirs = Mix_LoadWAV(entry.path().c_str());
            const bool same = theirs && ours->alen == theirs->alen &&
                              std::memcmp(ours->abuf, theirs->abuf, ours->alen) == 0;
            Mix_FreeChunk(theirs);
            if (!same) return 3;
        }
        audio.release();
        return 0;
    });
    EXPECT_EQ(answer, 0) << "1: the damaged file was decoded, 2: SDL refused a format the check passes, 3: a "
                            "shipped sound decodes differently, 10: no device, 100+: killed by that signal";
    fs::remove_all(dir);
}

TEST(SdlSoundChime, AGentleBellOfAboutAThirdOfASecondWithFadedEnds) {
    const auto samples = default_chime_samples(48000);
    EXPECT_NEAR(double(samples.size()) / 48000, 0.32, 0.001);
    int peak = 0;
    for (std::int16_t s : samples) peak = std::max(peak, std::abs(int(s)));
    EXPECT_LT(peak, 32768 / 2) << "well below full scale";
    EXPECT_GT(peak, 32768 / 5);
    EXPECT_EQ(samples.front(), 0);
    EXPECT_LT(std::abs(int(samples.back())), 30);
    for (std::size_t i = 0; i < 48; ++i)
        EXPECT_LT(std::abs(int(samples[i])), 2000) << "the first millisecond rises";

    const auto wav = default_chime_wav(44100);
    EXPECT_EQ(wav.size(), 44 + 2 * default_chime_samples(44100).size());
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
}

TEST(SdlMusicVolume, HundredthsOfADecibelOnTheMixerScale) {
    EXPECT_EQ(SdlMusic::mixer_volume(150), SdlMusic::k_normal_mixer_volume);
    EXPECT_EQ(SdlMusic::mixer_volume(150 - 2000), std::lround(SdlMusic::k_normal_mixer_volume / 10.0));
    EXPECT_EQ(SdlMusic::mixer_volume(-3000), 1) << "31.5 dB below normal: barely audible, not off";
    EXPECT_EQ(SdlMusic::mixer_volume(-10000), 0);
    EXPECT_EQ(SdlMusic::mixer_volume(7710), 128);
    EXPECT_LT(SdlMusic::mixer_volume(0), SdlMusic::mixer_volume(150));
}

TEST(FileStamp, NamesARegularFileOnly) {
    const fs::path dir = fs::temp_directory_path() / ("zuvela-stamp-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string path = (dir / "a").string();
    EXPECT_FALSE(stamp_of(path));
    EXPECT_FALSE(stamp_of(dir.string()));
    std::ofstream(path) << "one";
    const auto first = stamp_of(path);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->size, 3);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::ofstream(path) << "two";
    EXPECT_NE(stamp_of(path), first) << "same length, new time";

    StampedCache<int> cache;
    int decodes = 0;
    auto decode = [&](const std::string&) { return ++decodes; };
    EXPECT_EQ(cache.load(path, decode), 1);
    EXPECT_EQ(cache.load(path, decode), 1);
    fs::remove(path);
    EXPECT_FALSE(cache.load(path, decode));
    EXPECT_EQ(cache.size(), 0u);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace zuvela
