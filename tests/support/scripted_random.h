#pragma once
#include <QList>

#include "random_source.h"

/// A random source that gives scripted draws, then those of a fixed-seed generator.
struct ScriptedRandom final : RandomSource
{
    /// Appends draws that make Int(Rnd × n) give each of `values`: the middle of each step.
    void scriptInts(const QList<int> &values, int n)
    {
        for (int k : values)
            m_draws.append((float(k) + 0.5f) / float(n));
    }
    void seedFromTimeOfDay() override {}
    float next() override
    {
        ++m_taken;
        return m_draws.isEmpty() ? m_fallback.next() : m_draws.takeFirst();
    }
    int drawsTaken() const { return m_taken; }

private:
    QList<float> m_draws;
    SeededRandom m_fallback{12345u};
    int m_taken = 0;
};
