// Every picture is read from its file when it is assigned. A decode costs milliseconds and a stat() well
// under one, so decoded pictures are kept per path and served again while the file's identity and times are
// unchanged (platform/file_stamp.h): a removed, replaced or damaged file fails or changes exactly as a fresh
// read would.
#pragma once

#include <functional>
#include <string>

#include "platform/file_stamp.h"
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
    Decoder m_decoder;
    StampedCache<PictureRef> m_entries;
};

}  // namespace zuvela
