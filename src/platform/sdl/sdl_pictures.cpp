#include "platform/sdl/sdl_pictures.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gif_lib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <vector>

#include "platform/desktop/atomic_file.h"
#include "platform/desktop/bounded_file.h"
#include "platform/errors.h"

namespace zuvela {

namespace {

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceFree>;

struct RwClose {
    void operator()(SDL_RWops* rw) const { SDL_RWclose(rw); }
};

enum class Format { jpeg, gif, bmp, ico };

[[noreturn]] void refuse(const std::string& what, const std::string& why) {
    throw PlatformError("cannot decode " + what + ": " + why);
}

// Bounds-checked reading of header fields; running off the end refuses the picture.
class Cursor {
  public:
    Cursor(std::span<const std::uint8_t> bytes, const std::string& what) : m_bytes(bytes), m_what(what) {}

    void seek(std::size_t at) {
        if (at > m_bytes.size()) refuse(m_what, "truncated");
        m_at = at;
    }
    void skip(std::size_t n) {
        if (n > m_bytes.size() - m_at) refuse(m_what, "truncated");
        m_at += n;
    }
    unsigned u8() {
        if (m_at >= m_bytes.size()) refuse(m_what, "truncated");
        return m_bytes[m_at++];
    }
    unsigned le16() {
        const unsigned lo = u8();
        return lo | u8() << 8;
    }
    unsigned be16() {
        const unsigned hi = u8();
        return hi << 8 | u8();
    }
    std::uint32_t le32() {
        const std::uint32_t lo = le16();
        return lo | std::uint32_t(le16()) << 16;
    }

