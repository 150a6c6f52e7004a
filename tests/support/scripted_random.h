#pragma once

#include <QList>

#include "random_source.h"

/// A random source that gives scripted draws, then falls back to a fixed-seed generator.
class ScriptedRandom final : public RandomSource
{
public:
    /// Appends draws that make Int(Rnd × n) give each of `values`.
    void scriptInts(const QList<int> &values, int n);

    void seedFromTimeOfDay() override { ++m_seedings; }
    float next() override;

    int seedings() const { return m_seedings; }
    int drawsTaken() const { return m_taken; }
    int scriptedLeft() const { return int(m_draws.size()); }

private:
    QList<float> m_draws;
    SeededRandom m_fallback{12345u};
    int m_seedings = 0;
    int m_taken = 0;
};
