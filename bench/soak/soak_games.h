#pragma once
// Random games for the soak (soak_main.cpp) on the test suite's fixture: random picture folders,
// random clicks checked one by one, the results screen, and counts of what is left alive.
#include <QtTest>

#include <QApplication>
#include <QBuffer>
#include <algorithm>
#include <limits>
#include <random>
#include <unistd.h>

#include "app_fixture.h"
#include "board_grid.h"
#include "board_screen.h"
#include "controls.h"
#include "module1.h"
#include "options_screen.h"
#include "platform.h"
#include "players_screen.h"
#include "random_source.h"
#include "results_screen.h"
#include "title_screen.h"

namespace Soak {

using Rng = std::mt19937;

inline int below(Rng &rng, int n)
{
    return int(std::uniform_int_distribution<int>(0, n - 1)(rng));
}

/// The seed: TRABEL_SOAK_SEED when set, else a fresh one. Printed so that a failure can be
/// replayed.
inline quint32 seed()
{
    bool ok = false;
    quint32 s = qEnvironmentVariable("TRABEL_SOAK_SEED").toUInt(&ok);
    if (!ok)
        s = std::random_device{}();
    qInfo("soak seed %u (replay with TRABEL_SOAK_SEED=%u)", s, s);
    return s;
}

/// The deals' random source in a soak: seeded once from the soak's seed and deaf to the board's
/// reseeding from the clock, so that a seed replays the same deals as well as the same clicks.
class FixedRandom final : public RandomSource
{
public:
    explicit FixedRandom(quint32 seed) : m_random(seed) {}
    void seedFromTimeOfDay() override {}
    float next() override { return m_random.next(); }

private:
    SeededRandom m_random;
};

/// Resident memory of this process, in bytes.
inline qint64 residentBytes()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * ::sysconf(_SC_PAGESIZE) : 0;
}

/// What the screens leave alive: widgets, forms, image and picture boxes, timers (owned by
/// widgets or by the application).
inline QString countObjects()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const QWidgetList all = QApplication::allWidgets();
    int forms = 0, images = 0, pictures = 0, timers = int(qApp->findChildren<QTimer *>().size());
    for (QWidget *w : all) {
        forms += qobject_cast<Form *>(w) ? 1 : 0;
        images += qobject_cast<ImageBox *>(w) ? 1 : 0;
        pictures += qobject_cast<PictureBox *>(w) ? 1 : 0;
        timers += int(w->findChildren<QTimer *>(Qt::FindDirectChildrenOnly).size());
    }
    return QStringLiteral("%1 widgets, %2 forms, %3 image boxes, %4 picture boxes, %5 timers")
        .arg(all.size())
        .arg(forms)
        .arg(images)
        .arg(pictures)
        .arg(timers);
}

/// A picture folder of good and broken files.
struct Folder
{
    QString set;
    QStringList good;  ///< readable pictures: only these and `maybe` may be dealt
    QStringList maybe; ///< truncated pictures: readable header, damaged data
    int entries = 0;
};

inline QByteArray encoded(const QImage &img, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, format);
    return bytes;
}

inline void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