  private:
    std::span<const std::uint8_t> m_bytes;
    const std::string& m_what;
    std::size_t m_at = 0;
};

Format format_of(std::span<const std::uint8_t> b, const std::string& what) {
    auto starts = [&](std::initializer_list<std::uint8_t> magic) {
        return b.size() >= magic.size() && std::equal(magic.begin(), magic.end(), b.begin());
    };
    if (starts({0, 0, 1, 0})) return Format::ico;
    if (starts({'B', 'M'})) return Format::bmp;
    if (starts({'G', 'I', 'F', '8', '7', 'a'}) || starts({'G', 'I', 'F', '8', '9', 'a'})) return Format::gif;
    if (starts({0xFF, 0xD8, 0xFF})) return Format::jpeg;
    refuse(what, "not a JPEG, GIF, BMP or ICO picture");
}

struct Size {
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// The markers up to the first frame header, as libjpeg walks them. Where libjpeg would skip stray bytes or
// give up, the walk refuses: it never reaches a frame header libjpeg would not.
Size jpeg_size(Cursor c, const std::string& what) {
    c.skip(2);
    for (;;) {
        if (c.u8() != 0xFF) refuse(what, "stray bytes between markers");
        unsigned marker = c.u8();
        while (marker == 0xFF) marker = c.u8();
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;
        if (marker == 0x00 || marker == 0xD8 || marker == 0xD9 || marker == 0xDA)
            refuse(what, "no frame header before the image data");
        const unsigned length = c.be16();
        if (length < 2) refuse(what, "bad marker length");
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            c.skip(1);  // sample precision
            const unsigned height = c.be16();
            return {c.be16(), height};
        }
        c.skip(length - 2);
    }
}

Size bmp_size(Cursor c, const std::string& what) {
    c.seek(14);
    const std::uint32_t header = c.le32();
    if (header == 12) {
        const unsigned width = c.le16();
        return {width, c.le16()};
    }
    if (header < 40) refuse(what, "unknown bitmap header");
    const auto width = std::int32_t(c.le32());
    const auto height = std::int32_t(c.le32());
    return {width, height < 0 ? -std::int64_t(height) : height};
}

// SDL_image shows the directory entry with the most colours, the first of equals, at the size of its bitmap
// header (whose height counts the mask too).
Size ico_size(Cursor c, const std::string& what) {
    c.skip(4);
    const unsigned count = c.le16();
    if (count == 0) refuse(what, "no icon");
    unsigned most_colours = 0;
    std::uint32_t offset = 0;
    for (unsigned i = 0; i < count; ++i) {
        c.skip(2);
        unsigned colours = c.u8();
        if (colours == 0) colours = 256;
        c.skip(9);
        const std::uint32_t at = c.le32();
        if (colours > most_colours) {
            most_colours = colours;
            offset = at;
        }
    }
    c.seek(offset);
    if (c.le32() != 40) refuse(what, "unknown icon bitmap header");
    const auto width = std::int32_t(c.le32());
    const auto height = std::int32_t(c.le32());
    return {width, height < 0 ? -1 : height >> 1};
}

void check_size(Size size, const std::string& what) {
    const auto fits = [](std::int64_t side) { return side >= 1 && side <= SdlPictureFiles::k_max_side; };
    if (!fits(size.width) || !fits(size.height))
        refuse(what,
               std::to_string(size.width) + " x " + std::to_string(size.height) + " pixels is too large");
}

struct GifClose {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};

struct GifBytes {
    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;
};

int read_gif_bytes(GifFileType* gif, GifByteType* out, int wanted) {
    auto* in = static_cast<GifBytes*>(gif->UserData);
    const std::size_t n = std::min(std::size_t(std::max(wanted, 0)), in->bytes.size() - in->at);
    std::memcpy(out, in->bytes.data() + in->at, n);
    in->at += n;
    return int(n);
}

// SDL_image's GIF decoder fails badly on damaged files, so giflib decodes them into the surface SDL_image
// would have made: the first image alone, at the size of its own descriptor (its place on the logical screen
// is ignored), as 8 bits with a palette of 256 that stays white past the colour map, and the last
// transparent index that a graphic control block before it names as colour key. Later images are never
// read: a file with many large frames costs no more than its first.
SDL_Surface* decode_gif(std::span<const std::uint8_t> b, const std::string& what) {
    GifBytes in{b};
    int error = 0;
    const std::unique_ptr<GifFileType, GifClose> gif(DGifOpen(&in, read_gif_bytes, &error));
    if (!gif) refuse(what, GifErrorString(error));
    const auto fail = [&] {
        const char* why = GifErrorString(gif->Error);
        refuse(what, why ? why : "damaged GIF");
    };
    int transparent = -1;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR) fail();
        if (record == TERMINATE_RECORD_TYPE) refuse(what, "no image");
        if (record == IMAGE_DESC_RECORD_TYPE) break;
        if (record != EXTENSION_RECORD_TYPE) fail();
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR) fail();
        GraphicsControlBlock control{};
        if (code == GRAPHICS_EXT_FUNC_CODE && block &&
            DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK &&
            control.TransparentColor != NO_TRANSPARENT_COLOR)
            transparent = control.TransparentColor;
        while (block)
            if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR) fail();
    }
    if (DGifGetImageDesc(gif.get()) == GIF_ERROR) fail();
    const GifImageDesc& image = gif->Image;
    check_size({image.Width, image.Height}, what);
    const ColorMapObject* map = image.ColorMap ? image.ColorMap : gif->SColorMap;
    if (!map || map->ColorCount <= 0) refuse(what, "no colour map");

    SurfacePtr s(SDL_CreateRGBSurfaceWithFormat(0, image.Width, image.Height, 8, SDL_PIXELFORMAT_INDEX8));
    if (!s) refuse(what, SDL_GetError());
    std::array<SDL_Color, 256> colours{};
    const int count = std::min(map->ColorCount, 256);
    for (int i = 0; i < count; ++i)
        colours[std::size_t(i)] = {map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue, 0xFF};
    if (SDL_SetPaletteColors(s->format->palette, colours.data(), 0, count) != 0) refuse(what, SDL_GetError());

    const auto row = [&](int y) {
        auto* pixels = static_cast<GifPixelType*>(s->pixels) + std::ptrdiff_t(y) * s->pitch;
        if (DGifGetLine(gif.get(), pixels, image.Width) == GIF_ERROR) fail();
    };
    if (image.Interlace) {
        constexpr int first[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = first[pass]; y < image.Height; y += step[pass]) row(y);
    } else {
        for (int y = 0; y < image.Height; ++y) row(y);
    }
    if (transparent >= 0) SDL_SetColorKey(s.get(), SDL_TRUE, Uint32(transparent));
    return s.release();
}

SDL_Surface* decode_checked(std::span<const std::uint8_t> b, const std::string& what) {
    if (b.size() > SdlPictureFiles::k_max_file_bytes) refuse(what, "the file is too large");
    const Format format = format_of(b, what);
    const Cursor cursor(b, what);
    switch (format) {
        case Format::gif:
            return decode_gif(b, what);
        case Format::jpeg:
            check_size(jpeg_size(cursor, what), what);
            break;
        case Format::bmp:
            check_size(bmp_size(cursor, what), what);
            break;
        case Format::ico:
            check_size(ico_size(cursor, what), what);
            break;
    }
    const std::unique_ptr<SDL_RWops, RwClose> rw(SDL_RWFromConstMem(b.data(), int(b.size())));
    if (!rw) refuse(what, SDL_GetError());
    // The loader of the format that was checked, never SDL_image's own guess.
    switch (format) {
        case Format::jpeg:
            return IMG_LoadJPG_RW(rw.get());
        case Format::bmp:
            return IMG_LoadBMP_RW(rw.get());
        case Format::ico:
            return IMG_LoadICO_RW(rw.get());
        case Format::gif:
            break;
    }
    return nullptr;
}

