// The snapshot write: a new file replaces the old one whole or not at all.
#include "platform/desktop/atomic_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "../support/child_process.h"  // this target has no tests/ on its include path
#include "../support/scratch_dir.h"
#include "platform/errors.h"
#include "platform/sdl/sdl_pictures.h"

namespace zuvela {
namespace {

namespace fs = std::filesystem;

std::vector<std::byte> bytes_of(const std::string& text) {
    std::vector<std::byte> out(text.size());
    std::memcpy(out.data(), text.data(), text.size());
    return out;
}

std::vector<std::byte> pattern(std::size_t n) {
    std::vector<std::byte> out(n);
    for (std::size_t i = 0; i < n; ++i) out[i] = std::byte((i * 131 + 7) & 0xFF);
    return out;
}

std::vector<std::byte> read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> chars{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<std::byte> out(chars.size());
    if (!chars.empty()) std::memcpy(out.data(), chars.data(), chars.size());
    return out;
}

void write_plain(const fs::path& path, const std::vector<std::byte>& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::set<std::string> names_in(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename().string());
    return names;
}

class AtomicFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = test::fresh_scratch_dir("zuvela-atomic");
        fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                 fs::perms::others_read | fs::perms::others_exec);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir, ignored);
    }

    fs::path dir;
};

TEST_F(AtomicFileTest, WritesTheContentAndReplacesAnOldFile) {
    const fs::path target = dir / "01.GIF";
    write_file_atomically(target.string(), bytes_of("first"));
    EXPECT_EQ(read_file(target), bytes_of("first"));

    const std::vector<std::byte> big = pattern(3 * 1024 * 1024 + 17);
    write_file_atomically(target.string(), big);
    EXPECT_EQ(read_file(target), big);
    EXPECT_EQ(names_in(dir), std::set<std::string>{"01.GIF"}) << "no temporary file stays behind";

    write_file_atomically(target.string(), {});
    EXPECT_EQ(fs::file_size(target), 0u) << "empty content is written as asked";

    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask) << "the usual permissions, not a temporary file's 0600";
}

TEST_F(AtomicFileTest, ARelativeNameIsWrittenInTheWorkingFolder) {
    const fs::path before = fs::current_path();
    fs::current_path(dir);
    write_file_atomically("here.bmp", bytes_of("relative"));
    fs::current_path(before);
    EXPECT_EQ(read_file(dir / "here.bmp"), bytes_of("relative"));
    EXPECT_EQ(names_in(dir), std::set<std::string>{"here.bmp"});
}

TEST_F(AtomicFileTest, AMissingFolderFailsAndIsNotCreated) {
    const fs::path folder = dir / "MY_PICTURE";
    EXPECT_THROW(write_file_atomically((folder / "01.GIF").string(), bytes_of("x")), PlatformError);
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_TRUE(names_in(dir).empty());
}

TEST_F(AtomicFileTest, AReadOnlyFolderFailsAndLeavesTheOldFileWhole) {
    const fs::path target = dir / "01.GIF";
    const std::vector<std::byte> old = pattern(5000);
    write_plain(target, old);
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                             fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);

    // Root writes into read-only folders anyway, so the write is tried by an ordinary user then.
    const int status = answer_in_child([&] {
        if (::geteuid() == 0 && !become_ordinary_user()) return 3;
        try {
            write_file_atomically(target.string(), bytes_of("new content"));
        } catch (const PlatformError&) {
            return 0;
        }
        return 1;
    });
    EXPECT_EQ(status, 0)
        << "the write must fail with PlatformError (1: it succeeded, 3: could not drop root)";
    EXPECT_EQ(read_file(target), old);
    EXPECT_EQ(names_in(dir), std::set<std::string>{"01.GIF"});
}

