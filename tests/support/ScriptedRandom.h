// A random source that returns a script of values, then repeats its last one.
#pragma once

#include "music/base/Random.h"

#include <utility>
#include <vector>

namespace pv::test {

class ScriptedRandom final : public IRandom
{
public:
    explicit ScriptedRandom(std::vector<int> values) : m_values(std::move(values)) {}
    /// The next scripted value, reduced into 0..range-1 so a script never breaks a caller.
    int Random(int range) override
    {
        ++m_calls;
        if (range < 1 || m_values.empty())
            return 0;
        const int v = m_next < m_values.size() ? m_values[m_next++] : m_values.back();
        return ((v % range) + range) % range;
    }
    void Randomize() override { ++m_randomizeCalls; }
    int Calls() const { return m_calls; }
    int RandomizeCalls() const { return m_randomizeCalls; }

private:
    std::vector<int> m_values;
    std::size_t m_next = 0;
    int m_calls = 0;
    int m_randomizeCalls = 0;
};

/// A seeded source that ignores the program's reseeding, so a run repeats; it counts the
/// reseeds asked for.
class SeededRandom final : public IRandom
{
public:
    explicit SeededRandom(std::uint32_t seed) : m_random(seed) {}
    int Random(int range) override { return m_random.Random(range); }
    void Randomize() override { ++randomizeCalls; }
    int randomizeCalls = 0;

private:
    StdRandom m_random;
};

} // namespace pv::test
