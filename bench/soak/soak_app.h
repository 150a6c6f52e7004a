#pragma once
// What the soak runs the real screens on: a temporary application folder with the shipped
// language file and card back, a 15360 × 11520-twip screen, a silent sound player, a clock that
// moves on a quarter second at every reading (so the results' wait passes at once), and a
// recorded message box and End. Kept apart from the test suite's fixtures, which change with it.
#include <QDir>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <functional>

#include "board_screen.h"
#include "clock.h"
#include "form.h"
#include "module1.h"
#include "platform.h"
#include "sound.h"
#include "twips.h"

namespace Soak {

class SilentSound final : public SoundPlayer
{
public:
    void play(const QString &, quint32) override {}
};

class SteppingClock final : public Clock
{
public:
    double secondsSinceMidnight() override { return m_now = std::fmod(m_now + 0.25, 86400.0); }

private:
    double m_now = 36000;
};

class App
{
public:
    App()
    {
        Runtime::resetForTests();
        Module1::reset();
        Platform::setAppFolder(m_dir.path());
        Twips::setScreen(QSize(15360, 11520));
        Sound::setPlayer(&m_sound);
        Platform::setClock(&m_clock);
        Runtime::setMessageBoxHandler([this](const QString &text) { messages.append(text); });
        Runtime::setEndHandler([this] { ++ends; });
        QDir().mkpath(path(QStringLiteral("idioma")));
        QFile::copy(QStringLiteral(TRABEL_SOURCE_DATA "/idioma/idioma.txt"),
                    path(QStringLiteral("idioma/idioma.txt")));
        QFile::copy(QStringLiteral(TRABEL_SOURCE_DATA "/fondo.jpg"),
                    path(QStringLiteral("fondo.jpg")));
    }
    ~App()
    {
        Runtime::resetForTests();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Sound::setPlayer(nullptr);
        Platform::setClock(nullptr);
        Platform::setRandom(nullptr);
        Runtime::setMessageBoxHandler({});
        Twips::setScreen(QSize());
        Runtime::setEndHandler({});
    }
    QString path(const QString &relative) const { return m_dir.path() + u'/' + relative; }

    QStringList messages; ///< texts of the message boxes shown
    int ends = 0;         ///< times the program was ended

private:
    QTemporaryDir m_dir;
    SilentSound m_sound;
    SteppingClock m_clock;
};

/// Clicks both cards of every pair still face down: the rest of a game without a mismatch.
inline void clickAllPairs(Form2 *board)
{
    QPointer<Form2> guard(board);
    for (int k = 0; guard && k < 2 * board->TotalPairs(); ++k)
        for (int s = k; guard && s < 2 * board->TotalPairs(); ++s)
            if (!board->game().faceUp[k] && !board->game().faceUp[s] && s != k
                && board->CardPicture()[s] == board->CardPicture()[k]) {
                board->picture2_Click(k);
                if (guard)
                    board->picture2_Click(s);
            }
}

/// Runs `action` once a screen of class F is loaded and visible, as a modal display holds the
/// caller. Gives up after 20 s.
template <class F> void whenShown(std::function<void(F *)> action)
{
    auto *poll = new QTimer;
    auto *waited = new int(0);
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, waited, action] {
        *waited += poll->interval();
        F *f = Runtime::loaded<F>();
        if ((f && f->isVisible()) || *waited > 20000) {
            poll->stop();
            poll->deleteLater();
            delete waited;
            if (f && f->isVisible())
                action(f);
        }
    });
    poll->start();
}

} // namespace Soak
