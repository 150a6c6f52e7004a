#include "platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <cstdlib>

#if defined(Q_OS_LINUX) && defined(__GLIBC__)
#include <malloc.h>
#endif

#include "clock.h"
#include "language_file.h"
#include "random_source.h"
#include "sound.h"

namespace Platform {
namespace {

struct State
{
    QString appFolder;
    QSize screenOverride;
    SeededRandom ownRandom;
    RandomSource *random = nullptr;
    SystemClock ownClock;
    Clock *clock = nullptr;
    std::unique_ptr<SoundPlayer> ownSound;
    SoundPlayer *sound = nullptr;
    std::function<void(const QString &)> messageBox;
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

QString appPath(const QString &relative)
{
    QString rel = relative;
    rel.replace(u'\\', u'/');
    return appFolder() + rel;
}

LanguageFile languageFile(int lines)
{
    return LanguageFile(appPath(QStringLiteral("\\idioma\\idioma.txt")), lines);
}

QSize screenTwips()
{
    const State &s = state();
    if (!s.screenOverride.isEmpty())
        return s.screenOverride;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return screen->geometry().size() * kTwipsPerPixel;
    return QSize(1024, 768) * kTwipsPerPixel;
}

void setScreenTwips(const QSize &size)
{
    state().screenOverride = size;
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

SoundPlayer &sound()
{
    State &s = state();
    if (s.sound)
        return *s.sound;
    if (!s.ownSound)
        s.ownSound = std::make_unique<SdlSoundPlayer>();
    return *s.ownSound;
}

void setSound(SoundPlayer *player)
{
    state().sound = player;
}

void processEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void messageBox(const QString &text)
{
    State &s = state();
    if (s.messageBox) {
        s.messageBox(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Trabel"), text,
                    QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void setMessageBoxHandler(std::function<void(const QString &)> handler)
{
    state().messageBox = std::move(handler);
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

void shutdown()
{
    state().ownSound.reset();
}

} // namespace Platform
