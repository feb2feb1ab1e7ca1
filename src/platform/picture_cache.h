// Every picture is read from its file when it is assigned. A decode costs milliseconds and a stat() well
// under one, so a decoded picture is served again while its file's identity and times are unchanged
// (platform/file_stamp.h), for as long as it is needed: while anything still holds it (a control shows it,
// the canvas keeps it), and, for small pictures, while it is among the most recently loaded ones up to a
// bound in bytes (the other picture of a rollover). A large picture nobody holds any more (a background, an
// outline picture) is let go and decoded again when it is assigned again: it decodes in milliseconds, and
// keeping all of them would hold tens of megabytes. A picture still in memory is never decoded a second time,
// also when it was decoded from bytes built into the program that a file repeats. A removed, replaced or
// damaged file fails or changes exactly as a fresh read would.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/file_stamp.h"
#include "platform/pictures.h"

namespace zuvela {

class PictureCache {
  public:
    // Reads a whole file; throws PlatformError when it cannot.
    using Reader = std::function<std::vector<std::uint8_t>(const std::string& path)>;
    // Decodes picture bytes, `what` naming them in the error; throws PlatformError when it cannot.
    using Decoder = std::function<PictureRef(std::span<const std::uint8_t> bytes, const std::string& what)>;

    // What the cache itself keeps of recently loaded pictures nobody holds; a picture larger than a quarter
    // of it is never kept that way.
    static constexpr std::size_t k_kept_bytes = std::size_t(4) << 20;

    PictureCache(Reader reader, Decoder decoder, std::size_t kept_bytes = k_kept_bytes);

    PictureRef load(const std::string& path);
    // Bytes that stay where they are until the program ends (a picture built into it). While the picture
    // lives, these bytes and any file that holds the same bytes are served it without decoding.
    PictureRef decode_builtin(std::span<const std::uint8_t> bytes, const std::string& what);

    // Bytes of decoded pictures the cache itself holds.
    std::size_t kept_bytes() const { return m_recent_bytes; }

  private:
    struct Entry {
        FileStamp stamp;
        std::weak_ptr<const Raster> picture;
    };
    struct Builtin {
        std::span<const std::uint8_t> bytes;
        std::weak_ptr<const Raster> picture;
    };

    PictureRef builtin_with(std::span<const std::uint8_t> bytes) const;
    void keep(const PictureRef& picture);
    void let_go(const PictureRef& picture);

    Reader m_reader;
    Decoder m_decoder;
    std::size_t m_bound;
    std::unordered_map<std::string, Entry> m_entries;
    std::vector<Builtin> m_builtins;
    std::list<PictureRef> m_recent;  // most recently loaded first
    std::unordered_map<const Raster*, std::list<PictureRef>::iterator> m_recent_at;
    std::size_t m_recent_bytes = 0;
};

}  // namespace zuvela
