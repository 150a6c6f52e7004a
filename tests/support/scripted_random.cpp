#include "scripted_random.h"

void ScriptedRandom::scriptInts(const QList<int> &values, int n)
{
    for (int k : values)
        m_draws.append((float(k) + 0.5f) / float(n)); // the middle of the k-th step
}

float ScriptedRandom::next()
{
    ++m_taken;
    return m_draws.isEmpty() ? m_fallback.next() : m_draws.takeFirst();
}
