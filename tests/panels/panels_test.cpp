#include "coloring/coloring_fixture.h"
#include "platform/errors.h"
#include "screens/screens.h"

namespace zuvela {
namespace {

const std::string k_dir = "/opt/Zuvela/PICTURE/";

class PanelsTest : public ColoringTest {
  protected:
    PanelsTest() { app.window().state().display_ddraw = true; }
    Scene& scene() { return app.window().scene(); }
    ProgramState& state() { return app.window().state(); }
    bool visible(ControlId id) { return scene().control(id).visible; }
    bool enabled(ControlId id) { return scene().control(id).enabled; }
    std::string shown(ControlId id) { return fake.files.path_of(scene().control(id).picture); }
    void key(int code, int shift) { app.window().router().dispatch(KeyEvent{code, shift}); }
    void ctrl(char letter) { key(letter, k_ctrl_key); }
    void move_over(ControlId id) {
        const Rect r = scene().control(id).place;
        app.window().router().dispatch(
            MouseEvent{MouseAction::Move, 0, 0, 0, double(r.x + 2), double(r.y + 2)});
    }
    bool main_frozen() {
        return !visible(ControlId::Papir) && visible(ControlId::Slika) && !enabled(ControlId::Slika);
    }
};

TEST_F(PanelsTest, CtrlXFreezesTheScreenAndNoThawsIt) {
    ctrl('X');
    EXPECT_TRUE(visible(ControlId::Izlaz) && visible(ControlId::Da) && visible(ControlId::Ne));
    EXPECT_TRUE(main_frozen());
    ctrl('X');  // again: the same panel, still frozen
    EXPECT_TRUE(main_frozen());
    click(ControlId::Ne);
    EXPECT_FALSE(visible(ControlId::Izlaz) || visible(ControlId::Da) || visible(ControlId::Ne));
    EXPECT_TRUE(visible(ControlId::Papir) && enabled(ControlId::Slika));
}

TEST_F(PanelsTest, OnlyExactlyCtrlAndOnlyTheTwentyOneHoldersTakeShortcuts) {
    key('X', k_ctrl_key | k_shift_key);
    key('X', k_ctrl_key | k_alt_key);
    key('X', 0);
    EXPECT_FALSE(visible(ControlId::Izlaz));

    click(ControlId::PaletaPlava);  // a swatch holds the focus
    ctrl('R');
    EXPECT_TRUE(visible(ControlId::Registered));
    click(ControlId::Firma);  // a part of the panel holds the focus: no handler
    ctrl('X');
    EXPECT_FALSE(visible(ControlId::Izlaz));
    click(ControlId::Zatvori);  // hidden, so the focus moves on to an object that takes shortcuts
    ctrl('X');
    EXPECT_TRUE(visible(ControlId::Izlaz));
    click(ControlId::Ne);

    app.gallery().MoreImages_Click();
    for (ControlId holder : {gallery_tile(3), ControlId::Back}) {
        scene().take_focus(holder);
        ctrl('X');
        EXPECT_FALSE(visible(ControlId::Izlaz)) << spec_of(holder).name << " has no key handler";
    }
}

TEST_F(PanelsTest, NoOverTheGalleryThawsTheTilesAndBack) {
    app.gallery().MoreImages_Click();
    ctrl('X');
    EXPECT_FALSE(enabled(gallery_tile(1)));
    EXPECT_FALSE(enabled(ControlId::Back));
    EXPECT_TRUE(enabled(ControlId::MoreImages)) << "the hidden main screen is left alone";
    click(ControlId::Ne);
    EXPECT_TRUE(enabled(gallery_tile(1)) && enabled(ControlId::Back));
    click(gallery_tile(4));
    EXPECT_EQ(state().current_picture, 4);
}

TEST_F(PanelsTest, BothPanelsOpenAndEitherClosingThawsTheScreen) {
    ctrl('R');
    ctrl('X');
    EXPECT_EQ(scene().control_at({400, 300}), ControlId::Izlaz) << "the leave panel covers the info panel";
    click(ControlId::Ne);
    EXPECT_TRUE(visible(ControlId::Registered));
    EXPECT_TRUE(enabled(ControlId::Slika)) << "the screen beneath is live again";
}

TEST_F(PanelsTest, YesWithMusicOnStopsItBeforeTheScreenIsGivenBack) {
    app.music().MusicOn_Click();
    fake.log.clear();
    ctrl('X');
    EXPECT_THROW(click(ControlId::Da), EndProgram);
    const int stop = fake.position_of("music_stop");
    const int leave = fake.position_of("leave_fullscreen");
    EXPECT_TRUE(stop >= 0 && stop < leave);
    EXPECT_EQ(fake.browser.opened.back(), app.window().config().studio_url);
}

TEST_F(PanelsTest, TheLinksStepAsideAndOpenTheirSitesWithThePanelStillOpen) {
    ctrl('R');
    click(ControlId::visit_site);
    click(ControlId::Firma);
    EXPECT_EQ(fake.browser.opened,
              (std::vector{app.window().config().product_url, app.window().config().studio_url}));
    EXPECT_EQ(fake.position_of("minimise_main") < fake.position_of("open"), true);
    EXPECT_EQ(fake.position_of("restore_main"), -1) << "the browser is in front now";
    EXPECT_TRUE(visible(ControlId::Registered));
    EXPECT_TRUE(main_frozen());

    // No browser could be started: the book comes back rather than leave a child before the bare desktop.
    fake.browser.none_installed = true;
    fake.log.clear();
    click(ControlId::Firma);
    const int minimised = fake.position_of("minimise_main");
    EXPECT_TRUE(minimised >= 0 && minimised < fake.position_of("restore_main"));
    EXPECT_TRUE(visible(ControlId::Registered));
}

TEST_F(PanelsTest, PanelButtonsLightUpAndRestOnlyOverTheirPanel) {
    ctrl('X');
    move_over(ControlId::Da);
    EXPECT_EQ(shown(ControlId::Da), k_dir + "YES2.JPG");
    move_over(ControlId::Slika);  // the frozen canvas passes the move to the window: the rollover reset
    EXPECT_EQ(shown(ControlId::Da), k_dir + "YES2.JPG") << "the window's reset leaves the panel alone";
    move_over(ControlId::Izlaz);
    EXPECT_EQ(shown(ControlId::Da), k_dir + "YES1.JPG");
    EXPECT_EQ(shown(ControlId::Ne), k_dir + "NO1.JPG");

    click(ControlId::Ne);
    ctrl('R');
    move_over(ControlId::Firma);
    fake.files.failing.insert(k_dir + "CLOSE1.JPG");
    move_over(ControlId::Registered);
    EXPECT_EQ(shown(ControlId::Firma), k_dir + "CTRLRQOZ2.JPG")
        << "a missing picture stops the reset before it";
}

}  // namespace
}  // namespace zuvela
