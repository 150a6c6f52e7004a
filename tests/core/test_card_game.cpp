// One game on the board: clicks, matches, mismatches, whose turn it is and the flip-back timer.

#include <QtTest>

#include <limits>
#include <random>

#include "card_game.h"
#include "module1.h"
#include "random_source.h"
#include "scripted_random.h"

namespace {

/// Sets the board up the way the board screen does at its start. Slots k and k + pairs carry the
/// same picture, so slot k's partner is always known.
void setUpBoard(CardGame &game, int pairs, const QString &prefix = QStringLiteral("Turno"))
{
    game.TotalPairs = pairs;
    for (int k = 0; k < 2 * pairs; ++k)
        game.CardPicture[k] = QString::number(100 + k % pairs);
    game.TurnPrefix = prefix;
    game.turnLabel[0] = prefix + QLatin1Char(' ') + Module1::Player1Name;
    if (!Module1::Player2Name.isEmpty())
        game.turnLabel[1] = Module1::Player2Name;
}

int partnerOf(const CardGame &game, int slot)
{
    return slot < game.TotalPairs ? slot + game.TotalPairs : slot - game.TotalPairs;
}

/// Everything a click may change, to tell that an ignored click changed nothing.
struct Snapshot
{
    int totalPairs, pairsFound;
    qint64 cardsTurned;
    int firstCard, secondCard, player1Pairs, player2Pairs;
    bool gameOver, enabled, timerRunning;
    QStringList cardPicture;
    std::array<bool, kMaxSlots> faceUp;
    std::array<QString, 2> turnLabel, pairText;
    std::array<std::optional<quint32>, 2> turnColour;
    qint16 mismatchCount;

    explicit Snapshot(const CardGame &g)
        : totalPairs(g.TotalPairs), pairsFound(g.PairsFound), cardsTurned(g.CardsTurned),
          firstCard(g.FirstCard), secondCard(g.SecondCard), player1Pairs(g.Player1Pairs),
          player2Pairs(g.Player2Pairs), gameOver(g.GameOver), enabled(g.enabled),
          timerRunning(g.timerRunning), cardPicture(g.CardPicture), faceUp(g.faceUp),
          turnLabel(g.turnLabel), pairText(g.pairText), turnColour(g.turnColour),
          mismatchCount(Module1::MismatchCount)
    {
    }
    bool operator==(const Snapshot &) const = default;
};

} // namespace

class TestCardGame : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void ignoredClick_data();
    void ignoredClick();
    void firstCard();
    void matchCue_data();
    void matchCue();
    void pairCredit_data();
    void pairCredit();
    void mismatch_data();
    void mismatch();
    void turnPassesOnMismatch_data();
    void turnPassesOnMismatch();
    void tick_data();
    void tick();
    void lastPair_data();
    void lastPair();
    void mismatchCountSaturates_data();
    void mismatchCountSaturates();
    void randomPlay_data();
    void randomPlay();
};

void TestCardGame::init()
{
    Module1::reset();
}

void TestCardGame::ignoredClick_data()
{
    QTest::addColumn<QString>("player2");
    QTest::addColumn<QList<int>>("before");
    QTest::addColumn<int>("index");

    // 6 pairs: slots 0..11, slot k matches slot k + 6.
    for (const QString &player2 : {QString(), QStringLiteral("Bea")}) {
        const char *mode = player2.isEmpty() ? "one player" : "two players";
        QTest::addRow("%s: slot -1", mode) << player2 << QList<int>{} << -1;
        QTest::addRow("%s: slot 2N", mode) << player2 << QList<int>{} << 12;
        QTest::addRow("%s: slot 41 not on a 6-pair board", mode) << player2 << QList<int>{} << 41;
        QTest::addRow("%s: slot 42", mode) << player2 << QList<int>{} << 42;
        QTest::addRow("%s: far outside", mode) << player2 << QList<int>{} << 100000;
        QTest::addRow("%s: outside, first card up", mode) << player2 << QList<int>{3} << 12;
        QTest::addRow("%s: the first card again", mode) << player2 << QList<int>{3} << 3;
        QTest::addRow("%s: a found card", mode) << player2 << QList<int>{0, 6} << 6;
        QTest::addRow("%s: a found card as second card", mode)
            << player2 << QList<int>{0, 6, 1} << 0;
        QTest::addRow("%s: disabled after a mismatch", mode) << player2 << QList<int>{0, 1} << 2;
        QTest::addRow("%s: a mismatched card while disabled", mode)
            << player2 << QList<int>{0, 1} << 1;
    }
}

