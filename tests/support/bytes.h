// Reading, writing and assembling the bytes of test files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace zuvela::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes read_bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void write_bytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Appends the `count` low bytes of `value`, least significant first.
inline void put_le(Bytes& out, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) out.push_back(std::uint8_t(value >> (8 * i)));
}

// Appends the `count` low bytes of `value`, most significant first.
inline void put_be(Bytes& out, std::uint32_t value, int count) {
    while (count-- > 0) out.push_back(std::uint8_t(value >> (8 * count)));
}

inline void put_text(Bytes& out, const char* text) {
    while (*text) out.push_back(std::uint8_t(*text++));
}

}  // namespace zuvela::test
