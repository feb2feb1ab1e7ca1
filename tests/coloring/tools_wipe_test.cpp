#include <algorithm>
#include <iterator>
#include <optional>
#include <sstream>

#include "coloring/tools.h"
#include "coloring/wipe.h"
#include "coloring/wipe_order.h"
#include "coloring_fixture.h"
#include "platform/seeded_random.h"
#include "support/installed_assets.h"

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

TEST_F(ToolsTest, AnEndSignalDuringAWipeEndsTheProgramWithinAFrame) {
    install_all_assets(fake);
    fake.random.values = {0.6f};  // pattern 5: two passes, over two seconds
    const Rect paper = app.window().scene().control(ControlId::Papir).place;
    const double running = fake.clock.now + 7;  // start-up is over
    fake.display.post_click(paper.x + 2, paper.y + 2, running);
    fake.display.post(EndRequest{15}, running + 0.3);
    EXPECT_EQ(app.run(), 128 + 15);
    EXPECT_LT(fake.clock.now, running + 0.3 + 2 * Wipe::k_frame_seconds) << "on the clock the sweep keeps";
    EXPECT_EQ(std::count(fake.files.loads.begin(), fake.files.loads.end(), "/opt/Zuvela/PICTURE/00.GIF"), 0);
    EXPECT_TRUE(fake.logged("leave_fullscreen"));
    EXPECT_FALSE(fake.key_lock.installed) << "the keys are given back";
}

TEST_F(ToolsTest, EachToolButtonLoadsItsPicturesInOrderAndStopsAtTheFirstMissingOne) {
    click(ControlId::olovka);
    EXPECT_EQ(fake.files.loads, (std::vector<std::string>{"/opt/Zuvela/PICTURE/OLOVKA1.JPG",
                                                          "/opt/Zuvela/PICTURE/KAPLJICA2.JPG",
                                                          "/opt/Zuvela/PICTURE/CETKA.ICO"}));
    fake.files.loads.clear();
    click(ControlId::kapljica);
    EXPECT_EQ(fake.files.loads, (std::vector<std::string>{"/opt/Zuvela/PICTURE/OLOVKA2.JPG",
                                                          "/opt/Zuvela/PICTURE/KAPLJICA1.JPG",
                                                          "/opt/Zuvela/PICTURE/KANTICA8.ICO"}));

    // The pencil's own picture comes first: when it is missing, the bucket keeps its active look.
    fake.files.failing.insert("/opt/Zuvela/PICTURE/OLOVKA1.JPG");
    click(ControlId::olovka);
    EXPECT_EQ(app.window().state().fill_mode, k_false);
    EXPECT_EQ(shown(ControlId::kapljica), "/opt/Zuvela/PICTURE/KAPLJICA1.JPG");
    EXPECT_EQ(shown(ControlId::olovka), "/opt/Zuvela/PICTURE/OLOVKA2.JPG");
    fake.files.failing.clear();
    click(ControlId::olovka);
    fake.files.failing.insert("/opt/Zuvela/PICTURE/OLOVKA2.JPG");
    click(ControlId::kapljica);
    EXPECT_EQ(app.window().state().fill_mode, k_true);
    EXPECT_EQ(shown(ControlId::kapljica), "/opt/Zuvela/PICTURE/KAPLJICA2.JPG");
}

TEST_F(ToolsTest, TheEraserLeavesTheBlankSheetWhenNoPictureIsCurrent) {
    for (const int picture : {0, 26, -1, 99}) {
        SCOPED_TRACE(picture);
        app.window().state().current_picture = std::int16_t(picture);
        press(20, 20);
        fake.files.loads.clear();
        click(ControlId::Rubber);
        EXPECT_EQ(fake.files.loads, std::vector<std::string>{"/opt/Zuvela/PICTURE/00.GIF"});
        EXPECT_EQ(app.canvas().image().width, 750);
        for (Color c : app.canvas().image().pixels) ASSERT_EQ(c & k_color_mask, k_white & k_color_mask);
        EXPECT_EQ(app.window().state().current_picture, picture);
    }
}

