// The results of a game: the pair counts read from their boxes, the series points, the cue and
// the results lines.
#include <QtTest>

#include "board_grid.h"
#include "module1.h"
#include "results.h"

struct Award {
    const char *boxes;    ///< the texts of the two pair boxes, split at '|'
    QPoint before, after; ///< series points of players 1 and 2
    const char *cue;
};

class TestResults : public QObject {
    Q_OBJECT

private slots:
    void points_data() {
        QTest::addColumn<Award>("a");
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
    void points() {
        QFETCH(Award, a);
        Module1::Player1Points = a.before.x();
        Module1::Player2Points = qint16(a.before.y());
        const QStringList boxes = QString::fromLatin1(a.boxes).split(u'|');
        const Results::Outcome outcome = Results::awardPoints(Val(boxes[0]), Val(boxes[1]));
        QCOMPARE(QPoint(Module1::Player1Points, Module1::Player2Points), a.after);
        QCOMPARE(Results::cueFor(outcome), QStringLiteral("\\sonidos\\%1.wav").arg(a.cue));
    }

    void lines() {
        // From the result texts of the language file, whose lines may be missing; two blanks
        // before the points, one everywhere else. One player: 10 pairs and 4 mismatches.
        const QStringList all{"lo ha conseguido en", "intentos", "ha encontrado", "parejas. Lleva", "puntos"};
        const int attempts = pairsForOption(1) + 4;
        QCOMPARE(Results::onePlayerLine(u"Ana"_qs, all, attempts), "Ana lo ha conseguido en 14 intentos");
        QCOMPARE(Results::onePlayerLine(u"Ana"_qs, all.mid(0, 1), attempts), "Ana lo ha conseguido en 14 ");
        QCOMPARE(Results::twoPlayerLine(u"Ana"_qs, all, u"7"_qs, 2), "Ana ha encontrado 7 parejas. Lleva  2 puntos");
        QCOMPARE(Results::twoPlayerLine(u"Ana"_qs, all.mid(0, 3), u"7"_qs, 1), "Ana ha encontrado 7   1 ");
    }
};

QTEST_GUILESS_MAIN(TestResults)
#include "test_results.moc"
