#include "scripted_random.h"

float drawFor(int k, int n)
{
    return (static_cast<float>(k) + 0.5f) / static_cast<float>(n);
}

void ScriptedRandom::scriptInts(const QList<int> &values, int n)
{
    for (int v : values)
        m_draws.append(drawFor(v, n));
}

float ScriptedRandom::next()
{
    ++m_taken;
    if (!m_draws.isEmpty())
        return m_draws.takeFirst();
    return m_fallback.next();
}
