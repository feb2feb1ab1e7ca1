#include "platform/sdl/sdl_pictures.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <span>
#include <vector>

#include "platform/errors.h"

namespace zuvela {
namespace {

namespace fs = std::filesystem;

const fs::path k_pictures = fs::path(ZUVELA_ASSET_DIR) / "PICTURE";

class SdlPicturesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("zuvela-sdl-pictures-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string in_dir(const std::string& name) const { return (dir / name).string(); }

    static std::vector<char> bytes_of(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void write_bytes(const std::string& name, const std::vector<char>& bytes) const {
        std::ofstream(dir / name, std::ios::binary | std::ios::trunc)
            .write(bytes.data(), std::streamsize(bytes.size()));
    }

    fs::path dir;
    SdlPictureFiles files;
};

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

TEST_F(SdlPicturesTest, TheCacheFollowsTheFile) {
    const std::string path = in_dir("SLIKA.GIF");
    write_bytes("SLIKA.GIF", bytes_of(k_pictures / "01.GIF"));
    const PictureRef first = files.load_picture(path);
    EXPECT_EQ(files.load_picture(path), first) << "an unchanged file is served from the cache";

    write_bytes("other.tmp", bytes_of(k_pictures / "02.GIF"));
    fs::rename(dir / "other.tmp", path);
    const PictureRef replaced = files.load_picture(path);
    EXPECT_NE(replaced, first);
    EXPECT_EQ(replaced->pixels, SdlPictureFiles::decode_file((k_pictures / "02.GIF").string())->pixels);

    std::vector<char> bytes = bytes_of(k_pictures / "01.GIF");
    bytes.resize(10);
    write_bytes("short.tmp", bytes);
    fs::rename(dir / "short.tmp", path);
    EXPECT_THROW(files.load_picture(path), PlatformError) << "truncated";

    write_bytes("junk.tmp", std::vector<char>(300, 'x'));
    fs::rename(dir / "junk.tmp", path);
    EXPECT_THROW(files.load_picture(path), PlatformError) << "damaged";
    EXPECT_THROW(files.load_picture(path), PlatformError) << "a damaged file is not remembered as good";

    fs::remove(path);
    EXPECT_THROW(files.load_picture(path), PlatformError) << "removed";
    EXPECT_THROW(files.load_picture(in_dir("never-there.jpg")), PlatformError);
}

TEST_F(SdlPicturesTest, BuiltInBytesThatAreNoPictureFail) {
    const std::vector<std::byte> junk(64, std::byte{0x5A});
    EXPECT_THROW(files.decode_picture(junk), PlatformError);
    EXPECT_THROW(files.decode_picture({}), PlatformError);

    const std::vector<char> gif = bytes_of(k_pictures / "01.GIF");
    const PictureRef p = files.decode_picture(std::as_bytes(std::span(gif)));
    EXPECT_EQ(p->pixels, SdlPictureFiles::decode_file((k_pictures / "01.GIF").string())->pixels);
}

TEST_F(SdlPicturesTest, ReportsFileLengthsFoldersAndTheWorkingDirectory) {
    const fs::path jpeg = k_pictures / "GLAVNA-2.JPG";
    EXPECT_EQ(files.file_length(jpeg.string()), fs::file_size(jpeg));
    const std::string huge = in_dir("huge");
    std::ofstream{huge};
    fs::resize_file(huge, (std::uintmax_t(1) << 32) + 19970);  // sparse: takes no room
    EXPECT_EQ(files.file_length(huge), (std::uint64_t(1) << 32) + 19970) << "no length is cut to 32 bits";
    write_bytes("empty", {});
    EXPECT_EQ(files.file_length(in_dir("empty")), 0u);
    EXPECT_THROW(files.file_length(in_dir("missing.wav")), PlatformError);

    EXPECT_EQ(fs::path(files.program_folder()), fs::canonical("/proc/self/exe").parent_path());

    const fs::path before = fs::current_path();
    EXPECT_THROW(files.change_directory(in_dir("missing")), PlatformError);
    EXPECT_EQ(fs::current_path(), before) << "a failed change leaves the directory alone";
    files.change_directory(dir.string());
    EXPECT_EQ(fs::canonical(fs::current_path()), fs::canonical(dir));
    fs::current_path(before);
}

}  // namespace
}  // namespace zuvela
