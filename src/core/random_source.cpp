#include "random_source.h"

#include <QTime>
#include <chrono>
#include <cmath>

void SeededRandom::seedFromTimeOfDay()
{
    // Milliseconds since midnight mixed with the steady clock, so that two boards opened within
    // the same millisecond (tests, fast replays) still get different deals.
    const auto ms = static_cast<quint32>(QTime::currentTime().msecsSinceStartOfDay());
    const auto ticks =
        static_cast<quint64>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::seed_seq seq{ms, static_cast<quint32>(ticks), static_cast<quint32>(ticks >> 32)};
    m_engine.seed(seq);
}

float SeededRandom::next()
{
    // 24 random bits give every representable step of a float in [0, 1).
    return static_cast<float>(m_engine() >> 8) * (1.0f / 16777216.0f);
}

int drawBelow(RandomSource &random, int n)
{
    if (n <= 0)
        return 0;
    const double r = static_cast<double>(random.next());
    const int k = static_cast<int>(std::floor(r * n));
    return qBound(0, k, n - 1);
}
