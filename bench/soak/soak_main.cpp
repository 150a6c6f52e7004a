// The long soak (scripts/fuzz --soak), not part of the test suite: one series of 300 random games
// in one process, through the real screens, measuring resident memory after a warm-up of 20 games
// and at the end. It fails when memory grew more than 5 % after the warm-up, or when a board, timer
// or picture outlives its game. TRABEL_SOAK_GAMES changes the number of games; TRABEL_SOAK_SEED
// replays a run.
#include <QtTest>

#include <malloc.h>

#include "soak_games.h"

namespace {

/// Resident memory with the allocator's free memory handed back: what the game itself holds.
/// Qt's pixmap cache is left as it is: it may keep up to 10 MB of drawn controls, so a control
/// drawn differently on every paint shows up here as growth. (Emptying it by hand would hide
/// that, and leaves Qt's key table behind to grow on its own.)
qint64 settledResidentBytes()
{
    ::malloc_trim(0);
    return Soak::residentBytes();
}

/// Bytes the allocator has handed out and not had back: grows only with what is kept.
qint64 heapInUse()
{
    const struct mallinfo2 info = ::mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
}

} // namespace

class LongSoak : public QObject
{
    Q_OBJECT

private slots:
    // The game's own allocator settings, as its main() makes them.
    void initTestCase() { Platform::tuneAllocator(); }

    void longSeries()
    {
        const int games = qMax(30, qEnvironmentVariableIntValue("TRABEL_SOAK_GAMES") > 0
                                       ? qEnvironmentVariableIntValue("TRABEL_SOAK_GAMES")
                                       : 300);
        const int warmUp = 20;
        const quint32 seed = Soak::seed();
        Soak::Rng rng(seed);
        Soak::FixedRandom deals(seed);
        AppFixture app;
        QFile::copy(TRABEL_SOURCE_DATA "/fondo.jpg", app.path("fondo.jpg"));
        Platform::setRandom(&deals);
        QList<Soak::Folder> folders;
        for (int i = 0; i < 6; ++i)
            folders.append(Soak::makeFolder(app, QStringLiteral("s%1").arg(i), 21, rng));

        const QString before = Soak::countObjects();
        Soak::Series series{QStringLiteral("Ana"), QStringLiteral("Luis")};
        Form1 *options = Soak::startSeries(series);
        QVERIFY(options);

        qint64 rssWarm = 0;
        qint64 rssEnd = 0;
        qint64 heapWarm = 0;
        qint64 heapEnd = 0;
        QString atWarm;
        qint64 clicks = 0;
        QElapsedTimer clock;
        clock.start();
        for (int g = 0; g < games; ++g) {
            const int option = Soak::below(rng, 5);
            const bool last = g == games - 1;
            const int c = Soak::playGame(options, folders[Soak::below(rng, int(folders.size()))],
                                         option, series, rng, last);
            if (c < 0)
                qInfo("game %d (pair option %d) failed", g + 1, option);
            QVERIFY(c > 0);
            clicks += c;
            app.sound.cues.clear(); // the recorded cues would grow with the series
            if (last)
                break;
            const QString now = Soak::countObjects();
            if (g + 1 == warmUp) {
                rssWarm = settledResidentBytes();
                heapWarm = heapInUse();
                atWarm = now;
                qInfo("after %d games: %lld KiB resident; %s", warmUp, rssWarm / 1024,
                      qPrintable(now));
            } else if (g + 1 > warmUp) {
                QVERIFY2(now == atWarm,
                         qPrintable(QStringLiteral("after game %1: %2").arg(g + 1).arg(now)));
            }
            if (g + 2 == games) {
                rssEnd = settledResidentBytes(); // at the options screen, as at the warm-up
                heapEnd = heapInUse();
            }
            if ((g + 1) % 50 == 0)
                qInfo("%d games, %lld clicks, %lld s, %lld KiB resident, %lld KiB in use", g + 1,
                      clicks, clock.elapsed() / 1000, settledResidentBytes() / 1024,
                      heapInUse() / 1024);
        }
        Platform::setRandom(nullptr);
        QVERIFY(Runtime::ended());
        QVERIFY(Runtime::loadedForms().isEmpty());
        const QString after = Soak::countObjects();
        qInfo("after %d games (%lld clicks, %lld s): %lld KiB resident, %+.2f %% since game %d",
              games - 1, clicks, clock.elapsed() / 1000, rssEnd / 1024,
              100.0 * double(rssEnd - rssWarm) / double(rssWarm), warmUp);
        qInfo("heap in use: %lld KiB after game %d, %lld KiB at the end (%+.2f %%)",
              heapWarm / 1024, warmUp, heapEnd / 1024,
              100.0 * double(heapEnd - heapWarm) / double(heapWarm));
        qInfo("before the series: %s", qPrintable(before));
        qInfo("after the series:  %s", qPrintable(after));
        QVERIFY2(after == before, "screens outlived the series");
        QVERIFY2(double(rssEnd) <= 1.05 * double(rssWarm), "resident memory grew by more than 5 %");
    }
};

QTEST_MAIN(LongSoak)
#include "soak_main.moc"
