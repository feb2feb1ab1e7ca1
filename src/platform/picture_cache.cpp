#include "platform/picture_cache.h"

#include "platform/errors.h"

namespace zuvela {

PictureRef PictureCache::load(const std::string& path) {
    std::optional<PictureRef> picture = m_entries.load(path, m_decoder);
    if (!picture) throw PlatformError("cannot open " + path);
    return *std::move(picture);
}

}  // namespace zuvela
