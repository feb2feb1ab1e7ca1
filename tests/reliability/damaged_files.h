// Asset files damaged the ways an installation breaks: gone, emptied, cut short, overwritten with noise, or
// with headers that claim an enormous picture or sound.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace zuvela {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t k_huge_side = 60000;
constexpr std::uint32_t k_huge_length = 0xFFFFFFF0u;

enum class Damage { Missing, Empty, Truncated, RandomBytes, HugeHeader };
constexpr Damage k_damages[] = {Damage::Missing, Damage::Empty, Damage::Truncated, Damage::RandomBytes,
                                Damage::HugeHeader};

const char* name_of(Damage d) {
    switch (d) {
        case Damage::Missing:
            return "missing";
        case Damage::Empty:
            return "empty";
        case Damage::Truncated:
            return "truncated";
        case Damage::RandomBytes:
            return "random bytes";
        case Damage::HugeHeader:
            return "enormous header";
    }
    return "?";
}

Bytes read_bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void write_bytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void put_le16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}
void put_le32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}
void put_be16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = std::uint8_t(v >> 8);
    b[at + 1] = std::uint8_t(v);
}
void put_be32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + std::size_t(i)] = std::uint8_t(v >> (24 - 8 * i));
}

bool starts_with(const Bytes& b, std::size_t at, const char* text) {
    const std::size_t n = std::strlen(text);
    return at + n <= b.size() && std::memcmp(b.data() + at, text, n) == 0;
}

// The file as it is, but its headers claim an enormous picture or sound. Returns false when the format was
// not recognised.
bool claim_enormous(Bytes& b) {
    if (starts_with(b, 0, "GIF8") && b.size() >= 13) {
        put_le16(b, 6, k_huge_side);
        put_le16(b, 8, k_huge_side);
        std::size_t at = 13;
        if (b[10] & 0x80) at += 3u << ((b[10] & 7) + 1);
        while (at < b.size()) {
            if (b[at] == 0x2C && at + 9 <= b.size()) {
                put_le16(b, at + 5, k_huge_side);
                put_le16(b, at + 7, k_huge_side);
                return true;
            }
            if (b[at] != 0x21 || at + 2 >= b.size()) return true;
            at += 2;
            while (at < b.size() && b[at] != 0) at += b[at] + 1u;
            ++at;
        }
        return true;
    }
    if (b.size() >= 4 && b[0] == 0xFF && b[1] == 0xD8) {
        for (std::size_t at = 2; at + 9 < b.size();) {
            if (b[at] != 0xFF) return false;
            const std::uint8_t marker = b[at + 1];
            const std::size_t length = std::size_t(b[at + 2]) << 8 | b[at + 3];
            if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
                put_be16(b, at + 5, k_huge_side);
                put_be16(b, at + 7, k_huge_side);
                return true;
            }
            at += 2 + length;
        }
        return false;
    }
    if (b.size() >= 22 && b[0] == 0 && b[1] == 0 && b[2] == 1 && b[3] == 0) {  // an icon: patch each image
        const std::size_t count = std::size_t(b[4]) | std::size_t(b[5]) << 8;
        for (std::size_t i = 0; i < count && 6 + 16 * (i + 1) <= b.size(); ++i) {
            const std::size_t entry = 6 + 16 * i;
            const std::size_t offset = std::size_t(b[entry + 12]) | std::size_t(b[entry + 13]) << 8 |
                                       std::size_t(b[entry + 14]) << 16 | std::size_t(b[entry + 15]) << 24;
            if (offset + 24 > b.size()) continue;
            if (starts_with(b, offset, "\x89PNG")) {
                put_be32(b, offset + 16, k_huge_side);
                put_be32(b, offset + 20, k_huge_side);
            } else {
                put_le32(b, offset + 4, k_huge_side);
                put_le32(b, offset + 8, 2 * k_huge_side);
            }
        }
        return true;
    }
    if (starts_with(b, 0, "RIFF") && starts_with(b, 8, "WAVE")) {
        put_le32(b, 4, k_huge_length);
        for (std::size_t at = 12; at + 8 <= b.size();) {
            const std::size_t size = std::size_t(b[at + 4]) | std::size_t(b[at + 5]) << 8 |
                                     std::size_t(b[at + 6]) << 16 | std::size_t(b[at + 7]) << 24;
            if (starts_with(b, at, "data")) {
                put_le32(b, at + 4, k_huge_length);
                return true;
            }
            at += 8 + size + (size & 1);
        }
        return false;
    }
    if (starts_with(b, 0, "MThd") && starts_with(b, 14, "MTrk")) {
        put_be32(b, 18, k_huge_length);
        return true;
    }
    return false;
}

Bytes damaged(const Bytes& original, Damage damage, std::uint32_t seed) {
    switch (damage) {
        case Damage::Missing:
        case Damage::Empty:
            return {};
        case Damage::Truncated:
            return Bytes(original.begin(), original.begin() + std::ptrdiff_t(original.size() / 2));
        case Damage::RandomBytes: {
            std::mt19937 random(seed);
            Bytes b(original.size());
            for (auto& byte : b) byte = std::uint8_t(random());
            return b;
        }
        case Damage::HugeHeader: {
            Bytes b = original;
            EXPECT_TRUE(claim_enormous(b)) << "no header to enlarge";
            return b;
        }
    }
    return {};
}

}  // namespace
}  // namespace zuvela
