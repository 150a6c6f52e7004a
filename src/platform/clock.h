#pragma once

/// A clock in seconds since midnight.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual double secondsSinceMidnight() = 0;
};

/// The system's wall clock.
class SystemClock final : public Clock
{
public:
    double secondsSinceMidnight() override;
};
