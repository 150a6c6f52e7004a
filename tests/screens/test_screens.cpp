// What only the windows show: how the program ends, the first-run move, the board's strip and
// turns with the real two-second timer, the results' wait, which language line feeds which
// caption, the players' own picture sets and the keyboard.
#include <QtTest>

#include <QApplication>

#include "app_fixture.h"
#include "board_screen.h"
#include "module1.h"
#include "options_screen.h"
#include "platform.h"
#include "players_screen.h"
#include "results_screen.h"
#include "title_screen.h"
#include "twips.h"

class ScreensTest : public QObject {
    Q_OBJECT

private slots:
    void endings_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<int>("ends");
        QTest::newRow("closing the title leaves the players") << "title" << 0;
        QTest::newRow("closing the options ends, the board open") << "options" << 1;
        QTest::newRow("the quit button ends at once") << "quit" << 1;
        QTest::newRow("quit during the results' wait: no points, no cue") << "wait" << 1;
    }
    void endings() {
        QFETCH(QString, what);
        QFETCH(int, ends);
        AppFixture app;
        app.makePictureSet(QStringLiteral("s"), 6);
        if (what == QLatin1String("title")) {
            Form5 *title = Runtime::Show<Form5>();
            title->Command1->click();
            title->close();
            QVERIFY(Runtime::loaded<Form3>() && !Runtime::loaded<Form5>());
        } else {
            Form2 *board = openBoard(QStringLiteral("Ana"));
            QVERIFY(board);
            if (what == QLatin1String("options"))
                Runtime::loaded<Form1>()->close();
            else if (what == QLatin1String("quit"))
                board->Command1->click();
            else {
                app.clock.step = 0.001; // a long wait on the clock
                clickAllPairs(board);
                app.sound.names.clear();
                QTimer::singleShot(100, board, [board] { board->Command1->click(); });
                board->Timer1_Timer();
                QCOMPARE(Module1::Player1Points, 0);
                QCOMPARE(app.sound.names, QStringList());
            }
        }
        QCOMPARE(app.ends, ends);
        QCOMPARE(Runtime::loadedForms().isEmpty(), ends == 1);
    }

    void firstRun_data() {
        QTest::addColumn<bool>("store"); // the picture store is there already
        QTest::newRow("no store: 1 to 49 move into a new one, 50 stays") << false;
        QTest::newRow("a store, even empty: nothing moves") << true;
    }
    void firstRun() {
        QFETCH(bool, store);
        AppFixture app;
        if (store)
            QVERIFY(QDir().mkdir(app.path(QStringLiteral("graficos"))));
        for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 49, 50})
            QVERIFY(
                AppFixture::writePicture(app.path(QStringLiteral("%1.gif").arg(n)), QSize(8, 8)));
        Runtime::Show<Form3>();
        for (int n : {1, 49}) {
            QCOMPARE(QFile::exists(app.path(QStringLiteral("graficos/%1.gif").arg(n))), !store);
            QCOMPARE(QFile::exists(app.path(QStringLiteral("%1.gif").arg(n))), store);
        }
        QVERIFY(QFile::exists(app.path(QStringLiteral("50.gif"))));
        QVERIFY(!QFile::exists(app.path(QStringLiteral("graficos/50.gif"))));
        // With no set in the store, the board deals from the store itself.
        Runtime::Show<Form1>()->Command1[0]->click();
        QCOMPARE(Runtime::loaded<Form1>()->Combo1->text(), QString());
        Runtime::loaded<Form1>()->Command2->click();
        QCOMPARE(Runtime::loaded<Form2>() != nullptr, !store);
        QCOMPARE(app.messages.size(), store ? 1 : 0);
    }

    void strip_data() {
        QTest::addColumn<int>("screenWidth");
        QTest::addColumn<bool>("two");
        QTest::addColumn<QList<int>>(
            "lefts"); // Label1(0), Label1(1), Text1(1), Text2(1), Label2, Command1
        QTest::newRow("two players")
            << 15360 << true << QList<int>{1435, 6220, 5520, 5025, 11610, 14975};
        QTest::newRow("width not a multiple of 3")
            << 20480 << true << QList<int>{1435, 7926, 7226, 6731, 16730, 20095};
        QTest::newRow("one player")
            << 15360 << false << QList<int>{1435, 5760, 5280, 4800, 11610, 14975};
    }
    void strip() {
        QFETCH(int, screenWidth);
        QFETCH(bool, two);
        QFETCH(QList<int>, lefts);
        AppFixture app;
        app.makePictureSet(QStringLiteral("s"), 6);
        Platform::setScreenTwips(QSize(screenWidth, 11520));
        Module1::MismatchCount = 5;
        Form2 *board = openBoard(QStringLiteral("Ana"), two ? QStringLiteral("Luis") : QString());
        QVERIFY(board);
        const QList<QWidget *> strip{board->Label1[0], board->Label1[1], board->Text1[1],
                                     board->Text2[1],  board->Label2,    board->Command1};
        QList<int> got;
        for (QWidget *w : strip)
            got.append(Twips::left(w));
        QCOMPARE(got, lefts);
        QCOMPARE(board->Text1[1]->isVisible(), two);
        QCOMPARE(board->Text2[1]->isVisible(), two);
        QCOMPARE(Module1::MismatchCount, qint16(two ? 5 : 0)); // one player: counted afresh
        // Orange series points (0x000080FF), as the window shows them.
        QCOMPARE(board->Text2[0]->grab().toImage().pixelColor(3, 3), QColor(255, 128, 0));
    }

    void turns() {
        AppFixture app;
        app.makePictureSet(QStringLiteral("s"), 6);
        Form2 *board = openBoard(QStringLiteral("Ana"));
        QVERIFY(board);
        const auto [a, b] = mismatchedSlots(board);
        QTest::mouseClick(board->Picture2[a], Qt::LeftButton);
        // Shown at once, even before the background decode has handed the face over.
        QVERIFY(!board->Image1[a]->isHidden() && !board->Image1[a]->picture().isNull());
        QCOMPARE(Twips::width(board->Image1[a]), Twips::width(board->Picture2[a]));
        QCOMPARE(Twips::height(board->Image1[a]), Twips::width(board->Image1[a]) * 36 / 48);
        const QString file = board->File1.List(board->CardPicture()[a].toInt());
        QCOMPARE(board->Label2->text() + QStringLiteral(".png"), file);
        QCOMPARE(app.sound.names, QStringList{QStringLiteral("abrir.wav")});
        QCOMPARE(app.sound.modes, QList<quint32>{SND_ASYNC});

        QTest::mouseClick(board->Picture2[b], Qt::LeftButton);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!board->isEnabled());
        const QPalette p = board->Label1[0]->palette(); // captions keep their colours meanwhile
        QCOMPARE(p.color(QPalette::Disabled, QPalette::WindowText),
                 p.color(QPalette::Active, QPalette::WindowText));
        QVERIFY(QTest::qWaitFor([&] { return board->isEnabled(); }, 5000));
        QVERIFY2(clock.elapsed() >= 1900, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(board->Image1[a]->isHidden() && board->Image1[b]->isHidden());
        QCOMPARE(app.sound.names.last(), QStringLiteral("cerrar.wav"));

        const int first = board->CardPicture().indexOf(board->CardPicture()[a]);
        const int partner =
            first != a ? first : board->CardPicture().indexOf(board->CardPicture()[a], a + 1);
        QTest::mouseClick(board->Picture2[a], Qt::LeftButton);
        QTest::mouseClick(board->Picture2[partner], Qt::LeftButton);
        QCOMPARE(board->Text1[0]->text(), QStringLiteral("1"));
        QVERIFY(QRegularExpression(QStringLiteral("^([1-9]|1[0-2])\\.wav$"))
                    .match(app.sound.names.last())
                    .hasMatch());
        QCOMPARE(app.sound.modes.last(), SND_ASYNC);
        QVERIFY(board->isEnabled() && !board->Timer1->isActive());
    }

    void resultsWait_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("end"); // the clock reading the wait ends at
        QTest::newRow("100.5 halves to even") << 100.5 << 103.0;
        QTest::newRow("100.6 rounds up") << 100.6 << 104.0;
        QTest::newRow("begun before midnight") << 86398.9 << 2.0;
    }
    void resultsWait() {
        QFETCH(double, start);
        QFETCH(double, end);
        AppFixture app;
        app.useShippedLanguage();
        app.makePictureSet(QStringLiteral("s"), 6);
        Form2 *board = openBoard(QStringLiteral("Ana"));
        QVERIFY(board);
        const auto [a, b] = mismatchedSlots(board);
        board->picture2_Click(a);
        board->picture2_Click(b);
        board->Timer1_Timer();
        app.clock.now = start;
        app.clock.step = 0.05;
        finishGame(board, [&](Form4 *results) {
            QVERIFY2(app.clock.now > end && app.clock.now < end + 0.2,
                     qPrintable(QString::number(app.clock.now)));
            QCOMPARE(QApplication::activeModalWidget(), results);
            // One result cue, played to its end before the results show.
            QCOMPARE(
                app.sound.names.filter(QRegularExpression(QStringLiteral("^(ganador|empate)"))),
                QStringList{QStringLiteral("ganador.wav")});
            QCOMPARE(app.sound.names.last(), QStringLiteral("ganador.wav"));
            QCOMPARE(app.sound.modes.last(), SND_SYNC);
            QCOMPARE(results->Label1->text(), QStringLiteral("Ana lo ha conseguido en 7 intentos"));
        });
    }

    void captions_data() {
        QTest::addColumn<int>("lines"); // of a file whose line n reads "Ln"
        QTest::addColumn<QString>("captions");
        QTest::newRow("20 lines")
            << 20 << "L1|L2|L3|L4|L5|L6|L7|L8|L9|L10|L11|L12|L13 Ana|L14|L15|Ana L16 6 L17";
        QTest::newRow("14 lines")
            << 14 << "L1|L2|L3|L4|L5|L6|L7|L8|L9|L10|L11|L12|L13 Ana|L14|L14|Ana  6 ";
        QTest::newRow("10 lines") << 10 << "L1|L2|L3|L4|L5|L6|L7|L8|L9|L10|L10|L10| Ana|||Ana  6 ";
    }
    void captions() {
        QFETCH(int, lines);
        QFETCH(QString, captions);
        AppFixture app;
        QByteArray file;
        for (int n = 1; n <= lines; ++n)
            file += "L" + QByteArray::number(n) + "\r\n";
        app.writeLanguage(file);
        app.makePictureSet(QStringLiteral("s"), 6);
        Form2 *board = openBoard(QStringLiteral("Ana"));
        QVERIFY(board);
        // The board unloaded the title and the players: shown again, they read the file again.
        const Form3 *p = Runtime::Show<Form3>();
        const Form1 *o = Runtime::loaded<Form1>();
        QStringList got{Runtime::Show<Form5>()->Command1->text()};
        got << p->Command1[0]->text() << p->Command1[1]->text() << p->Label1[0]->text()
            << p->Frame1[1]->title() << p->Label1[1]->text() << p->Label2->text()
            << p->Command2->text() << o->Label2[2]->text() << o->Label2[1]->text()
            << o->Label2[0]->text() << o->Command2->text() << board->Label1[0]->text();
        finishGame(board, [&](Form4 *r) {
            got << r->Command1->text() << r->Command2->text() << r->Label1->text();
        });
        QCOMPARE(got.join(u'|'), captions);
    }

    void playersOwnSets() {
        AppFixture app;
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
        app.makePictureSet(QStringLiteral("animales"), 6);
        const QString own = home.path() + QStringLiteral("/trabel/graficos/");
        QVERIFY(
            QDir().mkpath(own + QStringLiteral("animales"))); // the shipped one of that name wins
        QVERIFY(QDir().mkpath(own + QStringLiteral("abuelos")));
        for (int i = 0; i < 6; ++i)
            QVERIFY(AppFixture::writePicture(own + QStringLiteral("abuelos/foto%1.jpg").arg(i),
                                             QSize(40, 30), "jpg"));
        Form2 *board = openBoard(QStringLiteral("Ana"), {}, 0, QStringLiteral("abuelos"));
        QVERIFY(board);
        QCOMPARE(board->File1.Path, own + QStringLiteral("abuelos"));
        const ComboBox *sets = Runtime::loaded<Form1>()->Combo1;
        QCOMPARE(QStringList({sets->itemText(0), sets->itemText(1)}),
                 QStringList({"animales", "abuelos"}));
        QCOMPARE(sets->count(), 2);
        Runtime::Unload<Form2>();
        Runtime::loaded<Form1>()->Combo1->setText(QStringLiteral("animales"));
        Runtime::loaded<Form1>()->Command2->click();
        QCOMPARE(Runtime::loaded<Form2>()->File1.Path,
                 app.path(QStringLiteral("graficos/animales")));
        qunsetenv("XDG_DATA_HOME");
    }

    void keyboard() {
        AppFixture app;
        app.makePictureSet(QStringLiteral("s"), 6);
        Form2 *board = openBoard(QStringLiteral("Ana")); // 12 cards in rows of 4
        QVERIFY(board);
        const std::pair<Qt::Key, int> steps[] = {{Qt::Key_Right, 0},
                                                 {Qt::Key_Up, 8},
                                                 {Qt::Key_Left, 7},
                                                 {Qt::Key_Down, 11},
                                                 {Qt::Key_Right, 0}};
        for (auto [key, marked] : steps) {
            QTest::keyClick(board, key);
            QVERIFY2(board->Picture2[marked]->isMarked(), qPrintable(QString::number(marked)));
        }
        QTest::keyClick(board, Qt::Key_Space);
        QVERIFY(!board->Image1[0]->isHidden());
    }
};

QTEST_MAIN(ScreensTest)
#include "test_screens.moc"