/// Makes graficos/<set> with at least `minGood` good pictures of random sizes and formats, mixed
/// with zero-byte files, truncated pictures, text, headers claiming enormous sizes, hidden files
/// and sub-folders.
inline Folder makeFolder(AppFixture &app, const QString &set, int minGood, Rng &rng)
{
    Folder f;
    f.set = set;
    const QString dir = app.path(QStringLiteral("graficos/") + set + u'/');
    QDir().mkpath(dir);
    const int good = minGood + below(rng, 12);
    const int broken = below(rng, 16);
    static const char *const kFormats[] = {"png", "jpeg", "bmp", "ppm"};
    static const char *const kSuffixes[] = {"png", "jpg", "bmp", "ppm"};
    // Qt writes no GIF: those come from the shipped sets.
    static const QFileInfoList gifs = [] {
        QFileInfoList out;
        for (const char *set : {"animales", "comida", "objetos"})
            out += QDir(QStringLiteral(TRABEL_SOURCE_DATA "/graficos/") + QLatin1String(set))
                       .entryInfoList({QStringLiteral("*.gif")}, QDir::Files);
        return out;
    }();
    int serial = 0;
    const auto name = [&](const char *suffix) {
        return QStringLiteral("d%1_%2.%3")
            .arg(below(rng, 1000))
            .arg(serial++)
            .arg(QLatin1String(suffix));
    };
    for (int i = 0; i < good; ++i) {
        if (!gifs.isEmpty() && below(rng, 5) == 0) {
            const QString n = name("gif");
            QFile::copy(gifs[below(rng, int(gifs.size()))].filePath(), dir + n);
            f.good.append(n);
            continue;
        }
        const int fmt = below(rng, 4);
        QImage img(4 + below(rng, 120), 4 + below(rng, 120), QImage::Format_RGB32);
        img.fill(QColor::fromHsv(below(rng, 360), 200, 220));
        const QString n = name(kSuffixes[fmt]);
        write(dir + n, encoded(img, kFormats[fmt]));
        f.good.append(n);
    }
    for (int i = 0; i < broken; ++i) {
        switch (below(rng, 7)) {
        case 0:
            write(dir + name("png"), QByteArray());
            break;
        case 1: {
            QImage img(64, 64, QImage::Format_RGB32);
            img.fill(Qt::darkRed);
            const QByteArray whole = encoded(img, "jpeg");
            const QString n = name("jpg");
            // Long enough to keep the header: it reads, and decodes with a grey part.
            write(dir + n, whole.left(whole.size() / 2 + below(rng, whole.size() / 2)));
            f.maybe.append(n);
            break;
        }
        case 2:
            write(dir + name("gif"), "GIF89a roto");
            break;
        case 3: {
            QImage img(10, 10, QImage::Format_RGB32);
            img.fill(Qt::black);
            QByteArray b = encoded(img, "png");
            // IHDR claims 60000 × 60000; the checksum no longer matches.
            b[16] = 0, b[17] = 0, b[18] = char(0xEA), b[19] = 0x60;
            b[20] = 0, b[21] = 0, b[22] = char(0xEA), b[23] = 0x60;
            write(dir + name("png"), b);
            break;
        }
        case 4:
            write(dir + QStringLiteral(".oculto%1.png").arg(serial++), "x");
            break;
        case 5:
            QDir().mkpath(dir + name("jpg"));
            break;
        default:
            write(dir + name("txt"), QByteArray(below(rng, 3000), 'z'));
            break;
        }
    }
    f.entries = good + broken;
    return f;
}

/// Plays the open board to its end with random clicks: any slot (face-up ones and a few that do
/// not exist), clicks while a mismatch shows, stray timer ticks. After every click the counters
/// must agree with the cards face up. Returns the clicks made.
inline int playRandomly(Form2 *board, Rng &rng, int maxClicks = 6000)
{
    const int slotCount = 2 * board->TotalPairs();
    int clicks = 0;
    qint16 mismatches = Module1::MismatchCount;
    const auto check = [&](const char *when) {
        const CardGame &g = board->game();
        const bool showingMismatch = !g.GameOver && g.timerRunning;
        const int expected = 2 * g.PairsFound + int(g.CardsTurned % 2) + (showingMismatch ? 2 : 0);
        const int up = int(std::count(g.faceUp.begin(), g.faceUp.end(), true));
        int visible = 0;
        for (int k = 0; k < slotCount; ++k)
            visible += board->Image1[k]->isHidden() ? 0 : 1;
        if (up != expected || visible != expected || board->isEnabled() == showingMismatch
            || g.Player1Pairs + g.Player2Pairs != g.PairsFound
            || board->Text1[0]->text().toInt() + board->Text1[1]->text().toInt() != g.PairsFound
            || Module1::MismatchCount != mismatches)
            QTest::qFail(
                qPrintable(QStringLiteral(
                               "%1 after %2 clicks: %3 face up, %4 shown, %5 expected; pairs %6 "
                               "= %7 + %8; mismatches %9, counted %10")
                               .arg(QLatin1String(when))
                               .arg(clicks)
                               .arg(up)
                               .arg(visible)
                               .arg(expected)
                               .arg(g.PairsFound)
                               .arg(g.Player1Pairs)
                               .arg(g.Player2Pairs)
                               .arg(Module1::MismatchCount)
                               .arg(mismatches)),
                __FILE__, __LINE__);
    };

    while (!board->game().GameOver && clicks < maxClicks) {
        const int roll = below(rng, 100);
        int slot = below(rng, slotCount);
        if (roll < 2)
            slot = below(rng, 2) ? -1 - below(rng, 3) : slotCount + below(rng, 45 - slotCount);
        const CardGame before = board->game();
        board->picture2_Click(slot);
        ++clicks;
        const CardGame &after = board->game();
        const bool counted = before.enabled && before.hasSlot(slot) && !before.faceUp[slot];
        if (after.CardsTurned != before.CardsTurned + (counted ? 1 : 0)) {
            QTest::qFail(qPrintable(QStringLiteral("click on slot %1 counted wrongly").arg(slot)),
                         __FILE__, __LINE__);
            return clicks;
        }
        // The count stops at its type's limit in a long two-player series.
        if (counted && after.CardsTurned % 2 == 0 && after.PairsFound == before.PairsFound
            && mismatches < std::numeric_limits<qint16>::max())
            ++mismatches;
        check("click");
        if (QTest::currentTestFailed())
            return clicks;
        if (after.timerRunning && !after.GameOver) {
            // A few clicks while the two cards show reach nothing; then the tick turns them back.
            for (int i = below(rng, 3); i > 0; --i) {
                board->picture2_Click(below(rng, slotCount));
                ++clicks;
                check("click while the mismatch shows");
            }
            board->Timer1_Timer();
            check("tick");
        } else if (roll >= 97 && !after.GameOver) {
            board->Timer1_Timer(); // a tick with nothing to turn back
            check("stray tick");
        }
        if (QTest::currentTestFailed())
            return clicks;
    }
    if (!board->game().GameOver) {
        if (board->game().timerRunning)
            board->Timer1_Timer();
        clickAllPairs(board);
    }
    if (!board->game().GameOver)
        QTest::qFail("the game could not be finished", __FILE__, __LINE__);
    else if (std::count(board->game().faceUp.begin(), board->game().faceUp.end(), true)
             != slotCount)
        QTest::qFail("a finished game shows every card", __FILE__, __LINE__);
    return clicks;
}

