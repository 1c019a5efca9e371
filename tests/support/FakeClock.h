// A clock that tests drive by hand.
#pragma once

#include "music/base/Clock.h"

#include <atomic>

namespace pv::test {

class FakeClock final : public IClock
{
public:
    std::uint64_t NowUs() const override { return m_us.load(); }
    void SetMs(std::uint64_t ms) { m_us = ms * 1000U; }
    void AdvanceMs(std::uint64_t ms) { m_us += ms * 1000U; }
    void AdvanceUs(std::uint64_t us) { m_us += us; }

private:
    std::atomic<std::uint64_t> m_us{0};
};

} // namespace pv::test