void TestCardGame::ignoredClick()
{
    QFETCH(QString, player2);
    QFETCH(QList<int>, before);
    QFETCH(int, index);

    Module1::Player1Name = QStringLiteral("Ana");
    Module1::Player2Name = player2;
    CardGame game;
    setUpBoard(game, 6);
    SeededRandom random(1);
    for (int slot : before)
        QVERIFY(game.click(slot, random).outcome != CardGame::ClickOutcome::Ignored);

    const Snapshot was(game);
    ScriptedRandom untouched;
    const CardGame::Click c = game.click(index, untouched);
    QCOMPARE(c.outcome, CardGame::ClickOutcome::Ignored);
    QCOMPARE(c.matchCue, 0);
    QVERIFY(Snapshot(game) == was);
    QCOMPARE(untouched.drawsTaken(), 0);
}

void TestCardGame::firstCard()
{
    Module1::Player1Name = QStringLiteral("Ana");
    CardGame game;
    setUpBoard(game, 6);
    ScriptedRandom random;

    const CardGame::Click c = game.click(11, random);
    QCOMPARE(c.outcome, CardGame::ClickOutcome::FirstCard);
    QCOMPARE(game.CardsTurned, qint64(1));
    QCOMPARE(game.FirstCard, 11);
    QVERIFY(game.faceUp[11]);
    QCOMPARE(game.faceUpCount(), 1);
    QVERIFY(game.enabled);
    QVERIFY(!game.timerRunning);
    QCOMPARE(game.PairsFound, 0);
    QCOMPARE(random.drawsTaken(), 0);
}

void TestCardGame::matchCue_data()
{
    QTest::addColumn<float>("draw");
    QTest::addColumn<int>("cue");

    QTest::newRow("draw 0") << 0.0f << 1;
    QTest::newRow("draw 0.999") << 0.999f << 12;
    QTest::newRow("draw just under 1") << std::nextafter(1.0f, 0.0f) << 12;
    QTest::newRow("draw 0.5") << 0.5f << 7;
    QTest::newRow("draw for the 6th cue") << drawFor(5, 12) << 6;
    QTest::newRow("just under 1/12") << 0.083f << 1;
    QTest::newRow("1/12") << 1.0f / 12.0f << 2;
}

void TestCardGame::matchCue()
{
    QFETCH(float, draw);
    QFETCH(int, cue);

    Module1::Player1Name = QStringLiteral("Ana");
    CardGame game;
    setUpBoard(game, 6);
    ScriptedRandom random({draw});

    QCOMPARE(game.click(2, random).outcome, CardGame::ClickOutcome::FirstCard);
    const CardGame::Click c = game.click(8, random);
    QCOMPARE(c.outcome, CardGame::ClickOutcome::Match);
    QCOMPARE(c.matchCue, cue);
    QCOMPARE(random.drawsTaken(), 1);
    QCOMPARE(game.SecondCard, qint16(8));
    QCOMPARE(game.PairsFound, 1);
    QCOMPARE(game.CardsTurned, qint64(2));
    QCOMPARE(game.faceUpCount(), 2);
    QVERIFY(game.enabled);
    QVERIFY(!game.timerRunning);
    QVERIFY(!game.GameOver);
}

