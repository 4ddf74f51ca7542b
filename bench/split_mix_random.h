// SplitMixRandom: a small seeded random source whose numbers are the same with every compiler
// and standard library (the standard distributions are not), so that the benchmarks' random
// scenes and searches repeat exactly. The generator is SplitMix64 (Steele, Lea and Flood, 2014).
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>

namespace Vaq::Bench {

class SplitMixRandom
{
public:
    explicit SplitMixRandom(uint64_t seed)
        : m_state(seed)
    {
    }

    uint64_t next()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // In [0, 1), from the top 53 bits.
    double uniform() { return double(next() >> 11) * 0x1.0p-53; }
    double uniform(double low, double high) { return low + (high - low) * uniform(); }
    // In [0, count), count > 0.
    int index(int count) { return int(next() % uint64_t(count)); }
    // Standard normal (Box-Muller); the first uniform is kept off zero for the logarithm.
    double normal()
    {
        const double u = 1.0 - uniform(), v = uniform();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * std::numbers::pi * v);
    }

private:
    uint64_t m_state;
};

} // namespace Vaq::Bench
