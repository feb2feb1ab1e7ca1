// The snapshot read back after printing: a file in MY_PICTURE loaded through the picture cache, as the canvas
// loads it. Each input is a fresh file, so the cache never answers from an earlier one.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/errors.h"
#include "platform/sdl/sdl_pictures.h"

namespace {

std::string snapshot_path() {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/zuvela-fuzz-snapshot-" + std::to_string(::getpid()) +
           ".GIF";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = snapshot_path();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    zuvela::SdlPictureFiles files;
    try {
        files.load_picture(path);
    } catch (const zuvela::PlatformError&) {
    }
    ::unlink(path.c_str());
    return 0;
}
