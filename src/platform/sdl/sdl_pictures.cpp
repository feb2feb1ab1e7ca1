#include "platform/sdl/sdl_pictures.h"

#include <SDL.h>
#include <SDL_image.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/desktop/atomic_file.h"
#include "platform/errors.h"

namespace zuvela {

namespace {

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceFree>;

// SDL's ABGR8888 is, read as a 32-bit integer, alpha << 24 | blue << 16 | green << 8 | red: our packing.
PictureRef to_raster(SDL_Surface* loaded, const std::string& what) {
    SurfacePtr owned(loaded);
    if (!owned) throw PlatformError("cannot decode " + what + ": " + IMG_GetError());
    SurfacePtr converted(SDL_ConvertSurfaceFormat(owned.get(), SDL_PIXELFORMAT_ABGR8888, 0));
    if (!converted) throw PlatformError("cannot convert " + what + ": " + SDL_GetError());
    auto raster = std::make_shared<Raster>(converted->w, converted->h);
    SDL_LockSurface(converted.get());
    for (int y = 0; y < converted->h; ++y) {
        const auto* src =
            static_cast<const std::uint8_t*>(converted->pixels) + std::ptrdiff_t(y) * converted->pitch;
        std::memcpy(raster->row(y), src, std::size_t(converted->w) * 4);
    }
    SDL_UnlockSurface(converted.get());
    return raster;
}

}  // namespace

SdlPictureFiles::SdlPictureFiles() : m_cache(&SdlPictureFiles::decode_file) {}

PictureRef SdlPictureFiles::decode_file(const std::string& path) {
    return to_raster(IMG_Load(path.c_str()), path);
}

PictureRef SdlPictureFiles::load_picture(const std::string& path) {
    return m_cache.load(path);
}

PictureRef SdlPictureFiles::decode_picture(std::span<const std::byte> bytes) {
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
    return to_raster(IMG_Load_RW(rw, 1), "a built-in picture");
}

void SdlPictureFiles::save_bitmap(const Raster& picture, const std::string& path) {
    SurfacePtr surface(
        SDL_CreateRGBSurfaceWithFormat(0, picture.width, picture.height, 24, SDL_PIXELFORMAT_RGB24));
    if (!surface) throw PlatformError(SDL_GetError());
    for (int y = 0; y < picture.height; ++y) {
        auto* dst = static_cast<std::uint8_t*>(surface->pixels) + std::ptrdiff_t(y) * surface->pitch;
        const Color* src = picture.row(y);
        for (int x = 0; x < picture.width; ++x) {
            dst[3 * x + 0] = std::uint8_t(red_of(src[x]));
            dst[3 * x + 1] = std::uint8_t(green_of(src[x]));
            dst[3 * x + 2] = std::uint8_t(blue_of(src[x]));
        }
    }
    // The bitmap is made in memory first: headers (at most 14 + 124 bytes), rows padded to four bytes, and room
    // to spare. Then it replaces the file in one step, so a failed write never leaves a damaged snapshot.
    const std::size_t row_bytes = (std::size_t(picture.width) * 3 + 3) / 4 * 4;
    std::vector<std::byte> bytes(1024 + row_bytes * std::size_t(picture.height));
    SDL_RWops* rw = SDL_RWFromMem(bytes.data(), int(bytes.size()));
    if (!rw) throw PlatformError(SDL_GetError());
    const bool saved = SDL_SaveBMP_RW(surface.get(), rw, 0) == 0;
    const Sint64 length = SDL_RWtell(rw);
    SDL_RWclose(rw);
    if (!saved || length <= 0 || std::size_t(length) > bytes.size())
        throw PlatformError("cannot encode the bitmap for " + path);
    bytes.resize(std::size_t(length));
    write_file_atomically(path, bytes);
}

std::uint64_t SdlPictureFiles::file_length(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) throw PlatformError("no such file " + path);
    return std::uint64_t(st.st_size);
}

std::string SdlPictureFiles::program_folder() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) throw PlatformError("cannot find the program's folder");
    std::string exe(buffer, std::size_t(n));
    const auto slash = exe.find_last_of('/');
    return slash == 0 ? std::string("/") : exe.substr(0, slash);
}

void SdlPictureFiles::change_directory(const std::string& path) {
    if (::chdir(path.c_str()) != 0) throw PlatformError("cannot enter " + path);
}

}  // namespace zuvela
