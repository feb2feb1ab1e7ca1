#include "coloring/coloring_fixture.h"
#include "platform/errors.h"
#include "support/installed_assets.h"

namespace zuvela {
namespace {

const std::string k_midi = "/opt/Zuvela//MUSIC/001.MID";

class AudioTest : public ColoringTest {
  protected:
    AudioTest() { app.window().state().app_path = "/opt/Zuvela/"; }
    ProgramState& state() { return app.window().state(); }
    bool timer() { return app.window().scene().timer_enabled(); }
    CallLog music_calls() {
        CallLog calls;
        for (const std::string& entry : fake.log)
            if (entry.rfind("music_", 0) == 0) calls.push_back(entry);
        fake.log.clear();
        return calls;
    }
};

TEST_F(AudioTest, MusicOnThenOffInOrder) {
    click(ControlId::MusicOn);
    EXPECT_EQ(music_calls(), (CallLog{"music_create_performance", "music_volume -3000",
                                      "music_load " + k_midi, "music_volume 150", "music_play 1"}));
    EXPECT_EQ(state().music_off, 0);
    EXPECT_EQ(state().music_playing, 1);
    EXPECT_TRUE(timer());
    EXPECT_TRUE(fake.files.loads.empty()) << "the click changes no picture";

    click(ControlId::MusicOn);
    EXPECT_EQ(music_calls(), (CallLog{"music_create_performance", "music_volume -3000", "music_stop 1 1"}));
    EXPECT_EQ(state().music_off, 1);
    EXPECT_EQ(state().music_playing, 0);
    EXPECT_FALSE(timer());
}

TEST_F(AudioTest, TheTimerRestartsThePieceOnlyOnceItHasEnded) {
    click(ControlId::MusicOn);
    app.music().tmrRepeat_Timer();
    EXPECT_EQ(fake.music.playbacks, 1) << "still playing";
    fake.music.playing = false;
    app.music().tmrRepeat_Timer();
    EXPECT_EQ(fake.music.playbacks, 2);
    EXPECT_EQ(state().music_segment_state, 2);
}

TEST_F(AudioTest, TheTuneRestartsOnTheGalleryAndUnderAPanelToo) {
    install_all_assets(fake);
    const double running = fake.clock.now + 7;
    const Rect music = app.window().scene().control(ControlId::MusicOn).place;
    fake.display.post_click(music.x + 5, music.y + 5, running);
    int moves = 0;
    app.window().router().on_mouse_move(ControlId::Form, [&](const MouseArgs&) {
        if (++moves == 1) app.gallery().MoreImages_Click();
        if (moves == 2) app.info_panel().show_info_panel();
        fake.music.playing = false;  // the piece ends with the gallery and then a panel on screen
        if (moves == 3) app.window().scene().set_timer_enabled(false);  // lets the script end
    });
    for (double t : {1.0, 3.0, 5.0}) fake.display.post_move(1010, 20, 0, running + t);
    EXPECT_THROW(app.run(), ScriptFinished);
    EXPECT_EQ(fake.music.playbacks, 3) << "the first start and one restart after each end but the last";
}

TEST_F(AudioTest, AMissingPieceLeavesTheMusicSwitchedOnButSilent) {
    fake.music.missing.insert(k_midi);
    click(ControlId::MusicOn);
    EXPECT_EQ(state().music_playing, 1);
    EXPECT_EQ(state().music_off, 0);
    EXPECT_FALSE(timer());
    app.music().tmrRepeat_Timer();
    EXPECT_EQ(fake.music.playbacks, 0) << "nothing to restart";
    click(ControlId::MusicOn);
    EXPECT_EQ(state().music_off, 1) << "the next click switches off";
}

TEST_F(AudioTest, NoMusicServiceLeavesTheSwitchAsItWas) {
    fake.music.fail_create = true;
    click(ControlId::MusicOn);
    EXPECT_EQ(state().music_off, 1);
    EXPECT_EQ(state().music_playing, 0);
    EXPECT_FALSE(timer());
}

TEST_F(AudioTest, StopMusicKeepsMusicOff) {
    click(ControlId::MusicOn);
    app.music().stop_music();
    EXPECT_EQ(state().music_playing, 0);
    EXPECT_EQ(state().music_off, 0);
    EXPECT_FALSE(timer());
}

TEST_F(AudioTest, TheSoundButtonSwitchesBothCopiesAndNothingElse) {
    click(ControlId::MuteWave);
    EXPECT_EQ(state().sounds_on(), 0);
    EXPECT_EQ(state().window_sounds_on(), 0);
    click(ControlId::PaletaZelena);
    press(20, 20);
    EXPECT_TRUE(fake.sounds.played.empty() && fake.sounds.spoken.empty());
    EXPECT_EQ(state().current_color, std::int32_t(rgb(52, 204, 103)));
    EXPECT_EQ(state().music_off, 1);
    click(ControlId::MuteWave);
    EXPECT_EQ(state().sounds_on(), 1);
}

TEST_F(AudioTest, ASwatchSaysItsNameAndNothingElseSpeaks) {
    click(ControlId::PaletaCrvena);
    EXPECT_EQ(fake.sounds.played, std::vector<std::string>{"/opt/Zuvela/SOUND/CRVENA.WAV"});
    EXPECT_EQ(fake.sounds.spoken, std::vector<std::string>{"/opt/Zuvela/SOUND/VOICE/CRVENA.WAV"});
    press(20, 20);
    EXPECT_EQ(fake.sounds.played.back(), "/opt/Zuvela/SOUND/SVPLAVA.WAV");
    EXPECT_EQ(fake.sounds.spoken.size(), 1u) << "a fill makes no word";
}

}  // namespace
}  // namespace zuvela
