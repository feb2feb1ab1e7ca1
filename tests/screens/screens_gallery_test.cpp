#include "coloring/coloring_fixture.h"
#include "screens/gallery.h"
#include "screens/gallery_layout.h"
#include "screens/screens.h"

namespace zuvela {
namespace {

const std::string k_install_dir = "/opt/Zuvela";

class ScreensTest : public ColoringTest {
  protected:
    Scene& scene() { return app.window().scene(); }
    ProgramState& state() { return app.window().state(); }
    std::string shown(ControlId id) { return fake.files.path_of(scene().control(id).picture); }
    std::string background() { return fake.files.path_of(scene().background()); }
    bool visible(ControlId id) { return scene().control(id).visible; }
    bool enabled(ControlId id) { return scene().control(id).enabled; }
    int tiles_shown() {
        int n = 0;
        for (int k = 1; k <= k_gallery_tiles; ++k) n += visible(gallery_tile(k));
        return n;
    }
    static std::string tile_file(int k) { return k_install_dir + tile_picture_literal(TileLook::Normal, k); }
};

TEST_F(ScreensTest, FreezingTheMainScreenHidesThePaperAndDisablesTheRest) {
    app.screens().glavni_ekran_zamrznut();
    for (ControlId id : k_main_screen_set) {
        if (id == ControlId::Papir) {
            EXPECT_FALSE(visible(id));
            EXPECT_TRUE(enabled(id));
        } else {
            EXPECT_TRUE(visible(id)) << spec_of(id).name;
            EXPECT_FALSE(enabled(id)) << spec_of(id).name;
        }
    }
    click(ControlId::PaletaOranz);
    EXPECT_EQ(state().current_color, std::int32_t(rgb(255, 0, 0))) << "a frozen swatch ignores the mouse";

    app.screens().glavni_ekran_odmrznut();
    for (ControlId id : k_main_screen_set) EXPECT_TRUE(visible(id) && enabled(id)) << spec_of(id).name;
    EXPECT_TRUE(fake.files.loads.empty()) << "no procedure changes a picture";
}

TEST_F(ScreensTest, OpeningTheGalleryLaysOutAndLoadsEveryTileInOrder) {
    click(ControlId::MoreImages);
    for (ControlId id : k_main_screen_set) EXPECT_FALSE(visible(id)) << spec_of(id).name;
    EXPECT_TRUE(visible(ControlId::Back));
    EXPECT_EQ(state().screen_mode, 1);
    EXPECT_EQ(background(), k_install_dir + "/PICTURE/GALERIJA-2.JPG");

    std::vector<std::string> expected{k_install_dir + "/PICTURE/GALERIJA-2.JPG"};
    for (int k = 1; k <= k_gallery_tiles; ++k) expected.push_back(tile_file(k));
    EXPECT_EQ(fake.files.loads, expected);

    EXPECT_EQ(scene().control(gallery_tile(7)).place, (Rect{198, 185, 131, 122}));
    EXPECT_EQ(scene().control(gallery_tile(25)).place, (Rect{629, 596, 131, 122}));
    EXPECT_EQ(tile_file(6), k_install_dir + "/PICTURE/GALERIJA1BELE_19.JPG");
    EXPECT_EQ(tile_file(25), k_install_dir + "/PICTURE/GALERIJA1BELE_81.JPG");
    EXPECT_EQ(tiles_shown(), 25);
}

TEST_F(ScreensTest, BackKeepsTheColouringAndEveryChoice) {
    click(ControlId::olovka);
    click(ControlId::PaletaZuta);
    press(5, 5);
    drag(40, 5);
    const Raster coloured = app.canvas().image();
    click(ControlId::MoreImages);
    click(ControlId::Back);

    EXPECT_EQ(state().screen_mode, 0);
    EXPECT_EQ(app.canvas().image().pixels, coloured.pixels);
    EXPECT_EQ(state().current_picture, 1);
    EXPECT_EQ(state().current_color, std::int32_t(rgb(255, 255, 0)));
    EXPECT_EQ(state().fill_mode, k_false);
    EXPECT_EQ(state().palette_selected[2], 1);
    EXPECT_EQ(tiles_shown(), 0);
    EXPECT_FALSE(visible(ControlId::Back));
    for (ControlId id : k_main_screen_set) EXPECT_TRUE(visible(id)) << spec_of(id).name;
    EXPECT_EQ(background(), k_install_dir + "/PICTURE/GLAVNA-2.JPG");
}

TEST_F(ScreensTest, ATileClickPutsItsCleanPictureOnTheCanvasAndTheEraserKeepsIt) {
    Raster picture_7(750, 600, k_white);
    picture_7.at(300, 300) = k_black;
    fake.files.contents[k_install_dir + "/PICTURE/07.GIF"] = picture_7;
    press(20, 20);  // colour picture 1
    click(ControlId::MoreImages);
    click(gallery_tile(7));

    EXPECT_EQ(state().screen_mode, 0);
    EXPECT_EQ(state().current_picture, 7);
    EXPECT_EQ(app.canvas().image().at(20, 20), k_white);
    EXPECT_EQ(app.canvas().image().at(300, 300), k_black);
    EXPECT_EQ(tiles_shown(), 0);
    EXPECT_TRUE(visible(ControlId::Slika));

    fake.files.loads.clear();
    app.tools().Rubber_Click();
    EXPECT_EQ(fake.files.loads.back(), k_install_dir + "/PICTURE/07.GIF");
}

TEST_F(ScreensTest, ATileClickOnTheMainScreenLoadsNothing) {
    app.gallery().Galerija_Click(3);
    EXPECT_EQ(state().current_picture, 1);
    EXPECT_EQ(fake.files.loads, std::vector<std::string>{k_install_dir + "/PICTURE/GLAVNA-2.JPG"});
    EXPECT_TRUE(visible(ControlId::Slika));
}

TEST_F(ScreensTest, EveryOpeningShowsEveryTileAtRest) {
    click(ControlId::MoreImages);
    app.tile_rollovers().Galerija_MouseMove(4);
    EXPECT_EQ(shown(gallery_tile(4)), k_install_dir + tile_picture_literal(TileLook::Highlighted, 4));
    click(ControlId::Back);
    click(ControlId::MoreImages);
    for (int k = 1; k <= k_gallery_tiles; ++k) EXPECT_EQ(shown(gallery_tile(k)), tile_file(k));
    EXPECT_EQ(state().highlighted_tile, 4) << "the number outlives the visit";
}

TEST_F(ScreensTest, AFrozenGalleryCannotBeLeftUntilItThaws) {
    click(ControlId::MoreImages);
    app.screens().galerijski_ekran_zamrznut();
    click(ControlId::Back);
    click(gallery_tile(2));
    EXPECT_EQ(state().screen_mode, 1) << "Back and the tiles ignore the mouse while a panel is open";
    EXPECT_EQ(tiles_shown(), 25);

    app.screens().galerijski_ekran_odmrznut();
    click(ControlId::Back);
    EXPECT_EQ(state().screen_mode, 0);
    click(ControlId::MoreImages);
    click(gallery_tile(2));
    EXPECT_EQ(state().current_picture, 2) << "the next visit's tiles still answer";
}

TEST_F(ScreensTest, MissingGalleryFilesStopWhereTheyAre) {
    fake.files.failing.insert(k_install_dir + "/PICTURE/GALERIJA-2.JPG");
    fake.files.failing.insert(tile_file(9));
    click(ControlId::MoreImages);
    EXPECT_TRUE(visible(ControlId::Back));
    EXPECT_EQ(background(), "") << "the built-in main background stays";
    EXPECT_EQ(tiles_shown(), 8) << "tiles 1 to 8 shown, 9 and later hidden";
    EXPECT_EQ(scene().control(gallery_tile(20)).place.x, 629) << "all laid out all the same";
    EXPECT_EQ(state().screen_mode, 1);

    fake.files.failing.insert(k_install_dir + "/PICTURE/05.GIF");
    click(gallery_tile(5));
    EXPECT_EQ(state().screen_mode, 1) << "an unreadable picture leaves the gallery on screen";
    EXPECT_EQ(state().current_picture, 1);
    EXPECT_EQ(app.canvas().image().pixels, picture_1.pixels);

    fake.files.failing.insert(k_install_dir + "/PICTURE/GLAVNA-2.JPG");
    click(ControlId::Back);
    EXPECT_EQ(state().screen_mode, 0);
    EXPECT_TRUE(visible(ControlId::Slika));
    EXPECT_FALSE(visible(ControlId::Back));
}

}  // namespace
}  // namespace zuvela
