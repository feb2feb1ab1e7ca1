// The background music against the real SDL2_mixer and its Timidity synthesizer, recorded through SDL's disk
// audio driver.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "sdl_audio_recording.h"

namespace zuvela::recorded {
namespace {

// ---- music ----

// The music heard up to a stop, then silent before the recording ends (it runs on for 300 ms after the stop):
// a stop that did not take would sound to the very end. Returns the last frame with sound.
std::optional<long> expect_heard_then_silent(const Recording& r, Clock::time_point stop) {
    const long at = r.frame_at(stop);
    EXPECT_GT(r.peak(at - r.frames_in(0.3), at), 1000) << "the music was heard until the stop";
    const auto last = r.last_sound(at - r.frames_in(0.1), r.frames(), 8);
    if (!last) {
        ADD_FAILURE() << "no sound around the stop";
        return last;
    }
    std::printf("stop to silence: %.1f ms\n", ms_between(stop, r.time_of(*last + 1)));
    EXPECT_LT(*last + 1, r.frames() - r.frames_in(0.1)) << "it falls silent";
    return last;
}

TEST_F(SdlAudioTest, MusicPlaysAndAStopFallsSilent) {
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

    const auto last = expect_heard_then_silent(r, stop);
    ASSERT_TRUE(last);
    const long at = r.frame_at(stop);
    // The fade: no step at the end larger than a small part of the level before.
    EXPECT_LT(r.peak(*last - r.frames_in(0.005), *last + 1), r.peak(at - r.frames_in(0.1), at) / 3);
}

// As the program starts: constructing the services opens no device; once the splash shows, the piece is made
// ready in the background (here before anything else holds the device), and the first switch-on after
// start-up plays it.
TEST_F(SdlAudioTest, TheMusicPlaysWhenSwitchedOnAfterStartUp) {
    const fs::path mid = file("long.mid");
    write_midi(mid, k_flute, {{72, 0.0, 3.0}});
    SdlAudioSettings settings;
    settings.buffer_frames = k_real_time_frames;
    audio.emplace(settings);
    sounds.emplace(*audio);
    music.emplace(*audio);
    EXPECT_FALSE(audio->is_open()) << "the start waits for no audio device";
    music->prepare(mid.string());
    sleep_ms(300);
    sounds->prepare();
    record();
    // MusicOn_Click, switching on.
    const Clock::time_point on = Clock::now();
    music->create_performance();
    music->set_master_volume(-3000);
    const int segment = music->load_segment(mid.string());
    music->set_master_volume(150);
    const int playback = music->play_segment(segment);
    sleep_ms(600);
    EXPECT_TRUE(music->is_playing(segment, playback));
    const Recording r = finish();
    EXPECT_GT(r.peak(r.frame_at(on), r.frames()), 1000) << "the tune is heard";
}

TEST_F(SdlAudioTest, AShortPieceRestartsWhenPolledLikeTheApp) {
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
    std::size_t restarts = 0;
    bool playing_at_first_tick = false;
    for (int tick = 1; tick <= 6; ++tick) {  // tmrRepeat: every 500 ms
        std::this_thread::sleep_until(begin + milliseconds(500 * tick));
        if (music->is_playing(segment, playback)) {
            if (tick == 1) playing_at_first_tick = true;
            continue;
        }
        ++restarts;
        playback = music->play_segment(segment);
    }
    sleep_ms(300);
    const Recording r = finish();
    EXPECT_TRUE(playing_at_first_tick);
    ASSERT_GE(restarts, 2u);

    // Each play found in the recording itself, not by the clock (the disk driver drifts from it): the first
    // sound after at least 30 ms of quiet, looked for once the piece's 0.6 s of notes are over. A restart
    // that cut into the last note's release leaves no such quiet, and is not found.
    const auto next_play = [&](long from) -> std::optional<long> {
        long quiet = 0;
        for (long f = std::max(0L, from); f < r.frames(); ++f) {
            if (!r.first_sound(f, f + 1)) {
                ++quiet;
            } else if (quiet >= r.frames_in(0.03)) {
                return f;
            } else {
                quiet = 0;
            }
        }
        return std::nullopt;
    };
    std::vector<long> onsets;
    if (const auto onset = r.first_sound(0, r.frames())) onsets.push_back(*onset);
    ASSERT_FALSE(onsets.empty()) << "the piece was not heard";
    while (onsets.size() <= restarts) {
        const auto onset = next_play(onsets.back() + r.frames_in(0.6));
        if (!onset) break;
        onsets.push_back(*onset);
    }
    ASSERT_EQ(onsets.size(), restarts + 1) << "each restart heard after the last one died away";

    for (std::size_t i = 1; i < onsets.size(); ++i) {
        const auto end_of_last = r.last_sound(onsets[i - 1], onsets[i]);
        ASSERT_TRUE(end_of_last);
        // The last note ended 0.6 s into the piece. Times are those at which the samples left the mixer: the
        // disk driver does not play at exactly the sample rate, a sound card does.
        const Clock::time_point note_end = r.time_of(onsets[i - 1] + r.frames_in(0.6));
        const double note_end_to_restart = ms_between(note_end, r.time_of(onsets[i])) / 1000;
        const double silence = ms_between(r.time_of(*end_of_last), r.time_of(onsets[i])) / 1000;
        std::printf("restart: %.0f ms after the last note ended, after %.0f ms of silence\n",
                    1000 * note_end_to_restart, 1000 * silence);
        EXPECT_LT(note_end_to_restart, 2.0) << "it starts again";
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
    expect_heard_then_silent(r, off);
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
    music->create_performance();
    EXPECT_TRUE(audio->is_open());
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

}  // namespace
}  // namespace zuvela::recorded
