#include "platform/sdl/sdl_pictures.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <span>
#include <vector>

#include "platform/errors.h"
#include "support/sanitizers.h"

namespace zuvela {
namespace {

namespace fs = std::filesystem;

const fs::path k_pictures = fs::path(ZUVELA_ASSET_DIR) / "PICTURE";
const fs::path k_builtin = fs::path(ZUVELA_RES_DIR) / "builtin";
const fs::path k_test_data = fs::path(__FILE__).parent_path() / "data";

void put_le16(std::vector<char>& b, std::size_t at, unsigned v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}
void put_le32(std::vector<char>& b, std::size_t at, std::uint32_t v) {
    put_le16(b, at, v & 0xFFFF);
    put_le16(b, at + 2, v >> 16);
}

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

// GIF image data for pixel indices below 4: LZW with 2-bit roots and a clear code before every pixel, which
// keeps every code 3 bits wide, in sub-blocks of at most 255 bytes.
void append_image_data(std::vector<char>& b, const std::vector<std::uint8_t>& pixels) {
    b.push_back(2);
    std::vector<std::uint8_t> data;
    unsigned acc = 0, bits = 0;
    auto code = [&](unsigned c) {
        acc |= c << bits;
        bits += 3;
        while (bits >= 8) {
            data.push_back(std::uint8_t(acc));
            acc >>= 8;
            bits -= 8;
        }
    };
    for (std::uint8_t p : pixels) {
        code(4);
        code(p);
    }
    code(5);
    if (bits) data.push_back(std::uint8_t(acc));
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - at);
        b.push_back(char(n));
        b.insert(b.end(), data.begin() + std::ptrdiff_t(at), data.begin() + std::ptrdiff_t(at + n));
    }
    b.push_back(0);
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

// The start of a frame header (SOF0) in a JPEG file.
std::size_t frame_header(const std::vector<char>& jpeg) {
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i)
        if (std::uint8_t(jpeg[i]) == 0xFF && std::uint8_t(jpeg[i + 1]) == 0xC0) return i;
    return 0;
}

// Runs `decode` in a child process with its address space capped (where the sanitizer allows), so that a
// picture that is wrongly accepted cannot take the machine's memory. The child answers 0 when `decode` was
// refused for the picture's size, and reports how far its memory grew.
int refused_in_child(const std::function<void()>& decode, long* growth_kb) {
    int pipe_fds[2];
    if (::pipe(pipe_fds) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipe_fds[0]);
        cap_address_space_growth();
        rusage before{}, after{};
        ::getrusage(RUSAGE_SELF, &before);
        int answer = 2;
        try {
            decode();
        } catch (const PlatformError& e) {
            answer = std::strstr(e.what(), "too large") ? 0 : 1;
        } catch (...) {
            answer = 3;
        }
        ::getrusage(RUSAGE_SELF, &after);
        const long growth = after.ru_maxrss - before.ru_maxrss;
        if (::write(pipe_fds[1], &growth, sizeof growth) != sizeof growth) answer = 4;
        ::_exit(answer);
    }
    ::close(pipe_fds[1]);
    if (::read(pipe_fds[0], growth_kb, sizeof *growth_kb) != sizeof *growth_kb) *growth_kb = -1;
    ::close(pipe_fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

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

TEST_F(SdlPicturesTest, EveryShippedPictureDecodesAsSdlConvertsIt) {
    int compared = 0;
    for (const fs::path& folder : {k_pictures, k_builtin}) {
        for (const auto& entry : fs::directory_iterator(folder)) {
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
