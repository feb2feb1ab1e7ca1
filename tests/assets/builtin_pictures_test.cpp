#include "scene/builtin_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/sdl/sdl_pictures.h"
#include "scene/control_catalogue.h"

namespace zuvela {
namespace {

namespace fs = std::filesystem;

const fs::path k_pictures = fs::path(ZUVELA_ASSET_DIR) / "PICTURE";
const fs::path k_builtin = fs::path(ZUVELA_RES_DIR) / "builtin";

std::vector<char> bytes_of(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

PictureRef decode_builtin(std::string_view name) {
    SdlPictureFiles files;
    return files.decode_picture(builtin_picture(name));
}

// Everything the program decodes from inside itself: the background, each control's first picture, the splash
// card, the icon and the pointers.
std::vector<std::string> names_the_program_asks_for() {
    std::vector<std::string> names = {"GLAVNA-2.JPG",      "SPLASH.JPG",       "ICON.ICO",
                                      "POINTER_ARROW.ICO", "POINTER_HAND.ICO", "POINTER_BRUSH.ICO",
                                      "POINTER_DROP.ICO"};
    for (const auto& row : k_controls)
        if (!row.first_picture.empty()) names.emplace_back(row.first_picture);
    return names;
}

TEST(BuiltinPictures, EveryPictureAskedForIsEmbeddedFromItsFile) {
    for (const std::string& name : names_the_program_asks_for()) {
        SCOPED_TRACE(name);
        const auto embedded = builtin_picture(name);
        ASSERT_FALSE(embedded.empty());
        const fs::path source = fs::exists(k_pictures / name) ? k_pictures / name : k_builtin / name;
        const std::vector<char> file = bytes_of(source);
        ASSERT_EQ(embedded.size(), file.size()) << source;
        EXPECT_EQ(std::memcmp(embedded.data(), file.data(), file.size()), 0) << source;
    }
    EXPECT_TRUE(builtin_picture("NO-SUCH.JPG").empty());
    EXPECT_TRUE(builtin_picture("").empty());
    EXPECT_TRUE(builtin_picture("glavna-2.jpg").empty()) << "names are exact";
}

TEST(BuiltinPictures, EveryFirstPictureExactlyFillsItsControl) {
    for (const auto& row : k_controls) {
        if (row.first_picture.empty()) continue;
        SCOPED_TRACE(std::string(row.name));
        const PictureRef picture = decode_builtin(row.first_picture);
        EXPECT_EQ(picture->width, row.place.w);
        EXPECT_EQ(picture->height, row.place.h);
    }
    const PictureRef background = decode_builtin("GLAVNA-2.JPG");
    EXPECT_EQ(background->width, k_scene_width);
    EXPECT_EQ(background->height, k_scene_height);
}

TEST(BuiltinPictures, PointersAreVisibleAtTheirHotSpotsAndClearAtACorner) {
    struct Pointer {
        const char* name;
        int size;
        Point hot_spot;
    };
    const Pointer pointers[] = {
        {"POINTER_ARROW.ICO", 32, {0, 0}},
        {"POINTER_HAND.ICO", 32, {12, 1}},
        {"POINTER_DROP.ICO", 32, {16, 16}},
        {"POINTER_BRUSH.ICO", 64, {32, 32}},
    };
    for (const Pointer& p : pointers) {
        SCOPED_TRACE(p.name);
        const PictureRef image = decode_builtin(p.name);
        ASSERT_EQ(image->width, p.size);
        ASSERT_EQ(image->height, p.size);

        bool visible_near_hot_spot = false;
        for (int dy = -3; dy <= 3; ++dy)
            for (int dx = -3; dx <= 3; ++dx) {
                const int x = p.hot_spot.x + dx, y = p.hot_spot.y + dy;
                if (image->contains(x, y) && alpha_of(image->at(x, y)) != 0) visible_near_hot_spot = true;
            }
        EXPECT_TRUE(visible_near_hot_spot);

        const int last = p.size - 1;
        const bool clear_corner = alpha_of(image->at(0, 0)) == 0 || alpha_of(image->at(last, 0)) == 0 ||
                                  alpha_of(image->at(0, last)) == 0 || alpha_of(image->at(last, last)) == 0;
        EXPECT_TRUE(clear_corner) << "a pointer is not a square block";
    }
}

TEST(BuiltinPictures, SplashCardAndIconHaveTheirSizes) {
    const PictureRef card = decode_builtin("SPLASH.JPG");
    EXPECT_EQ(card->width, 200);
    EXPECT_EQ(card->height, 250);
    EXPECT_EQ(card->width, k_splash_width);
    EXPECT_GE(card->height, k_splash_height) << "the card covers the splash window";

    const PictureRef icon = decode_builtin("ICON.ICO");
    EXPECT_EQ(icon->width, 32);
    EXPECT_EQ(icon->height, 32);
}

TEST(BuiltinPictures, SwatchAndHoverFilesMatchTheRestingPictures) {
    for (int set = 1; set <= 3; ++set)
        for (int slot = 1; slot <= 12; ++slot) {
            char name[32];
            std::snprintf(name, sizeof name, "BOJE%d_%02d.JPG", set, slot);
            SCOPED_TRACE(name);
            const PictureRef swatch = SdlPictureFiles::decode_file((k_pictures / name).string());
            EXPECT_EQ(swatch->width, k_controls[std::size_t(index_of(palette_swatch(slot)))].place.w);
            EXPECT_EQ(swatch->height, 85);
        }

    // Every resting picture X1.JPG with a hover X2.JPG: swapping one for the other must not move a pixel.
    int pairs = 0;
    for (const auto& entry : fs::directory_iterator(k_pictures)) {
        const std::string name = entry.path().filename().string();
        if (name.size() < 6 || name.substr(name.size() - 5) != "1.JPG") continue;
        const std::string stem = name.substr(0, name.size() - 5);
        if (!std::all_of(stem.begin(), stem.end(), [](char c) { return c >= 'A' && c <= 'Z'; })) continue;
        const fs::path hover = k_pictures / (stem + "2.JPG");
        if (!fs::exists(hover)) continue;
        SCOPED_TRACE(name);
        const PictureRef resting = SdlPictureFiles::decode_file(entry.path().string());
        const PictureRef lit = SdlPictureFiles::decode_file(hover.string());
        EXPECT_EQ(lit->width, resting->width);
        EXPECT_EQ(lit->height, resting->height);
        ++pairs;
    }
    EXPECT_GE(pairs, 10);

    // Gallery tiles: the white resting tile and its yellow hover both fill a tile control.
    const Rect tile = k_controls[std::size_t(index_of(gallery_tile(1)))].place;
    int tiles = 0;
    for (const auto& entry : fs::directory_iterator(k_pictures)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("GALERIJA1BELE_", 0) != 0 && name.rfind("GALERIJA1ZUTE_", 0) != 0) continue;
        SCOPED_TRACE(name);
        const PictureRef picture = SdlPictureFiles::decode_file(entry.path().string());
        EXPECT_EQ(picture->width, tile.w);
        EXPECT_EQ(picture->height, tile.h);
        ++tiles;
    }
    EXPECT_EQ(tiles, 50);
}

}  // namespace
}  // namespace zuvela