void TestCardGame::pairCredit_data()
{
    QTest::addColumn<QString>("player1");
    QTest::addColumn<QString>("player2");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("mismatchesBefore");
    QTest::addColumn<int>("credited"); ///< player 1 or 2

    QTest::newRow("one player") << "Ana"
                                << ""
                                << "Turno" << 0 << 1;
    QTest::newRow("one player after mismatches") << "Ana"
                                                 << ""
                                                 << "Turno" << 3 << 1;
    QTest::newRow("one player, empty prefix") << "Ana"
                                              << ""
                                              << "" << 1 << 1;
    QTest::newRow("two players, first turn") << "Ana"
                                             << "Bea"
                                             << "Turno" << 0 << 1;
    QTest::newRow("two players, after a mismatch") << "Ana"
                                                   << "Bea"
                                                   << "Turno" << 1 << 2;
    QTest::newRow("two players, after two mismatches") << "Ana"
                                                       << "Bea"
                                                       << "Turno" << 2 << 1;
    QTest::newRow("two players, after five mismatches") << "Ana"
                                                        << "Bea"
                                                        << "Turno" << 5 << 2;
    QTest::newRow("same names, first turn") << "Ana"
                                            << "Ana"
                                            << "Turno" << 0 << 1;
    QTest::newRow("same names, after a mismatch") << "Ana"
                                                  << "Ana"
                                                  << "Turno" << 1 << 2;
    QTest::newRow("same names, after two mismatches") << "Ana"
                                                      << "Ana"
                                                      << "Turno" << 2 << 1;
    QTest::newRow("empty prefix, first turn") << "Ana"
                                              << "Bea"
                                              << "" << 0 << 1;
    QTest::newRow("empty prefix, after a mismatch") << "Ana"
                                                    << "Bea"
                                                    << "" << 1 << 2;
    QTest::newRow("empty prefix, same names") << "Ana"
                                              << "Ana"
                                              << "" << 1 << 2;
    QTest::newRow("names with blanks") << "Ana Mar"
                                       << "Mar"
                                       << "Le toca a" << 1 << 2;
}

void TestCardGame::pairCredit()
{
    QFETCH(QString, player1);
    QFETCH(QString, player2);
    QFETCH(QString, prefix);
    QFETCH(int, mismatchesBefore);
    QFETCH(int, credited);

    Module1::Player1Name = player1;
    Module1::Player2Name = player2;
    CardGame game;
    setUpBoard(game, 6, prefix);
    SeededRandom random(3);

    for (int i = 0; i < mismatchesBefore; ++i) {
        QCOMPARE(game.click(0, random).outcome, CardGame::ClickOutcome::FirstCard);
        QCOMPARE(game.click(1, random).outcome, CardGame::ClickOutcome::Mismatch);
        QCOMPARE(game.tick(), CardGame::Tick::TurnedBack);
    }
    const auto labels = game.turnLabel;

    // Two pairs in a row: a match keeps the turn.
    for (int found = 1; found <= 2; ++found) {
        const int slot = 1 + found;
        QCOMPARE(game.click(slot, random).outcome, CardGame::ClickOutcome::FirstCard);
        QCOMPARE(game.click(partnerOf(game, slot), random).outcome, CardGame::ClickOutcome::Match);
        QCOMPARE(game.PairsFound, found);
        QCOMPARE(game.Player1Pairs, credited == 1 ? found : 0);
        QCOMPARE(int(game.Player2Pairs), credited == 2 ? found : 0);
        QCOMPARE(game.pairText[0], QString::number(credited == 1 ? found : 0));
        QCOMPARE(game.pairText[1], QString::number(credited == 2 ? found : 0));
        QCOMPARE(game.turnLabel, labels);
    }
    QCOMPARE(int(Module1::MismatchCount), mismatchesBefore);
}

void TestCardGame::mismatch_data()
{
    QTest::addColumn<QString>("player2");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");

    QTest::newRow("one player") << "" << 0 << 1;
    QTest::newRow("one player, last slot") << "" << 11 << 4;
    QTest::newRow("two players") << "Bea" << 0 << 1;
    QTest::newRow("two players, last slot") << "Bea" << 11 << 4;
}

void TestCardGame::mismatch()
{
    QFETCH(QString, player2);
    QFETCH(int, first);
    QFETCH(int, second);

    Module1::Player1Name = QStringLiteral("Ana");
    Module1::Player2Name = player2;
    CardGame game;
    setUpBoard(game, 6);
    SeededRandom random(5);

    QCOMPARE(game.click(first, random).outcome, CardGame::ClickOutcome::FirstCard);
    const CardGame::Click c = game.click(second, random);
    QCOMPARE(c.outcome, CardGame::ClickOutcome::Mismatch);
    QCOMPARE(int(Module1::MismatchCount), 1);
    QCOMPARE(game.PairsFound, 0);
    QCOMPARE(game.Player1Pairs, 0);
    QCOMPARE(int(game.Player2Pairs), 0);
    QCOMPARE(game.pairText[0], QStringLiteral("0"));
    QCOMPARE(game.pairText[1], QStringLiteral("0"));
    QVERIFY(game.faceUp[first]);
    QVERIFY(game.faceUp[second]);
    QCOMPARE(game.faceUpCount(), 2);
    QVERIFY(!game.enabled);
    QVERIFY(game.timerRunning);
    QVERIFY(!game.GameOver);
    if (player2.isEmpty()) {
        // One player: the label and its colour stay as they were.
        QCOMPARE(game.turnLabel[0], QStringLiteral("Turno Ana"));
        QVERIFY(!game.turnColour[0].has_value());
        QVERIFY(!game.turnColour[1].has_value());
    }
}

