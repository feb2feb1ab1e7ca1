// Limits and damaged files: what a picture may claim, how large it may be, and what a broken one does.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <span>
#include <vector>

#include "sdl_pictures_fixture.h"

namespace zuvela {
namespace {

using namespace picture_test;

// A 1-bit bitmap, black and white stripes: small on disk whatever its size in pixels.
std::vector<char> one_bit_bmp(std::int32_t width, std::int32_t height) {
    const std::size_t row = (std::size_t(width) + 31) / 32 * 4;
    const std::size_t rows = std::size_t(height < 0 ? -std::int64_t(height) : height);
    std::vector<char> b(14 + 40 + 8 + row * rows);
    b[0] = 'B';
    b[1] = 'M';
    put_le32(b, 2, std::uint32_t(b.size()));
    put_le32(b, 10, 14 + 40 + 8);
    put_le32(b, 14, 40);
    put_le32(b, 18, std::uint32_t(width));
    put_le32(b, 22, std::uint32_t(height));
    put_le16(b, 26, 1);
    put_le16(b, 28, 1);
    const char palette[8] = {0, 0, 0, 0, char(0xFF), char(0xFF), char(0xFF), 0};
    std::memcpy(b.data() + 54, palette, 8);
    for (std::size_t i = 62; i < b.size(); ++i) b[i] = char(0x0F);
    return b;
}

// A one-row GIF: screen and image of `width` x 1, every pixel colour 1 of two.
std::vector<char> one_row_gif(unsigned width) {
    std::vector<char> b = {'G',        'I', 'F', '8', '9', 'a', 0,          0,          1,          0,
                           char(0x80), 0,   0,   0,   0,   0,   char(0xFF), char(0xFF), char(0xFF), ',',
                           0,          0,   0,   0,   0,   0,   1,          0,          0};
    put_le16(b, 6, width);
    put_le16(b, 24, width);
    append_image_data(b, std::vector<std::uint8_t>(width, 1));
    b.push_back(';');
    return b;
}

// The start of a frame header (SOF0) in a JPEG file.
std::size_t frame_header(const std::vector<char>& jpeg) {
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i)
        if (std::uint8_t(jpeg[i]) == 0xFF && std::uint8_t(jpeg[i + 1]) == 0xC0) return i;
    return 0;
}

TEST_F(SdlPicturesTest, RefusesPicturesThatClaimAHugeSizeBeforeDecodingThem) {
    // The file that froze the program: an outline whose header claims 60 000 x 60 000 pixels.
    std::vector<char> gif = bytes_of(k_pictures / "00.GIF");
    ASSERT_EQ(gif.size(), 1103u);
    ASSERT_EQ(gif[0x13], ',');
    for (std::size_t at : {std::size_t(6), std::size_t(8), std::size_t(0x18), std::size_t(0x1A)})
        put_le16(gif, at, 60000);

    std::vector<char> jpeg = bytes_of(k_pictures / "GLAVNA-2.JPG");
    const std::size_t sof = frame_header(jpeg);
    ASSERT_GT(sof, 0u);
    jpeg[sof + 5] = char(60000 >> 8);
    jpeg[sof + 6] = char(60000 & 0xFF);
    jpeg[sof + 7] = char(60000 >> 8);
    jpeg[sof + 8] = char(60000 & 0xFF);
    jpeg.resize(gif.size());  // libjpeg reads a truncated file to the end, grey below

    std::vector<char> bmp(gif.size());
    bmp[0] = 'B';
    bmp[1] = 'M';
    put_le32(bmp, 10, 54);
    put_le32(bmp, 14, 40);
    put_le32(bmp, 18, 60000);
    put_le32(bmp, 22, std::uint32_t(-60000));  // top-down
    put_le16(bmp, 26, 1);
    put_le16(bmp, 28, 24);

    std::vector<char> ico(gif.size());
    put_le16(ico, 2, 1);
    put_le16(ico, 4, 1);
    put_le32(ico, 6 + 12, 22);
    put_le32(ico, 22, 40);
    put_le32(ico, 26, 60000);
    put_le32(ico, 30, 120000);
    put_le16(ico, 34, 1);
    put_le16(ico, 36, 32);

    const std::vector<std::pair<std::string, std::vector<char>>> huge = {
        {"00.GIF", gif}, {"HUGE.JPG", jpeg}, {"HUGE.BMP", bmp}, {"HUGE.ICO", ico}};
    for (const auto& entry : huge) {
        // Named, not bound: clang 14 cannot capture a structured binding in the lambdas below.
        const std::string& name = entry.first;
        const std::vector<char>& bytes = entry.second;
        write_bytes(name, bytes);
        const std::string path = in_dir(name);
        long growth_kb = 0;
        EXPECT_EQ(refused_in_child([&] { files.load_picture(path); }, &growth_kb), 0) << name;
        EXPECT_LT(growth_kb, 32 * 1024) << name << " grew the process by " << growth_kb << " kB";
        EXPECT_EQ(
            refused_in_child([&] { files.decode_picture(std::as_bytes(std::span(bytes))); }, &growth_kb), 0)
            << name << " as built-in bytes";
        std::printf("[          ] %s refused; peak memory grew %ld kB\n", name.c_str(), growth_kb);
    }
}

TEST_F(SdlPicturesTest, TheLargestPictureIs4096PixelsEachWay) {
    const std::vector<char> square = one_bit_bmp(4096, -4096);
    EXPECT_LT(square.size(), std::size_t(4) << 20);
    write_bytes("SQUARE.BMP", square);
    const PictureRef p = files.load_picture(in_dir("SQUARE.BMP"));
    ASSERT_EQ(p->width, 4096);
    ASSERT_EQ(p->height, 4096);
    EXPECT_EQ(p->at(0, 0), 0xFF000000u);
    EXPECT_EQ(p->at(4, 0), 0xFFFFFFFFu);
    EXPECT_EQ(p->at(4095, 4095), 0xFFFFFFFFu);

    // JPEG through SDL_image's own encoder.
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 4096, 4096, 24, SDL_PIXELFORMAT_RGB24);
    ASSERT_NE(s, nullptr);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0, 0, 255));
    ASSERT_EQ(IMG_SaveJPG(s, in_dir("SQUARE.JPG").c_str(), 90), 0);
    SDL_FreeSurface(s);
    const PictureRef j = files.load_picture(in_dir("SQUARE.JPG"));
    ASSERT_EQ(j->width, 4096);
    ASSERT_EQ(j->height, 4096);
    EXPECT_LT(red_of(j->at(2000, 2000)), 8);
    EXPECT_GT(blue_of(j->at(2000, 2000)), 247);

    write_bytes("ROW.GIF", one_row_gif(4096));
    const PictureRef row = files.load_picture(in_dir("ROW.GIF"));
    ASSERT_EQ(row->width, 4096);
    EXPECT_EQ(row->at(4095, 0), 0xFFFFFFFFu) << "every pixel decoded";

    write_bytes("WIDE.BMP", one_bit_bmp(4097, 1));
    write_bytes("WIDE.GIF", one_row_gif(4097));
    SDL_Surface* tall = SDL_CreateRGBSurfaceWithFormat(0, 1, 4097, 24, SDL_PIXELFORMAT_RGB24);
    ASSERT_NE(tall, nullptr);
    ASSERT_EQ(IMG_SaveJPG(tall, in_dir("TALL.JPG").c_str(), 90), 0);
    SDL_FreeSurface(tall);
    for (const char* name : {"WIDE.BMP", "WIDE.GIF", "TALL.JPG"})
        EXPECT_THROW(files.load_picture(in_dir(name)), PlatformError) << name;
    write_bytes("EMPTY.GIF", one_row_gif(0));
    EXPECT_THROW(files.load_picture(in_dir("EMPTY.GIF")), PlatformError) << "no pixels";
}

