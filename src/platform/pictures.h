// Pictures and files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/raster.h"

namespace zuvela {

// A decoded picture: 32-bit pixels, alpha in the top byte. Shared, never changed after decoding.
using PictureRef = std::shared_ptr<const Raster>;

class PictureFiles {
  public:
    virtual ~PictureFiles() = default;
    // JPEG, GIF, BMP or ICO, told apart by content. Throws PlatformError when missing or unreadable.
    virtual PictureRef load_picture(const std::string& path) = 0;
    // Picture bytes in memory.
    virtual PictureRef decode_picture(std::span<const std::byte> bytes) = 0;
    // A picture built into the program: `bytes` stay where they are until it ends, so the decoded picture
    // can be served again, also to a file that holds the same bytes.
    virtual PictureRef decode_builtin_picture(std::span<const std::byte> bytes) {
        return decode_picture(bytes);
    }
    // Writes a bitmap file whatever the name says. Throws PlatformError on failure.
    virtual void save_bitmap(const Raster& picture, const std::string& path) = 0;
    // Throws PlatformError when the file does not exist.
    virtual std::uint64_t file_length(const std::string& path) = 0;
    virtual std::string program_folder() = 0;
    virtual void change_directory(const std::string& path) = 0;
};

}  // namespace zuvela
