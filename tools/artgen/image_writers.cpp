#include "image_writers.h"

#include <gif_lib.h>
#include <jpeglib.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

namespace artgen {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

void put16(std::string& s, unsigned v) {
    s.push_back(char(v & 0xFF));
    s.push_back(char((v >> 8) & 0xFF));
}
void put32(std::string& s, unsigned v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

}  // namespace

void write_jpeg(const std::filesystem::path& path, const Image& image, int quality) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) throw std::runtime_error("cannot write " + path.string());

    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file.get());
    cinfo.image_width = JDIMENSION(image.width);
    cinfo.image_height = JDIMENSION(image.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.dct_method = JDCT_ISLOW;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(std::size_t(image.width) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const std::uint32_t* src = &image.argb[std::size_t(cinfo.next_scanline) * std::size_t(image.width)];
        for (int x = 0; x < image.width; ++x) {
            row[std::size_t(x) * 3 + 0] = (src[x] >> 16) & 0xFF;
            row[std::size_t(x) * 3 + 1] = (src[x] >> 8) & 0xFF;
            row[std::size_t(x) * 3 + 2] = src[x] & 0xFF;
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
}

void write_gif_black_white(const std::filesystem::path& path, const Image& image) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (!gif) throw std::runtime_error("cannot write " + path.string());
    GifColorType colors[2] = {{0, 0, 0}, {255, 255, 255}};
    ColorMapObject* map = GifMakeMapObject(2, colors);
    bool ok = EGifPutScreenDesc(gif, image.width, image.height, 1, 1, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) == GIF_OK;
    std::vector<GifPixelType> line(std::size_t(image.width));
    for (int y = 0; ok && y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t p = image.argb[std::size_t(y) * std::size_t(image.width) + std::size_t(x)];
            const bool black = ((p >> 16) & 0xFF) < 128 && ((p >> 8) & 0xFF) < 128 && (p & 0xFF) < 128;
            line[std::size_t(x)] = black ? 0 : 1;
        }
        ok = EGifPutLine(gif, line.data(), image.width) == GIF_OK;
    }
    GifFreeMapObject(map);
    if (EGifCloseFile(gif, &error) != GIF_OK || !ok)
        throw std::runtime_error("cannot write " + path.string());
}

void write_ico(const std::filesystem::path& path, const Image& image) {
    const unsigned w = unsigned(image.width), h = unsigned(image.height);
    const unsigned mask_stride = ((w + 31) / 32) * 4;
    const unsigned bitmap_size = 40 + w * h * 4 + mask_stride * h;

    std::string s;
    put16(s, 0);  // reserved
    put16(s, 1);  // icon
    put16(s, 1);  // one image
    s.push_back(char(w >= 256 ? 0 : w));
    s.push_back(char(h >= 256 ? 0 : h));
    s.push_back(0);  // no palette
    s.push_back(0);
    put16(s, 1);   // planes
    put16(s, 32);  // bits per pixel
    put32(s, bitmap_size);
    put32(s, 6 + 16);

    put32(s, 40);
    put32(s, w);
    put32(s, h * 2);  // colour image and mask
    put16(s, 1);
    put16(s, 32);
    put32(s, 0);  // uncompressed
    put32(s, w * h * 4 + mask_stride * h);
    put32(s, 0);
    put32(s, 0);
    put32(s, 0);
    put32(s, 0);
    for (unsigned y = h; y-- > 0;) {  // bottom-up rows, BGRA
        for (unsigned x = 0; x < w; ++x) put32(s, image.argb[y * w + x]);
    }
    for (unsigned y = h; y-- > 0;) {
        std::string row(mask_stride, '\0');
        for (unsigned x = 0; x < w; ++x) {
            if ((image.argb[y * w + x] >> 24) == 0) row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
        s += row;
    }
    std::ofstream out(path, std::ios::binary);
    out.write(s.data(), std::streamsize(s.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace artgen
