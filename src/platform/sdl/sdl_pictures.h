// Pictures through SDL2_image (GIF through giflib, as SDL2_image would show it), served from a decode cache
// that checks the file on every load and keeps only what is needed (platform/picture_cache.h).
//
// Only JPEG, GIF, BMP and ICO are read, told apart by content. Before anything is decoded the picture's size
// is read from its header and checked: a small file may claim a picture of gigabytes, and decoding happens on
// the event thread. A picture too large fails exactly like an unreadable one.
#pragma once

#include <cstdint>

#include "platform/picture_cache.h"
#include "platform/pictures.h"

namespace zuvela {

class SdlPictureFiles final : public PictureFiles {
  public:
    static constexpr int k_max_side = 4096;
    static constexpr std::uint64_t k_max_file_bytes = std::uint64_t(16) << 20;

    explicit SdlPictureFiles(std::size_t kept_bytes = PictureCache::k_kept_bytes);

    PictureRef load_picture(const std::string& path) override;
    PictureRef decode_picture(std::span<const std::byte> bytes) override;
    PictureRef decode_builtin_picture(std::span<const std::byte> bytes) override;
    void save_bitmap(const Raster& picture, const std::string& path) override;
    std::uint64_t file_length(const std::string& path) override;
    std::string program_folder() override;
    void change_directory(const std::string& path) override;

    // Decodes a file without the cache.
    static PictureRef decode_file(const std::string& path);
    // Decodes picture bytes; `what` names them in the error.
    static PictureRef decode_bytes(std::span<const std::byte> bytes, const std::string& what);

  private:
    PictureCache m_cache;
};

}  // namespace zuvela
