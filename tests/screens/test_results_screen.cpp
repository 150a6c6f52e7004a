// The results screen: outcome, series points, cues and the result lines.
#include <QtTest>

#include "app_fixture.h"
#include "board_screen.h"
#include "form.h"
#include "module1.h"
#include "options_screen.h"
#include "platform.h"
#include "results_screen.h"

namespace {

/// Opens a board of the chosen size and sets the pairs each player found, as the game would leave
/// them, then lets the results screen load over it; returns what `inspect` saw.
void showResults(AppFixture &app, int pairOption, const QString &pairs1, const QString &pairs2,
                 const std::function<void(Form4 *)> &inspect, int mismatches = -1)
{
    app.makePictureSet(QStringLiteral("s"), 21);
    Form1 *options = Runtime::Show<Form1>();
    QVERIFY(options);
    options->Combo1->setText(QStringLiteral("s"));
    Module1::PairOption = static_cast<quint8>(pairOption);
    Form2 *board = Runtime::Show<Form2>();
    QVERIFY(board);
    board->Text1[0]->setText(pairs1);
    board->Text1[1]->setText(pairs2);
    if (mismatches >= 0)
        Module1::MismatchCount = qint16(mismatches);
    bool seen = false;
    whenShown<Form4>([&](Form4 *results) {
        seen = true;
        inspect(results);
        results->Command1_Click();
    });
    Runtime::ShowModal<Form4>();
    QVERIFY(seen);
}

} // namespace

class ResultsTest : public QObject
{
    Q_OBJECT

private slots:
    void outcomesAndTexts_data()
    {
        QTest::addColumn<QString>("player2");
        QTest::addColumn<int>("pairOption");
        QTest::addColumn<QString>("pairs1");
        QTest::addColumn<QString>("pairs2");
        QTest::addColumn<int>("mismatches");
        QTest::addColumn<int>("points1");
        QTest::addColumn<int>("points2");
        QTest::addColumn<QString>("cue");
        QTest::addColumn<QString>("line1");
        QTest::addColumn<QString>("line2");
        QTest::newRow("player 1 wins 7 to 5")
            << "Luis" << 2 << "7" << "5" << 3 << 2 << 0 << "ganador.wav"
            << "Ana ha encontrado 7 parejas. Lleva  2 puntos"
            << "Luis ha encontrado 5 parejas. Lleva  0 puntos";
        QTest::newRow("player 2 wins 4 to 11")
            << "Luis" << 3 << "4" << "11" << 0 << 0 << 2 << "ganador.wav"
            << "Ana ha encontrado 4 parejas. Lleva  0 puntos"
            << "Luis ha encontrado 11 parejas. Lleva  2 puntos";
        QTest::newRow("draw 6 each")
            << "Luis" << 2 << "6" << "6" << 0 << 1 << 1 << "empate.wav"
            << "Ana ha encontrado 6 parejas. Lleva  1 puntos"
            << "Luis ha encontrado 6 parejas. Lleva  1 puntos";
        QTest::newRow("one player, 10 pairs, 4 mismatches")
            << "" << 1 << "10" << "0" << 4 << 2 << 0 << "ganador.wav"
            << "Ana lo ha conseguido en 14 intentos" << "";
        QTest::newRow("one player, 21 pairs, no mismatch")
            << "" << 4 << "21" << "0" << 0 << 2 << 0 << "ganador.wav"
            << "Ana lo ha conseguido en 21 intentos" << "";
    }

    void outcomesAndTexts()
    {
        QFETCH(QString, player2);
        QFETCH(int, pairOption);
        QFETCH(QString, pairs1);
        QFETCH(QString, pairs2);
        QFETCH(int, mismatches);
        QFETCH(int, points1);
        QFETCH(int, points2);
        QFETCH(QString, cue);
        QFETCH(QString, line1);
        QFETCH(QString, line2);
        AppFixture app;
        app.useShippedLanguage();
        Module1::Player1Name = QStringLiteral("Ana");
        Module1::Player2Name = player2;
        showResults(app, pairOption, pairs1, pairs2, [&](Form4 *results) {
            QCOMPARE(Module1::Player1Points, points1);
            QCOMPARE(int(Module1::Player2Points), points2);
            QCOMPARE(results->Label1->text(), line1);
            QCOMPARE(results->Label2->text(), line2);
            QCOMPARE(results->Command1->text(), QStringLiteral("SEGUIR JUGANDO"));
            QCOMPARE(results->Command2->text(), QStringLiteral("FIN JUEGO"));
            // Exactly one result cue, played to its end before the screen showed.
            QStringList resultCues;
            for (const auto &c : app.sound.calls) {
                const QString name = QFileInfo(c.path).fileName();
                if (name == QLatin1String("ganador.wav") || name == QLatin1String("empate.wav")) {
                    resultCues.append(name);
                    QCOMPARE(c.flags, SND_SYNC);
                }
            }
            QCOMPARE(resultCues, QStringList{cue});
            QCOMPARE(app.sound.calls.size(), 1);
        }, mismatches);
    }

