// What a child hears, measured for the record through SDL's disk audio driver: the shipped tune as the
// program plays it, restart included, and the latency of many palette clicks. Not part of the suite (each
// takes a minute or more and prints figures rather than deciding anything):
//   build/default/bench/zuvela_measure_audio
#include <gtest/gtest.h>

#include "platform/sdl_audio_recording.h"

namespace zuvela::recorded {
namespace {

// Plays the shipped tune for 70 s as the app does and keeps the recording in $TMPDIR/zuvela-tune.raw for a
// spectrogram: sox -t raw -r 48000 -e signed -b 16 -c 2 zuvela-tune.raw -n spectrogram -o tune.png
TEST_F(SdlAudioTest, TheTuneAsTheAppPlaysIt) {
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

TEST_F(SdlAudioTest, ClickLatencyOverManyCalls) {
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
}  // namespace zuvela::recorded
