// The program's random source.
#include "music/base/Random.h"

#include <chrono>

namespace pv {

int StdRandom::Random(int range)
{
    if (range < 1)
        return 0;
    std::uniform_int_distribution<int> dist(0, range - 1);
    return dist(m_engine);
}

void StdRandom::Randomize()
{
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    m_engine.seed(static_cast<std::uint32_t>(now));
}

} // namespace pv
