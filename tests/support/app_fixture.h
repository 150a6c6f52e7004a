#pragma once

#include <QImage>
#include <QStringList>
#include <QTemporaryDir>

#include "fakes.h"
#include "scripted_random.h"

#include <QTimer>
#include <functional>

#include "form.h"

class Form2;

/// A temporary application folder and the fakes a screen test runs on: a 15360 × 11520-twip
/// screen, a recording sound player, a stepping clock, a recorded message box and a recorded End.
class AppFixture
{
public:
    AppFixture();
    ~AppFixture();
    AppFixture(const AppFixture &) = delete;
    AppFixture &operator=(const AppFixture &) = delete;

    QString folder() const { return m_dir.path(); }
    /// A path inside the application folder ("graficos/animales").
    QString path(const QString &relative) const;

    /// Writes idioma/idioma.txt from lines, in Windows-1252 with CR LF (or the given bytes).
    void writeLanguage(const QStringList &lines);
    void writeLanguageBytes(const QByteArray &bytes);
    /// Copies the shipped language file, card back and sounds.
    void useShippedLanguage();
    void useShippedBack();
    void useShippedSounds();
    /// Copies a shipped picture set into graficos/<name>.
    void useShippedSet(const QString &name);

    /// Makes graficos/<set> with `count` distinct pictures "dibujo<NN>.<format>" of the given size.
    QStringList makePictureSet(const QString &set, int count, const QByteArray &format = "png",
                               const QSize &size = QSize(64, 48));
    /// Writes one picture file of a plain colour.
    static bool writePicture(const QString &path, const QSize &size, const QColor &colour,
                             const QByteArray &format);

    RecordingSound sound;
    SteppingClock clock;
    QStringList messages; ///< texts of the message boxes shown
    int ends = 0;         ///< times the program was ended

private:
    QTemporaryDir m_dir;
};

/// Clicks both cards of every pair still face down, pair by pair: a game with no mismatch.
void clickAllPairs(Form2 *board);
/// Slots of a pair: the two slots that show listing entry `picture`.
QList<int> slotsOfPicture(const Form2 *board, const QString &picture);
/// Two face-down slots that show different pictures.
QPair<int, int> mismatchedSlots(const Form2 *board);

/// Runs `action` once a screen of class F is loaded and visible: the way a test acts on a screen
/// shown modally, while the modal display holds the caller. Gives up after `timeoutMs`.
template <class F> void whenShown(std::function<void(F *)> action, int timeoutMs = 20000)
{
    auto *poll = new QTimer;
    auto *elapsed = new int(0);
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, elapsed, action, timeoutMs] {
        *elapsed += poll->interval();
        F *f = Runtime::loaded<F>();
        if ((f && f->isVisible()) || *elapsed > timeoutMs) {
            poll->stop();
            poll->deleteLater();
            delete elapsed;
            if (f && f->isVisible())
                action(f);
        }
    });
    poll->start();
}
