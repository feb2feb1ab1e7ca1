// The pieces of the audio back end that need no device: the MIDI reader and its release tail, the chime, the
// volume mapping and the stamped cache.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/errors.h"
#include "platform/file_stamp.h"
#include "platform/sdl/sdl_music.h"
#include "platform/sdl/sdl_music_smf.h"
#include "platform/sdl/sdl_sound_chime.h"

namespace zuvela {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> read_bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A format 0 file: one note of `ticks` at 96 ticks a quarter, with an optional tempo.
std::vector<std::uint8_t> one_note_file(std::uint32_t ticks, std::uint32_t tempo_us = 0) {
    std::vector<std::uint8_t> track;
    if (tempo_us) {
        track.insert(track.end(), {0x00, 0xff, 0x51, 0x03, std::uint8_t(tempo_us >> 16),
                                   std::uint8_t(tempo_us >> 8), std::uint8_t(tempo_us)});
    }
    track.insert(track.end(), {0x00, 0x90, 60, 100});
    track.insert(track.end(), {std::uint8_t(0x80 | (ticks >> 7)), std::uint8_t(ticks & 0x7f), 0x80, 60, 0});
    track.insert(track.end(), {0x00, 0xff, 0x2f, 0x00});
    std::vector<std::uint8_t> smf = {'M', 'T', 'h', 'd', 0,   0,   0,   6, 0, 0, 0,
                                     1,   0,   96,  'M', 'T', 'r', 'k', 0, 0, 0, std::uint8_t(track.size())};
    for (std::uint8_t b : track) smf.push_back(b);  // (GCC 12 warns, wrongly, about a range insert here)
    return smf;
}

TEST(SdlMusicSmf, TheShippedTuneLastsItsTwentyEightBars) {
    const auto smf = read_bytes(fs::path(ZUVELA_ASSET_DIR) / "MUSIC/001.MID");
    const MidiTiming timing = read_midi_timing(smf);
    // 28 bars of 4/4 at 108 beats a minute.
    EXPECT_NEAR(timing.seconds, 28 * 4 * 60.0 / 108, 0.001);
    EXPECT_EQ(timing.end_tick, 28u * 4 * 480);
}

TEST(SdlMusicSmf, TempoChangesAreFollowed) {
    EXPECT_NEAR(read_midi_timing(one_note_file(192)).seconds, 1.0, 1e-9);  // two quarters at 120
    EXPECT_NEAR(read_midi_timing(one_note_file(192, 1'000'000)).seconds, 2.0, 1e-9);
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
    truncated.resize(truncated.size() - 6);  // the track ends early: read as far as it goes
    EXPECT_NO_THROW(read_midi_timing(truncated));
    EXPECT_EQ(with_release_tail(truncated, 0.15), truncated) << "a damaged file gets no tail";
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
