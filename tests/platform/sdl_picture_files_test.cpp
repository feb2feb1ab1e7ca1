// The picture files: the cache that follows a file as it changes, built-in bytes, lengths and folders.
#include <gtest/gtest.h>

#include <span>
#include <vector>

#include "sdl_pictures_fixture.h"

namespace zuvela {
namespace {

using namespace picture_test;

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
