#include "platform/picture_cache.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include <unistd.h>

#include "platform/errors.h"

namespace zuvela {
namespace {

namespace fs = std::filesystem;

// Decodes "files" whose whole content is one number: the picture is 1 × 1 with that colour.
class PictureCacheTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("zuvela-cache-" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string write(const std::string& name, const std::string& content) {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::trunc) << content;
        return p.string();
    }

    fs::path dir;
    int decodes = 0;
    PictureCache cache{[this](const std::string& path) -> PictureRef {
        ++decodes;
        std::ifstream in(path);
        unsigned value = 0;
        if (!(in >> value)) throw PlatformError("damaged " + path);
        return std::make_shared<Raster>(1, 1, value);
    }};
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
    cache.load(path);

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
}

TEST_F(PictureCacheTest, AFolderIsNoPicture) {
    EXPECT_THROW(cache.load(dir.string()), PlatformError);
    EXPECT_EQ(decodes, 0);
}

}  // namespace
}  // namespace zuvela
