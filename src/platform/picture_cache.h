// Every picture is read from its file when it is assigned. A decode costs milliseconds and a stat() well
// under one, so decoded pictures are kept per path and served again while the file's identity and times are
// unchanged: a removed, replaced or damaged file fails or changes exactly as a fresh read would.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

#include "platform/pictures.h"

namespace zuvela {

class PictureCache {
  public:
    // Decodes a file; throws PlatformError when it cannot.
    using Decoder = std::function<PictureRef(const std::string& path)>;

    explicit PictureCache(Decoder decoder) : m_decoder(std::move(decoder)) {}

    PictureRef load(const std::string& path);
    std::size_t size() const { return m_entries.size(); }

  private:
    struct FileStamp {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        std::int64_t modified_ns = 0;
        std::int64_t changed_ns = 0;
        friend bool operator==(const FileStamp&, const FileStamp&) = default;
    };
    struct Entry {
        FileStamp stamp;
        PictureRef picture;
    };

    static bool stamp_of(const std::string& path, FileStamp& stamp);

    Decoder m_decoder;
    std::unordered_map<std::string, Entry> m_entries;
};

}  // namespace zuvela