void TestCardGame::turnPassesOnMismatch_data()
{
    QTest::addColumn<QString>("player1");
    QTest::addColumn<QString>("player2");
    QTest::addColumn<QString>("prefix");

    QTest::newRow("different names") << "Ana"
                                     << "Bea"
                                     << "Turno";
    QTest::newRow("same names") << "Ana"
                                << "Ana"
                                << "Turno";
    QTest::newRow("empty prefix") << "Ana"
                                  << "Bea"
                                  << "";
}

void TestCardGame::turnPassesOnMismatch()
{
    QFETCH(QString, player1);
    QFETCH(QString, player2);
    QFETCH(QString, prefix);

    Module1::Player1Name = player1;
    Module1::Player2Name = player2;
    CardGame game;
    setUpBoard(game, 6, prefix);
    SeededRandom random(9);
    const QString caption1 = prefix + QLatin1Char(' ') + player1;
    const QString caption2 = prefix + QLatin1Char(' ') + player2;
    QCOMPARE(game.turnLabel[0], caption1);

    for (int round = 1; round <= 4; ++round) {
        QCOMPARE(game.click(3, random).outcome, CardGame::ClickOutcome::FirstCard);
        QCOMPARE(game.click(5, random).outcome, CardGame::ClickOutcome::Mismatch);
        const bool player2Next = round % 2 == 1;
        // The turn passes at once, before the cards are turned back.
        QCOMPARE(game.turnLabel[0], player2Next ? player1 : caption1);
        QCOMPARE(game.turnLabel[1], player2Next ? caption2 : player2);
        QCOMPARE(game.turnColour[0], std::optional<quint32>(player2Next ? 0x000000u : 0x0000FFu));
        QCOMPARE(game.turnColour[1], std::optional<quint32>(player2Next ? 0x0000FFu : 0x000000u));
        const auto labels = game.turnLabel;
        const auto colours = game.turnColour;
        QCOMPARE(game.tick(), CardGame::Tick::TurnedBack);
        QCOMPARE(game.turnLabel, labels);
        QCOMPARE(game.turnColour, colours);
        QCOMPARE(int(Module1::MismatchCount), round);
    }
}

void TestCardGame::tick_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<CardGame::Tick>("tick");
    QTest::addColumn<int>("faceUpAfter");

    // 3 pairs: slots 0..5, slot k matches slot k + 3.
    QTest::newRow("nothing turned") << QList<int>{} << CardGame::Tick::Nothing << 0;
    QTest::newRow("first card up") << QList<int>{1} << CardGame::Tick::Nothing << 1;
    QTest::newRow("after a match") << QList<int>{0, 3} << CardGame::Tick::Nothing << 2;
    QTest::newRow("after a mismatch") << QList<int>{0, 1} << CardGame::Tick::TurnedBack << 0;
    QTest::newRow("after a match and a mismatch")
        << QList<int>{1, 4, 2, 0} << CardGame::Tick::TurnedBack << 2;
    QTest::newRow("after the last pair")
        << QList<int>{0, 3, 1, 4, 2, 5} << CardGame::Tick::GameFinished << 6;
}

