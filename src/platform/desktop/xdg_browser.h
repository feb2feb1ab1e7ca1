// Opens web addresses with the desktop's default browser through xdg-open, started in a session of its own
// by setsid (util-linux).
#pragma once

#include <chrono>

#include "platform/services.h"

namespace zuvela {

class XdgBrowser final : public Browser {
  public:
    void open(const std::string& url) override;
    // xdg-open ends at once when it finds nothing to open the address with; when it finds a browser it hands
    // the address over and ends, or stays while the browser runs. Its answer is awaited this long at most.
    bool open_and_check(const std::string& url) override;

    static constexpr std::chrono::milliseconds k_answer_within{500};
};

}  // namespace zuvela
