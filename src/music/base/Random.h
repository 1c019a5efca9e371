// The one random source of the program; tests seed or script it.
#pragma once

#include <cstdint>
#include <random>

namespace pv {

class IRandom
{
public:
    virtual ~IRandom() = default;
    /// A whole number in 0..range-1; 0 when range < 1 (never divides by zero).
    virtual int Random(int range) = 0;
    /// Reseeds from the clock, as the program does before every new question.
    virtual void Randomize() = 0;
};

/// Mersenne-twister source; a fixed seed makes a run repeatable.
class StdRandom final : public IRandom
{
public:
    explicit StdRandom(std::uint32_t seed = 1) : m_engine(seed) {}
    int Random(int range) override;
    void Randomize() override;
    void Seed(std::uint32_t seed) { m_engine.seed(seed); }

private:
    std::mt19937 m_engine;
};

} // namespace pv
