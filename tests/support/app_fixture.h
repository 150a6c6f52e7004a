#pragma once

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "clock.h"
#include "form.h"
#include "sound.h"

class Form2;

/// Records the cues asked for, by file name, instead of playing them.
class RecordingSound final : public SoundPlayer {
public:
    void play(const QString &path, quint32 flags) override {
        names.append(QFileInfo(path).fileName());
        modes.append(flags);
    }
    void clear() { names.clear(), modes.clear(); }
    QStringList names;
    QList<quint32> modes; ///< SND_SYNC or SND_ASYNC, one per cue
};

/// A clock that moves on by `step` seconds at every reading, starting again at midnight.
class SteppingClock final : public Clock {
public:
    double secondsSinceMidnight() override {
        const double t = now;
        now = now + step >= 86400.0 ? now + step - 86400.0 : now + step;
        return t;
    }
    double now = 36000.0;
    double step = 0.25;
};

/// A temporary application folder and the fakes a screen test runs on: a 15360 × 11520-twip
/// screen, a recording sound player, a stepping clock, recorded message boxes and End.
class AppFixture {
public:
    AppFixture();
    ~AppFixture();
    QString path(const QString &relative) const { return m_dir.path() + u'/' + relative; }
    void writeLanguage(const QByteArray &bytes);
    void useShippedLanguage();
    void useShippedBack();
    /// Makes graficos/<set> with `count` distinct pictures "dibujo<NN>.<format>".
    QStringList makePictureSet(const QString &set, int count, const char *format = "png");
    static bool writePicture(const QString &path, const QSize &size, const char *format = "png");
    /// A WAV file of a sine tone, mono, 16 bits at 22050 Hz. Offsets: RIFF size 4, channels 22,
    /// rate 24, data size 40.
    static QByteArray tone(double seconds, double hz = 440.0);

    RecordingSound sound;
    SteppingClock clock;
    QStringList messages; ///< texts of the message boxes shown
    int ends = 0;         ///< times the program was ended

private:
    QTemporaryDir m_dir;
};

class Form4;

/// From the title screen to a board as a player goes: "CONTINUAR", one player (or two, when
/// name2 is given) and the names, "ACEPTAR", a set (empty: the first listed) and a pair button,
/// "JUGAR". The board, or nullptr if none opened.
Form2 *openBoard(const QString &name1, const QString &name2 = {}, int pairButton = 0,
                 const QString &set = {});
/// Clicks both cards of every pair still face down, pair by pair.
void clickAllPairs(Form2 *board);
/// Plays the board to its end, lets its timer tick, hands the results to `check` and then clicks
/// "SEGUIR JUGANDO" (or "FIN JUEGO").
void finishGame(Form2 *board, const std::function<void(Form4 *)> &check, bool carryOn = true);
/// Two face-down cards that show different pictures.
QPair<int, int> mismatchedSlots(const Form2 *board);

/// Runs `action` once a screen of class F is loaded and visible: the way a test acts on a screen
/// shown modally, while the modal display holds the caller.
template <class F> void whenShown(std::function<void(F *)> action) {
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action, until = QDeadlineTimer(20000)] {
        F *f = Runtime::loaded<F>();
        const bool shown = f && f->isVisible();
        if (shown || until.hasExpired()) {
            poll->stop();
            poll->deleteLater();
        }
        if (shown)
            action(f);
    });
    poll->start(20);
}
