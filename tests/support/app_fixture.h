#pragma once
// What a screen test drives: the five screens and the runtime, with the fakes they run on.
#include <QApplication>
#include <QtTest>
#include <functional>

#include "board_screen.h"
#include "clock.h"
#include "module1.h"
#include "options_screen.h"
#include "platform.h"
#include "players_screen.h"
#include "results_screen.h"
#include "sound.h"
#include "title_screen.h"
#include "twips.h"

/// Records cues instead of playing them: "abrir.wav", or "ganador.wav sync" if held to its end.
struct RecordingSound final : SoundPlayer
{
    void play(const QString &path, quint32 flags) override
    {
        cues << QFileInfo(path).fileName() + (flags == SND_SYNC ? " sync" : "");
    }
    QStringList cues;
};

/// A clock that moves on by `step` seconds at every reading, starting again at midnight.
struct SteppingClock final : Clock
{
    double secondsSinceMidnight() override
    {
        return std::exchange(now, std::fmod(now + step, 86400));
    }
    double now = 36000, step = 0.25;
};

bool writeFile(const QString &path, const QByteArray &bytes); ///< makes the folder first
QByteArray readFile(const QString &path);
/// Writes `image` as `picture`'s thumbnail in the cache's `folder`, `age` s old, spoiled; its path.
QString writeThumbnail(const QString &picture, const char *folder, const QImage &image,
                       qint64 age = 0, const std::function<QByteArray(QByteArray)> &spoil = {});
/// Everything under a folder: each entry's path, and a file's size and time; links not followed.
QStringList snapshot(const QString &root);

/// A temporary application folder with the shipped language file, and the fakes a screen test
/// runs on: a 15360 × 11520-twip screen, recorded cues, message boxes and End, a stepping clock.
struct AppFixture
{
    AppFixture();
    ~AppFixture();
    QString path(const QString &relative) const { return m_dir.path() + u'/' + relative; }
    void writeLanguage(const QByteArray &b) { QVERIFY(writeFile(path("idioma/idioma.txt"), b)); }
    /// Makes graficos/<set> with `count` pictures "dibujo<NN>.<format>", 48 × 36 pixels.
    void makePictureSet(const QString &set, int count, const char *format = "png");
    /// Writes a picture of one colour, making its folder.
    static bool writePicture(const QString &path, const QSize &size, const char *format = "png");
    /// A silent mono WAV file, 16 bits at 22050 Hz: RIFF size at 4, channels 22, rate 24, data 40.
    static QByteArray wav(double seconds);

    RecordingSound sound;
    SteppingClock clock;
    QStringList messages;
    int ends = 0;
    QTemporaryDir m_dir, m_cache;
};

/// From the title to a board as a player goes: "CONTINUAR", one player (two when name2 is
/// given), "ACEPTAR", a set (empty: the first listed), a pair button, "JUGAR".
Form2 *openBoard(const QString &name1, const QString &name2 = {}, int pairButton = 0,
                 const QString &set = {});
/// Two face-down cards of different pictures.
QPair<int, int> mismatchedSlots(const Form2 *board);
/// Clicks both cards of every pair still face down.
void clickAllPairs(Form2 *board);
/// Plays to the end, ticks the timer, checks the results, clicks "SEGUIR JUGANDO" or "FIN JUEGO".
void finishGame(Form2 *board, const std::function<void(Form4 *)> &check, bool carryOn = true);

/// Runs `action` once a screen of class F is loaded and visible: the way a test acts on a screen
/// shown modally, while the modal display holds the caller.
template <class F> void whenShown(std::function<void(F *)> action)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, action, until = QDeadlineTimer(20000)] {
        F *f = Runtime::loaded<F>();
        if ((f && f->isVisible()) || until.hasExpired())
            poll->stop(), poll->deleteLater();
        if (f && f->isVisible())
            action(f);
    });
    poll->start(20);
}
