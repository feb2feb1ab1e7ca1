// The committed outline pictures must work with the bucket: two exact colours, closed areas big enough to
// hit.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#ifndef ZUVELA_ASSET_DIR
#error "ZUVELA_ASSET_DIR must name the assets folder"
#endif

namespace {

const std::filesystem::path k_picture_dir = std::filesystem::path(ZUVELA_ASSET_DIR) / "PICTURE";

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<GifColorType> pixels;
};

// Reads the first image of a GIF into colours; a failure leaves width 0.
Picture load_gif(const std::filesystem::path& path) {
    Picture picture;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) return picture;
    if (DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0) {
        const SavedImage& image = gif->SavedImages[0];
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        if (map && image.ImageDesc.Left == 0 && image.ImageDesc.Top == 0) {
            picture.width = image.ImageDesc.Width;
            picture.height = image.ImageDesc.Height;
            for (int i = 0; i < picture.width * picture.height; ++i) {
                picture.pixels.push_back(map->Colors[image.RasterBits[i]]);
            }
        }
    }
    DGifCloseFile(gif, &error);
    return picture;
}

bool is_white(const GifColorType& c) {
    return c.Red == 255 && c.Green == 255 && c.Blue == 255;
}
bool is_black(const GifColorType& c) {
    return c.Red == 0 && c.Green == 0 && c.Blue == 0;
}

// Sizes of the white areas a bucket click fills: pixels joined left, right, up or down.
std::vector<int> white_areas(const Picture& picture) {
    const int w = picture.width, h = picture.height;
    std::vector<bool> seen(std::size_t(w) * std::size_t(h));
    std::vector<int> areas, stack;
    for (int start = 0; start < w * h; ++start) {
        if (seen[std::size_t(start)] || !is_white(picture.pixels[std::size_t(start)])) continue;
        int size = 0;
        seen[std::size_t(start)] = true;
        stack.push_back(start);
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            ++size;
            const int x = i % w, y = i / w;
            for (int j :
                 {x > 0 ? i - 1 : -1, x + 1 < w ? i + 1 : -1, y > 0 ? i - w : -1, y + 1 < h ? i + w : -1}) {
                if (j < 0 || seen[std::size_t(j)] || !is_white(picture.pixels[std::size_t(j)])) continue;
                seen[std::size_t(j)] = true;
                stack.push_back(j);
            }
        }
        areas.push_back(size);
    }
    return areas;
}

std::string two_digits(int n) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
}

struct JpegSize {
    int width = 0;
    int height = 0;
};

JpegSize jpeg_size(const std::filesystem::path& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return {};
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    JpegSize size;
    if (jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK)
        size = {int(info.image_width), int(info.image_height)};
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return size;
}

TEST(OutlinePictures, AreFillableTwoColourPages) {
    for (int k = 1; k <= 25; ++k) {
        const std::string name = two_digits(k) + ".GIF";
        SCOPED_TRACE(name);
        const Picture picture = load_gif(k_picture_dir / name);
        ASSERT_EQ(picture.width, 750);
        ASSERT_EQ(picture.height, 600);

        int stray = 0, black = 0;
        for (const GifColorType& c : picture.pixels) {
            if (is_black(c))
                ++black;
            else if (!is_white(c))
                ++stray;
        }
        EXPECT_EQ(stray, 0) << "pixels neither pure black nor pure white";
        EXPECT_GT(black, 750 * 600 / 50) << "too little outline for a picture";

        int large = 0, specks = 0;
        for (int size : white_areas(picture)) {
            if (size >= 400) ++large;
            if (size < 150) ++specks;
        }
        EXPECT_GE(large, 8) << "areas of at least 400 pixels";
        EXPECT_EQ(specks, 0) << "white areas under 150 pixels";
    }
}

TEST(OutlinePictures, BlankSheetIsAllWhite) {
    const Picture sheet = load_gif(k_picture_dir / "00.GIF");
    ASSERT_EQ(sheet.width, 750);
    ASSERT_EQ(sheet.height, 600);
    int other = 0;
    for (const GifColorType& c : sheet.pixels) other += is_white(c) ? 0 : 1;
    EXPECT_EQ(other, 0);
}

TEST(OutlinePictures, EveryPictureIsDifferent) {
    std::vector<std::vector<bool>> seen;
    for (int k = 1; k <= 25; ++k) {
        const Picture picture = load_gif(k_picture_dir / (two_digits(k) + ".GIF"));
        std::vector<bool> ink;
        for (const GifColorType& c : picture.pixels) ink.push_back(is_black(c));
        for (std::size_t j = 0; j < seen.size(); ++j) EXPECT_NE(seen[j], ink) << k << " repeats " << j + 1;
        seen.push_back(std::move(ink));
    }
}

TEST(GalleryTiles, BothLooksExistAtTileSizeUnderTheGridNumbers) {
    for (int k = 1; k <= 25; ++k) {
        const std::string nn = two_digits(18 * ((k - 1) / 5) + 2 * ((k - 1) % 5) + 1);
        for (const char* look : {"GALERIJA1BELE_", "GALERIJA1ZUTE_"}) {
            const std::string name = look + nn + ".JPG";
            SCOPED_TRACE(name);
            const JpegSize size = jpeg_size(k_picture_dir / name);
            EXPECT_EQ(size.width, 131);
            EXPECT_EQ(size.height, 122);
        }
    }
    EXPECT_TRUE(std::filesystem::exists(k_picture_dir / "GALERIJA1BELE_81.JPG"));
    EXPECT_FALSE(std::filesystem::exists(k_picture_dir / "GALERIJA1BELE_02.JPG"));
}

}  // namespace