// A palette picture is looked up colour by colour. The table is SDL's own conversion of every palette entry,
// so a transparent colour key comes out exactly as converting the whole picture would make it.
void copy_indexed(const SDL_Surface& s, Raster& raster, const std::string& what) {
    const SDL_Palette* palette = s.format->palette;
    if (!palette || palette->ncolors <= 0) refuse(what, "no palette");
    SurfacePtr entries(SDL_CreateRGBSurfaceWithFormat(0, palette->ncolors, 1, 8, SDL_PIXELFORMAT_INDEX8));
    if (!entries || SDL_SetSurfacePalette(entries.get(), s.format->palette) != 0)
        refuse(what, SDL_GetError());
    auto* index = static_cast<std::uint8_t*>(entries->pixels);
    for (int i = 0; i < palette->ncolors; ++i) index[i] = std::uint8_t(i);
    Uint32 key = 0;
    if (SDL_GetColorKey(const_cast<SDL_Surface*>(&s), &key) == 0)
        SDL_SetColorKey(entries.get(), SDL_TRUE, key);
    const SurfacePtr table(SDL_ConvertSurfaceFormat(entries.get(), SDL_PIXELFORMAT_ABGR8888, 0));
    if (!table) refuse(what, SDL_GetError());
    std::array<Color, 256> colour{};
    colour.fill(0xFF000000);
    std::memcpy(colour.data(), table->pixels, std::size_t(palette->ncolors) * 4);

    const int bits = s.format->BitsPerPixel;
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8) refuse(what, "unknown palette layout");
    const bool high_first = SDL_PIXELORDER(s.format->format) != SDL_BITMAPORDER_1234;
    const unsigned mask = (1u << bits) - 1;
    for (int y = 0; y < s.h; ++y) {
        const auto* src = static_cast<const std::uint8_t*>(s.pixels) + std::ptrdiff_t(y) * s.pitch;
        Color* dst = raster.row(y);
        for (int x = 0; x < s.w; ++x) {
            const int bit = x * bits;
            const int shift = high_first ? 8 - bits - bit % 8 : bit % 8;
            dst[x] = colour[(src[bit / 8] >> shift) & mask];
        }
    }
}

// SDL's ABGR8888 is, read as a 32-bit integer, alpha << 24 | blue << 16 | green << 8 | red: our packing. The
// decoded surface goes straight into the raster, so a picture is never held twice at full size.
PictureRef to_raster(SDL_Surface* loaded, const std::string& what) {
    const SurfacePtr s(loaded);
    if (!s) refuse(what, IMG_GetError());
    auto raster = std::make_shared<Raster>(s->w, s->h);
    if (SDL_LockSurface(s.get()) != 0) refuse(what, SDL_GetError());
    struct Unlock {
        SDL_Surface* s;
        ~Unlock() { SDL_UnlockSurface(s); }
    } unlock{s.get()};
    if (SDL_ISPIXELFORMAT_INDEXED(s->format->format)) {
        copy_indexed(*s, *raster, what);
    } else if (SDL_ConvertPixels(s->w, s->h, s->format->format, s->pixels, s->pitch, SDL_PIXELFORMAT_ABGR8888,
                                 raster->pixels.data(), s->w * 4) != 0) {
        refuse(what, SDL_GetError());
    }
    return raster;
}

}  // namespace

SdlPictureFiles::SdlPictureFiles(std::size_t kept_bytes)
    : m_cache([](const std::string& path) { return read_bounded_file(path, k_max_file_bytes); },
              [](std::span<const std::uint8_t> bytes, const std::string& what) {
                  return to_raster(decode_checked(bytes, what), what);
              },
              kept_bytes) {}

PictureRef SdlPictureFiles::decode_file(const std::string& path) {
    const std::vector<std::uint8_t> bytes = read_bounded_file(path, k_max_file_bytes);
    return to_raster(decode_checked(bytes, path), path);
}

PictureRef SdlPictureFiles::decode_bytes(std::span<const std::byte> bytes, const std::string& what) {
    const std::span<const std::uint8_t> b(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return to_raster(decode_checked(b, what), what);
}

PictureRef SdlPictureFiles::load_picture(const std::string& path) {
    return m_cache.load(path);
}

PictureRef SdlPictureFiles::decode_picture(std::span<const std::byte> bytes) {
    return decode_bytes(bytes, "a built-in picture");
}

PictureRef SdlPictureFiles::decode_builtin_picture(std::span<const std::byte> bytes) {
    const std::span<const std::uint8_t> b(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return m_cache.decode_builtin(b, "a built-in picture");
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
    // The bitmap is made in memory first: headers (at most 14 + 124 bytes), rows padded to four bytes, and
    // room to spare. Then it replaces the file in one step, so a failed write never leaves a damaged
    // snapshot.
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
