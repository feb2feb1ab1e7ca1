// Pictures through SDL2_image, served from a decode cache that checks the file on every load.
#pragma once

#include "platform/picture_cache.h"
#include "platform/pictures.h"

namespace zuvela {

class SdlPictureFiles final : public PictureFiles {
  public:
    SdlPictureFiles();

    PictureRef load_picture(const std::string& path) override;
    PictureRef decode_picture(std::span<const std::byte> bytes) override;
    void save_bitmap(const Raster& picture, const std::string& path) override;
    std::uint64_t file_length(const std::string& path) override;
    std::string program_folder() override;
    void change_directory(const std::string& path) override;

    // Decodes a file without the cache.
    static PictureRef decode_file(const std::string& path);

  private:
    PictureCache m_cache;
};

}  // namespace zuvela
