#include <gtest/gtest.h>

#include <sstream>

#include "platform/errors.h"
#include "platform/fake/fake_platform.h"
#include "shell/asset_check.h"
#include "shell/asset_paths.h"
#include "shell/forma_main.h"
#include "support/installed_assets.h"

namespace zuvela {
namespace {

class StartupTest : public ::testing::Test {
  protected:
    StartupTest() {
        install_all_assets(fake);
        window.seams().check_asset_files = [this] { check_asset_files(window, asset_lengths, diagnostics); };
    }

    // Runs start-up and then the event loop until the scripted events are used up.
    int run() {
        try {
            return window.run();
        } catch (const ScriptFinished&) {
            return -1;
        }
    }

    FakePlatform fake;
    FormaMain window{fake.platform, AppConfig{"https://zuvela.example/", "https://quillmar.example/", ""}};
    std::ostringstream diagnostics;
};

TEST_F(StartupTest, StepsRunInOrderAndLeaveTheFirstValues) {
    const double start = fake.clock.now;
    window.seams().did_show_splash = [&] { fake.log.push_back("prepare the host"); };
    EXPECT_EQ(run(), -1);

    // The splash comes first; the lock, the host's preparations and the start scene's pictures while it
    // shows.
    const int chdir = fake.position_of("chdir /opt/Zuvela");
    const int splash = fake.position_of("show_splash 200x248");
    const int lock = fake.position_of("lock_install");
    const int prepare = fake.position_of("prepare the host");
    const int main = fake.position_of("show_main");
    const int first_check = fake.position_of("length /opt/Zuvela/PICTURE/01.GIF");
    const int last_check = fake.position_of("length /opt/Zuvela/PICTURE/ZVUCNIK2.JPG");
    const int fullscreen = fake.position_of("enter_fullscreen");
    EXPECT_TRUE(chdir >= 0 && chdir < splash && splash < lock && lock < prepare && prepare < main &&
                main < first_check && first_check < last_check && last_check < fullscreen);
    int decodes_after_splash = 0;
    for (int i = splash + 1; i < main; ++i)
        decodes_after_splash += fake.log[std::size_t(i)].starts_with("decode");
    EXPECT_GT(decodes_after_splash, 20) << "the start scene is decoded while the splash shows";
    EXPECT_EQ(fake.position_of("decode"), splash - 1) << "only the splash card before it";
    EXPECT_EQ(fake.display.caption, "Tindora - Zuvela 2  by Quillmar Studio");
    EXPECT_GE(fake.clock.now - start, 6.0) << "two waits of three seconds";

    const ProgramState& s = window.state();
    EXPECT_EQ(s.app_dir, "/opt/Zuvela");
    EXPECT_EQ(s.app_path, "/opt/Zuvela/");
    EXPECT_EQ(s.current_color, 255);
    EXPECT_EQ(s.current_picture, 1);
    EXPECT_EQ(s.screen_mode, 0);
    EXPECT_EQ(s.music_off, 1);
    EXPECT_EQ(s.music_playing, 0);
    EXPECT_EQ(s.fill_mode, k_true);
    EXPECT_EQ(s.sounds_on(), 1);
    EXPECT_EQ(s.window_sounds_on(), 1);
    EXPECT_EQ(s.keyboard_hook, 7);
    for (Flag f : s.palette_selected) EXPECT_EQ(f, 0);
    EXPECT_EQ(fake.files.loads.size(), 0u) << "the start scene is built in; no asset file is read";
    EXPECT_GT(fake.display.presents, 0);
}

TEST_F(StartupTest, AFailedCheckEndsTheProgramBeforeTheDisplaySwitch) {
    fake.files.lengths["/opt/Zuvela/PICTURE/01.GIF"] += 1;
    EXPECT_NE(run(), 0);
    EXPECT_TRUE(fake.logged("show_main"));
    EXPECT_FALSE(fake.logged("enter_fullscreen"));
    EXPECT_FALSE(fake.logged("length /opt/Zuvela/PICTURE/02.GIF")) << "no later entry is looked at";
    EXPECT_TRUE(fake.logged("lock_release 7"));
    EXPECT_EQ(fake.browser.opened.size(), 0u);
    EXPECT_NE(diagnostics.str().find("/opt/Zuvela/PICTURE/01.GIF"), std::string::npos);
}

TEST_F(StartupTest, AHandlerDuringTheSecondWaitSeesTheFirstValues) {
    std::int32_t color_seen = -1;
    window.router().on_click(ControlId::Papir, [&] {
        color_seen = window.state().current_color;
        window.state().current_color = 12345;
    });
    fake.display.post_click(950, 420, fake.clock.now + 4.5);
    run();
    EXPECT_EQ(color_seen, 255);
    EXPECT_EQ(window.state().current_color, 12345) << "the first values are not set again";
}

TEST_F(StartupTest, ClicksDuringTheSplashAreNotHandled) {
    bool clicked = false;
    window.router().on_click(ControlId::Papir, [&] { clicked = true; });
    fake.display.post_click(950, 420, fake.clock.now + 1);
    run();
    EXPECT_FALSE(clicked);
}

TEST_F(StartupTest, AScreenThatCannotBeTakenSkipsTheSecondWait) {
    fake.display.fail_fullscreen = true;
    const double start = fake.clock.now;
    run();
    EXPECT_LT(fake.clock.now - start, 6.0);
    EXPECT_TRUE(window.state().display_ddraw) << "the switch exists even though the mode change failed";
    EXPECT_EQ(window.state().current_picture, 1);
}

class ShutdownTest : public StartupTest {
  protected:
    int yes() {
        run();
        fake.log.clear();
        try {
            window.Da_Click();
        } catch (const EndProgram& end) {
            return end.exit_status;
        }
        ADD_FAILURE() << "Yes must end the program";
        return -1;
    }
};

TEST_F(ShutdownTest, YesRestoresTheScreenReleasesTheLockMinimisesAndOpensTheStudiosSite) {
    window.state().music_performance = true;
    EXPECT_EQ(yes(), 0);
    EXPECT_EQ(fake.log, (CallLog{"leave_fullscreen", "lock_release 7", "music_close_down", "minimise_main",
                                 "open https://quillmar.example/", "lock_release 7"}));
}

TEST_F(ShutdownTest, YesWithMusicPlayingStopsItFirst) {
    window.seams().stop_music = [this] { fake.log.push_back("stop_music"); };
    window.state().music_playing = 1;
    yes();
    EXPECT_EQ(fake.position_of("stop_music"), 0);
    EXPECT_EQ(fake.position_of("leave_fullscreen"), 1);
}

TEST_F(ShutdownTest, AFailingRestoreSkipsTheUnloadButTheLockIsStillReleased) {
    fake.display.fail_leave_fullscreen = true;
    EXPECT_EQ(yes(), 0);
    EXPECT_EQ(fake.log, (CallLog{"leave_fullscreen", "lock_release 7"}));
}

TEST_F(ShutdownTest, AScreenThatCouldNotBeTakenStillStepsAsideOnYes) {
    fake.display.fail_fullscreen = true;
    EXPECT_EQ(yes(), 0);
    EXPECT_EQ(fake.log, (CallLog{"leave_fullscreen", "lock_release 7", "minimise_main",
                                 "open https://quillmar.example/", "lock_release 7"}));
}

TEST_F(ShutdownTest, NoDisplaySwitchMeansNoMinimiseAndNoSite) {
    run();
    window.state().display_ddraw = false;  // start-up ended before the switch
    fake.log.clear();
    EXPECT_THROW(window.Da_Click(), EndProgram);
    EXPECT_EQ(fake.log, (CallLog{"lock_release 7"}));
}

TEST_F(ShutdownTest, AFailingMusicCloseDownEndsTheUnloadThere) {
    window.state().music_performance = true;
    fake.music.fail_close_down = true;
    yes();
    EXPECT_FALSE(fake.logged("minimise_main"));
    EXPECT_EQ(fake.browser.opened.size(), 0u);
}

TEST_F(ShutdownTest, WithoutALockStartUpGoesOnAndNothingIsReleased) {
    fake.key_lock.fail_install = true;
    EXPECT_EQ(yes(), 0);
    EXPECT_EQ(window.state().keyboard_hook, 0);
    EXPECT_EQ(fake.position_of("lock_release"), -1);
    EXPECT_TRUE(fake.logged("minimise_main"));
}

TEST(AssetPaths, KeepTheFolderAsSpelledAndTolerateTheRoot) {
    EXPECT_EQ(make_app_dir("/home/ana/Igre/zuvela"), "/home/ana/Igre/zuvela");
    EXPECT_EQ(make_app_path("/home/ana/Igre/zuvela"), "/home/ana/Igre/zuvela/");
    EXPECT_EQ(make_app_path("/"), "/");
    EXPECT_EQ(asset_path(make_app_dir("/"), "/PICTURE/01.GIF"), "//PICTURE/01.GIF");
    EXPECT_EQ(asset_path(make_app_path("/opt/z"), "/MUSIC/001.MID"), "/opt/z//MUSIC/001.MID");
    EXPECT_EQ(outline_picture_literal(7), "/PICTURE/07.GIF");
    EXPECT_EQ(outline_picture_literal(25), "/PICTURE/25.GIF");
}

TEST_F(StartupTest, TheMainWindowShowsEvenWhenTheSplashCannot) {
    fake.display.fail_splash = true;
    EXPECT_EQ(run(), -1) << "the program runs on, waiting for events";
    EXPECT_TRUE(fake.logged("show_main"));
    EXPECT_FALSE(fake.logged("enter_fullscreen")) << "the load ended at the splash";
}

TEST_F(StartupTest, WithoutAMainWindowTheProgramSaysSoAndEnds) {
    std::ostringstream said;
    window.set_diagnostics(said);
    fake.display.fail_main = true;
    EXPECT_EQ(run(), 1);
    EXPECT_NE(said.str().find("main window"), std::string::npos);
}

TEST_F(StartupTest, ASignalEndsTheProgramGivingBackTheScreenAndTheKeys) {
    fake.display.post(EndRequest{15}, fake.clock.now + 8);
    fake.log.clear();
    EXPECT_EQ(run(), 128 + 15);
    const int leave = fake.position_of("leave_fullscreen");
    const int release = fake.position_of("lock_release 7");
    const int audio = fake.position_of("music_close_down");
    EXPECT_TRUE(leave >= 0 && leave < release && release < audio);
    EXPECT_FALSE(fake.logged("minimise_main"));
    EXPECT_TRUE(fake.browser.opened.empty());
}

TEST_F(StartupTest, ASignalDuringTheSplashEndsTheProgramToo) {
    fake.display.post(EndRequest{2}, fake.clock.now + 1);
    EXPECT_EQ(run(), 128 + 2);
    EXPECT_FALSE(fake.logged("leave_fullscreen")) << "the screen was never taken";
    EXPECT_TRUE(fake.logged("lock_release 7"));
}

}  // namespace
}  // namespace zuvela
