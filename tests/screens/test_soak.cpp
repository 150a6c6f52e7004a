// Random series of games through the real screens: random picture folders of good and broken
// files, random clicks checked one by one, the results of every game. Seeded (printed; replay with
// TRABEL_SOAK_SEED). The long run with memory measurements is fuzz/soak_main.cpp (scripts/fuzz
// --soak).
#include <QtTest>

#include "../../fuzz/soak_games.h"

class SoakTest : public QObject
{
    Q_OBJECT

private:
    quint32 m_seed = 0;

private slots:
    void initTestCase() { m_seed = Soak::seed(); }

    void randomSeries_data()
    {
        QTest::addColumn<QString>("name1");
        QTest::addColumn<QString>("name2");
        QTest::addColumn<int>("games");
        QTest::newRow("one player") << QStringLiteral("Ana") << QString() << 5;
        QTest::newRow("two players") << QStringLiteral("Ana") << QStringLiteral("Luis") << 5;
        QTest::newRow("two players of the same name") << QStringLiteral("Ana")
                                                      << QStringLiteral("Ana") << 5;
        QTest::newRow("names with markup and emoji") << QStringLiteral("<b>Ñ</b>")
                                                     << QStringLiteral("😀 &amp;") << 5;
    }

    void randomSeries()
    {
        QFETCH(QString, name1);
        QFETCH(QString, name2);
        QFETCH(int, games);
        const quint32 seed = m_seed ^ quint32(qHash(QLatin1String(QTest::currentDataTag())));
        Soak::Rng rng(seed);
        Soak::FixedRandom deals(seed);
        AppFixture app;
        Platform::setRandom(&deals);
        app.useShippedLanguage();
        app.useShippedBack();

        QList<Soak::Folder> folders;
        for (int i = 0; i < games; ++i)
            folders.append(Soak::makeFolder(app, QStringLiteral("serie%1").arg(i), 21, rng));

        Soak::Series series{name1, name2};
        Form1 *options = Soak::startSeries(series);
        QVERIFY(options);
        QStringList played;
        for (int g = 0; g < games; ++g) {
            const int option = Soak::below(rng, 5);
            const int clicks =
                Soak::playGame(options, folders[g], option, series, rng, g == games - 1);
            if (QTest::currentTestFailed())
                qInfo("game %d of %s, pair option %d, failed", g, QTest::currentDataTag(), option);
            QVERIFY(clicks > 0);
            played.append(QStringLiteral("%1 pairs in %2 clicks").arg(pairsForOption(option)).arg(clicks));
        }
        qInfo("%s", qPrintable(played.join(QStringLiteral(", "))));
        QVERIFY(Runtime::ended());
        QCOMPARE(app.ends, 1);
        QVERIFY(app.messages.isEmpty());
        QCOMPARE(Module1::Player1Points, series.points1);
        QCOMPARE(int(Module1::Player2Points), series.points2);
    }

    /// Thirty games in one series: every board, timer and picture goes with its game.
    void seriesLeavesNothingBehind()
    {
        Soak::Rng rng(m_seed);
        Soak::FixedRandom deals(m_seed);
        AppFixture app;
        Platform::setRandom(&deals);
        app.useShippedLanguage();
        app.useShippedBack();
        QList<Soak::Folder> folders;
        for (int i = 0; i < 3; ++i)
            folders.append(Soak::makeFolder(app, QStringLiteral("s%1").arg(i), 21, rng));

        const Soak::Counts before = Soak::countObjects();
        QCOMPARE(before.forms, 0);
        Soak::Series series{QStringLiteral("Ana"), QStringLiteral("Luis")};
        Form1 *options = Soak::startSeries(series);
        QVERIFY(options);
        Soak::Counts atOptions;
        const int games = 30;
        for (int g = 0; g < games; ++g) {
            const int option = Soak::below(rng, 5);
            QVERIFY(Soak::playGame(options, folders[g % 3], option, series, rng, g == games - 1) > 0);
            if (g == games - 1)
                break;
            // Back at the options screen: the board and the results are gone.
            const Soak::Counts now = Soak::countObjects();
            QCOMPARE(now.imageBoxes, 0);
            QCOMPARE(now.pictureBoxes, 0);
            QCOMPARE(Runtime::loadedForms(), QList<Form *>{options});
            if (g == 0)
                atOptions = now;
            QVERIFY2(now == atOptions, qPrintable(QStringLiteral("after game %1: %2, after game 1: %3")
                                                      .arg(g + 1)
                                                      .arg(Soak::describe(now), Soak::describe(atOptions))));
        }
        QVERIFY(Runtime::ended());
        QVERIFY(Runtime::loadedForms().isEmpty());
        const Soak::Counts after = Soak::countObjects();
        QVERIFY2(after == before, qPrintable(QStringLiteral("before: %1; after: %2")
                                                 .arg(Soak::describe(before), Soak::describe(after))));
    }
};

QTEST_MAIN(SoakTest)
#include "test_soak.moc"
