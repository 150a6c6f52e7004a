// The turn rules of one game: clicks, matches, mismatches, whose turn it is, the flip-back tick;
// then whole games of random clicks, each click checked against a plain model of those rules.
#include <QtTest>

#include <random>

#include "card_game.h"
#include "module1.h"
#include "random_source.h"

namespace {

/// A game as the board starts it: player 1, Ana, has the turn.
CardGame newGame(const QString &player2, int pairs, const QStringList &cards)
{
    Module1::reset();
    Module1::Player1Name = QStringLiteral("Ana");
    Module1::Player2Name = player2;
    CardGame g;
    g.TotalPairs = pairs;
    g.CardPicture = cards;
    g.TurnPrefix = QStringLiteral("Turno");
    g.turnLabel = {g.turnCaption(Module1::Player1Name), player2};
    return g;
}

QString label(const CardGame &g, int i)
{
    const auto &c = g.turnColour[i];
    return u'[' + g.turnLabel[i] + QLatin1String(!c ? "]" : *c == kTurnRed ? " red]" : " black]");
}

} // namespace

class TestCardGame : public QObject
{
    Q_OBJECT

private slots:
    void rules_data()
    {
        QTest::addColumn<QString>("player2");
        QTest::addColumn<QString>("script"); ///< slots clicked, t: a tick, mN: N mismatches so far
        QTest::addColumn<QString>("shown");
        // Three pairs: slots k and k + 3 match.
        QTest::newRow("off the board, a face-up card") << "" << "-1 6 4 4"
            << "Ignored: boxes 0 0, turned 1, up 1, mismatches 0; [Turno Ana] []";
        QTest::newRow("clicks while a mismatch shows") << "" << "1 4 0 2 5"
            << "Ignored: boxes 1 0, turned 4, up 4, mismatches 1, disabled, timer; [Turno Ana] []";
        QTest::newRow("a tick turns both back, once") << "" << "0 1 t 1 t"
            << "Nothing: boxes 0 0, turned 3, up 1, mismatches 1; [Turno Ana] []";
        QTest::newRow("last pair, its tick") << "" << "0 3 1 4 5 2 t"
            << "GameFinished: boxes 3 0, turned 6, up 6, mismatches 0, over; [Turno Ana] []";
        QTest::newRow("mismatches stop at the limit") << "" << "m32767 0 1"
            << "Mismatch: boxes 0 0, turned 2, up 2, mismatches 32767, disabled, timer; "
               "[Turno Ana] []";
        QTest::newRow("a mismatch passes the turn") << "Bea" << "0 3 1 2"
            << "Mismatch: boxes 1 0, turned 4, up 4, mismatches 1, disabled, timer; "
               "[Ana black] [Turno Bea red]";
        QTest::newRow("back to player 1") << "Bea" << "0 1 t 1 2"
            << "Mismatch: boxes 0 0, turned 4, up 2, mismatches 2, disabled, timer; "
               "[Turno Ana red] [Bea black]";
        QTest::newRow("same names") << "Ana" << "0 1 t 2 5"
            << "Match: boxes 0 1, turned 4, up 2, mismatches 1; [Ana black] [Turno Ana red]";
    }
    void rules()
    {
        QFETCH(QString, player2);
        QFETCH(QString, script);
        QFETCH(QString, shown);
        CardGame g = newGame(player2, 3, {"0", "1", "2", "0", "1", "2"});
        SeededRandom random;
        const char *const clicks[] = {"Ignored", "FirstCard", "Match", "LastPair", "Mismatch"};
        const char *const ticks[] = {"Nothing", "TurnedBack", "GameFinished"};
        const char *last = "";
        for (const QString &step : script.split(u' ')) {
            if (step.startsWith(u'm'))
                Module1::MismatchCount = qint16(step.mid(1).toInt());
            else
                last = step == u"t" ? ticks[int(g.tick())]
                                    : clicks[int(g.click(step.toInt(), random).outcome)];
        }
        QCOMPARE(QStringLiteral("%1: boxes %2 %3, turned %4, up %5, mismatches %6%7%8%9; %10 %11")
                     .arg(QLatin1String(last), g.pairText[0], g.pairText[1])
                     .arg(g.CardsTurned)
                     .arg(g.faceUpCount())
                     .arg(Module1::MismatchCount)
                     .arg(QLatin1String(g.enabled ? "" : ", disabled"),
                          QLatin1String(g.timerRunning ? ", timer" : ""),
                          QLatin1String(g.GameOver ? ", over" : ""), label(g, 0), label(g, 1)),
                 shown);
    }

    void randomGames_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("player2");
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 2u, 3u})
            for (int option : {0, 2, 4}) {
                QTest::addRow("option %d, one, seed %u", option, seed) << option << "" << seed;
                QTest::addRow("option %d, two, seed %u", option, seed) << option << "Bea" << seed;
            }
    }
    void randomGames()
    {
        QFETCH(int, option);
        QFETCH(QString, player2);
        QFETCH(quint32, seed);
        SeededRandom random(seed);
        const int pairs = Deck::SetPairCount(option);
        CardGame g = newGame(player2, pairs, Deck::DealCards(pairs, 60, random, {}).CardPicture);
        // The model.
        std::array<bool, kMaxSlots> up{};
        int turned = 0, first = -1, second = -1, mismatches = 0, player = 0;
        int boxes[2] = {0, 0};
        bool showing = false;
        std::mt19937 rng(seed);
        for (int step = 0; !g.GameOver; ++step) {
            QVERIFY2(step < 100000, "the game never ended");
            const int slot = int(rng() % unsigned(2 * pairs + 3)) - 1; // -1 .. 2 × pairs + 1
            if (rng() % 8 == 0) {
                QCOMPARE(g.tick(), showing ? CardGame::Tick::TurnedBack : CardGame::Tick::Nothing);
                if (std::exchange(showing, false))
                    up[first] = up[second] = false;
            } else if (!showing && slot >= 0 && slot < 2 * pairs && !up[slot]) {
                const CardGame::Click c = g.click(slot, random);
                up[slot] = true;
                if (++turned % 2 == 1) {
                    first = slot;
                } else if (g.CardPicture[slot] == g.CardPicture[first]) {
                    ++boxes[player];
                    QVERIFY2(c.matchCue >= 1 && c.matchCue <= 12, "a match cue out of 1..12");
                } else {
                    second = slot;
                    ++mismatches;
                    showing = true;
                    player = player2.isEmpty() ? 0 : 1 - player;
                }
            } else {
                QCOMPARE(g.click(slot, random).outcome, CardGame::ClickOutcome::Ignored);
            }
            QCOMPARE(g.CardsTurned, qint64(turned));
            QVERIFY(g.faceUp == up);
            QCOMPARE(g.PairsFound, boxes[0] + boxes[1]);
            QCOMPARE(g.pairText[0], QString::number(boxes[0]));
            QCOMPARE(g.pairText[1], QString::number(boxes[1]));
            QCOMPARE(int(Module1::MismatchCount), mismatches);
            QCOMPARE(g.enabled, !showing);
            QCOMPARE(g.turnLabel[player], g.turnCaption(player ? player2 : Module1::Player1Name));
        }
        QCOMPARE(g.PairsFound, pairs);
        QCOMPARE(g.tick(), CardGame::Tick::GameFinished);
    }
};

QTEST_GUILESS_MAIN(TestCardGame)
#include "test_card_game.moc"
