#include "platform.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdlib>

#if defined(Q_OS_LINUX) && defined(__GLIBC__)
#include <malloc.h>
#endif

#include "clock.h"
#include "random_source.h"

namespace Platform {
namespace {

struct State
{
    QString appFolder;
    SeededRandom ownRandom;
    RandomSource *random = nullptr;
    SystemClock ownClock;
    Clock *clock = nullptr;
};

State &state()
{
    static State s;
    return s;
}

} // namespace

QString appFolder()
{
    State &s = state();
    if (s.appFolder.isEmpty() && QCoreApplication::instance())
        s.appFolder = QCoreApplication::applicationDirPath();
    return s.appFolder;
}

void setAppFolder(const QString &folder)
{
    QString f = QDir::cleanPath(folder);
    while (f.size() > 1 && f.endsWith(u'/'))
        f.chop(1);
    state().appFolder = f;
}

RandomSource &random()
{
    State &s = state();
    return s.random ? *s.random : s.ownRandom;
}

void setRandom(RandomSource *source)
{
    state().random = source;
}

Clock &clock()
{
    State &s = state();
    return s.clock ? *s.clock : s.ownClock;
}

void setClock(Clock *clock)
{
    state().clock = clock;
}

// Keeps a long series from creeping up in memory. Left to itself glibc gives each new decoding
// thread an arena of its own (up to eight per core) and, once a large buffer has been freed, raises
// the size from which it maps buffers separately, so later faces and backs come from the arenas
// and leave holes there when freed. Over 300 games resident memory grew by 15 to 25 % with nothing
// kept; with two arenas and buffers from 128 KiB always mapped on their own (and handed back to
// the system when freed) it stays within 1 %. Settings given in the environment win.
void tuneAllocator()
{
#if defined(Q_OS_LINUX) && defined(__GLIBC__)
    if (!std::getenv("MALLOC_ARENA_MAX"))
        ::mallopt(M_ARENA_MAX, 2);
    if (!std::getenv("MALLOC_MMAP_THRESHOLD_"))
        ::mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

} // namespace Platform
