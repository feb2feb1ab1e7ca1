// Picture bytes to the 32-bit picture the program shows, through the size guard: the built-in pictures and
// every picture file take this way.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/errors.h"
#include "platform/sdl/sdl_pictures.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static zuvela::SdlPictureFiles files;
    try {
        const zuvela::PictureRef picture = files.decode_picture(std::as_bytes(std::span(data, size)));
        if (picture->width < 1 || picture->height < 1 ||
            picture->width > zuvela::SdlPictureFiles::k_max_side ||
            picture->height > zuvela::SdlPictureFiles::k_max_side ||
            picture->pixels.size() != std::size_t(picture->width) * std::size_t(picture->height))
            __builtin_trap();
    } catch (const zuvela::PlatformError&) {
    }
    return 0;
}
