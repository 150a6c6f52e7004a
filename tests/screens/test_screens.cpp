// What only the windows show: one whole series, how the program ends, the first-run move, the
// board's strip, a game by keyboard with the real two-second timer and the results' wait, and
// which language line feeds which caption.
#include "app_fixture.h"
#include "colours_fonts.h"

namespace {

QString loaded() {
    QStringList out;
    for (const Form *f : Runtime::loadedForms())
        out << f->metaObject()->className() + QString(f->isVisible() ? "" : " hidden");
    out.sort();
    return out.join(u' ');
}

template <class W> QString texts(const W *a, const W *b) { return a->text() + u'/' + b->text(); }

} // namespace

class ScreensTest : public QObject {
    Q_OBJECT
private slots:
    void series() {
        AppFixture app;
        app.makePictureSet("aaa", 24);
        app.makePictureSet("bbb", 12, "jpg");
        Module1::Player1Points = Module1::Player2Points = 99; // a series starts from nothing
        QTest::mouseClick(Runtime::Show<Form5>()->Command1, Qt::LeftButton);
        QCOMPARE(Module1::Player1Points + Module1::Player2Points, 0);
        QCOMPARE(loaded(), "Form3 Form5");
        Form3 *players = Runtime::loaded<Form3>();
        QTest::mouseClick(players->Command1[1], Qt::LeftButton);
        QTest::keyClicks(players->Text1[1], "Ana");
        QTest::keyClicks(players->Text2, "Luis");
        QTest::mouseClick(players->Command2, Qt::LeftButton);
        QCOMPARE(loaded(), "Form1 Form3 Form5");
        Form1 *options = Runtime::loaded<Form1>();
        QCOMPARE(options->palette().color(QPalette::Window), QColor(255, 224, 192)); // 0x00C0E0FF
        QTest::mouseClick(options->Command2, Qt::LeftButton); // 12 pairs, chosen at the start
        QCOMPARE(loaded(), "Form1 hidden Form2");
        Form2 *board = Runtime::loaded<Form2>();
        QCOMPARE(board->Picture2.size(), 24);
        QCOMPARE(texts(board->Label1[0], board->Label1[1]), "Le toca a Ana/Luis");
        const auto [a, b] = mismatchedSlots(board);
        board->setFocus(); // as for a player with the mouse: the window holds the focus
        QTest::mouseClick(board->Picture2[a], Qt::LeftButton);
        QTest::mouseClick(board->Picture2[b], Qt::LeftButton);
        QCOMPARE(texts(board->Label1[0], board->Label1[1]), "Ana/Le toca a Luis");
        QVERIFY(std::none_of(board->Picture2.begin(), board->Picture2.end(), [](auto *s) { return s->isMarked(); }));
        board->Timer1_Timer();
        finishGame(board, [&](Form4 *results) { // Luis finds every pair
            QCOMPARE(loaded(), "Form1 hidden Form2 Form4");
            QCOMPARE(QApplication::activeModalWidget(), results);
            QCOMPARE(texts(results->Label1, results->Label2),
                     "Ana ha encontrado 0 parejas. Lleva  0 puntos/Luis ha encontrado 12 parejas. Lleva  2 puntos");
        });
        QCOMPARE(loaded(), "Form1");
        options->Combo1->setCurrentIndex(1);
        QTest::mouseClick(options->Command1[0], Qt::LeftButton);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(options->Command1[i]->grab().toImage().pixelColor(4, 4),
                     bgrColour(i ? Form1::kYellow : Form1::kGreen));
        QTest::mouseClick(options->Command2, Qt::LeftButton);
        board = Runtime::loaded<Form2>();
        QCOMPARE(board->File1.Path, app.path("graficos/bbb"));
        QCOMPARE(board->Picture2.size(), 12);
        QCOMPARE(texts(board->Text2[0], board->Text2[1]), "0/2");
        finishGame(board, [](Form4 *r) { QCOMPARE(r->Label2->text(), "Luis ha encontrado 0 parejas. Lleva  2 puntos"); },
                   false); // "FIN JUEGO"
        QCOMPARE(app.ends, 1);
        QCOMPARE(loaded(), "");
    }

