// The results of a game: reading the pair counts, the series points and the results lines.

#include <QtTest>

#include <limits>

#include "module1.h"
#include "results.h"

namespace {

const QStringList kResultText{QStringLiteral("lo ha conseguido en"), QStringLiteral("intentos"),
                              QStringLiteral("ha encontrado"), QStringLiteral("parejas. Lleva"),
                              QStringLiteral("puntos")};

constexpr qint32 kMaxInt32 = std::numeric_limits<qint32>::max();

} // namespace

class TestResults : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void val_data();
    void val();
    void awardPoints_data();
    void awardPoints();
    void onePlayerLine_data();
    void onePlayerLine();
    void twoPlayerLine_data();
    void twoPlayerLine();
    void cueFor_data();
    void cueFor();
};

void TestResults::init()
{
    Module1::reset();
}

void TestResults::val_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");

    QTest::newRow("whole number") << "7" << 7.0;
    QTest::newRow("blanks before, letters after") << "  12abc" << 12.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("negative") << "-3" << -3.0;
    QTest::newRow("decimal before letters") << "2.5x" << 2.5;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("second point ends the number") << "12.5.3" << 12.5;
    QTest::newRow("trailing blank") << "21 " << 21.0;
    QTest::newRow("tab before") << "\t9" << 9.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("blanks only") << "   " << 0.0;
    QTest::newRow("letters before digits") << "x12" << 0.0;
    QTest::newRow("leading zeros") << "007" << 7.0;
    QTest::newRow("two-digit pair count") << "21" << 21.0;
}

void TestResults::val()
{
    QFETCH(QString, text);
    QFETCH(double, value);

    QCOMPARE(Val(text), value);
}

void TestResults::awardPoints_data()
{
    QTest::addColumn<double>("pairs1");
    QTest::addColumn<double>("pairs2");
    QTest::addColumn<qint32>("points1Before");
    QTest::addColumn<int>("points2Before");
    QTest::addColumn<Results::Outcome>("outcome");
    QTest::addColumn<qint32>("points1After");
    QTest::addColumn<int>("points2After");

    using O = Results::Outcome;
    QTest::newRow("player 1 wins") << 7.0 << 5.0 << 0 << 0 << O::Player1Wins << 2 << 0;
    QTest::newRow("player 2 wins") << 5.0 << 7.0 << 0 << 0 << O::Player2Wins << 0 << 2;
    QTest::newRow("draw") << 6.0 << 6.0 << 0 << 0 << O::Draw << 1 << 1;
    QTest::newRow("one player") << 6.0 << 0.0 << 0 << 0 << O::Player1Wins << 2 << 0;
    QTest::newRow("series points add up") << 12.0 << 9.0 << 4 << 6 << O::Player1Wins << 6 << 6;
    QTest::newRow("by one pair") << 10.0 << 11.0 << 3 << 3 << O::Player2Wins << 3 << 5;
    // Player 2's points stop at 32767.
    QTest::newRow("player 2 at 32766, draw") << 6.0 << 6.0 << 0 << 32766 << O::Draw << 1 << 32767;
    QTest::newRow("player 2 at 32767, draw") << 6.0 << 6.0 << 0 << 32767 << O::Draw << 1 << 32767;
    QTest::newRow("player 2 at 32765, wins")
        << 5.0 << 7.0 << 0 << 32765 << O::Player2Wins << 0 << 32767;
    QTest::newRow("player 2 at 32766, wins")
        << 5.0 << 7.0 << 0 << 32766 << O::Player2Wins << 0 << 32766;
    QTest::newRow("player 2 at 32767, wins")
        << 5.0 << 7.0 << 0 << 32767 << O::Player2Wins << 0 << 32767;
    QTest::newRow("player 2 at 32767, player 1 wins")
        << 7.0 << 5.0 << 0 << 32767 << O::Player1Wins << 2 << 32767;
    // Player 1's points stop at the largest 32-bit number.
    QTest::newRow("player 1 two below the limit, wins")
        << 7.0 << 5.0 << kMaxInt32 - 2 << 0 << O::Player1Wins << kMaxInt32 << 0;
    QTest::newRow("player 1 one below the limit, wins")
        << 7.0 << 5.0 << kMaxInt32 - 1 << 0 << O::Player1Wins << kMaxInt32 - 1 << 0;
    QTest::newRow("player 1 one below the limit, draw")
        << 6.0 << 6.0 << kMaxInt32 - 1 << 0 << O::Draw << kMaxInt32 << 1;
    QTest::newRow("player 1 at the limit, draw")
        << 6.0 << 6.0 << kMaxInt32 << 5 << O::Draw << kMaxInt32 << 6;
    QTest::newRow("player 1 at the limit, one player")
        << 6.0 << 0.0 << kMaxInt32 << 0 << O::Player1Wins << kMaxInt32 << 0;
}

