// The board: layout, score strip, deal from a picture folder, turning and matching, the timer.
#include <QtTest>

#include "app_fixture.h"
#include "board_screen.h"
#include "form.h"
#include "module1.h"
#include "platform.h"
#include "deal.h"
#include "options_screen.h"
#include "players_screen.h"
#include "results_screen.h"
#include "twips.h"

namespace {

/// Opens a board the way "JUGAR" does: the options screen loaded, a set and a pair option chosen.
Form2 *openBoard(const QString &set, int pairOption)
{
    Form1 *options = Runtime::Show<Form1>();
    if (!options)
        return nullptr;
    options->Combo1->setText(set);
    Module1::PairOption = static_cast<quint8>(pairOption);
    return Runtime::Show<Form2>();
}

} // namespace

class BoardTest : public QObject
{
    Q_OBJECT

private slots:
    void layoutWorkedValues_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("lastLeft");
        QTest::addColumn<int>("lastTop");
        QTest::newRow("6 pairs") << 0 << 3690 << 3690 << 11430 << 7740;
        QTest::newRow("10 pairs") << 1 << 2947 << 2755 << 12148 << 8625;
        QTest::newRow("12 pairs") << 2 << 2445 << 2765 << 12585 << 8655;
        QTest::newRow("15 pairs") << 3 << 2460 << 2204 << 12660 << 9176;
        QTest::newRow("21 pairs") << 4 << 2104 << 1830 << 12984 << 9510;
    }

    void layoutWorkedValues()
    {
        QFETCH(int, option);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, lastLeft);
        QFETCH(int, lastTop);
        AppFixture app;
        app.makePictureSet(QStringLiteral("s"), 21);
        Form2 *board = openBoard(QStringLiteral("s"), option);
        QVERIFY(board);
        const int pairs = board->TotalPairs();
        QCOMPARE(board->Picture2.size(), 2 * pairs);
        QCOMPARE(board->Image1.size(), 2 * pairs);
        const QRect last = Twips::geometry(board->Picture2.last());
        QCOMPARE(last, QRect(lastLeft, lastTop, width, height));
        QCOMPARE(Twips::geometry(board->Picture2[0]), QRect(360, 360, width, height));
        for (int k = 0; k < 2 * pairs; ++k) {
            QVERIFY(board->Picture2[k]->isVisible());
            QVERIFY2(!board->Image1[k]->isVisible(), "every card starts face down");
            QCOMPARE(Twips::left(board->Image1[k]), 1);
            QCOMPARE(Twips::width(board->Image1[k]), width);
            QCOMPARE(board->Image1[k]->parentWidget(), board->Picture2[k]->inner());
        }
        // Neighbours touch on screen too: no pixel gap and no overlap between cards of a row.
        const QRect a = board->Picture2[0]->geometry();
        const QRect b = board->Picture2[1]->geometry();
        QCOMPARE(a.right() + 1, b.left());
    }

    void layoutFourColumnsSecondRow()
    {
        AppFixture app;
        app.makePictureSet(QStringLiteral("s"), 6);
        Platform::setScreenTwips(QSize(20490, 11520));
        Form2 *board = openBoard(QStringLiteral("s"), 0);
        QVERIFY(board);
        QCOMPARE(Twips::width(board->Picture2[0]), 4972);
        QCOMPARE(Twips::left(board->Picture2[4]), 360);
        QCOMPARE(Twips::top(board->Picture2[4]), 360 + Twips::height(board->Picture2[0]));
    }

    void backPictureAndItsAbsence()
    {
        AppFixture app;
        app.makePictureSet(QStringLiteral("s"), 12);
        Form2 *board = openBoard(QStringLiteral("s"), 0);
        QVERIFY(board);
        QVERIFY(board->Picture2[5]->picture().isNull());
        QVERIFY(app.messages.isEmpty());
        Runtime::Unload<Form2>();

        app.useShippedBack();
        board = openBoard(QStringLiteral("s"), 0);
        QVERIFY(board);
        for (PictureBox *slot : board->Picture2) {
            QVERIFY(!slot->picture().isNull());
            // One decode serves all slots.
            QCOMPARE(slot->picture().cacheKey(), board->Picture2[0]->picture().cacheKey());
        }
    }

    void scoreStrip_data()
    {
        QTest::addColumn<int>("screenWidth");
        QTest::addColumn<int>("label1Left");
        QTest::addColumn<int>("label2Left");
        QTest::addColumn<int>("commandLeft");
        QTest::newRow("15360") << 15360 << 6220 << 11610 << 14975;
        QTest::newRow("20480 not a multiple of 3") << 20480 << 7926 << 16730 << 20095;
    }

    void scoreStrip()
    {
        QFETCH(int, screenWidth);
        QFETCH(int, label1Left);
        QFETCH(int, label2Left);
        QFETCH(int, commandLeft);
        AppFixture app;
        app.useShippedLanguage();
        app.makePictureSet(QStringLiteral("s"), 12);
        Platform::setScreenTwips(QSize(screenWidth, 11520));
        Module1::Player1Name = QStringLiteral("Ana");
        Module1::Player2Name = QStringLiteral("Luis");
        Module1::Player1Points = 2;
        Module1::Player2Points = 1;
        Module1::MismatchCount = 5;
        Form2 *board = openBoard(QStringLiteral("s"), 2);
        QVERIFY(board);
        QCOMPARE(Twips::left(board->Label1[0]), 1435);
        QCOMPARE(Twips::top(board->Label1[0]), 10);
        QCOMPARE(Twips::left(board->Label1[1]), label1Left);
        QCOMPARE(Twips::left(board->Text1[1]), label1Left - 700);
        QCOMPARE(Twips::left(board->Text2[1]), label1Left - 700 - 495);
        QCOMPARE(Twips::left(board->Label2), label2Left);
        QCOMPARE(Twips::left(board->Command1), commandLeft);
        QCOMPARE(Twips::height(board->Text1[0]), 360);
        QVERIFY(board->Text1[1]->isVisible());
        QVERIFY(board->Text2[1]->isVisible());
        QCOMPARE(board->Text2[0]->text(), QStringLiteral("2"));
        QCOMPARE(board->Text2[1]->text(), QStringLiteral("1"));
        QCOMPARE(board->Label1[0]->text(), QStringLiteral("Le toca a Ana"));
        QCOMPARE(board->Label1[0]->foreColour(), std::optional<quint32>(0x000000FF));
        QCOMPARE(board->Label1[1]->text(), QStringLiteral("Luis"));
        QCOMPARE(Module1::MismatchCount, qint16(5)); // two-player games keep counting
    }

    void onePlayerSetup()
    {
        AppFixture app;
        app.useShippedLanguage();
        app.makePictureSet(QStringLiteral("s"), 12);
        Module1::Player1Name = QStringLiteral("Ana");
        Module1::MismatchCount = 9;
        Runtime::Show<Form3>();
        QVERIFY(Runtime::loaded<Form3>());
        Form2 *board = openBoard(QStringLiteral("s"), 1);
        QVERIFY(board);
        QVERIFY(!Runtime::loaded<Form3>()); // the board closes the players screen
        QCOMPARE(Module1::MismatchCount, qint16(0));
        QVERIFY(!board->Text1[1]->isVisible());
        QVERIFY(!board->Text2[1]->isVisible());
        QCOMPARE(board->Label1[1]->text(), QString());
        QCOMPARE(board->Text2[0]->text(), QStringLiteral("0"));
    }

    void dealFromFolder_data()
    {
        QTest::addColumn<int>("option");
        QTest::newRow("6") << 0;
        QTest::newRow("21") << 4;
    }

    void dealFromFolder()
    {
        QFETCH(int, option);
        AppFixture app;
        const QStringList names = app.makePictureSet(QStringLiteral("s"), 30, "jpeg", QSize(90, 60));
        Form2 *board = openBoard(QStringLiteral("s"), option);
        QVERIFY(board);
        const int pairs = board->TotalPairs();
        QVERIFY(QTest::qWaitFor([board] { return board->allFacesReady(); }, 10000));
        QHash<QString, int> uses;
        for (int k = 0; k < 2 * pairs; ++k) {
            const QString id = board->CardPicture()[k];
            QVERIFY(!id.isEmpty());
            ++uses[id];
            // As wide as the slot, the picture's shape kept, centred vertically.
            const QRect face = Twips::geometry(board->Image1[k]);
            QCOMPARE(face.width(), Twips::width(board->Picture2[k]));
            QCOMPARE(face.height(), face.width() * 60 / 90);
            QVERIFY(!board->Image1[k]->picture().isNull());
        }
        QCOMPARE(uses.size(), pairs);
        for (int n : std::as_const(uses))
            QCOMPARE(n, 2);
        for (int k = 2 * pairs; k < 42; ++k)
            QVERIFY(board->CardPicture()[k].isEmpty());
    }

    void junkAndBrokenFilesStillDealAFinishableBoard()
    {
        AppFixture app;
        app.makePictureSet(QStringLiteral("s"), 6, "jpeg");
        const QString dir = app.path(QStringLiteral("graficos/s/"));
        for (const char *junk : {"Thumbs.db", "desktop.ini", "notas.txt", "roto.jpg"}) {
            QFile f(dir + QLatin1String(junk));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("esto no es un dibujo");
        }
        QFile::copy(dir + QStringLiteral("dibujo00.jpg"), dir + QStringLiteral("._dibujo00.jpg"));
        QFile whole(dir + QStringLiteral("dibujo05.jpg"));
        QVERIFY(whole.open(QIODevice::ReadOnly));
        QFile cut(dir + QStringLiteral("cortado.jpg"));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(whole.read(20));
        cut.close();
        QFile::copy(dir + QStringLiteral("dibujo01.jpg"), dir + QStringLiteral("dibujo06.jpg"));

        for (int round = 0; round < 10; ++round) {
            Form2 *board = openBoard(QStringLiteral("s"), 0);
            QVERIFY(board);
            QVERIFY(app.messages.isEmpty());
            QVERIFY(!board->File1.names.contains(QStringLiteral("Thumbs.db")));
            QVERIFY(!board->File1.names.contains(QStringLiteral("._dibujo00.jpg")));
            for (int k = 0; k < 12; ++k) {
                const QString name = board->File1.List(board->CardPicture()[k].toInt());
                QVERIFY2(name.startsWith(QStringLiteral("dibujo")), qPrintable(name));
            }
            clickAllPairs(board);
            QVERIFY(board->game().GameOver);
            Runtime::resetForTests();
        }
    }

    void tooFewPicturesEndsWithTheMessage_data()
    {
        QTest::addColumn<int>("good");
        QTest::addColumn<int>("broken");
        QTest::addColumn<int>("option");
        QTest::newRow("empty folder") << 0 << 0 << 0;
        QTest::newRow("11 for 12 pairs") << 11 << 0 << 2;
        QTest::newRow("5 good and 3 broken for 6 pairs") << 5 << 3 << 0;
    }

    void tooFewPicturesEndsWithTheMessage()
    {
        QFETCH(int, good);
        QFETCH(int, broken);
        QFETCH(int, option);
        AppFixture app;
        app.makePictureSet(QStringLiteral("s"), good);
        QDir().mkpath(app.path(QStringLiteral("graficos/s")));
        for (int i = 0; i < broken; ++i) {
            QFile f(app.path(QStringLiteral("graficos/s/roto%1.gif").arg(i)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("GIF89a nada");
        }
        Form2 *board = openBoard(QStringLiteral("s"), option);
        QVERIFY(!board);
        QCOMPARE(app.messages, QStringList{QStringLiteral("NO ENCUENTRO LOS DIBUJOS")});
        QCOMPARE(app.ends, 1);
        QVERIFY(Runtime::ended());
    }

    void aSetThatDoesNotExistGivesTheMessage()
    {
        AppFixture app;
        app.makePictureSet(QStringLiteral("s"), 12);
        QVERIFY(!openBoard(QStringLiteral("no existe"), 0));
        QCOMPARE(app.messages, QStringList{QStringLiteral("NO ENCUENTRO LOS DIBUJOS")});
    }

    void shippedSetsDealEverySize_data()
    {
        QTest::addColumn<QString>("set");
        QTest::addColumn<int>("option");
        for (const char *set : {"animales", "comida", "objetos"})
            for (int option = 0; option < 5; ++option)
                QTest::addRow("%s %d", set, option) << QString::fromLatin1(set) << option;
    }

    void shippedSetsDealEverySize()
    {
        QFETCH(QString, set);
        QFETCH(int, option);
        AppFixture app;
        app.useShippedSet(set);
        Form2 *board = openBoard(set, option);
        QVERIFY(board);
        QVERIFY(app.messages.isEmpty());
        QVERIFY(QTest::qWaitFor([board] { return board->allFacesReady(); }, 10000));
        for (int k = 0; k < 2 * board->TotalPairs(); ++k)
            QVERIFY(!board->Image1[k]->picture().isNull());
    }

    void aCardTurnedBeforeItsFaceArrivesShowsItAtOnce()
    {
        AppFixture app;
        app.makePictureSet(QStringLiteral("s"), 30, "jpeg", QSize(1600, 1200));
        Form2 *board = openBoard(QStringLiteral("s"), 4);
        QVERIFY(board);
        // No event has been processed since the deal: no face has been handed over yet.
        board->picture2_Click(41);
        QVERIFY(board->Image1[41]->isVisible());
        QVERIFY(!board->Image1[41]->picture().isNull());
        const QList<int> pair = slotsOfPicture(board, board->CardPicture()[41]);
        QCOMPARE(pair.size(), 2);
        for (int k : pair)
            QCOMPARE(board->Image1[k]->picture().cacheKey(), board->Image1[41]->picture().cacheKey());
        QVERIFY(QTest::qWaitFor([board] { return board->allFacesReady(); }, 10000));
    }

    void onePlayerTurns()
    {
        AppFixture app;
        app.useShippedLanguage();
        app.makePictureSet(QStringLiteral("s"), 12);
        Module1::Player1Name = QStringLiteral("Ana");
        Form2 *board = openBoard(QStringLiteral("s"), 0);
        QVERIFY(board);
        const auto [a, b] = mismatchedSlots(board);
        board->picture2_Click(a);
        QCOMPARE(app.sound.names(), QStringList{QStringLiteral("abrir.wav")});
        QVERIFY(board->Image1[a]->isVisible());
        QCOMPARE(board->Label2->text(),
                 Deck::displayName(board->File1.List(board->CardPicture()[a].toInt())));
        board->picture2_Click(a); // the same card again: nothing
        QCOMPARE(board->game().CardsTurned, 1);
        board->picture2_Click(b);
        QCOMPARE(Module1::MismatchCount, qint16(1));
        QVERIFY(!board->isEnabled());
        QVERIFY(board->Timer1->isActive());
        QCOMPARE(board->Label1[0]->text(), QStringLiteral("Le toca a Ana"));
        QCOMPARE(app.sound.names().size(), 2); // no cue of its own for a mismatch
        board->Timer1_Timer();
        QVERIFY(!board->Image1[a]->isVisible());
        QVERIFY(!board->Image1[b]->isVisible());
        QVERIFY(board->isEnabled());
        QVERIFY(!board->Timer1->isActive());
        QCOMPARE(app.sound.names().last(), QStringLiteral("cerrar.wav"));

        const QList<int> pair = slotsOfPicture(board, board->CardPicture()[a]);
        app.sound.clear();
        board->picture2_Click(pair[0]);
        board->picture2_Click(pair[1]);
        QCOMPARE(board->Text1[0]->text(), QStringLiteral("1"));
        QCOMPARE(app.sound.names().size(), 3);
        QVERIFY(QRegularExpression(QStringLiteral("^([1-9]|1[0-2])\\.wav$"))
                    .match(app.sound.names().last()).hasMatch());
        QVERIFY(board->isEnabled());
        QVERIFY(!board->Text1[1]->isVisible());
        QCOMPARE(board->Text1[1]->text(), QStringLiteral("0"));
    }

    void twoPlayerTurns()
    {
        AppFixture app;
        app.useShippedLanguage();
        app.makePictureSet(QStringLiteral("s"), 12);
        Module1::Player1Name = QStringLiteral("Ana");
        Module1::Player2Name = QStringLiteral("Ana"); // the same name still tells them apart
        Form2 *board = openBoard(QStringLiteral("s"), 0);
        QVERIFY(board);
        auto [a, b] = mismatchedSlots(board);
        board->picture2_Click(a);
        board->picture2_Click(b);
        // The turn passes at once, while both cards are still up.
        QVERIFY(board->Image1[a]->isVisible() && board->Image1[b]->isVisible());
        QCOMPARE(board->Label1[0]->text(), QStringLiteral("Ana"));
        QCOMPARE(board->Label1[0]->foreColour(), std::optional<quint32>(0x00000000));
        QCOMPARE(board->Label1[1]->text(), QStringLiteral("Le toca a Ana"));
        QCOMPARE(board->Label1[1]->foreColour(), std::optional<quint32>(0x000000FF));
        // The captions keep their colours while the board takes no input.
        for (Label *caption : {board->Label2, board->Label1[0]})
            QCOMPARE(caption->palette().color(QPalette::Disabled, QPalette::WindowText),
                     caption->palette().color(QPalette::Active, QPalette::WindowText));
        // Clicks while the mismatch shows reach nothing: the whole board is disabled.
        const int other = mismatchedSlots(board).first;
        QTest::mouseClick(board->Picture2[other], Qt::LeftButton);
        QVERIFY(!board->Image1[other]->isVisible());
        QTest::mouseClick(board->Command1, Qt::LeftButton);
        QCOMPARE(app.ends, 0);
        board->Timer1_Timer();

        // Player 2 finds a pair and keeps the turn.
        const QList<int> pair = slotsOfPicture(board, board->CardPicture()[a]);
        QTest::mouseClick(board->Picture2[pair[0]], Qt::LeftButton);
        QTest::mouseClick(board->Picture2[pair[1]], Qt::LeftButton);
        QCOMPARE(board->Text1[1]->text(), QStringLiteral("1"));
        QCOMPARE(board->Text1[0]->text(), QStringLiteral("0"));
        QCOMPARE(board->Label1[1]->text(), QStringLiteral("Le toca a Ana"));

        // A mismatch gives the turn back to player 1.
        std::tie(a, b) = mismatchedSlots(board);
        board->picture2_Click(a);
        board->picture2_Click(b);
        QCOMPARE(board->Label1[0]->text(), QStringLiteral("Le toca a Ana"));
        QCOMPARE(board->Label1[1]->text(), QStringLiteral("Ana"));
        QCOMPARE(Module1::MismatchCount, qint16(2));
    }

    void flipBackAfterTwoSecondsForReal()
    {
        AppFixture app;
        app.makePictureSet(QStringLiteral("s"), 12);
        Module1::Player1Name = QStringLiteral("Ana");
        Form2 *board = openBoard(QStringLiteral("s"), 0);
        QVERIFY(board);
        const auto [a, b] = mismatchedSlots(board);
        QElapsedTimer clock;
        board->picture2_Click(a);
        board->picture2_Click(b);
        clock.start();
        QVERIFY(QTest::qWaitFor([&] { return board->isEnabled(); }, 5000));
        QVERIFY2(clock.elapsed() >= 1900, "the cards stay up for two seconds");
        QVERIFY(!board->Image1[a]->isVisible());
        QVERIFY(!board->Image1[b]->isVisible());
        QVERIFY(!board->Timer1->isActive());
    }

    void quitButtonEndsAtOnce()
    {
        AppFixture app;
        app.makePictureSet(QStringLiteral("s"), 12);
        Form2 *board = openBoard(QStringLiteral("s"), 0);
        QVERIFY(board);
        QTest::mouseClick(board->Command1, Qt::LeftButton);
        QCOMPARE(app.ends, 1);
        QVERIFY(!Runtime::loaded<Form4>());
        QVERIFY(Runtime::loadedForms().isEmpty());
    }

    void lastPairOpensResultsOnTheTick()
    {
        AppFixture app;
        app.makePictureSet(QStringLiteral("s"), 12);
        Module1::Player1Name = QStringLiteral("Ana");
        Form2 *board = openBoard(QStringLiteral("s"), 0);
        QVERIFY(board);
        clickAllPairs(board);
        QVERIFY(board->game().GameOver);
        QVERIFY(board->isEnabled());
        QVERIFY(board->Timer1->isActive());
        QVERIFY(!Runtime::loaded<Form4>());
        QVERIFY(QRegularExpression(QStringLiteral("^([1-9]|1[0-2])\\.wav$"))
                    .match(app.sound.names().last()).hasMatch());

        int opened = 0;
        whenShown<Form4>([&](Form4 *results) {
            ++opened;
            // The tick stopped the timer: no second results screen can open.
            QVERIFY(!board->Timer1->isActive());
            results->Command1_Click();
        });
        QPointer<Form2> guard(board);
        QVERIFY(QTest::qWaitFor([&] { return !guard || !guard->isLoaded(); }, 15000));
        QCOMPARE(opened, 1);
        QVERIFY(Runtime::loaded<Form1>());
        QVERIFY(!Runtime::loaded<Form4>());
    }

    void wholeGameWithoutSoundFolder()
    {
        AppFixture app;
        app.makePictureSet(QStringLiteral("s"), 12);
        Platform::setSound(nullptr); // the real player, on the silent driver, with no files
        Module1::Player1Name = QStringLiteral("Ana");
        Form2 *board = openBoard(QStringLiteral("s"), 0);
        QVERIFY(board);
        auto [a, b] = mismatchedSlots(board);
        board->picture2_Click(a);
        board->picture2_Click(b);
        board->Timer1_Timer();
        clickAllPairs(board);
        bool shown = false;
        whenShown<Form4>([&](Form4 *results) {
            shown = true;
            QCOMPARE(Module1::Player1Points, 2);
            QVERIFY(results->Label1->text().contains(QStringLiteral("7")));
            results->Command1_Click();
        });
        QVERIFY(QTest::qWaitFor([&] { return shown && !Runtime::loaded<Form2>(); }, 15000));
        Platform::setSound(&app.sound);
    }
};

QTEST_MAIN(BoardTest)
#include "test_board.moc"
