#include "coloring/tools.h"
#include "coloring/wipe.h"
#include "coloring/wipe_order.h"
#include "coloring_fixture.h"
#include "support/installed_assets.h"
#include "platform/seeded_random.h"

namespace zuvela {
namespace {

class ToolsTest : public ColoringTest {
  protected:
    ToolsTest() {
        fake.files.contents["/opt/Zuvela/PICTURE/KANTICA8.ICO"] = Raster(32, 32);
        fake.files.contents["/opt/Zuvela/PICTURE/CETKA.ICO"] = Raster(32, 32);
    }
    std::string shown(ControlId id) { return fake.files.path_of(app.window().scene().control(id).picture); }
    Point canvas_hot_spot() {
        return fake.display.pointer_hot_spots[app.window().scene().control(ControlId::Slika).custom_pointer];
    }
};

TEST_F(ToolsTest, ThePencilAndTheBucketSwapLooksAndTheCanvasPointer) {
    click(ControlId::olovka);
    EXPECT_EQ(app.window().state().fill_mode, k_false);
    EXPECT_EQ(shown(ControlId::olovka), "/opt/Zuvela/PICTURE/OLOVKA1.JPG");
    EXPECT_EQ(shown(ControlId::kapljica), "/opt/Zuvela/PICTURE/KAPLJICA2.JPG");
    EXPECT_EQ(fake.files.loads.back(), "/opt/Zuvela/PICTURE/CETKA.ICO");
    EXPECT_EQ(canvas_hot_spot(), (Point{16, 16})) << "an icon's hot spot is its centre";
    press(20, 20);
    EXPECT_EQ(canvas_at(20, 20), k_white) << "a press only starts a stroke";

    click(ControlId::kapljica);
    EXPECT_EQ(app.window().state().fill_mode, k_true);
    EXPECT_EQ(shown(ControlId::olovka), "/opt/Zuvela/PICTURE/OLOVKA2.JPG");
    EXPECT_EQ(shown(ControlId::kapljica), "/opt/Zuvela/PICTURE/KAPLJICA1.JPG");
    EXPECT_EQ(fake.files.loads.back(), "/opt/Zuvela/PICTURE/KANTICA8.ICO");
    press(20, 20);
    EXPECT_EQ(canvas_at(20, 20), rgb(255, 0, 0));
    EXPECT_TRUE(fake.sounds.played.size() == 1u) << "tool buttons are silent; the fill is not";
}

TEST_F(ToolsTest, AMissingPointerEndsTheToolClickQuietlyWithTheToolSwitched) {
    fake.files.failing.insert("/opt/Zuvela/PICTURE/CETKA.ICO");
    click(ControlId::olovka);
    EXPECT_EQ(app.window().state().fill_mode, k_false);
    EXPECT_EQ(shown(ControlId::kapljica), "/opt/Zuvela/PICTURE/KAPLJICA2.JPG");
    click(ControlId::kapljica);  // the program goes on
    EXPECT_EQ(app.window().state().fill_mode, k_true);
}

TEST_F(ToolsTest, TheEraserWipesAndBringsBackTheCurrentPicture) {
    fake.files.contents["/opt/Zuvela/PICTURE/07.GIF"] = picture_1;
    app.window().state().current_picture = 7;
    app.window().state().fill_mode = k_false;
    press(20, 20);
    app.window().state().fill_mode = k_true;
    press(70, 20);
    click(ControlId::Rubber);
    EXPECT_EQ(fake.files.loads,
              (std::vector<std::string>{"/opt/Zuvela/PICTURE/00.GIF", "/opt/Zuvela/PICTURE/07.GIF"}));
    EXPECT_EQ(app.canvas().image().pixels, picture_1.pixels);
    EXPECT_EQ(app.window().state().fill_mode, k_true);
    EXPECT_EQ(app.window().state().current_picture, 7);
    EXPECT_EQ(fake.sounds.played.back(), "/opt/Zuvela/SOUND/LJUBICASTA.WAV");
}

TEST_F(ToolsTest, AMissingBlankSheetLeavesTheColouringAndSkipsTheReload) {
    press(20, 20);
    fake.files.failing.insert("/opt/Zuvela/PICTURE/00.GIF");
    click(ControlId::Rubber);
    EXPECT_EQ(canvas_at(20, 20), rgb(255, 0, 0)) << "the sweep never touched the canvas image";
    EXPECT_EQ(app.window().scene().control(ControlId::Slika).live, &app.canvas().image());
    EXPECT_EQ(fake.files.loads, std::vector<std::string>{});

    click(ControlId::Papir);  // trapped as well: the program goes on
    click(ControlId::olovka);
    EXPECT_EQ(app.window().state().fill_mode, k_false);
}

TEST_F(ToolsTest, ThePaperButtonLeavesTheBlankSheetAndKeepsTheRest) {
    app.window().state().current_color = std::int32_t(rgb(0, 0, 255));
    press(20, 20);
    click(ControlId::Papir);
    for (Color c : app.canvas().image().pixels) ASSERT_EQ(c, k_white);
    EXPECT_EQ(app.window().state().current_picture, 1);
    EXPECT_EQ(app.window().state().current_color, std::int32_t(rgb(0, 0, 255)));
    press(400, 300);  // the blank sheet fills whole
    EXPECT_EQ(canvas_at(0, 0), rgb(0, 0, 255));
    EXPECT_EQ(canvas_at(749, 599), rgb(0, 0, 255));
}

TEST_F(ToolsTest, EachPassIsShownFrameByFrameOverAboutASecond) {
    fake.random.values = {0.5f};  // pattern 4: one pass
    const double start = fake.clock.now;
    const int presents = fake.display.presents;
    app.window().scene().set_visible(ControlId::Slika, true);
    app.window().render();  // nothing shown yet: the main window is not up
    click(ControlId::Papir);
    EXPECT_EQ(app.wipe().last_pattern(), 4);
    EXPECT_GE(fake.clock.now - start, 0.8);
    EXPECT_LE(fake.clock.now - start, 2.0);
    EXPECT_GT(fake.clock.sleeps, 30) << "paced by sleeping, not spinning";
    EXPECT_EQ(fake.display.presents, presents) << "the fake window was never shown";

    fake.random.values = {0.6f};  // pattern 5: the interlaced pass, then columns right
    fake.random.next = 0;
    const double second = fake.clock.now;
    click(ControlId::Papir);
    EXPECT_EQ(app.wipe().last_pattern(), 5);
    EXPECT_GE(fake.clock.now - second, 1.6);
    EXPECT_LE(fake.clock.now - second, 4.0);
}

TEST_F(ToolsTest, ClicksMadeDuringAWipeWaitAndEachGetsAFullWipe) {
    install_all_assets(fake);
    const Rect paper = app.window().scene().control(ControlId::Papir).place;
    const double running = fake.clock.now + 7;  // start-up is over
    fake.display.post_click(paper.x + 2, paper.y + 2, running);
    fake.display.post_click(paper.x + 2, paper.y + 2, running + 0.1);  // made while the first one runs
    EXPECT_THROW(app.run(), ScriptFinished);
    EXPECT_EQ(std::count(fake.files.loads.begin(), fake.files.loads.end(), "/opt/Zuvela/PICTURE/00.GIF"), 2);
}

TEST(WipePatternDraw, TheFirstWipeOfEveryRunUsesTheSamePattern) {
    SeededRandom first_run, second_run;
    EXPECT_EQ(draw_wipe_pattern(first_run), draw_wipe_pattern(second_run));
}

}  // namespace
}  // namespace zuvela