TEST_F(SdlPicturesTest, RefusesFilesOver16MegabytesAndFilesThatAreNoPictures) {
    // Trailing bytes after a GIF's trailer are ignored by the decoder, so only the length can refuse these.
    const std::vector<char> gif = bytes_of(k_pictures / "01.GIF");
    write_bytes("LIMIT.GIF", gif);
    fs::resize_file(dir / "LIMIT.GIF", std::uintmax_t(16) << 20);  // sparse
    EXPECT_EQ(files.load_picture(in_dir("LIMIT.GIF"))->width, 750) << "16 MB exactly";
    write_bytes("OVER.GIF", gif);
    fs::resize_file(dir / "OVER.GIF", (std::uintmax_t(16) << 20) + 1);
    EXPECT_THROW(files.load_picture(in_dir("OVER.GIF")), PlatformError);

    std::vector<std::byte> over((std::size_t(16) << 20) + 1);
    std::memcpy(over.data(), gif.data(), gif.size());
    EXPECT_THROW(files.decode_picture(over), PlatformError) << "built-in bytes too";
    over.resize(gif.size());
    EXPECT_EQ(files.decode_picture(over)->width, 750);

    // A pipe or a folder by a picture's name fails at once instead of waiting or reading forever.
    ASSERT_EQ(::mkfifo(in_dir("PIPE.GIF").c_str(), 0600), 0);
    EXPECT_THROW(files.load_picture(in_dir("PIPE.GIF")), PlatformError);
    fs::create_directory(dir / "FOLDER.GIF");
    EXPECT_THROW(files.load_picture(in_dir("FOLDER.GIF")), PlatformError);
    EXPECT_THROW(SdlPictureFiles::decode_file("/dev/zero"), PlatformError);

    // Other formats SDL_image knows are not pictures of this program: their size goes unchecked.
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 4, 4, 24, SDL_PIXELFORMAT_RGB24);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(IMG_SavePNG(s, in_dir("A.PNG").c_str()), 0);
    SDL_FreeSurface(s);
    EXPECT_THROW(files.load_picture(in_dir("A.PNG")), PlatformError);
}

TEST_F(SdlPicturesTest, ADamagedGifIsRefusedWithoutHarm) {
    // A damaged outline on which SDL_image's GIF decoder freed an invalid pointer.
    const std::vector<char> bytes = bytes_of(k_test_data / "gif-invalid-free.gif");
    ASSERT_EQ(bytes.size(), 2444u);
    write_bytes("00.GIF", bytes);
    const std::string path = in_dir("00.GIF");
    long growth_kb = 0;
    EXPECT_EQ(refused_in_child([&] { files.load_picture(path); }, &growth_kb), 1)
        << "refused as unreadable, not killed";
    EXPECT_LT(growth_kb, 32 * 1024);
    EXPECT_THROW(files.load_picture(path), PlatformError);
    EXPECT_THROW(files.decode_picture(std::as_bytes(std::span(bytes))), PlatformError);

    // A first image that ends early, and a file that ends inside its first image.
    std::vector<char> outline = bytes_of(k_pictures / "00.GIF");
    outline.resize(outline.size() / 2);
    EXPECT_THROW(files.decode_picture(std::as_bytes(std::span(outline))), PlatformError);
    outline.resize(0x20);
    EXPECT_THROW(files.decode_picture(std::as_bytes(std::span(outline))), PlatformError);
}

}  // namespace
}  // namespace zuvela
