#include "coloring/canvas.h"

#include "coloring_fixture.h"

namespace zuvela {
namespace {

using CanvasTest = ColoringTest;

TEST_F(CanvasTest, ABucketPressFloodsTheAreaUpToTheOutlinesAndPlaysTheSound) {
    app.window().scene().take_dirty();
    press(20, 20);
    EXPECT_EQ(canvas_at(10, 10), rgb(255, 0, 0));
    EXPECT_EQ(canvas_at(49, 49), rgb(255, 0, 0));
    EXPECT_EQ(canvas_at(60, 10), k_white) << "the other box stays white";
    EXPECT_EQ(canvas_at(9, 10), k_black);
    EXPECT_EQ(canvas_at(200, 200), k_white) << "outside the box";
    EXPECT_EQ(fake.sounds.played, std::vector<std::string>{"/opt/Zuvela/SOUND/SVPLAVA.WAV"});
    EXPECT_EQ(app.window().scene().take_dirty(), (Rect{30 + 10, 29 + 10, 40, 40}))
        << "only the box is redrawn";
    EXPECT_EQ(app.canvas().picture()->at(20, 20) & k_color_mask, k_white)
        << "the canvas's picture keeps the outline";
    EXPECT_EQ(app.window().state().last_x, 20);
    EXPECT_EQ(app.window().state().last_y, 20);

    press(20, 20);  // already that colour: no change, the sound again
    EXPECT_EQ(fake.sounds.played.size(), 2u);
}

TEST_F(CanvasTest, PositionsBetweenPixelsRoundToTheNearestHalvesToEven) {
    app.window().state().fill_mode = k_false;
    press(20.5, 21.5);
    EXPECT_EQ(app.window().state().last_x, 20);
    EXPECT_EQ(app.window().state().last_y, 22);
    press(20.4, 21.6);
    EXPECT_EQ(app.window().state().last_x, 20);
    EXPECT_EQ(app.window().state().last_y, 22);
    drag(30.5, 22.2);
    EXPECT_EQ(app.window().state().last_x, 30);
    EXPECT_EQ(canvas_at(30, 22), rgb(255, 0, 0));

    app.window().state().fill_mode = k_true;
    press(749.6, 300);  // rounds to just past the last column: nothing filled, the sound as for any press
    EXPECT_EQ(app.window().state().last_x, 750);
    EXPECT_EQ(canvas_at(749, 300), k_white);
    EXPECT_EQ(fake.sounds.played.size(), 1u);
    press(10.4, 9.6);  // the box's corner, (10, 10)
    EXPECT_EQ(canvas_at(30, 30), rgb(255, 0, 0));
}

TEST_F(CanvasTest, OutlinesAndDarkRedsAreNotFilledButOtherDarkColoursAre) {
    press(7, 7);
    EXPECT_EQ(canvas_at(7, 7), k_black);
    EXPECT_EQ(canvas_at(20, 20), k_white);
    EXPECT_TRUE(fake.sounds.played.empty()) << "no sound on an outline";

    app.canvas().image().at(200, 200) = 9;
    press(200, 200);
    EXPECT_EQ(canvas_at(200, 200), 9u);

    app.canvas().image().at(200, 200) = 10;
    press(200, 200);
    EXPECT_EQ(canvas_at(200, 200), rgb(255, 0, 0));
}

TEST_F(CanvasTest, PaletteBlackAndWhiteCanBeFilledAgain) {
    app.window().state().current_color = std::int32_t(rgb(30, 30, 30));
    press(20, 20);
    app.window().state().current_color = std::int32_t(rgb(255, 255, 0));
    press(20, 20);
    EXPECT_EQ(canvas_at(30, 30), rgb(255, 255, 0));
    app.window().state().current_color = std::int32_t(k_white);
    press(20, 20);
    EXPECT_EQ(canvas_at(30, 30), k_white);
    app.window().state().current_color = std::int32_t(rgb(0, 0, 255));
    press(20, 20);
    EXPECT_EQ(canvas_at(30, 30), rgb(0, 0, 255));
}

TEST_F(CanvasTest, RightAndMiddlePressesFillNothingButSound) {
    press(20, 20, k_right_button);
    press(20, 20, k_middle_button);
    EXPECT_EQ(canvas_at(20, 20), k_white);
    EXPECT_EQ(fake.sounds.played.size(), 2u);

    app.window().state().set_sounds_on(0);
    press(20, 20);
    EXPECT_EQ(canvas_at(20, 20), rgb(255, 0, 0));
    EXPECT_EQ(fake.sounds.played.size(), 2u);
}

TEST_F(CanvasTest, ThePencilDrawsOnlyWhileTheLeftButtonAloneIsHeld) {
    int resets = 0;
    app.window().seams().reset_rollover_buttons = [&] { ++resets; };
    app.window().state().fill_mode = k_false;

    press(200, 100);
    EXPECT_EQ(canvas_at(200, 100), k_white) << "a press alone draws nothing";
    EXPECT_TRUE(fake.sounds.played.empty());

    drag(300, 100);
    EXPECT_EQ(canvas_at(200, 100), rgb(255, 0, 0));
    EXPECT_EQ(canvas_at(250, 101), rgb(255, 0, 0));
    EXPECT_EQ(canvas_at(250, 103), k_white) << "three pixels wide";
    EXPECT_EQ(app.window().state().last_x, 300);

    app.window().state().current_color = std::int32_t(rgb(0, 0, 255));
    drag(300, 200, k_left_button | k_right_button);
    EXPECT_EQ(canvas_at(300, 150), k_white);
    drag(300, 200);  // the colour is taken anew for every segment, from the last recorded point
    EXPECT_EQ(canvas_at(300, 150), rgb(0, 0, 255));
    EXPECT_EQ(resets, 1);

    drag(-50, 200);  // out of the canvas: clipped, and the point is still recorded
    EXPECT_EQ(canvas_at(0, 200), rgb(0, 0, 255));
    EXPECT_EQ(app.window().state().last_x, -50);
    drag(20, 300);
    EXPECT_EQ(canvas_at(20, 300), rgb(0, 0, 255));

    app.window().state().fill_mode = k_true;  // bucket: a drag only resets the buttons
    drag(400, 400);
    EXPECT_EQ(canvas_at(400, 400), k_white);
    EXPECT_EQ(resets, 2);
}

TEST_F(CanvasTest, APencilLineCutsAnAreaSoEachSideFillsOnItsOwn) {
    app.window().state().fill_mode = k_false;
    press(10, 30);
    drag(49, 30);
    app.window().state().fill_mode = k_true;
    app.window().state().current_color = std::int32_t(rgb(0, 204, 255));
    press(20, 15);
    EXPECT_EQ(canvas_at(20, 15), rgb(0, 204, 255));
    EXPECT_EQ(canvas_at(20, 45), k_white);
}

TEST_F(CanvasTest, LoadingAPictureReplacesEveryColour) {
    press(20, 20);
    app.canvas().load_picture("/PICTURE/01.GIF");
    EXPECT_EQ(canvas_at(20, 20), k_white);
    EXPECT_EQ(app.canvas().image().pixels, picture_1.pixels);
    EXPECT_EQ(fake.files.loads, std::vector<std::string>{"/opt/Zuvela/PICTURE/01.GIF"});
}

}  // namespace
}  // namespace zuvela
