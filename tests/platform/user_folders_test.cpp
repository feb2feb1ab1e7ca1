#include "platform/desktop/user_folders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "support/child_process.h"

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
    // Every folder is writable for root: as root, the check runs as an ordinary user in a child.
    const fs::path data = fs::temp_directory_path() / ("zuvela-data-" + std::to_string(getpid()));
    const ChildEnd end = run_in_child([&] {
        if (geteuid() == 0 && !become_ordinary_user()) return std::string("cannot become an ordinary user");
        setenv("XDG_DATA_HOME", data.c_str(), 1);
        std::string report = user_snapshot_folder("/usr");
        if (!fs::is_directory(data / "zuvela/MY_PICTURE")) report += " (not created)";
        return report;
    });
    EXPECT_TRUE(end.exited_cleanly()) << end.describe();
    EXPECT_EQ(end.report, (data / "zuvela/MY_PICTURE").string()) << "the folder is created when missing";
    fs::remove_all(data);
}

}  // namespace
}  // namespace zuvela
