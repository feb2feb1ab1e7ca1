// What the picture decoder's tests share: a scratch folder, the shipped pictures, and small files built byte
// by byte (bitmaps, GIFs) whose sizes and damage a test chooses.
#pragma once

#include "platform/sdl/sdl_pictures.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "support/child_process.h"
#include "support/sanitizers.h"
#include "support/scratch_dir.h"

namespace zuvela::picture_test {

namespace fs = std::filesystem;

inline const fs::path k_pictures = fs::path(ZUVELA_ASSET_DIR) / "PICTURE";
inline const fs::path k_builtin = fs::path(ZUVELA_RES_DIR) / "builtin";
inline const fs::path k_test_data = fs::path(__FILE__).parent_path() / "data";

inline void put_le16(std::vector<char>& b, std::size_t at, unsigned v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}
inline void put_le32(std::vector<char>& b, std::size_t at, std::uint32_t v) {
    put_le16(b, at, v & 0xFFFF);
    put_le16(b, at + 2, v >> 16);
}

// GIF image data for pixel indices below 4: LZW with 2-bit roots and a clear code before every pixel, which
// keeps every code 3 bits wide, in sub-blocks of at most 255 bytes.
inline void append_image_data(std::vector<char>& b, const std::vector<std::uint8_t>& pixels) {
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

// Runs `decode` in a child process with its address space capped (where the sanitizer allows), so that a
// picture that is wrongly accepted cannot take the machine's memory. The child answers 0 when `decode` was
// refused for the picture's size, and reports how far its memory grew.
inline int refused_in_child(const std::function<void()>& decode, long* growth_kb) {
    *growth_kb = -1;
    const ChildEnd end = run_in_child([&] {
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
        return std::to_string(answer) + " " + std::to_string(after.ru_maxrss - before.ru_maxrss);
    });
    if (!end.exited_cleanly()) return end.signal ? 100 + end.signal : end.exit_status;
    int answer = 4;
    std::sscanf(end.report.c_str(), "%d %ld", &answer, growth_kb);
    return answer;
}

class SdlPicturesTest : public ::testing::Test {
  protected:
    void SetUp() override { dir = test::fresh_scratch_dir("zuvela-sdl-pictures"); }
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

}  // namespace zuvela::picture_test
