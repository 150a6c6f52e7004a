// The game's rules: random games on dealt boards, every click and tick checked against a model
// (cards turned and face up, pairs, boxes, mismatches, turn labels and colours, the end); then what
// a game gives: the pair counts read from their boxes, the series points, the cue, the lines.
#include <QtTest>

#include <random>

#include "board_grid.h"
#include "card_game.h"
#include "module1.h"
#include "random_source.h"
#include "results.h"

using Game = std::tuple<int, QString, quint32, int>; ///< option, player 2, seed, mismatches before

/// The pair boxes' texts split at '|', players 1 and 2's series points before and after, the cue.
using Award = std::tuple<const char *, QPoint, QPoint, const char *>;

class TestCardGame : public QObject
{
    Q_OBJECT
private slots:
    void randomGames_data()
    {
        QTest::addColumn<Game>("game");
        for (quint32 seed : {1u, 2u, 3u})
            for (int o : {0, 2, 4}) {
                QTest::addRow("option %d, one, seed %u", o, seed) << Game{o, "", seed, 0};
                QTest::addRow("option %d, two, seed %u", o, seed) << Game{o, "Bea", seed, 0};
            }
        QTest::newRow("same names") << Game{1, "Ana", 4u, 0};
        // A long two-player series never resets the count: it stops at its limit.
        QTest::newRow("mismatches near the limit") << Game{3, "Bea", 5u, 32760};
    }
    void randomGames()
    {
        QFETCH(Game, game);
        const auto [option, player2, seed, before] = game;
        const QString names[] = {u"Ana"_qs, player2};
        Module1::reset();
        Module1::Player1Name = names[0];
        Module1::Player2Name = player2;
        Module1::MismatchCount = qint16(before);
        SeededRandom random(seed);
        // The board's start: player 1 has the turn.
        CardGame g;
        const int pairs = g.TotalPairs = Deck::SetPairCount(option);
        g.CardPicture = Deck::DealCards(pairs, 60, random, {}).CardPicture;
        g.TurnPrefix = QStringLiteral("Turno");
        g.turnLabel = {g.turnCaption(names[0]), player2};
        std::array<bool, kMaxSlots> up{};
        int turned = 0, first = -1, second = -1, mismatches = before, player = 0, boxes[2] = {};
        bool showing = false, passed = false;
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
                    mismatches = qMin(mismatches + 1, 32767);
                    showing = true;
                    // Two players: the turn passes at once, before the cards turn back.
                    passed = passed || !player2.isEmpty();
                    player = player2.isEmpty() ? 0 : 1 - player;
                }
            } else {
                QCOMPARE(g.click(slot, random).outcome, CardGame::ClickOutcome::Ignored);
            }
            QCOMPARE(g.CardsTurned, qint64(turned));
            QVERIFY(g.faceUp == up);
            QCOMPARE(g.PairsFound, boxes[0] + boxes[1]);
            QCOMPARE(int(Module1::MismatchCount), mismatches);
            QCOMPARE(g.enabled, !showing);
            // Each player's pair box; red with TurnPrefix for the player in turn, the bare name in
            // black for the other; the labels keep their first colour until the turn first passes.
            for (int i : {0, 1}) {
                QCOMPARE(g.pairText[i], QString::number(boxes[i]));
                QCOMPARE(g.turnLabel[i], i == player ? g.turnCaption(names[i]) : names[i]);
                const auto colour = i == player ? kTurnRed : kTurnBlack;
                QCOMPARE(g.turnColour[i], passed ? std::optional(colour) : std::nullopt);
            }
        }
        QCOMPARE(g.PairsFound, pairs);
        QCOMPARE(g.tick(), CardGame::Tick::GameFinished);
    }
    void points_data()
    {
        QTest::addColumn<Award>("award");
        const int max = std::numeric_limits<qint32>::max();
        QTest::newRow("7 against 5") << Award{"7|5", {3, 4}, {5, 4}, "ganador"};
        QTest::newRow("5 against 7") << Award{"5|7", {3, 4}, {3, 6}, "ganador"};
        QTest::newRow("draw") << Award{"6|6", {3, 4}, {4, 5}, "empate"};
        QTest::newRow("one player") << Award{"6|0", {0, 0}, {2, 0}, "ganador"};
        // A box is read as the number at its start.
        QTest::newRow("blanks, letters") << Award{" \t12abc|12", {0, 0}, {1, 1}, "empate"};
        QTest::newRow("no number") << Award{"x12|", {0, 0}, {1, 1}, "empate"};
        QTest::newRow("sign") << Award{"-3|0", {0, 0}, {0, 2}, "ganador"};
        QTest::newRow("comma") << Award{"12,5|12", {0, 0}, {1, 1}, "empate"};
        // A sum past the type of the points (16 bits for player 2) is left out.
        QTest::newRow("player 2 at the limit") << Award{"6|6", {0, 32767}, {1, 32767}, "empate"};
        QTest::newRow("player 2 one below") << Award{"5|7", {0, 32766}, {0, 32766}, "ganador"};
        QTest::newRow("player 1 one below") << Award{"7|5", {max - 1, 0}, {max - 1, 0}, "ganador"};
        QTest::newRow("player 1 one below, draw") << Award{"6|6", {max - 1, 0}, {max, 1}, "empate"};
    }
    void points()
    {
        QFETCH(Award, award);
        const auto [texts, before, after, cue] = award;
        Module1::Player1Points = before.x();
        Module1::Player2Points = qint16(before.y());
        const QStringList boxes = QString::fromLatin1(texts).split(u'|');
        const Results::Outcome outcome = Results::awardPoints(Val(boxes[0]), Val(boxes[1]));
        QCOMPARE(QPoint(Module1::Player1Points, Module1::Player2Points), after);
        QCOMPARE(Results::cueFor(outcome), QLatin1String(cue));
    }
    void lines()
    {
        // From the result texts of the language file, whose lines may be missing; two blanks
        // before the points, one everywhere else. One player: 10 pairs and 4 mismatches.
        const QStringList all{"lo ha conseguido en", "intentos", "ha encontrado", "parejas. Lleva",
                              "puntos"};
        const QString ana = u"Ana"_qs, seven = u"7"_qs;
        const int attempts = pairsForOption(1) + 4;
        using namespace Results;
        QCOMPARE(onePlayerLine(ana, all, attempts), "Ana lo ha conseguido en 14 intentos");
        QCOMPARE(onePlayerLine(ana, all.mid(0, 1), attempts), "Ana lo ha conseguido en 14 ");
        QCOMPARE(twoPlayerLine(ana, all, seven, 2), "Ana ha encontrado 7 parejas. Lleva  2 puntos");
        QCOMPARE(twoPlayerLine(ana, all.mid(0, 3), seven, 1), "Ana ha encontrado 7   1 ");
    }
};

QTEST_GUILESS_MAIN(TestCardGame)
#include "test_card_game.moc"