TEST_F(AtomicFileTest, AFullDiskFailsAndLeavesTheOldFileWholeAndNoTemporaryFile) {
    const fs::path target = dir / "01.GIF";
    const std::vector<std::byte> old = pattern(5000);
    write_plain(target, old);

    // A file size limit stands in for a full disk: the write stops part way with an error.
    const int status = answer_in_child([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 3;
        try {
            write_file_atomically(target.string(), pattern(1024 * 1024));
        } catch (const PlatformError&) {
            return 0;
        }
        return 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(read_file(target), old) << "the old file is untouched";
    EXPECT_EQ(names_in(dir), std::set<std::string>{"01.GIF"}) << "the temporary file is removed";
}

TEST_F(AtomicFileTest, APlantedSymlinkIsReplacedAndItsTargetLeftAlone) {
    const fs::path elsewhere = dir / "elsewhere";
    fs::create_directories(elsewhere);
    const fs::path victim = elsewhere / "precious.txt";
    write_plain(victim, bytes_of("precious"));
    const fs::path target = dir / "01.GIF";
    fs::create_symlink(victim, target);

    write_file_atomically(target.string(), bytes_of("snapshot"));
    EXPECT_FALSE(fs::is_symlink(fs::symlink_status(target)));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(target)));
    EXPECT_EQ(read_file(target), bytes_of("snapshot"));
    EXPECT_EQ(read_file(victim), bytes_of("precious"));

    // A dangling link is replaced the same way, and nothing is created where it pointed.
    const fs::path nowhere = dir / "nowhere.txt";
    fs::remove(target);
    fs::create_symlink(nowhere, target);
    write_file_atomically(target.string(), bytes_of("again"));
    EXPECT_EQ(read_file(target), bytes_of("again"));
    EXPECT_FALSE(fs::exists(nowhere));
}

TEST_F(AtomicFileTest, AFolderThatIsALinkToElsewhereIsRefusedAndNothingIsWrittenThere) {
    const fs::path elsewhere = dir / "elsewhere";
    fs::create_directories(elsewhere);
    write_plain(elsewhere / "01.GIF", bytes_of("precious"));
    const fs::path linked = dir / "MY_PICTURE";
    fs::create_directory_symlink(elsewhere, linked);

    EXPECT_THROW(write_file_atomically((linked / "01.GIF").string(), bytes_of("snapshot")), PlatformError);
    EXPECT_EQ(read_file(elsewhere / "01.GIF"), bytes_of("precious"));
    EXPECT_EQ(names_in(elsewhere), std::set<std::string>{"01.GIF"}) << "no temporary file either";
}

TEST_F(AtomicFileTest, AFolderInTheWayFailsWithoutLeavingATemporaryFile) {
    fs::create_directories(dir / "01.GIF");
    EXPECT_THROW(write_file_atomically((dir / "01.GIF").string(), bytes_of("x")), PlatformError);
    EXPECT_EQ(names_in(dir), std::set<std::string>{"01.GIF"});
    EXPECT_TRUE(fs::is_directory(dir / "01.GIF"));
}

TEST_F(AtomicFileTest, AnEmptyNameFails) {
    EXPECT_THROW(write_file_atomically("", bytes_of("x")), PlatformError);
    EXPECT_THROW(write_file_atomically((dir.string() + "/"), bytes_of("x")), PlatformError);
    EXPECT_TRUE(names_in(dir).empty());
}

// The snapshot itself goes through the same replacement.
TEST_F(AtomicFileTest, SaveBitmapReplacesASymlinkAndKeepsTheOldSnapshotOnFailure) {
    SdlPictureFiles files;
    Raster picture(7, 3);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) picture.at(x, y) = rgb(30 * x, 80 * y, 200 - 20 * x);

    const fs::path victim = dir / "victim.txt";
    write_plain(victim, bytes_of("keep me"));
    const fs::path target = dir / "01.GIF";
    fs::create_symlink(victim, target);
    files.save_bitmap(picture, target.string());
    EXPECT_FALSE(fs::is_symlink(fs::symlink_status(target)));
    EXPECT_EQ(read_file(victim), bytes_of("keep me"));
    const std::vector<std::byte> saved = read_file(target);
    ASSERT_GE(saved.size(), 2u);
    EXPECT_EQ(char(saved[0]), 'B');
    EXPECT_EQ(char(saved[1]), 'M');
    const PictureRef back = SdlPictureFiles::decode_file(target.string());
    ASSERT_EQ(back->width, 7);
    ASSERT_EQ(back->height, 3);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) EXPECT_EQ(back->at(x, y) & k_color_mask, picture.at(x, y));

    // A snapshot too big for the disk leaves the previous one as it was.
    const Raster large(750, 600, rgb(1, 2, 3));
    const int status = answer_in_child([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16 * 1024, 16 * 1024};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 3;
        try {
            SdlPictureFiles child_files;
            child_files.save_bitmap(large, target.string());
        } catch (const PlatformError&) {
            return 0;
        }
        return 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(read_file(target), saved);
    EXPECT_EQ(names_in(dir), (std::set<std::string>{"01.GIF", "victim.txt"}));

    EXPECT_THROW(files.save_bitmap(picture, (dir / "MY_PICTURE" / "01.GIF").string()), PlatformError);
    EXPECT_FALSE(fs::exists(dir / "MY_PICTURE"));
}

}  // namespace
}  // namespace zuvela
