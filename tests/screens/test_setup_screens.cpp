// The title, players and game options screens, and the order in which screens open and close.
#include <QtTest>

#include "app_fixture.h"
#include "board_screen.h"
#include "form.h"
#include "module1.h"
#include "options_screen.h"
#include "platform.h"
#include "players_screen.h"
#include "results_screen.h"
#include "title_screen.h"
#include "colours_fonts.h"

class SetupScreensTest : public QObject
{
    Q_OBJECT

private slots:
    void titleScreen()
    {
        AppFixture app;
        app.useShippedLanguage();
        Module1::Player1Points = 8;
        Module1::Player2Points = 3;
        Form5 *title = Runtime::Show<Form5>();
        QVERIFY(title);
        QCOMPARE(Module1::Player1Points, 0);
        QCOMPARE(int(Module1::Player2Points), 0);
        QVERIFY(title->windowTitle().startsWith(QStringLiteral("Trabel 1.0 - ")));
        QCOMPARE(title->Label1[0]->text(), QStringLiteral("Trabel"));
        QCOMPARE(title->Label1[4]->text(), QStringLiteral("Septiembre 2008"));
        QCOMPARE(title->Label1[2]->text(), QStringLiteral("Un programa de "));
        // Centred: Int((15360 − width) / 2) twips from the left, at 15 twips to the pixel.
        const int expectedLeft = (15360 - title->width() * 15) / 2 / 15;
        QVERIFY(qAbs(title->x() - expectedLeft) <= 1);
        QTest::mouseClick(title->Command1, Qt::LeftButton);
        QVERIFY(Runtime::loaded<Form3>());
        QVERIFY(Runtime::loaded<Form5>());
        // "CONTINUAR" again brings the same players screen forward without loading it anew.
        Form3 *players = Runtime::loaded<Form3>();
        players->Command1_Click(0);
        title->Command1_Click();
        QCOMPARE(Runtime::loaded<Form3>(), players);
        QVERIFY(!players->Command1[0]->isVisible());
    }

    void firstRunMovesNumberedPictures()
    {
        AppFixture app;
        for (int n = 1; n <= 12; ++n)
            QVERIFY(AppFixture::writePicture(app.path(QStringLiteral("%1.gif").arg(n)), QSize(8, 8),
                                             Qt::red, "png"));
        QVERIFY(AppFixture::writePicture(app.path(QStringLiteral("50.gif")), QSize(8, 8), Qt::red,
                                         "png"));
        Runtime::Show<Form3>();
        QVERIFY(QFileInfo(app.path(QStringLiteral("graficos"))).isDir());
        for (int n = 1; n <= 12; ++n) {
            QVERIFY(QFile::exists(app.path(QStringLiteral("graficos/%1.gif").arg(n))));
            QVERIFY(!QFile::exists(app.path(QStringLiteral("%1.gif").arg(n))));
        }
        QVERIFY(QFile::exists(app.path(QStringLiteral("50.gif"))));

        // With no set in graficos, the board deals from graficos itself.
        Runtime::Show<Form1>();
        QCOMPARE(Runtime::loaded<Form1>()->Combo1->text(), QString());
        Module1::PairOption = 0;
        Form2 *board = Runtime::Show<Form2>();
        QVERIFY(board);
        QCOMPARE(board->TotalPairs(), 6);
        QVERIFY(app.messages.isEmpty());
    }

    void existingStoreIsLeftAlone()
    {
        AppFixture app;
        QDir().mkpath(app.path(QStringLiteral("graficos")));
        QFile keep(app.path(QStringLiteral("graficos/3.gif")));
        QVERIFY(keep.open(QIODevice::WriteOnly));
        keep.write("mine");
        keep.close();
        QVERIFY(AppFixture::writePicture(app.path(QStringLiteral("3.gif")), QSize(8, 8), Qt::red,
                                         "png"));
        QVERIFY(AppFixture::writePicture(app.path(QStringLiteral("4.gif")), QSize(8, 8), Qt::red,
                                         "png"));
        Runtime::Show<Form3>();
        QVERIFY(QFile::exists(app.path(QStringLiteral("3.gif"))));
        QVERIFY(QFile::exists(app.path(QStringLiteral("4.gif"))));
        QVERIFY(!QFile::exists(app.path(QStringLiteral("graficos/4.gif"))));
        QFile again(app.path(QStringLiteral("graficos/3.gif")));
        QVERIFY(again.open(QIODevice::ReadOnly));
        QCOMPARE(again.readAll(), QByteArray("mine"));
    }

