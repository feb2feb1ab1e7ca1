#include "coloring/printing.h"

#include "coloring_fixture.h"
#include "platform/errors.h"
#include "support/installed_assets.h"

namespace zuvela {
namespace {

const std::string k_snapshot = "/opt/Zuvela//MY_PICTURE/01.GIF";

// Ctrl+P arrives through the running program's event loop, after start-up.
class PrintingTest : public ColoringTest {
  protected:
    PrintingTest() { install_all_assets(fake); }
    void ctrl_p_at(double at) { fake.display.post(KeyEvent{'P', k_ctrl_key}, at); }
    // Something done by a handler while the notice shows: a mouse move over the bare window runs it.
    void during_wait(double at, std::function<void()> action) {
        app.window().router().on_mouse_move(ControlId::Form, [action](const MouseArgs&) { action(); });
        fake.display.post_move(1010, 20, 0, at);
    }
    void run() { EXPECT_THROW(app.run(), ScriptFinished); }
    bool notice() { return app.window().scene().control(ControlId::PrintPict).visible; }

    double running = fake.clock.now + 7;  // start-up is over
};

TEST_F(PrintingTest, ThePictureIsSavedReadBackShownForTheWaitThenPrinted) {
    press(20, 20);
    bool notice_during_wait = false;
    double printed_at = 0;
    ctrl_p_at(running);
    during_wait(running + 1, [&] { notice_during_wait = notice(); });
    run();
    printed_at = fake.clock.now;

    EXPECT_TRUE(notice_during_wait);
    EXPECT_FALSE(notice());
    EXPECT_GE(printed_at - running, 3.0);
    const int save = fake.position_of("save " + k_snapshot);
    const int load = fake.position_of("load " + k_snapshot);
    const int print = fake.position_of("print");
    EXPECT_TRUE(save >= 0 && save < load && load < print);
    ASSERT_EQ(fake.files.saved.count(k_snapshot), 1u);
    EXPECT_EQ(fake.files.saved[k_snapshot].at(20, 20), rgb(255, 0, 0)) << "the colouring is in the snapshot";
    ASSERT_EQ(fake.printer.printed.size(), 1u);
    EXPECT_EQ(fake.printer.printed[0].at(20, 20) & k_color_mask, rgb(255, 0, 0));
}

TEST_F(PrintingTest, TheNoticeIsDrawnAtOnceAndStaysForTheWait) {
    const Rect notice_place = app.window().scene().control(ControlId::PrintPict).place;
    fake.display.probe = {notice_place.x, notice_place.y};
    ctrl_p_at(running);
    run();
    const Color notice_face = 0xFF808080 & k_color_mask;  // the fake's built-in pictures
    const auto shown = std::find_if(fake.display.probed.begin(), fake.display.probed.end(),
                                    [&](const auto& frame) { return frame.second == notice_face; });
    ASSERT_NE(shown, fake.display.probed.end());
    EXPECT_LT(shown->first - running, 0.1) << "drawn before the wait, not after it";
    EXPECT_NE(fake.display.probed.back().second, notice_face) << "and taken away after the wait";
}

TEST_F(PrintingTest, AFillDuringTheWaitIsNotPrinted) {
    ctrl_p_at(running);
    during_wait(running + 1, [&] { press(70, 20); });
    run();
    EXPECT_EQ(app.canvas().image().at(70, 20), rgb(255, 0, 0)) << "the fill happened";
    ASSERT_EQ(fake.printer.printed.size(), 1u);
    EXPECT_EQ(fake.printer.printed[0].at(70, 20) & k_color_mask, k_white) << "but is not printed";
}

TEST_F(PrintingTest, AWipeDuringTheWaitIsPrinted) {
    ctrl_p_at(running);
    during_wait(running + 1,
                [&] { app.canvas().load_picture("/PICTURE/00.GIF"); });  // the sheet a wipe leaves
    run();
    ASSERT_EQ(fake.printer.printed.size(), 1u);
    ASSERT_EQ(picture_1.at(30, 5), k_black) << "an outline pixel, white on the blank sheet";
    EXPECT_EQ(fake.printer.printed[0].at(30, 5) & k_color_mask, k_white)
        << "the blank sheet, not the outline";
}

TEST_F(PrintingTest, ASecondCtrlPDuringTheWaitPrintsInsideTheFirst) {
    ctrl_p_at(running);
    during_wait(running + 1, [&] { press(70, 20); });
    ctrl_p_at(running + 2);
    run();
    ASSERT_EQ(fake.printer.printed.size(), 2u);
    EXPECT_EQ(std::count(fake.log.begin(), fake.log.end(), "save " + k_snapshot), 2);
    EXPECT_EQ(fake.printer.printed[0].at(70, 20) & k_color_mask, rgb(255, 0, 0))
        << "the inner one took the fill made before it";
}

TEST_F(PrintingTest, LeavingDuringTheWaitStillHandsThePageToThePrinter) {
    ctrl_p_at(running);
    fake.display.post(EndRequest{15}, running + 1);
    EXPECT_EQ(app.run(), 128 + 15);
    EXPECT_EQ(fake.printer.printed.size(), 1u) << "the page asked for went with the program";
}

TEST_F(PrintingTest, AFailedSaveStillShowsTheNoticeAndPrintsTheCanvasAndSaysWhyOnce) {
    fake.files.failing.insert(k_snapshot);
    press(20, 20);
    bool notice_during_wait = false;
    ctrl_p_at(running);
    during_wait(running + 1, [&] { notice_during_wait = notice(); });
    run();
    EXPECT_TRUE(fake.logged("save " + k_snapshot));
    EXPECT_FALSE(fake.logged("load " + k_snapshot)) << "nothing read back from a file not written";
    EXPECT_TRUE(notice_during_wait);
    ASSERT_EQ(fake.printer.printed.size(), 1u);
    EXPECT_EQ(fake.printer.printed[0].at(20, 20) & k_color_mask, rgb(255, 0, 0))
        << "the colouring is printed";
    const std::string said = diagnostics.str();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find(k_snapshot), std::string::npos) << said;
}

TEST(PrintingSnapshot, GoesToTheUsersFolderWhenTheProgramsIsNotWritable) {
    FakePlatform fake;
    std::ostringstream diagnostics;
    Application app{fake.platform, AppConfig{"", "", "/home/child/.local/share/zuvela/MY_PICTURE"},
                    diagnostics};
    EXPECT_EQ(app.printing().snapshot_path(), "/home/child/.local/share/zuvela/MY_PICTURE/01.GIF");
}

}  // namespace
}  // namespace zuvela
