#pragma once

#include <QString>

class RandomSource;
class Clock;

/// The process's services, worked out once at start-up and replaceable by tests.
namespace Platform {

/// The application folder: the executable's folder, without a trailing separator.
QString appFolder();
void setAppFolder(const QString &folder);

/// The random source shared by the board's draws.
RandomSource &random();
void setRandom(RandomSource *source); ///< nullptr restores the program's own source

/// Seconds since midnight, fractional.
Clock &clock();
void setClock(Clock *clock); ///< nullptr restores the system clock

/// Process-wide allocator settings for the background decodes of a long series (glibc); the
/// environment's own settings win. Called once, first thing in main().
void tuneAllocator();

} // namespace Platform
