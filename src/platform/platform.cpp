#include "platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTime>

#include "clock.h"
#include "random_source.h"
#include "sound.h"

double SystemClock::secondsSinceMidnight()
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

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

QString userPictureFolder()
{
    QString base = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"));
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/trabel/graficos"));
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

void shutdown()
{
    state().ownSound.reset();
}

} // namespace Platform
