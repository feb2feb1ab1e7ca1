// Decoding: what the shipped pictures and hand-built files look like once decoded, beside what SDL_image
// makes of them.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <span>
#include <vector>

#include "sdl_pictures_fixture.h"

namespace zuvela {
namespace {

using namespace picture_test;

// A GIF with one image on a logical screen. Pixel indices (below 4) are given in the order of the data
// stream; a clear code before each keeps every code 3 bits wide.
struct GifPlan {
    unsigned screen_width = 8, screen_height = 6;
    unsigned left = 0, top = 0, width = 8, height = 6;
    std::vector<std::uint8_t> global_map;  // RGB triples, 2 or 4 of them, or none
    std::vector<std::uint8_t> local_map;
    std::vector<std::vector<std::uint8_t>> extensions;  // each: label, then the data sub-blocks' bytes
    bool interlace = false;
    std::vector<std::uint8_t> pixels;
};

std::vector<char> gif_file(const GifPlan& g) {
    auto size_bits = [](const std::vector<std::uint8_t>& map) { return map.size() == 12 ? 1u : 0u; };
    // (GCC 12 warns, wrongly, about range inserts here)
    auto append = [](std::vector<char>& to, auto from, auto end) {
        for (; from != end; ++from) to.push_back(char(*from));
    };
    std::vector<char> b = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0};
    put_le16(b, 6, g.screen_width);
    put_le16(b, 8, g.screen_height);
    if (!g.global_map.empty()) b[10] = char(0x80 | size_bits(g.global_map));
    append(b, g.global_map.begin(), g.global_map.end());
    for (const auto& extension : g.extensions) {
        b.push_back('!');
        b.push_back(char(extension[0]));
        b.push_back(char(extension.size() - 1));
        append(b, extension.begin() + 1, extension.end());
        b.push_back(0);
    }
    const std::size_t at = b.size();
    b.resize(at + 10);
    b[at] = ',';
    put_le16(b, at + 1, g.left);
    put_le16(b, at + 3, g.top);
    put_le16(b, at + 5, g.width);
    put_le16(b, at + 7, g.height);
    b[at + 9] = char((g.local_map.empty() ? 0 : 0x80 | size_bits(g.local_map)) | (g.interlace ? 0x40 : 0));
    append(b, g.local_map.begin(), g.local_map.end());
    append_image_data(b, g.pixels);
    b.push_back(';');
    return b;
}

TEST_F(SdlPicturesTest, DecodesTheShippedFormats) {
    const PictureRef jpeg = files.load_picture((k_pictures / "GLAVNA-2.JPG").string());
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(jpeg->width, 1024);
    EXPECT_EQ(jpeg->height, 768);
    ASSERT_EQ(jpeg->pixels.size(), std::size_t(1024 * 768));
    for (Color c : jpeg->pixels) ASSERT_EQ(alpha_of(c), 0xFF) << "a JPEG is opaque";

    const PictureRef gif = files.load_picture((k_pictures / "01.GIF").string());
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->width, 750);
    EXPECT_EQ(gif->height, 600);
    std::set<Color> colours;
    for (Color c : gif->pixels) colours.insert(c & k_color_mask);
    EXPECT_EQ(colours, (std::set<Color>{rgb(0, 0, 0), rgb(255, 255, 255)}))
        << "an outline is pure black on white";

    const PictureRef ico = files.load_picture((k_pictures / "KANTICA8.ICO").string());
    ASSERT_TRUE(ico);
    EXPECT_EQ(ico->width, 32);
    EXPECT_EQ(ico->height, 32);
    int transparent = 0, opaque = 0;
    for (Color c : ico->pixels) {
        transparent += alpha_of(c) == 0;
        opaque += alpha_of(c) == 0xFF;
    }
    EXPECT_GT(transparent, 0);
    EXPECT_GT(opaque, 0);
}

TEST_F(SdlPicturesTest, DecodesIntoThePackedLayout) {
    // Written by SDL itself, so the file cannot share a mistake with save_bitmap.
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 3, 2, 24, SDL_PIXELFORMAT_RGB24);
    ASSERT_NE(s, nullptr);
    const std::uint8_t rgb_rows[2][9] = {{200, 10, 30, 0, 255, 0, 0, 0, 255},
                                         {1, 2, 3, 255, 255, 255, 0, 0, 0}};
    for (int y = 0; y < 2; ++y)
        std::memcpy(static_cast<std::uint8_t*>(s->pixels) + y * s->pitch, rgb_rows[y], 9);
    const std::string path = in_dir("known.bmp");
    ASSERT_EQ(SDL_SaveBMP(s, path.c_str()), 0);
    SDL_FreeSurface(s);

    const PictureRef p = files.load_picture(path);
    ASSERT_TRUE(p);
    ASSERT_EQ(p->width, 3);
    ASSERT_EQ(p->height, 2);
    EXPECT_EQ(p->at(0, 0), 0xFF000000u | 200u | (10u << 8) | (30u << 16)) << "red in the low byte";
    EXPECT_EQ(p->at(1, 0), 0xFF000000u | rgb(0, 255, 0));
    EXPECT_EQ(p->at(2, 0), 0xFF000000u | rgb(0, 0, 255));
    EXPECT_EQ(p->at(0, 1), 0xFF000000u | rgb(1, 2, 3));
    EXPECT_EQ(p->at(1, 1), 0xFF000000u | rgb(255, 255, 255));
    EXPECT_EQ(p->at(2, 1), 0xFF000000u | rgb(0, 0, 0));
}