    void acceptCases_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("single");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("name1");
        QTest::addColumn<QString>("name2");
        QTest::newRow("one player") << 0 << "Ana" << "" << "" << true << "Ana" << "";
        QTest::newRow("two players") << 1 << "" << "Ana" << "Luis" << true << "Ana" << "Luis";
        QTest::newRow("only player 2 named") << 1 << "" << "" << "Luis" << true << "" << "Luis";
        QTest::newRow("only player 1 named") << 1 << "" << "Ana" << "" << true << "Ana" << "";
        QTest::newRow("nobody named") << 1 << "" << "" << "" << false << "" << "";
        QTest::newRow("names kept as typed") << 0 << "  <b>Eva</b> " << "" << "" << true
                                             << "  <b>Eva</b> " << "";
    }

    void acceptCases()
    {
        QFETCH(int, choice);
        QFETCH(QString, single);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, opens);
        QFETCH(QString, name1);
        QFETCH(QString, name2);
        AppFixture app;
        app.useShippedLanguage();
        Form3 *players = Runtime::Show<Form3>();
        QVERIFY(players);
        QVERIFY(!players->Command2->isVisible());
        QTest::mouseClick(players->Command1[choice], Qt::LeftButton);
        QVERIFY(!players->Command1[0]->isVisible());
        QVERIFY(!players->Command1[1]->isVisible());
        QVERIFY(players->Frame1[choice]->isVisible());
        QVERIFY(!players->Frame1[1 - choice]->isVisible());
        QVERIFY(players->Command2->isVisible());
        QCOMPARE(players->palette().color(QPalette::Window),
                 bgrColour(choice == 0 ? 0x0080C0FF : 0x0080FF80));
        if (choice == 0) {
            QTest::keyClicks(players->Text1[0], single);
        } else {
            QTest::keyClicks(players->Text1[1], first);
            QTest::keyClicks(players->Text2, second);
        }
        QTest::mouseClick(players->Command2, Qt::LeftButton);
        QCOMPARE(Runtime::loaded<Form1>() != nullptr, opens);
        QCOMPARE(Module1::Player1Name, name1);
        QCOMPARE(Module1::Player2Name, name2);
        QVERIFY(Runtime::loaded<Form3>()); // stays open under the options screen
    }

    void optionsScreen()
    {
        AppFixture app;
        app.useShippedLanguage();
        app.makePictureSet(QStringLiteral("niños"), 12);
        app.makePictureSet(QStringLiteral("animales"), 12);
        app.makePictureSet(QStringLiteral("montañas"), 12);
        app.makePictureSet(QStringLiteral("Bosque"), 12); // by name whatever the case
        QVERIFY(AppFixture::writePicture(app.path(QStringLiteral("graficos/suelto.png")), QSize(8, 8),
                                         Qt::red, "png"));
        Module1::PairOption = 4;
        Form4 *stale = Runtime::Load<Form4>();
        QVERIFY(stale);
        Form1 *options = Runtime::Show<Form1>();
        QVERIFY(options);
        QVERIFY(!Runtime::loaded<Form4>()); // the options screen closes a results screen
        QCOMPARE(Module1::PairOption, quint8(2));
        QStringList listed;
        for (int i = 0; i < options->Combo1->count(); ++i)
            listed.append(options->Combo1->itemText(i));
        QCOMPARE(listed, (QStringList{QStringLiteral("animales"), QStringLiteral("Bosque"),
                                      QStringLiteral("montañas"), QStringLiteral("niños")}));
        QCOMPARE(options->Combo1->text(), QStringLiteral("animales"));
        for (int i = 0; i < 5; ++i)
            QCOMPARE(options->Command1[i]->backColour(), i == 2 ? Form1::kGreen : Form1::kYellow);
        // The set box is green, its edit field and its arrow alike, with black text.
        const QImage box = options->Combo1->grab().toImage();
        const QColor green = bgrColour(0x0080FF80);
        QCOMPARE(box.pixelColor(box.width() * 3 / 4, box.height() / 2), green);
        const QColor arrowSide = box.pixelColor(box.width() - 4, 5);
        QVERIFY2(arrowSide.green() - arrowSide.red() > 40 && arrowSide.green() - arrowSide.blue() > 40,
                 qPrintable(arrowSide.name())); // shaded, but green rather than the grey of a plain box
        QCOMPARE(options->Combo1->lineEdit()->palette().color(QPalette::Text), QColor(Qt::black));

        QTest::mouseClick(options->Command1[4], Qt::LeftButton);
        QTest::mouseClick(options->Command1[0], Qt::LeftButton);
        QCOMPARE(Module1::PairOption, quint8(0));
        for (int i = 0; i < 5; ++i)
            QCOMPARE(options->Command1[i]->backColour(), i == 0 ? Form1::kGreen : Form1::kYellow);

        // A non-ASCII set plays.
        options->Combo1->setCurrentIndex(3);
        Runtime::Show<Form5>();
        QTest::mouseClick(options->Command2, Qt::LeftButton);
        QVERIFY(!Runtime::loaded<Form5>());
        Form2 *board = Runtime::loaded<Form2>();
        QVERIFY(board);
        QVERIFY(board->File1.Path.endsWith(QStringLiteral("/graficos/niños")));
        QCOMPARE(board->TotalPairs(), 6);
        QVERIFY(app.messages.isEmpty());

        // Closing the options screen ends the program, even with the board open.
        options->close();
        QCOMPARE(app.ends, 1);
    }

    void optionsTabOrder()
    {
        AppFixture app;
        app.makePictureSet(QStringLiteral("s"), 12);
        Form1 *options = Runtime::Show<Form1>();
        QVERIFY(options);
        QCOMPARE(options->Command1[0]->nextInFocusChain(), options->Command1[1]);
        QCOMPARE(options->Command1[3]->nextInFocusChain(), options->Command2);
        QWidget *w = options->Command2;
        bool reached = false;
        for (int i = 0; i < 10 && !reached; ++i) {
            w = w->nextInFocusChain();
            reached = (w == options->Command1[4]);
        }
        QVERIFY(reached);
    }

    void closingTheTitleScreenOnlyClosesIt()
    {
        AppFixture app;
        Form5 *title = Runtime::Show<Form5>();
        title->Command1_Click();
        title->close();
        QVERIFY(!Runtime::loaded<Form5>());
        QVERIFY(Runtime::loaded<Form3>());
        QCOMPARE(app.ends, 0);
        // The last window closing ends the program.
        Runtime::loaded<Form3>()->close();
        QCOMPARE(app.ends, 1);
    }
};

QTEST_MAIN(SetupScreensTest)
#include "test_setup_screens.moc"
