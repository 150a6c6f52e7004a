// Whole series through the real windows: title, players, options, games, results.
#include <QtTest>

#include "app_fixture.h"
#include "board_screen.h"
#include "form.h"
#include "module1.h"
#include "options_screen.h"
#include "players_screen.h"
#include "results_screen.h"
#include "title_screen.h"

class SeriesTest : public QObject
{
    Q_OBJECT

private:
    static void click(QAbstractButton *button)
    {
        QVERIFY(button->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
    }

    /// Finishes the open board with no mismatch, then lets the timer open the results.
    static void finishBoard(AppFixture &app)
    {
        Form2 *board = Runtime::loaded<Form2>();
        QVERIFY(board);
        clickAllPairs(board);
        QVERIFY(board->game().GameOver);
        QVERIFY(board->Timer1->isActive());
        Q_UNUSED(app);
    }

private slots:
    void twoPlayerSeries()
    {
        AppFixture app;
        app.useShippedLanguage();
        app.useShippedBack();
        app.makePictureSet(QStringLiteral("aaa"), 24);
        app.makePictureSet(QStringLiteral("bbb"), 12, "jpeg");

        Module1::Player1Points = 99; // the title screen starts a series from nothing
        Runtime::Show<Form5>();
        Form5 *title = Runtime::loaded<Form5>();
        QVERIFY(title);
        QCOMPARE(Module1::Player1Points, 0);
        QCOMPARE(title->Command1->text(), QStringLiteral("CONTINUAR"));

        click(title->Command1);
        Form3 *players = Runtime::loaded<Form3>();
        QVERIFY(players);
        QVERIFY(Runtime::loaded<Form5>());
        click(players->Command1[1]);
        QVERIFY(players->Frame1[1]->isVisible());
        QTest::keyClicks(players->Text1[1], QStringLiteral("Ana"));
        QTest::keyClicks(players->Text2, QStringLiteral("Luis"));
        click(players->Command2);
        QCOMPARE(Module1::Player1Name, QStringLiteral("Ana"));
        QCOMPARE(Module1::Player2Name, QStringLiteral("Luis"));

        Form1 *options = Runtime::loaded<Form1>();
        QVERIFY(options);
        QCOMPARE(Module1::PairOption, quint8(2));
        QCOMPARE(options->Combo1->count(), 2);
        QCOMPARE(options->Combo1->text(), QStringLiteral("aaa"));
        options->Combo1->setCurrentIndex(1);
        click(options->Command1[0]);
        QCOMPARE(Module1::PairOption, quint8(0));

        click(options->Command2);
        QVERIFY(!Runtime::loaded<Form5>());
        QVERIFY(!Runtime::loaded<Form3>());
        Form2 *board = Runtime::loaded<Form2>();
        QVERIFY(board);
        QCOMPARE(board->TotalPairs(), 6);
        QVERIFY(board->File1.Path.endsWith(QStringLiteral("/graficos/bbb")));
        QCOMPARE(board->Text2[0]->text(), QStringLiteral("0"));
        QCOMPARE(board->Label1[0]->text(), QStringLiteral("Le toca a Ana"));
        QCOMPARE(board->Label1[1]->text(), QStringLiteral("Luis"));

        bool seen = false;
        whenShown<Form4>([&](Form4 *results) {
            seen = true;
            QCOMPARE(Module1::Player1Points, 2);
            QCOMPARE(Module1::Player2Points, 0);
            QCOMPARE(results->Label1->text(),
                     QStringLiteral("Ana ha encontrado 6 parejas. Lleva  2 puntos"));
            QCOMPARE(results->Label2->text(),
                     QStringLiteral("Luis ha encontrado 0 parejas. Lleva  0 puntos"));
            QCOMPARE(app.sound.names().last(), QStringLiteral("ganador.wav"));
            QCOMPARE(app.sound.calls.last().flags, SND_SYNC);
            click(results->Command1); // SEGUIR JUGANDO
        });
        finishBoard(app);
        QVERIFY(QTest::qWaitFor([&] { return seen && !Runtime::loaded<Form2>(); }, 15000));
        QVERIFY(!Runtime::loaded<Form4>());
        QVERIFY(options->isVisible());
        QCOMPARE(Module1::PairOption, quint8(0));
        QCOMPARE(options->Combo1->text(), QStringLiteral("bbb"));
        QCOMPARE(options->Command1[0]->backColour(), Form1::kGreen);
        QCOMPARE(options->Command1[2]->backColour(), Form1::kYellow);

        click(options->Command2);
        board = Runtime::loaded<Form2>();
        QVERIFY(board);
        QCOMPARE(board->Text2[0]->text(), QStringLiteral("2"));
        QCOMPARE(board->Text2[1]->text(), QStringLiteral("0"));
        QCOMPARE(board->Label1[0]->text(), QStringLiteral("Le toca a Ana"));
        int endsAtResults = -1;
        whenShown<Form4>([&](Form4 *results) {
            endsAtResults = app.ends;
            QCOMPARE(Module1::Player1Points, 4);
            click(results->Command2); // FIN JUEGO
        });
        finishBoard(app);
        QVERIFY(QTest::qWaitFor([&] { return app.ends > 0; }, 15000));
        QCOMPARE(endsAtResults, 0);
        QCOMPARE(app.ends, 1);
        QVERIFY(Runtime::ended());
        QVERIFY(Runtime::loadedForms().isEmpty());
    }

    void onePlayerSeriesFromAFirstRun()
    {
        AppFixture app;
        app.useShippedLanguage();
        // A first run: the numbered pictures lie beside the program, there is no picture store.
        for (int n = 1; n <= 12; ++n)
            QVERIFY(AppFixture::writePicture(app.path(QStringLiteral("%1.gif").arg(n)), QSize(30, 20),
                                             QColor::fromHsv(n * 29, 200, 220), "png"));

        Runtime::Show<Form5>();
        click(Runtime::loaded<Form5>()->Command1);
        Form3 *players = Runtime::loaded<Form3>();
        QVERIFY(players);
        QVERIFY(QFile::exists(app.path(QStringLiteral("graficos/12.gif"))));
        QVERIFY(!QFile::exists(app.path(QStringLiteral("1.gif"))));
        click(players->Command1[0]);
        QTest::keyClicks(players->Text1[0], QStringLiteral("Eva"));
        QTest::keyClick(players->Text1[0], Qt::Key_Return);
        Form1 *options = Runtime::loaded<Form1>();
        QVERIFY(options);
        QCOMPARE(options->Combo1->text(), QString()); // no sets: the store itself is dealt from
        click(options->Command1[0]);
        click(options->Command2);

        for (int game = 1; game <= 2; ++game) {
            Form2 *board = Runtime::loaded<Form2>();
            QVERIFY(board);
            QCOMPARE(board->TotalPairs(), 6);
            QVERIFY(!board->Text1[1]->isVisible());
            QCOMPARE(board->Text2[0]->text(), QString::number(2 * (game - 1)));
            const auto [a, b] = mismatchedSlots(board);
            board->picture2_Click(a);
            board->picture2_Click(b);
            QCOMPARE(board->Label1[0]->text(), QStringLiteral("Le toca a Eva"));
            board->Timer1_Timer();
            clickAllPairs(board);
            bool seen = false;
            whenShown<Form4>([&](Form4 *results) {
                seen = true;
                QCOMPARE(results->Label1->text(),
                         QStringLiteral("Eva lo ha conseguido en 7 intentos"));
                QCOMPARE(results->Label2->text(), QString());
                QCOMPARE(Module1::Player1Points, 2 * game);
                QVERIFY(Module1::Player2Name.isEmpty());
                click(game == 1 ? results->Command1 : results->Command2);
            });
            QVERIFY(QTest::qWaitFor([&] { return seen && !Runtime::loaded<Form2>(); }, 15000));
            if (game == 1) {
                QCOMPARE(app.ends, 0);
                click(options->Command2);
            }
        }
        QCOMPARE(app.ends, 1);
    }
};

QTEST_MAIN(SeriesTest)
#include "test_series.moc"