void TestCardGame::tick()
{
    QFETCH(QList<int>, clicks);
    QFETCH(CardGame::Tick, tick);
    QFETCH(int, faceUpAfter);

    Module1::Player1Name = QStringLiteral("Ana");
    Module1::Player2Name = QStringLiteral("Bea");
    CardGame game;
    setUpBoard(game, 3);
    SeededRandom random(11);
    for (int slot : clicks)
        QVERIFY(game.click(slot, random).outcome != CardGame::ClickOutcome::Ignored);

    QCOMPARE(game.tick(), tick);
    QCOMPARE(game.faceUpCount(), faceUpAfter);
    QVERIFY(!game.timerRunning);
    QVERIFY(game.enabled);
    QCOMPARE(game.GameOver, tick == CardGame::Tick::GameFinished);
    // The timer fires once.
    QCOMPARE(game.tick(), CardGame::Tick::Nothing);
    QCOMPARE(game.faceUpCount(), faceUpAfter);

    if (tick == CardGame::Tick::TurnedBack) {
        // The mismatched cards can be turned again.
        const int last = clicks.last();
        QCOMPARE(game.click(last, random).outcome, CardGame::ClickOutcome::FirstCard);
    }
}

void TestCardGame::lastPair_data()
{
    QTest::addColumn<int>("pairs");
    QTest::addColumn<QString>("player2");

    QTest::newRow("1 pair") << 1 << "";
    QTest::newRow("6 pairs, one player") << 6 << "";
    QTest::newRow("6 pairs, two players") << 6 << "Bea";
    QTest::newRow("21 pairs, two players") << 21 << "Bea";
}

void TestCardGame::lastPair()
{
    QFETCH(int, pairs);
    QFETCH(QString, player2);

    Module1::Player1Name = QStringLiteral("Ana");
    Module1::Player2Name = player2;
    CardGame game;
    setUpBoard(game, pairs);
    ScriptedRandom random;

    for (int p = pairs - 1; p >= 0; --p) {
        QCOMPARE(game.click(p + pairs, random).outcome, CardGame::ClickOutcome::FirstCard);
        const CardGame::Click c = game.click(p, random);
        QCOMPARE(c.outcome,
                 p == 0 ? CardGame::ClickOutcome::LastPair : CardGame::ClickOutcome::Match);
        QVERIFY(c.matchCue >= 1 && c.matchCue <= 12);
        QCOMPARE(game.GameOver, p == 0);
        QCOMPARE(game.timerRunning, p == 0);
        QVERIFY(game.enabled);
    }
    QCOMPARE(game.PairsFound, pairs);
    QCOMPARE(game.Player1Pairs, pairs);
    QCOMPARE(game.faceUpCount(), 2 * pairs);
    QCOMPARE(game.pairText[0], QString::number(pairs));
    QCOMPARE(game.CardsTurned, qint64(2 * pairs));
    // Nothing is left to click while the results are due.
    QCOMPARE(game.click(0, random).outcome, CardGame::ClickOutcome::Ignored);
    QCOMPARE(game.tick(), CardGame::Tick::GameFinished);
    QVERIFY(!game.timerRunning);
}

void TestCardGame::mismatchCountSaturates_data()
{
    QTest::addColumn<QString>("player2");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("after");

    for (const QString &player2 : {QString(), QStringLiteral("Bea")}) {
        const char *mode = player2.isEmpty() ? "one player" : "two players";
        QTest::addRow("%s: 32765", mode) << player2 << 32765 << 32767;
        QTest::addRow("%s: 32766", mode) << player2 << 32766 << 32767;
        QTest::addRow("%s: 32767", mode) << player2 << 32767 << 32767;
        QTest::addRow("%s: 0", mode) << player2 << 0 << 2;
    }
}

void TestCardGame::mismatchCountSaturates()
{
    QFETCH(QString, player2);
    QFETCH(int, start);
    QFETCH(int, after);

    Module1::Player1Name = QStringLiteral("Ana");
    Module1::Player2Name = player2;
    Module1::MismatchCount = static_cast<qint16>(start);
    CardGame game;
    setUpBoard(game, 6);
    SeededRandom random(13);

    for (int i = 0; i < 2; ++i) {
        QCOMPARE(game.click(0, random).outcome, CardGame::ClickOutcome::FirstCard);
        QCOMPARE(game.click(1, random).outcome, CardGame::ClickOutcome::Mismatch);
        QCOMPARE(game.tick(), CardGame::Tick::TurnedBack);
    }
    QCOMPARE(int(Module1::MismatchCount), after);
}