TEST_F(SdlPicturesTest, SavesABitmapWhateverTheNameAndReadsItBack) {
    // An odd width makes the rows of the file padded.
    Raster picture(5, 3);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) picture.at(x, y) = rgb(40 * x + 7, 60 * y + 3, 11 * (x + y));
    picture.at(4, 2) = rgb(255, 0, 128);
    const std::string path = in_dir("01.GIF");
    files.save_bitmap(picture, path);

    const std::vector<char> bytes = bytes_of(path);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');

    const PictureRef back = SdlPictureFiles::decode_file(path);
    ASSERT_EQ(back->width, 5);
    ASSERT_EQ(back->height, 3);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            EXPECT_EQ(back->at(x, y) & k_color_mask, picture.at(x, y)) << "at " << x << "," << y;

    EXPECT_THROW(files.save_bitmap(picture, in_dir("no-such-folder/a.bmp")), PlatformError);
}

TEST_F(SdlPicturesTest, EveryShippedPictureDecodesAsSdlConvertsIt) {
    int compared = 0;
    for (const fs::path& folder : {k_pictures, k_builtin}) {
        // The language folders' pictures too.
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (!entry.is_regular_file()) continue;
            const std::string path = entry.path().string();
            SDL_Surface* loaded = IMG_Load(path.c_str());
            ASSERT_NE(loaded, nullptr) << path;
            SDL_Surface* expected = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ABGR8888, 0);
            SDL_FreeSurface(loaded);
            ASSERT_NE(expected, nullptr) << path;
            const PictureRef p = SdlPictureFiles::decode_file(path);
            ASSERT_EQ(p->width, expected->w) << path;
            ASSERT_EQ(p->height, expected->h) << path;
            bool same = true;
            for (int y = 0; y < p->height && same; ++y)
                same = std::memcmp(p->row(y),
                                   static_cast<const std::uint8_t*>(expected->pixels) + y * expected->pitch,
                                   std::size_t(p->width) * 4) == 0;
            SDL_FreeSurface(expected);
            EXPECT_TRUE(same) << path;
            ++compared;
        }
    }
    EXPECT_GT(compared, 100);
}

TEST_F(SdlPicturesTest, AGifShowsAsSdlImageShowsIt) {
    // What SDL_image does with each of these decides what the child sees; giflib must agree pixel for pixel.
    const std::vector<std::uint8_t> four = {10, 20, 30, 200, 0, 0, 0, 200, 0, 0, 0, 200};
    const std::vector<std::uint8_t> two = {250, 250, 0, 0, 90, 90};
    const std::vector<std::uint8_t> transparent_1 = {0xF9, 0x01, 0, 0, 1};
    const std::vector<std::uint8_t> opaque = {0xF9, 0x00, 0, 0, 3};
    const std::vector<std::uint8_t> comment = {0xFE, 'h', 'i'};
    auto stripes = [](unsigned width, unsigned height) {
        std::vector<std::uint8_t> p;
        for (unsigned i = 0; i < width * height; ++i) p.push_back(std::uint8_t((i / width + i) % 4));
        return p;
    };
    GifPlan offset;  // placed inside a larger screen, colours past its local map
    offset.left = 3;
    offset.top = 2;
    offset.width = 5;
    offset.height = 3;
    offset.global_map = four;
    offset.local_map = two;
    offset.pixels = stripes(5, 3);
    GifPlan interlaced;  // every pass, a transparent colour that a later control block does not take back
    interlaced.width = 3;
    interlaced.height = 11;
    interlaced.global_map = four;
    interlaced.interlace = true;
    interlaced.extensions = {comment, transparent_1, opaque};
    interlaced.pixels = stripes(3, 11);
    GifPlan larger;  // larger than its screen
    larger.screen_width = 2;
    larger.screen_height = 2;
    larger.width = 6;
    larger.height = 4;
    larger.global_map = two;
    larger.extensions = {transparent_1};
    larger.pixels = stripes(6, 4);

    for (const auto& [name, plan] :
         {std::pair{"offset", offset}, {"interlaced", interlaced}, {"larger", larger}}) {
        const std::vector<char> bytes = gif_file(plan);
        SDL_Surface* loaded = IMG_Load_RW(SDL_RWFromConstMem(bytes.data(), int(bytes.size())), 1);
        ASSERT_NE(loaded, nullptr) << name << ": " << IMG_GetError();
        SDL_Surface* expected = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ABGR8888, 0);
        SDL_FreeSurface(loaded);
        ASSERT_NE(expected, nullptr);
        const PictureRef p = files.decode_picture(std::as_bytes(std::span(bytes)));
        EXPECT_EQ(p->width, int(plan.width)) << name;
        ASSERT_EQ(p->width, expected->w) << name;
        ASSERT_EQ(p->height, expected->h) << name;
        for (int y = 0; y < p->height; ++y)
            for (int x = 0; x < p->width; ++x)
                EXPECT_EQ(p->at(x, y),
                          static_cast<const Color*>(expected->pixels)[y * expected->pitch / 4 + x])
                    << name << " at " << x << "," << y;
        SDL_FreeSurface(expected);
    }

    GifPlan colourless = offset;
    colourless.global_map.clear();
    colourless.local_map.clear();
    const std::vector<char> bytes = gif_file(colourless);
    EXPECT_THROW(files.decode_picture(std::as_bytes(std::span(bytes))), PlatformError) << "no colours at all";
}

}  // namespace
}  // namespace zuvela