    void players_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("typed"); // into the shown panel's boxes, player 1 / player 2
        QTest::addColumn<QString>("names"); // stored, or "-" when "ACEPTAR" did nothing
        QTest::newRow("1 jugador") << 0 << "Ana/" << "Ana/";
        QTest::newRow("2 jugadores, only player 2's name") << 1 << "/Luis" << "/Luis";
        QTest::newRow("every box empty: nothing happens") << 1 << "/" << "-";
    }
    void players() {
        QFETCH(int, button);
        QFETCH(QString, typed);
        QFETCH(QString, names);
        AppFixture app;
        Form3 *players = Runtime::Show<Form3>();
        QTest::mouseClick(players->Command1[button], Qt::LeftButton);
        // The panel's colour tells one player from two.
        QCOMPARE(players->palette().color(QPalette::Window), bgrColour(button ? 0x0080FF80 : 0x0080C0FF));
        QTest::keyClicks(players->Text1[button], typed.section(u'/', 0, 0));
        QTest::keyClicks(players->Text2, typed.section(u'/', 1));
        QTest::mouseClick(players->Command2, Qt::LeftButton);
        QCOMPARE(Runtime::loaded<Form1>() ? Module1::Player1Name + u'/' + Module1::Player2Name : "-", names);
    }

    void endings_data() {
        QTest::addColumn<QString>("what");
        QTest::newRow("closing the title leaves the players") << "title";
        QTest::newRow("closing the board brings the options back") << "board";
        QTest::newRow("closing the options ends, the board open") << "options";
        QTest::newRow("the quit button ends at once") << "quit";
        QTest::newRow("quit during the results' wait: no points, no cue") << "wait";
    }
    void endings() {
        QFETCH(QString, what);
        AppFixture app;
        app.makePictureSet("s", 6);
        Form2 *board = what == "title" ? nullptr : openBoard("Ana");
        if (what == "title") {
            Runtime::Show<Form5>()->Command1->click();
            Runtime::loaded<Form5>()->close();
        } else if (what == "options") {
            Runtime::loaded<Form1>()->close();
        } else if (what == "board") {
            board->close();
        } else if (what == "quit") {
            board->Command1->click();
        } else {
            app.clock.step = 0.001; // a long wait on the clock
            clickAllPairs(board);
            app.sound.cues.clear();
            QTimer::singleShot(100, board, [board] { board->Command1->click(); });
            board->Timer1_Timer();
            QCOMPARE(Module1::Player1Points + app.sound.cues.size(), 0);
        }
        QCOMPARE(app.ends, what == "title" || what == "board" ? 0 : 1);
        QCOMPARE(loaded(), app.ends ? "" : what == "board" ? "Form1" : "Form3");
    }

    void firstRun_data() {
        QTest::addColumn<bool>("store"); // the picture store is there already
        QTest::newRow("no store: 1 to 49 move into a new one, 50 stays") << false;
        QTest::newRow("a store, even empty: nothing moves") << true;
    }
    void firstRun() {
        QFETCH(bool, store);
        AppFixture app;
        QVERIFY(!store || QDir().mkdir(app.path("graficos")));
        for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 49, 50})
            QVERIFY(AppFixture::writePicture(app.path(QString::number(n) + ".gif"), {8, 8}));
        Runtime::Show<Form3>();
        for (const char *name : {"1.gif", "49.gif"}) {
            QCOMPARE(QFile::exists(app.path(name)), store);
            QCOMPARE(QFile::exists(app.path("graficos/") + name), !store);
        }
        QVERIFY(QFile::exists(app.path("50.gif")) && !QFile::exists(app.path("graficos/50.gif")));
        // No set in the store: the board deals from the store itself.
        QCOMPARE(Runtime::Show<Form1>()->Combo1->text(), "");
        Runtime::loaded<Form1>()->Command1[0]->click();
        Runtime::loaded<Form1>()->Command2->click();
        QCOMPARE(Runtime::loaded<Form2>() != nullptr, !store);
    }

    void strip_data() {
        QTest::addColumn<int>("width"); // of the screen
        QTest::addColumn<bool>("two");
        QTest::addColumn<QList<int>>("lefts"); // Label1(0), Label1(1), Text1(1), Text2(1), Label2, Command1
        QTest::newRow("two players") << 15360 << true << QList{1435, 6220, 5520, 5025, 11610, 14975};
        QTest::newRow("not a multiple of 3") << 20480 << true << QList{1435, 7926, 7226, 6731, 16730, 20095};
        QTest::newRow("one player") << 15360 << false << QList{1435, 5760, 5280, 4800, 11610, 14975};
    }
    void strip() {
        QFETCH(int, width);
        QFETCH(bool, two);
        QFETCH(QList<int>, lefts);
        AppFixture app;
        app.makePictureSet("s", 6);
        Twips::setScreen({width, 11520});
        Module1::MismatchCount = 5;
        Form2 *board = openBoard("Ana", two ? "Luis" : "");
        QList<int> got;
        for (const QWidget *w : QList<QWidget *>{board->Label1[0], board->Label1[1], board->Text1[1],
                                                 board->Text2[1], board->Label2, board->Command1})
            got << Twips::left(w);
        QCOMPARE(got, lefts);
        QCOMPARE(board->Text1[1]->isVisible() + board->Text2[1]->isVisible(), 2 * two);
        QCOMPARE(Module1::MismatchCount, two ? 5 : 0); // one player: counted afresh
        QCOMPARE(board->Text2[0]->grab().toImage().pixelColor(3, 3), QColor(255, 128, 0)); // orange
    }

    void resized() { // a tile smaller than the screen: the board is laid out again inside it
        AppFixture app;
        app.makePictureSet("s", 21);
        Form2 *board = openBoard("Ana", "Luis", 4);
        QTest::mouseClick(board->Picture2[41], Qt::LeftButton);
        board->showNormal();
        board->resize(640, 400);
        QList<QWidget *> parts{board->Command1, board->Label2, board->Label1[1], board->Text2[1]};
        for (QWidget *card : board->Picture2)
            parts << card;
        QTRY_VERIFY(std::all_of(parts.begin(), parts.end(), [&](QWidget *w) { return board->rect().contains(w->geometry()); }));
        // The card turned stays up, its face refitted to the smaller card.
        const int w = Twips::width(board->Picture2[41]);
        QVERIFY(!board->Image1[41]->isHidden() && board->game().CardsTurned == 1);
        QCOMPARE(Twips::geometry(board->Image1[41]).size(), QSize(w, w * 3 / 4));
    }

    void aGame_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("end"); // the clock reading the results' wait ends at
        QTest::newRow("100.5 halves to even") << 100.5 << 103.0;
        QTest::newRow("100.6 rounds up") << 100.6 << 104.0;
        QTest::newRow("begun before midnight") << 86398.9 << 2.0;
    }
    void aGame() { // one player, with the real two-second timer
        QFETCH(double, start);
        QFETCH(double, end);
        AppFixture app;
        app.makePictureSet("s", 6);
        Form2 *board = openBoard("Ana"); // 12 cards in rows of 4
        const auto [a, b] = mismatchedSlots(board);
        QCOMPARE(a, 0);
        // The arrows move the keyboard frame from row to row around the board; Space turns.
        const std::pair<Qt::Key, int> steps[] = {
            {Qt::Key_Right, 0}, {Qt::Key_Up, 8}, {Qt::Key_Left, 7}, {Qt::Key_Down, 11}, {Qt::Key_Right, 0}};
        for (auto [key, marked] : steps) {
            QTest::keyClick(board, key);
            QVERIFY2(board->Picture2[marked]->isMarked(), qPrintable(QString::number(marked)));
        }
        QTest::keyClick(board, Qt::Key_Space);
        // Shown at once, before the background decode has handed the face over; as wide as the
        // card, in the picture's shape; named without the file's extension.
        QVERIFY(!board->Image1[a]->isHidden() && !board->Image1[a]->picture().isNull());
        const int w = Twips::width(board->Picture2[a]);
        QCOMPARE(Twips::geometry(board->Image1[a]).size(), QSize(w, w * 3 / 4));
        QCOMPARE(board->Label2->text() + ".png", board->File1.List(board->pictureOf(a)));
        QCOMPARE(app.sound.cues, QStringList{"abrir.wav"});
        QTest::mouseClick(board->Picture2[b], Qt::LeftButton);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!board->isEnabled());
        const QPalette p = board->Label1[0]->palette(); // captions keep their colours meanwhile
        QCOMPARE(p.color(QPalette::Disabled, QPalette::WindowText), p.color(QPalette::Active, QPalette::WindowText));
        QVERIFY(QTest::qWaitFor([&] { return board->isEnabled(); }, 5000));
        QVERIFY2(clock.elapsed() >= 1900, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(board->Image1[a]->isHidden() && board->Image1[b]->isHidden());
        QCOMPARE(app.sound.cues.last(), "cerrar.wav");
        app.clock.now = start;
        app.clock.step = 0.05;
        finishGame(board, [&](Form4 *results) {
            QVERIFY2(app.clock.now > end && app.clock.now < end + 0.2, qPrintable(QString::number(app.clock.now)));
            QCOMPARE(QApplication::activeModalWidget(), results);
            // Match cues 1 to 12 while playing, then one result cue played to its end.
            QVERIFY(app.sound.cues.at(app.sound.cues.size() - 2).contains(QRegularExpression("^([1-9]|1[0-2])\\.wav$")));
            QCOMPARE(app.sound.cues.filter(QRegularExpression("sync|ganador|empate")), QStringList{"ganador.wav sync"});
            QCOMPARE(results->Label1->text(), "Ana lo ha conseguido en 7 intentos");
        });
    }

    void captions_data() {
        QTest::addColumn<int>("lines"); // of a file whose line n reads "Ln"
        QTest::addColumn<QString>("captions");
        QTest::newRow("20 lines") << 20 << "L1|L2|L3|L4|L5|L6|L7|L8|L9|L10|L11|L12|L13 Ana|L14|L15|Ana L16 6 L17";
        QTest::newRow("14 lines") << 14 << "L1|L2|L3|L4|L5|L6|L7|L8|L9|L10|L11|L12|L13 Ana|L14|L14|Ana  6 ";
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
        app.makePictureSet("s", 6);
        Form2 *board = openBoard("Ana");
        // The board unloaded the title and the players: shown again, they read the file again.
        const Form3 *p = Runtime::Show<Form3>();
        const Form1 *o = Runtime::loaded<Form1>();
        QStringList got{Runtime::Show<Form5>()->Command1->text(), p->Command1[0]->text(), p->Command1[1]->text(),
                        p->Label1[0]->text(), p->Frame1[1]->title(), p->Label1[1]->text(), p->Label2->text(),
                        p->Command2->text(), o->Label2[2]->text(), o->Label2[1]->text(), o->Label2[0]->text(),
                        o->Command2->text(), board->Label1[0]->text()};
        finishGame(board, [&](Form4 *r) { got << r->Command1->text() << r->Command2->text() << r->Label1->text(); });
        QCOMPARE(got.join(u'|'), captions);
    }
};

QTEST_MAIN(ScreensTest)
#include "test_screens.moc"