TEST_F(ToolsTest, AWipeSoundsOnceHoweverManyPassesItHas) {
    for (const float value : {0.5f, 0.6f, 0.7f, 0.8f, 0.95f}) {  // patterns 4 to 8
        SCOPED_TRACE(value);
        fake.random.values = {value};
        fake.random.next = 0;
        fake.sounds.played.clear();
        click(ControlId::Papir);
        EXPECT_EQ(fake.sounds.played, std::vector<std::string>{"/opt/Zuvela/SOUND/LJUBICASTA.WAV"});
    }
    EXPECT_EQ(app.wipe().last_pattern(), 8);
    app.window().state().set_sounds_on(0);
    fake.sounds.played.clear();
    click(ControlId::Rubber);
    EXPECT_TRUE(fake.sounds.played.empty());
}

// Every frame the window presents, with how much of the canvas it shows white.
class RecordingDisplay final : public Display {
  public:
    explicit RecordingDisplay(FakeDisplay& inner) : m_inner(inner) {}
    void show_splash(const Raster& card, int width, int height) override {
        m_inner.show_splash(card, width, height);
    }
    void hide_splash() override { m_inner.hide_splash(); }
    void show_main(const std::string& caption, const Raster& icon) override {
        m_inner.show_main(caption, icon);
    }
    void minimise_main() override { m_inner.minimise_main(); }
    void enter_fullscreen() override { m_inner.enter_fullscreen(); }
    void leave_fullscreen() override { m_inner.leave_fullscreen(); }
    void present(const Raster& scene, const Rect& dirty) override {
        const Rect canvas = spec_of(ControlId::Slika).place;
        int white = 0;
        for (int y = canvas.y; y < canvas.bottom(); ++y)
            for (int x = canvas.x; x < canvas.right(); ++x)
                white += (scene.at(x, y) & k_color_mask) == k_color_mask;
        white_in_canvas.push_back(white);
        m_inner.present(scene, dirty);
    }
    PointerId make_pointer(const Raster& image, Point hot_spot) override {
        return m_inner.make_pointer(image, hot_spot);
    }
    PointerId system_pointer(SystemPointer which) override { return m_inner.system_pointer(which); }
    void set_pointer(PointerId pointer) override { m_inner.set_pointer(pointer); }
    std::optional<InputEvent> wait_event(double timeout_seconds) override {
        return m_inner.wait_event(timeout_seconds);
    }

    std::vector<int> white_in_canvas;

  private:
    FakeDisplay& m_inner;
};

TEST(WipeOnScreen, TheSweepGrowsFrameByFrameInsteadOfJumpingToWhite) {
    FakePlatform fake;
    RecordingDisplay display(fake.display);
    Platform platform{fake.files,   display,       fake.sounds, fake.music, fake.printer,
                      fake.browser, fake.key_lock, fake.clock,  fake.random};
    std::ostringstream diagnostics;
    Application app(platform, AppConfig{}, diagnostics);
    install_all_assets(fake);
    fake.files.contents["/opt/Zuvela/PICTURE/00.GIF"] = Raster(750, 600, k_white);
    fake.random.values = {0.6f};  // pattern 5: the interlaced pass, then columns right

    // Red over the whole canvas first, so that the sweep has something to cover.
    const Rect canvas = spec_of(ControlId::Slika).place;
    const double running = fake.clock.now + 7;
    fake.display.post_click(canvas.x + 300, canvas.y + 300, running);
    const Rect paper = spec_of(ControlId::Papir).place;
    fake.display.post_click(paper.x + 2, paper.y + 2, running + 1);
    EXPECT_THROW(app.run(), ScriptFinished);

    const int full = canvas.w * canvas.h;
    const std::vector<int>& frames = display.white_in_canvas;
    const auto filled = std::find(frames.begin(), frames.end(), 0);
    ASSERT_NE(filled, frames.end()) << "the fill never showed";
    std::vector<int> during;
    std::copy_if(filled, frames.end(), std::back_inserter(during),
                 [&](int white) { return white > 0 && white < full; });
    ASSERT_FALSE(during.empty()) << "the canvas went white in one step";
    EXPECT_GT(during.size(), 60u) << "about a second per pass at 60 frames a second";
    EXPECT_TRUE(std::is_sorted(during.begin(), during.end()));
    EXPECT_LT(during.front(), full / 10);
    // The interlaced pass shows the even rows, half the canvas, before the second pass starts.
    EXPECT_NE(std::find(during.begin(), during.end(), full / 2), during.end());
    EXPECT_EQ(frames.back(), full);
}

TEST(WipePatternDraw, TheFirstWipeOfEveryRunUsesTheSamePattern) {
    SeededRandom first_run, second_run;
    EXPECT_EQ(draw_wipe_pattern(first_run), draw_wipe_pattern(second_run));
}

}  // namespace
}  // namespace zuvela
