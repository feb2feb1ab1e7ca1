// A user's data folder that cannot hold the snapshot is still named, so that the failed save says why.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/desktop/atomic_file.h"
#include "platform/desktop/user_folders.h"
#include "platform/errors.h"

namespace zuvela {
namespace {

namespace fs = std::filesystem;

TEST(UserFoldersUnusable, ADataHomeThatIsAFileIsNamedAndTheSaveThereSaysWhy) {
    const fs::path dir = fs::temp_directory_path() / ("zuvela-unusable-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path not_a_folder = dir / "data-home";
    std::ofstream(not_a_folder) << "a file";
    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string before = saved ? saved : "";
    ::setenv("XDG_DATA_HOME", not_a_folder.c_str(), 1);

    // A program folder nobody may write to: here, one that does not exist.
    const std::string folder = user_snapshot_folder((dir / "no-such-program-folder").string());
    EXPECT_EQ(folder, (not_a_folder / "zuvela" / "MY_PICTURE").string());
    try {
        write_file_atomically(folder + "/01.GIF", {});
        ADD_FAILURE() << "a snapshot was written under a file";
    } catch (const PlatformError& error) {
        EXPECT_NE(std::string(error.what()).find("Not a directory"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(fs::is_regular_file(not_a_folder));

    if (saved)
        ::setenv("XDG_DATA_HOME", before.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
    fs::remove_all(dir);
}

}  // namespace
}  // namespace zuvela
