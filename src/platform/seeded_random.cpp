#include "platform/seeded_random.h"

#include <chrono>

namespace zuvela {

float SeededRandom::next_uniform() {
    // 24 random bits keep the result strictly below 1.
    return float(m_engine() >> 8) / float(1u << 24);
}

void SeededRandom::reseed_from_clock() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    m_engine.seed(std::uint32_t(std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
}

}  // namespace zuvela
