// One whole series through the real windows: title, players, options, a game, results,
// "SEGUIR JUGANDO", a second game, "FIN JUEGO".
#include <QtTest>

#include <QApplication>

#include "app_fixture.h"
#include "board_screen.h"
#include "module1.h"
#include "options_screen.h"
#include "players_screen.h"
#include "results_screen.h"
#include "title_screen.h"

namespace {

QString loaded() {
    QStringList out;
    for (Form *f : Runtime::loadedForms())
        out.append(QString::fromLatin1(f->metaObject()->className()) +
                   (f->isVisible() ? "" : " hidden"));
    out.sort();
    return out.join(u' ');
}

} // namespace

class SeriesTest : public QObject {
    Q_OBJECT

private slots:
    void twoPlayers() {
        AppFixture app;
        app.useShippedLanguage();
        app.makePictureSet(QStringLiteral("aaa"), 24);
        app.makePictureSet(QStringLiteral("bbb"), 12, "jpg");
        Module1::Player1Points = Module1::Player2Points = 99; // a series starts from nothing

        Form5 *title = Runtime::Show<Form5>();
        QCOMPARE(Module1::Player1Points + Module1::Player2Points, 0);
        QTest::mouseClick(title->Command1, Qt::LeftButton);
        QCOMPARE(loaded(), QStringLiteral("Form3 Form5"));
        Form3 *players = Runtime::loaded<Form3>();
        QTest::mouseClick(players->Command1[1], Qt::LeftButton);
        QTest::keyClicks(players->Text1[1], QStringLiteral("Ana"));
        QTest::keyClicks(players->Text2, QStringLiteral("Luis"));
        QTest::mouseClick(players->Command2, Qt::LeftButton);
        QCOMPARE(Module1::Player1Name + u'/' + Module1::Player2Name, QStringLiteral("Ana/Luis"));
        QCOMPARE(loaded(), QStringLiteral("Form1 Form3 Form5"));

        Form1 *options = Runtime::loaded<Form1>();
        QCOMPARE(options->palette().color(QPalette::Window), QColor(255, 224, 192)); // 0x00C0E0FF
        QCOMPARE(options->Combo1->text(), QStringLiteral("aaa"));
        QCOMPARE(options->Label2[0]->text(), QStringLiteral("Parejas acertadas"));
        QTest::mouseClick(options->Command2, Qt::LeftButton); // the 12 pairs chosen at the start
        QCOMPARE(loaded(), QStringLiteral("Form1 Form2"));
        Form2 *board = Runtime::loaded<Form2>();
        QCOMPARE(board->Picture2.size(), 24);
        QCOMPARE(board->Label1[0]->text() + u'/' + board->Label1[1]->text(),
                 QStringLiteral("Le toca a Ana/Luis"));

        // Ana misses: Luis's turn, and he finds every pair.
        const auto [a, b] = mismatchedSlots(board);
        QTest::mouseClick(board->Picture2[a], Qt::LeftButton);
        QTest::mouseClick(board->Picture2[b], Qt::LeftButton);
        QCOMPARE(board->Label1[0]->text() + u'/' + board->Label1[1]->text(),
                 QStringLiteral("Ana/Le toca a Luis"));
        board->Timer1_Timer();
        finishGame(board, [&](Form4 *results) {
            QCOMPARE(loaded(), QStringLiteral("Form1 Form2 Form4"));
            QCOMPARE(QApplication::activeModalWidget(), results);
            QCOMPARE(results->Label1->text(),
                     QStringLiteral("Ana ha encontrado 0 parejas. Lleva  0 puntos"));
            QCOMPARE(results->Label2->text(),
                     QStringLiteral("Luis ha encontrado 12 parejas. Lleva  2 puntos"));
            QCOMPARE(results->Command1->text(), QStringLiteral("SEGUIR JUGANDO"));
        });
        QCOMPARE(loaded(), QStringLiteral("Form1"));

        options->Combo1->setCurrentIndex(1);
        QTest::mouseClick(options->Command1[0], Qt::LeftButton);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(options->Command1[i]->backColour(), i == 0 ? Form1::kGreen : Form1::kYellow);
        QTest::mouseClick(options->Command2, Qt::LeftButton);
        board = Runtime::loaded<Form2>();
        QVERIFY(board->File1.Path.endsWith(QStringLiteral("/graficos/bbb")));
        QCOMPARE(board->Picture2.size(), 12);
        QCOMPARE(board->Text2[0]->text() + u'/' + board->Text2[1]->text(), QStringLiteral("0/2"));
        finishGame(
            board,
            [&](Form4 *results) {
                QCOMPARE(results->Label1->text(),
                         QStringLiteral("Ana ha encontrado 6 parejas. Lleva  2 puntos"));
                QCOMPARE(results->Label2->text(),
                         QStringLiteral("Luis ha encontrado 0 parejas. Lleva  2 puntos"));
                QCOMPARE(app.ends, 0);
            },
            false);
        QCOMPARE(app.ends, 1);
        QCOMPARE(loaded(), QString());
    }
};

QTEST_MAIN(SeriesTest)
#include "test_series.moc"