void TestResults::awardPoints()
{
    QFETCH(double, pairs1);
    QFETCH(double, pairs2);
    QFETCH(qint32, points1Before);
    QFETCH(int, points2Before);
    QFETCH(Results::Outcome, outcome);
    QFETCH(qint32, points1After);
    QFETCH(int, points2After);

    Module1::Player1Points = points1Before;
    Module1::Player2Points = static_cast<qint16>(points2Before);
    QCOMPARE(Results::awardPoints(pairs1, pairs2), outcome);
    QCOMPARE(Module1::Player1Points, points1After);
    QCOMPARE(int(Module1::Player2Points), points2After);
}

void TestResults::onePlayerLine_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("resultText");
    QTest::addColumn<int>("attempts");
    QTest::addColumn<QString>("line");

    QTest::newRow("two entries") << "Ana" << QStringList{"lo ha conseguido en", "intentos"} << 14
                                 << "Ana lo ha conseguido en 14 intentos";
    QTest::newRow("whole results text")
        << "Bea" << kResultText << 6 << "Bea lo ha conseguido en 6 intentos";
    QTest::newRow("many attempts")
        << "Ana" << kResultText << 32788 << "Ana lo ha conseguido en 32788 intentos";
    QTest::newRow("name with blanks")
        << "Ana Mar" << kResultText << 21 << "Ana Mar lo ha conseguido en 21 intentos";
    QTest::newRow("one entry missing")
        << "Ana" << QStringList{"lo ha conseguido en"} << 14 << "Ana lo ha conseguido en 14 ";
    QTest::newRow("no entries") << "Ana" << QStringList{} << 14 << "Ana  14 ";
}

void TestResults::onePlayerLine()
{
    QFETCH(QString, name);
    QFETCH(QStringList, resultText);
    QFETCH(int, attempts);
    QFETCH(QString, line);

    QCOMPARE(Results::onePlayerLine(name, resultText, attempts), line);
}

void TestResults::twoPlayerLine_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("resultText");
    QTest::addColumn<QString>("pairs");
    QTest::addColumn<qint64>("points");
    QTest::addColumn<QString>("line");

    QTest::newRow("two blanks before the points") << "Ana" << kResultText << "7" << qint64(2)
                                                  << "Ana ha encontrado 7 parejas. Lleva  2 puntos";
    QTest::newRow("no pairs, no points") << "Bea" << kResultText << "0" << qint64(0)
                                         << "Bea ha encontrado 0 parejas. Lleva  0 puntos";
    QTest::newRow("player 2 at the limit") << "Bea" << kResultText << "14" << qint64(32767)
                                           << "Bea ha encontrado 14 parejas. Lleva  32767 puntos";
    QTest::newRow("player 1 at the limit")
        << "Ana" << kResultText << "21" << qint64(kMaxInt32)
        << "Ana ha encontrado 21 parejas. Lleva  2147483647 puntos";
    QTest::newRow("last two entries missing")
        << "Ana" << kResultText.mid(0, 3) << "7" << qint64(2) << "Ana ha encontrado 7   2 ";
    QTest::newRow("no entries") << "Ana" << QStringList{} << "7" << qint64(2) << "Ana  7   2 ";
}

void TestResults::twoPlayerLine()
{
    QFETCH(QString, name);
    QFETCH(QStringList, resultText);
    QFETCH(QString, pairs);
    QFETCH(qint64, points);
    QFETCH(QString, line);

    QCOMPARE(Results::twoPlayerLine(name, resultText, pairs, points), line);
}

void TestResults::cueFor_data()
{
    QTest::addColumn<Results::Outcome>("outcome");
    QTest::addColumn<QString>("cue");

    QTest::newRow("draw") << Results::Outcome::Draw << "\\sonidos\\empate.wav";
    QTest::newRow("player 1 wins") << Results::Outcome::Player1Wins << "\\sonidos\\ganador.wav";
    QTest::newRow("player 2 wins") << Results::Outcome::Player2Wins << "\\sonidos\\ganador.wav";
}

void TestResults::cueFor()
{
    QFETCH(Results::Outcome, outcome);
    QFETCH(QString, cue);

    QCOMPARE(Results::cueFor(outcome), cue);
}

QTEST_GUILESS_MAIN(TestResults)
#include "test_results.moc"