/// Expected series points, kept apart from the program's.
struct Series
{
    QString name1;
    QString name2;
    int points1 = 0;
    int points2 = 0;
};

/// Lets the finished board's tick open the results, checks them against the game, then chooses
/// "SEGUIR JUGANDO" (or "FIN JUEGO" when `last`).
inline void finishThroughResults(Form2 *board, Series &series, bool last)
{
    const int p1 = board->game().Player1Pairs, p2 = board->game().Player2Pairs;
    const int attempts = pairsForOption(Module1::PairOption) + Module1::MismatchCount;
    // Two points to the winner, one each on a draw; alone, the player always wins.
    series.points1 += p1 > p2 ? 2 : p1 == p2;
    series.points2 += p2 > p1 ? 2 : p1 == p2;
    const auto line = [](const QString &name, int pairs, int points) {
        return name
               + QStringLiteral(" ha encontrado %1 parejas. Lleva  %2 puntos")
                     .arg(pairs)
                     .arg(points);
    };
    QPointer<Form2> guard(board);
    finishGame(
        board,
        [&](Form4 *results) {
            if (series.name2.isEmpty()) {
                QCOMPARE(results->Label1->text(),
                         series.name1
                             + QStringLiteral(" lo ha conseguido en %1 intentos").arg(attempts));
            } else {
                QCOMPARE(results->Label1->text(), line(series.name1, p1, series.points1));
                QCOMPARE(results->Label2->text(), line(series.name2, p2, series.points2));
            }
            QCOMPARE(Module1::Player1Points, series.points1);
        },
        !last);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(!guard || !guard->isLoaded(), "the board is still loaded after the results");
    QVERIFY2(!Runtime::loaded<Form4>(), "the results are still loaded");
    QVERIFY2(last == Runtime::ended(),
             last ? "FIN JUEGO did not end the program" : "the program ended");
    QVERIFY2(last || Runtime::loaded<Form1>(), "the options screen is not back");
}

/// Title, players (one or two names), options: returns the options screen.
inline Form1 *startSeries(Series &series)
{
    Form5 *title = Runtime::Show<Form5>();
    if (!title)
        return nullptr;
    title->Command1_Click();
    Form3 *players = Runtime::loaded<Form3>();
    if (!players)
        return nullptr;
    const bool two = !series.name2.isEmpty();
    players->Command1_Click(two ? 1 : 0);
    if (two) {
        players->Text1[1]->setText(series.name1);
        players->Text2->setText(series.name2);
    } else {
        players->Text1[0]->setText(series.name1);
    }
    players->Command2_Click();
    return Runtime::loaded<Form1>();
}

/// One game from the options screen: a set and a pair option, JUGAR, random play, the results.
/// Returns the clicks made, or -1 on a failure.
inline int playGame(Form1 *options, const Folder &folder, int pairOption, Series &series, Rng &rng,
                    bool last)
{
    options->Combo1->setText(folder.set);
    options->Command1_Click(pairOption);
    options->Command2_Click();
    Form2 *board = Runtime::loaded<Form2>();
    if (!board) {
        QTest::qFail("no board was dealt", __FILE__, __LINE__);
        return -1;
    }
    for (int k = 0; k < 2 * board->TotalPairs(); ++k) {
        const QString name = board->File1.List(board->pictureOf(k));
        if (!folder.good.contains(name) && !folder.maybe.contains(name)) {
            QTest::qFail(qPrintable(QStringLiteral("%1 was dealt").arg(name)), __FILE__, __LINE__);
            return -1;
        }
    }
    const int clicks = playRandomly(board, rng);
    if (QTest::currentTestFailed())
        return -1;
    finishThroughResults(board, series, last);
    return QTest::currentTestFailed() ? -1 : clicks;
}

} // namespace Soak