void TestCardGame::randomPlay_data()
{
    QTest::addColumn<int>("pairs");
    QTest::addColumn<bool>("twoPlayers");
    QTest::addColumn<quint32>("seed");

    for (int pairs : {1, 6, 10, 12, 15, 21}) {
        for (bool twoPlayers : {false, true}) {
            for (quint32 seed : {1u, 2u, 3u, 2024u}) {
                QTest::addRow("%d pairs, %s, seed %u", pairs, twoPlayers ? "two" : "one", seed)
                    << pairs << twoPlayers << seed;
            }
        }
    }
}

void TestCardGame::randomPlay()
{
    QFETCH(int, pairs);
    QFETCH(bool, twoPlayers);
    QFETCH(quint32, seed);

    Module1::Player1Name = QStringLiteral("Ana");
    Module1::Player2Name = twoPlayers ? QStringLiteral("Bea") : QString();
    CardGame game;
    setUpBoard(game, pairs);
    // Shuffle the pictures so that partners are not at a fixed distance.
    std::mt19937 rng(seed);
    std::shuffle(game.CardPicture.begin(), game.CardPicture.begin() + 2 * pairs, rng);
    QList<int> partner(2 * pairs, -1);
    for (int a = 0; a < 2 * pairs; ++a) {
        for (int b = 0; b < 2 * pairs; ++b) {
            if (a != b && game.CardPicture[a] == game.CardPicture[b])
                partner[a] = b;
        }
    }
    SeededRandom random(seed);

    int matches = 0;
    int steps = 0;
    while (!game.GameOver) {
        QVERIFY2(++steps < 1000000, "the game never ended");
        const int slot = std::uniform_int_distribution<int>(-2, 2 * pairs + 1)(rng);
        const bool wasUp = game.hasSlot(slot) && game.faceUp[slot];
        const qint64 turned = game.CardsTurned;
        const CardGame::Click c = game.click(slot, random);
        const QString where = QStringLiteral("step %1, slot %2").arg(steps).arg(slot);

        QVERIFY2((c.outcome == CardGame::ClickOutcome::Ignored) == (!game.hasSlot(slot) || wasUp),
                 qPrintable(where));
        QCOMPARE(game.CardsTurned, turned + (c.outcome == CardGame::ClickOutcome::Ignored ? 0 : 1));
        if (c.outcome == CardGame::ClickOutcome::Match
            || c.outcome == CardGame::ClickOutcome::LastPair) {
            ++matches;
            QVERIFY2(c.matchCue >= 1 && c.matchCue <= 12, qPrintable(where));
        }
        if (c.outcome == CardGame::ClickOutcome::Mismatch) {
            QCOMPARE(game.faceUpCount(), 2 * game.PairsFound + 2);
            QCOMPARE(game.tick(), CardGame::Tick::TurnedBack);
        }

        const int turnUp = game.CardsTurned % 2 == 1 ? 1 : 0;
        QVERIFY2(game.faceUpCount() == 2 * game.PairsFound + turnUp, qPrintable(where));
        QCOMPARE(game.PairsFound, matches);
        QCOMPARE(game.Player1Pairs + int(game.Player2Pairs), game.PairsFound);
        QCOMPARE(game.pairText[0], QString::number(game.Player1Pairs));
        QCOMPARE(game.pairText[1], QString::number(game.Player2Pairs));
        if (!twoPlayers)
            QCOMPARE(int(game.Player2Pairs), 0);
        // Every face-up card but the first card of a turn lies beside its partner.
        for (int s = 0; s < 2 * pairs; ++s) {
            if (!game.faceUp[s] || (turnUp && s == game.FirstCard))
                continue;
            QVERIFY2(game.faceUp[partner[s]], qPrintable(where));
        }
    }

    QCOMPARE(game.PairsFound, pairs);
    QCOMPARE(game.Player1Pairs + int(game.Player2Pairs), pairs);
    QCOMPARE(game.faceUpCount(), 2 * pairs);
    // Each turn is a found pair or a mismatch: the attempts of a one-player game.
    QCOMPARE(game.CardsTurned / 2, qint64(pairs + Module1::MismatchCount));
    QVERIFY(game.timerRunning);
    QCOMPARE(game.tick(), CardGame::Tick::GameFinished);
}

QTEST_GUILESS_MAIN(TestCardGame)
#include "test_card_game.moc"
