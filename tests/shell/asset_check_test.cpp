#include "shell/asset_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>

#include "platform/errors.h"
#include "platform/fake/fake_platform.h"
#include "shell/forma_main.h"
#include "support/installed_assets.h"

namespace zuvela {
namespace {

class AssetCheckTest : public ::testing::Test {
  protected:
    AssetCheckTest() {
        install_all_assets(fake);
        window.state().app_dir = "/opt/Zuvela";
        window.state().keyboard_hook = 7;
    }

    // The exit status the check ended the program with, or -1 when it returned.
    int check() {
        try {
            check_asset_files(window, asset_lengths, diagnostics);
            return -1;
        } catch (const EndProgram& end) {
            return end.exit_status;
        }
    }
    int length_queries() const {
        return int(std::count_if(fake.log.begin(), fake.log.end(),
                                 [](const std::string& e) { return e.rfind("length ", 0) == 0; }));
    }

    FakePlatform fake;
    FormaMain window{fake.platform, AppConfig{}};
    std::ostringstream diagnostics;
};

TEST_F(AssetCheckTest, AllFilesAsExpectedPassWithoutAWord) {
    EXPECT_EQ(check(), -1);
    EXPECT_EQ(length_queries(), 147);
    EXPECT_EQ(diagnostics.str(), "");
    EXPECT_EQ(fake.position_of("load"), -1) << "lengths only, no file is read";
}

TEST_F(AssetCheckTest, AWrongLengthStopsAtOnceAndReleasesTheLockAndMusic) {
    bool music_stopped = false;
    window.seams().stop_music = [&] { music_stopped = true; };
    window.state().music_playing = 1;
    fake.files.lengths["/opt/Zuvela/PICTURE/01.GIF"] += 1;
    EXPECT_GT(check(), 0);
    EXPECT_EQ(length_queries(), 1);
    EXPECT_TRUE(music_stopped);
    EXPECT_TRUE(fake.logged("lock_release 7"));
    const std::string line = diagnostics.str();
    EXPECT_NE(line.find("/opt/Zuvela/PICTURE/01.GIF"), std::string::npos);
    EXPECT_NE(line.find(std::to_string(asset_lengths[0].length)), std::string::npos);
    EXPECT_NE(line.find(std::to_string(asset_lengths[0].length + 1)), std::string::npos);
}

TEST_F(AssetCheckTest, ALengthPast4GiBIsNotTakenForTheExpectedOne) {
    fake.files.lengths["/opt/Zuvela/PICTURE/05.GIF"] += std::uint64_t(1) << 32;
    EXPECT_GT(check(), 0);
    EXPECT_EQ(length_queries(), 5);
}

TEST_F(AssetCheckTest, AMissingLastFileEndsTheProgramAfterEveryOtherPassed) {
    fake.files.lengths.erase("/opt/Zuvela/PICTURE/ZVUCNIK2.JPG");
    EXPECT_GT(check(), 0);
    EXPECT_EQ(length_queries(), 147);
    EXPECT_FALSE(fake.logged("lock_release 7")) << "the lock goes with the ended process";
    EXPECT_NE(diagnostics.str().find("ZVUCNIK2.JPG is missing"), std::string::npos);
}

TEST_F(AssetCheckTest, PointerIconsSoundsAndMusicAreNotChecked) {
    std::set<std::string> names;
    for (const AssetLength& entry : asset_lengths) {
        const std::string literal = entry.literal;
        EXPECT_EQ(literal.rfind("/PICTURE/", 0), 0u) << literal;
        EXPECT_TRUE(names.insert(literal).second) << literal;
        EXPECT_GT(entry.length, 0u) << literal;
    }
    EXPECT_EQ(names.count("/PICTURE/KANTICA8.ICO"), 0u);
    EXPECT_EQ(names.count("/PICTURE/CETKA.ICO"), 0u);
    EXPECT_STREQ(asset_lengths.front().literal, "/PICTURE/01.GIF");
    EXPECT_STREQ(asset_lengths.back().literal, "/PICTURE/ZVUCNIK2.JPG");
}

TEST(AssetLengths, MatchTheShippedPictures) {
    for (const AssetLength& entry : asset_lengths) {
        const std::filesystem::path file = std::filesystem::path(ZUVELA_ASSET_DIR) / (entry.literal + 1);
        ASSERT_TRUE(std::filesystem::exists(file)) << file;
        EXPECT_EQ(std::filesystem::file_size(file), entry.length) << file;
    }
}

}  // namespace
}  // namespace zuvela
