#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "clock.h"
#include "sound.h"

/// A sound player that only records what it was asked to play.
class RecordingSound final : public SoundPlayer
{
public:
    struct Call
    {
        QString path;
        quint32 flags;
    };
    void play(const QString &path, quint32 flags) override { calls.append({path, flags}); }
    /// File names of the cues played, in order ("abrir.wav", "7.wav", ...).
    QStringList names() const;
    void clear() { calls.clear(); }

    QList<Call> calls;
};

/// A clock that moves on by `step` seconds at every reading.
class SteppingClock final : public Clock
{
public:
    explicit SteppingClock(double start = 36000.0, double step = 0.25) : now(start), step(step) {}
    double secondsSinceMidnight() override
    {
        const double t = now;
        now += step;
        if (now >= 86400.0)
            now -= 86400.0;
        ++readings;
        return t;
    }
    double now;
    double step;
    int readings = 0;
};
