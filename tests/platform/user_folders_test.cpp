#include "platform/desktop/user_folders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

namespace zuvela {
namespace {

namespace fs = std::filesystem;

TEST(UserFolders, TheUsersSnapshotFolderFollowsTheDataHome) {
    EXPECT_EQ(user_data_snapshot_folder("/data", "/home/child"), "/data/zuvela/MY_PICTURE");
    EXPECT_EQ(user_data_snapshot_folder(nullptr, "/home/child"),
              "/home/child/.local/share/zuvela/MY_PICTURE");
    EXPECT_EQ(user_data_snapshot_folder("relative", "/home/child"),
              "/home/child/.local/share/zuvela/MY_PICTURE")
        << "a relative data home is ignored";
    EXPECT_EQ(user_data_snapshot_folder(nullptr, nullptr), "");
}

TEST(UserFolders, AWritableProgramFolderKeepsTheSnapshotBesideIt) {
    const fs::path program = fs::temp_directory_path() / ("zuvela-program-" + std::to_string(getpid()));
    fs::create_directories(program);
    EXPECT_EQ(user_snapshot_folder(program.string()), "");
    fs::remove_all(program);
}

TEST(UserFolders, AReadOnlyProgramFolderSendsTheSnapshotToTheUsersFolder) {
    if (geteuid() == 0) GTEST_SKIP() << "every folder is writable for root";
    const fs::path data = fs::temp_directory_path() / ("zuvela-data-" + std::to_string(getpid()));
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    EXPECT_EQ(user_snapshot_folder("/usr"), (data / "zuvela/MY_PICTURE").string());
    EXPECT_TRUE(fs::is_directory(data / "zuvela/MY_PICTURE")) << "created when missing";
    unsetenv("XDG_DATA_HOME");
    fs::remove_all(data);
}

}  // namespace
}  // namespace zuvela
