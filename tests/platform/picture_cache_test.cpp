#include "platform/picture_cache.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/errors.h"
#include "support/scratch_dir.h"

namespace zuvela {
namespace {

namespace fs = std::filesystem;

// "Files" hold a colour and a side: the picture is side × side pixels of that colour. A picture of side 256
// takes 256 KiB; the cache here keeps at most 1 MiB of pictures nobody holds, each at most 256 KiB.
class PictureCacheTest : public ::testing::Test {
  protected:
    void SetUp() override { dir = test::fresh_scratch_dir("zuvela-cache"); }
    void TearDown() override { fs::remove_all(dir); }

    std::string write(const std::string& name, const std::string& content) {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::trunc) << content;
        return p.string();
    }

    static PictureRef decode(std::span<const std::uint8_t> bytes, const std::string& what) {
        std::istringstream in(std::string(bytes.begin(), bytes.end()));
        unsigned colour = 0;
        int side = 1;
        if (!(in >> colour)) throw PlatformError("damaged " + what);
        in >> side;
        return std::make_shared<Raster>(side, side, colour);
    }

    fs::path dir;
    int decodes = 0;
    PictureCache cache{[](const std::string& path) {
                           std::ifstream in(path, std::ios::binary);
                           return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
                       },
                       [this](std::span<const std::uint8_t> bytes, const std::string& what) {
                           ++decodes;
                           return decode(bytes, what);
                       },
                       std::size_t(1) << 20};
};

TEST_F(PictureCacheTest, AnUnchangedFileIsDecodedOnce) {
    const std::string path = write("a.gif", "11");
    const PictureRef first = cache.load(path);
    const PictureRef second = cache.load(path);
    EXPECT_EQ(decodes, 1);
    EXPECT_EQ(first, second);
    EXPECT_EQ(second->at(0, 0), 11u);
}

TEST_F(PictureCacheTest, ChangedReplacedRemovedAndDamagedFilesBehaveLikeAFreshRead) {
    const std::string path = write("a.gif", "11");
    const PictureRef held = cache.load(path);

    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    write("a.gif", "22");  // same length, rewritten in place
    EXPECT_EQ(cache.load(path)->at(0, 0), 22u);

    const std::string other = write("b.gif", "33");
    fs::rename(other, path);  // replaced by another file
    EXPECT_EQ(cache.load(path)->at(0, 0), 33u);

    fs::remove(path);
    EXPECT_THROW(cache.load(path), PlatformError);

    write("a.gif", "not a picture");
    EXPECT_THROW(cache.load(path), PlatformError);
    EXPECT_THROW(cache.load(path), PlatformError) << "a damaged file is not remembered as good";

    write("a.gif", "44");
    EXPECT_EQ(cache.load(path)->at(0, 0), 44u);
    EXPECT_EQ(decodes, 6);
    EXPECT_EQ(held->at(0, 0), 11u) << "a picture still shown keeps its pixels";
}

TEST_F(PictureCacheTest, AFolderIsNoPicture) {
    EXPECT_THROW(cache.load(dir.string()), PlatformError);
    EXPECT_EQ(decodes, 0);
}

TEST_F(PictureCacheTest, APictureLetGoIsDecodedAgainTheSameAndWhatIsKeptStaysWithinTheBound) {
    // An outline-sized picture (more than a quarter of the bound) is kept only while it is held.
    const std::string outline = write("01.gif", "7 300");
    PictureRef shown = cache.load(outline);
    EXPECT_EQ(cache.load(outline), shown) << "held: served without decoding";
    EXPECT_EQ(decodes, 1);
    const Raster before = *shown;
    shown.reset();
    EXPECT_EQ(cache.kept_bytes(), 0u);
    const PictureRef again = cache.load(outline);
    EXPECT_EQ(decodes, 2) << "let go: decoded again when chosen again";
    EXPECT_EQ(again->width, before.width);
    EXPECT_EQ(again->pixels, before.pixels);

    // Small pictures nobody holds stay for a while: a rollover's other picture is not decoded on every move.
    const std::string hover = write("hover.jpg", "5 64");
    cache.load(hover);
    cache.load(hover);
    EXPECT_EQ(decodes, 3);
    for (int i = 0; i < 8; ++i)
        cache.load(write("tile" + std::to_string(i) + ".jpg", std::to_string(i) + " 200"));
    EXPECT_LE(cache.kept_bytes(), std::size_t(1) << 20);
    EXPECT_GT(cache.kept_bytes(), 0u);
    const int decodes_before = decodes;
    EXPECT_EQ(cache.load(hover)->pixels, Raster(64, 64, 5).pixels);
    EXPECT_EQ(decodes, decodes_before + 1) << "the oldest was let go when the bound was reached";
}

TEST_F(PictureCacheTest, BuiltInBytesAreDecodedOnceAndServeAFileThatRepeatsThem) {
    static const std::string builtin = "9 300";
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(builtin.data()),
                                              builtin.size());
    PictureRef start_scene = cache.decode_builtin(bytes, "a built-in picture");
    EXPECT_EQ(cache.decode_builtin(bytes, "a built-in picture"), start_scene);
    const std::string same = write("GLAVNA-2.JPG", builtin);
    const std::string other = write("GALERIJA-2.JPG", "9 301");
    EXPECT_EQ(cache.load(same), start_scene) << "the file holds the same bytes";
    EXPECT_NE(cache.load(other), start_scene);
    EXPECT_EQ(decodes, 2);

    start_scene.reset();
    EXPECT_EQ(cache.load(same)->pixels, Raster(300, 300, 9).pixels);
    EXPECT_EQ(decodes, 3) << "once nothing holds it, the file is decoded";
}

}  // namespace
}  // namespace zuvela
