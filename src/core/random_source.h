#pragma once

#include <QtGlobal>
#include <random>

/// A uniform source of single-precision numbers in [0, 1).
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    /// Seeds the source from the time of day.
    virtual void seedFromTimeOfDay() = 0;
    /// One draw, uniform in [0, 1).
    virtual float next() = 0;
};

/// The program's source: a Mersenne twister seeded from the clock.
class SeededRandom final : public RandomSource
{
public:
    explicit SeededRandom(quint32 seed = 5489u) : m_engine(seed) {}
    void seedFromTimeOfDay() override;
    float next() override;

private:
    std::mt19937 m_engine;
};

/// Int(Rnd × n): a whole number from 0 to n − 1 (n > 0).
int drawBelow(RandomSource &random, int n);
