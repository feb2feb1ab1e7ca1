// Opens web addresses with the desktop's default browser through xdg-open, started in a session of its own
// by setsid (util-linux).
#pragma once

#include "platform/services.h"

namespace zuvela {

class XdgBrowser final : public Browser {
  public:
    void open(const std::string& url) override;
};

}  // namespace zuvela