    void waitsAboutThreeSecondsOnTheClock()
    {
        AppFixture app;
        app.useShippedLanguage();
        Module1::Player1Name = QStringLiteral("Ana");
        app.clock.now = 100.2; // rounds to 100: the wait ends when the clock reads 103
        app.clock.step = 0.05;
        double shownAt = -1;
        showResults(app, 0, QStringLiteral("6"), QStringLiteral("0"),
                    [&](Form4 *) { shownAt = app.clock.now; });
        QVERIFY2(shownAt >= 103.0 && shownAt < 103.5, qPrintable(QString::number(shownAt)));
    }

    void waitBegunBeforeMidnightEnds()
    {
        AppFixture app;
        Module1::Player1Name = QStringLiteral("Ana");
        app.clock.now = 86398.9; // rounds to 86399; the clock passes midnight during the wait
        app.clock.step = 0.1;
        bool seen = false;
        showResults(app, 0, QStringLiteral("6"), QStringLiteral("0"), [&](Form4 *) { seen = true; });
        QVERIFY(seen);
        QVERIFY(app.clock.now < 10.0);
    }

    void shortLanguageFileRepeatsLine14AndKeepsScoring()
    {
        AppFixture app;
        QStringList lines;
        for (int i = 1; i <= 14; ++i)
            lines.append(QStringLiteral("L%1").arg(i));
        app.writeLanguage(lines);
        Module1::Player1Name = QStringLiteral("Ana");
        Module1::Player2Name = QStringLiteral("Luis");
        showResults(app, 2, QStringLiteral("5"), QStringLiteral("7"), [&](Form4 *results) {
            QCOMPARE(results->Command1->text(), QStringLiteral("L14"));
            QCOMPARE(results->Command2->text(), QStringLiteral("L14"));
            QCOMPARE(results->Label2->text(), QStringLiteral("Luis  7   2 "));
            QCOMPARE(int(Module1::Player2Points), 2);
        });
    }

    void longLinesShrinkToFitTheirBoxes()
    {
        AppFixture app;
        app.useShippedLanguage();
        Module1::Player1Name = QStringLiteral("Maximiliano Fernández de la Vega");
        Module1::Player2Name = QStringLiteral("Guadalupe Sánchez");
        showResults(app, 2, QStringLiteral("7"), QStringLiteral("5"), [&](Form4 *results) {
            for (Label *line : {results->Label1, results->Label2}) {
                QVERIFY(line->text().endsWith(QStringLiteral("puntos")));
                const QRect needed = QFontMetrics(line->font()).boundingRect(
                    QRect(0, 0, line->width(), 100000), int(line->alignment()) | Qt::TextWordWrap,
                    line->text());
                QVERIFY2(needed.height() <= line->height(),
                         qPrintable(QStringLiteral("%1 > %2").arg(needed.height()).arg(line->height())));
                QVERIFY(line->font().pixelSize() < 32);
            }
        });
    }

    void player2PointsStopAtTheirLimit()
    {
        AppFixture app;
        Module1::Player1Name = QStringLiteral("Ana");
        Module1::Player2Name = QStringLiteral("Luis");
        Module1::Player2Points = 32767;
        Module1::Player1Points = 40000;
        showResults(app, 2, QStringLiteral("6"), QStringLiteral("6"), [&](Form4 *) {
            QCOMPARE(int(Module1::Player2Points), 32767);
            QCOMPARE(Module1::Player1Points, 40001);
        });
    }

    void quitDuringTheWaitEndsWithoutScoring()
    {
        AppFixture app;
        Module1::Player1Name = QStringLiteral("Ana");
        app.clock.step = 0.001; // a long wait on the clock
        app.makePictureSet(QStringLiteral("s"), 12);
        Form1 *options = Runtime::Show<Form1>();
        options->Combo1->setText(QStringLiteral("s"));
        Module1::PairOption = 0;
        Form2 *board = Runtime::Show<Form2>();
        QVERIFY(board);
        QTimer::singleShot(100, board, [board] {
            QTest::mouseClick(board->Command1, Qt::LeftButton);
        });
        Runtime::ShowModal<Form4>();
        QCOMPARE(app.ends, 1);
        QCOMPARE(Module1::Player1Points, 0);
        QVERIFY(app.sound.calls.isEmpty());
    }
};

QTEST_MAIN(ResultsTest)
#include "test_results_screen.moc"
