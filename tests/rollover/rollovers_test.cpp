#include "coloring/coloring_fixture.h"
#include "platform/errors.h"
#include "screens/gallery_layout.h"

namespace zuvela {
namespace {

const std::string k_picture_dir = "/opt/Zuvela/PICTURE/";

class RolloversTest : public ColoringTest {
  protected:
    Scene& scene() { return app.window().scene(); }
    ProgramState& state() { return app.window().state(); }
    std::string shown(ControlId id) { return fake.files.path_of(scene().control(id).picture); }
    // A move through the router, at a point of the control (or of the bare window).
    void move_over(ControlId id) {
        const Rect r = scene().control(id).place;
        move_to(r.x + 3, r.y + 3);
    }
    void move_to(int x, int y) {
        app.window().router().dispatch(MouseEvent{MouseAction::Move, 0, 0, 0, double(x), double(y)});
    }
    std::vector<std::string> loads_of(std::function<void()> action) {
        const std::size_t mark = fake.files.loads.size();
        action();
        return fake.files.loads_since(mark);
    }
    static std::vector<std::string> files(std::initializer_list<const char*> names) {
        std::vector<std::string> out;
        for (const char* n : names) out.push_back(k_picture_dir + n);
        return out;
    }
    static std::string tile(TileLook look, int k) { return "/opt/Zuvela" + tile_picture_literal(look, k); }
};

TEST_F(RolloversTest, EachButtonLightsItselfAndRestsItsNeighbours) {
    EXPECT_EQ(loads_of([&] { move_over(ControlId::MoreImages); }),
              files({"MOREIMAGES2.JPG", "GUMICA1.JPG", "PAPIR1.JPG", "ZVUCNIK1.JPG"}));
    EXPECT_EQ(loads_of([&] { move_over(ControlId::MuteWave); }),
              files({"ZVUCNIK2.JPG", "GUMICA1.JPG", "PAPIR1.JPG"}))
        << "the sound button leaves the music button alone";
    EXPECT_EQ(loads_of([&] { move_over(ControlId::MusicOn); }),
              files({"MUSICOFF1.JPG", "GUMICA1.JPG", "PAPIR1.JPG", "ZVUCNIK1.JPG"}));
    EXPECT_EQ(loads_of([&] { move_over(ControlId::Rubber); }), files({"GUMICA2.JPG", "PAPIR1.JPG"}));
    EXPECT_EQ(loads_of([&] { move_over(ControlId::Papir); }), files({"PAPIR2.JPG", "GUMICA1.JPG"}));
    EXPECT_EQ(shown(ControlId::Papir), k_picture_dir + "PAPIR2.JPG");
    EXPECT_EQ(shown(ControlId::Rubber), k_picture_dir + "GUMICA1.JPG")
        << "sliding from the eraser onto the paper";
    EXPECT_EQ(shown(ControlId::MusicOn), k_picture_dir + "MUSICOFF1.JPG") << "nothing rested it";
}

TEST_F(RolloversTest, TheSwitchesShowTheirStateFromTheNextMove) {
    state().set_sounds_on(0);
    state().music_off = 0;
    EXPECT_EQ(loads_of([&] { move_over(ControlId::MuteWave); }),
              files({"SOUNDOFF1.JPG", "GUMICA1.JPG", "PAPIR1.JPG"}));
    EXPECT_EQ(loads_of([&] { move_over(ControlId::MusicOn); }),
              files({"MUZIKA2.JPG", "GUMICA1.JPG", "PAPIR1.JPG", "SOUNDOFF2.JPG"}));
}

TEST_F(RolloversTest, TheBareWindowRestsEverythingInOrder) {
    state().palette_selected[3] = 1;
    std::vector<std::string> expected = files({"MOREIMAGES1.JPG"});
    for (int slot = 1; slot <= 12; ++slot) {
        char name[24];
        std::snprintf(name, sizeof name, "BOJE%d_%02d.JPG", slot == 4 ? 3 : 1, slot);
        expected.push_back(k_picture_dir + name);
    }
    for (const std::string& f :
         files({"GUMICA1.JPG", "PAPIR1.JPG", "BACK1.JPG", "ZVUCNIK1.JPG", "MUSICOFF2.JPG"}))
        expected.push_back(f);
    EXPECT_EQ(loads_of([&] { move_to(800, 100); }), expected);
    EXPECT_EQ(expected.size(), 18u);
}

TEST_F(RolloversTest, AMoveOverTheCanvasThatDoesNotDrawRestsTheButtonsOnly) {
    EXPECT_EQ(loads_of([&] { move_over(ControlId::Slika); }),
              files({"MOREIMAGES1.JPG", "GUMICA1.JPG", "PAPIR1.JPG", "ZVUCNIK1.JPG", "MUSICOFF2.JPG"}));
}

TEST_F(RolloversTest, AMissingPictureEndsTheMoveWhereItFails) {
    fake.files.failing.insert(k_picture_dir + "PAPIR1.JPG");
    EXPECT_EQ(loads_of([&] { move_over(ControlId::MoreImages); }), files({"MOREIMAGES2.JPG", "GUMICA1.JPG"}));
    EXPECT_EQ(shown(ControlId::MuteWave), "") << "the step after the failure did not run";
}

TEST_F(RolloversTest, OneTileIsLitAtATime) {
    app.gallery().MoreImages_Click();
    EXPECT_EQ(loads_of([&] { move_over(gallery_tile(3)); }), std::vector{tile(TileLook::Highlighted, 3)})
        << "the first tile only lights itself";
    EXPECT_EQ(loads_of([&] { move_over(gallery_tile(3)); }), std::vector{tile(TileLook::Highlighted, 3)});
    EXPECT_EQ(loads_of([&] { move_over(gallery_tile(4)); }),
              (std::vector{tile(TileLook::Highlighted, 4), tile(TileLook::Normal, 3)}));
    EXPECT_EQ(state().highlighted_tile, 4);

    const auto reset = loads_of([&] { move_to(1000, 20); });
    ASSERT_EQ(reset.size(), 19u) << "the bare gallery puts the lit tile back too";
    EXPECT_EQ(reset[16], tile(TileLook::Normal, 4));
    EXPECT_EQ(shown(gallery_tile(4)), tile(TileLook::Normal, 4));
    EXPECT_EQ(state().highlighted_tile, 4) << "remembered after the reset";
}

TEST_F(RolloversTest, TilesOnlyAnswerOnTheGalleryScreen) {
    app.tile_rollovers().Galerija_MouseMove(5);
    EXPECT_TRUE(fake.files.loads.empty());
    EXPECT_EQ(state().highlighted_tile, 0);
}

TEST_F(RolloversTest, AMissingTilePictureKeepsTheHighlightWhereItCan) {
    app.gallery().MoreImages_Click();
    app.tile_rollovers().Galerija_MouseMove(1);
    fake.files.failing.insert(tile(TileLook::Highlighted, 2));
    run_trapped([&] { app.tile_rollovers().Galerija_MouseMove(2); });
    EXPECT_EQ(shown(gallery_tile(1)), tile(TileLook::Highlighted, 1));
    EXPECT_EQ(state().highlighted_tile, 1);

    fake.files.failing.insert(tile(TileLook::Normal, 1));
    run_trapped([&] { app.tile_rollovers().Galerija_MouseMove(3); });
    EXPECT_EQ(shown(gallery_tile(3)), tile(TileLook::Highlighted, 3));
    EXPECT_EQ(state().highlighted_tile, 1) << "the old tile could not be put back";
}

}  // namespace
}  // namespace zuvela
