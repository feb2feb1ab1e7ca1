#include "scene/scene.h"

#include <gtest/gtest.h>

#include <memory>

namespace zuvela {
namespace {

PictureRef solid(int w, int h, Color c) {
    return std::make_shared<const Raster>(w, h, c | 0xFF000000);
}

class SceneTest : public ::testing::Test {
  protected:
    SceneTest() {
        scene.set_background(solid(k_scene_width, k_scene_height, rgb(1, 2, 3)));
        scene.take_dirty();
    }
    Color at(int x, int y) const { return frame.at(x, y); }
    void compose_all() { scene.compose(frame, frame.bounds()); }

    Scene scene;
    Raster frame{k_scene_width, k_scene_height};
};

TEST_F(SceneTest, ControlsAreDrawnInStackingOrderOverTheBackground) {
    scene.set_visible(ControlId::Izlaz, true);
    scene.set_visible(ControlId::Da, true);
    scene.set_picture(ControlId::Izlaz, solid(400, 250, rgb(0, 0, 200)));
    scene.set_picture(ControlId::Da, solid(107, 50, rgb(0, 200, 0)));
    scene.set_picture(ControlId::Slika, solid(750, 600, rgb(200, 0, 0)));
    compose_all();
    EXPECT_EQ(at(5, 5), rgb(1, 2, 3)) << "bare window: its background";
    EXPECT_EQ(at(40, 40), rgb(200, 0, 0)) << "canvas";
    EXPECT_EQ(at(320, 270), rgb(0, 0, 200)) << "the panel covers the canvas";
    EXPECT_EQ(at(370, 410), rgb(0, 200, 0)) << "Yes lies on the panel";
    EXPECT_EQ(alpha_of(at(370, 410)), 0) << "the frame carries no alpha";

    scene.set_visible(ControlId::Izlaz, false);
    compose_all();
    EXPECT_EQ(at(320, 270), rgb(200, 0, 0));
    EXPECT_EQ(at(370, 410), rgb(0, 200, 0));
}

TEST_F(SceneTest, APictureIsCutToItsControlAndALiveRasterWinsOverThePicture) {
    scene.set_picture(ControlId::Papir, solid(200, 200, rgb(9, 9, 9)));  // control is 63 × 61 at 936, 412
    compose_all();
    EXPECT_EQ(at(936 + 62, 412 + 60), rgb(9, 9, 9));
    EXPECT_NE(at(936 + 62, 412 + 61), rgb(9, 9, 9));

    Raster live(750, 600, rgb(7, 7, 7));
    scene.set_picture(ControlId::Slika, solid(750, 600, rgb(200, 0, 0)));
    scene.set_live_source(ControlId::Slika, &live);
    compose_all();
    EXPECT_EQ(at(100, 100), rgb(7, 7, 7));
    scene.take_dirty();
    live.at(0, 0) = rgb(8, 8, 8);
    scene.invalidate_inside(ControlId::Slika, {0, 0, 1, 1});
    const Rect dirty = scene.take_dirty();
    EXPECT_EQ(dirty, (Rect{30, 29, 1, 1}));
    scene.compose(frame, dirty);
    EXPECT_EQ(at(30, 29), rgb(8, 8, 8));
}

TEST_F(SceneTest, ChangesMarkOnlyWhatTheyTouch) {
    scene.set_picture(ControlId::Back, solid(192, 40, 0));  // hidden: nothing to redraw
    EXPECT_FALSE(scene.needs_redraw());
    scene.set_visible(ControlId::Back, true);
    EXPECT_EQ(scene.take_dirty(), (Rect{30, 0, 192, 40}));
    scene.set_enabled(ControlId::Papir, false);  // disabled controls look the same
    EXPECT_FALSE(scene.needs_redraw());

    scene.set_picture(ControlId::Papir, solid(63, 61, 0));
    scene.set_picture(ControlId::Rubber, solid(112, 61, 0));
    EXPECT_EQ(scene.take_dirty(), (Rect{825, 412, 174, 61})) << "merged into one area";

    scene.set_position(ControlId::Galerija1, {100, 100});
    EXPECT_FALSE(scene.needs_redraw());
    scene.set_visible(ControlId::Galerija1, true);
    scene.take_dirty();
    scene.set_position(ControlId::Galerija1, {300, 100});
    EXPECT_EQ(scene.take_dirty(), (Rect{100, 100, 331, 122})) << "old and new place";
}

TEST_F(SceneTest, HitTestingFindsTheTopmostShownPictureControl) {
    EXPECT_EQ(scene.control_at({40, 40}), ControlId::Slika);
    EXPECT_EQ(scene.control_at({5, 5}), std::nullopt);
    EXPECT_EQ(scene.control_at({815, 165}), std::nullopt) << "the label is never hit";
    scene.set_visible(ControlId::PrintPict, true);
    EXPECT_EQ(scene.control_at({320, 270}), ControlId::PrintPict);
    scene.set_enabled(ControlId::PrintPict, false);
    EXPECT_EQ(scene.control_at({320, 270}), ControlId::PrintPict) << "disabled controls still cover";
}

}  // namespace
}  // namespace zuvela
