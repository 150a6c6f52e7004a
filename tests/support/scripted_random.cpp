#include "scripted_random.h"

void ScriptedRandom::scriptInts(const QList<int> &values, int n)
{
    // The middle of the k-th of n equal steps: Int(Rnd × n) = k without rounding trouble.
    for (int k : values)
        m_draws.append((float(k) + 0.5f) / float(n));
}

float ScriptedRandom::next()
{
    ++m_taken;
    return m_draws.isEmpty() ? m_fallback.next() : m_draws.takeFirst();
}
