// What only the windows show: a series, the ways out, the players screen, the board's strip
// and relayout, a game on the real timer, the results' wait, which line feeds which caption.
#include "app_fixture.h"
#include "colours_fonts.h"

static QString loaded() // the forms loaded, by class, each visible or not
{
    QStringList out;
    for (const Form *f : Runtime::loadedForms())
        out << f->metaObject()->className() + QString(f->isVisible() ? "" : " hidden");
    out.sort();
    return out.join(u' ');
}

const auto texts = [](auto *a, auto *b) { return a->text() + u'/' + b->text(); };
const auto cardFace = [](QWidget *c) { return QSize(Twips::width(c), Twips::width(c) * 3 / 4); };

class ScreensTest : public QObject
{
    Q_OBJECT
private slots:
    void series()
    {
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
        QVERIFY(std::ranges::none_of(board->Picture2, &CardSlot::isMarked));
        board->Timer1_Timer();
        finishGame(board, [&](Form4 *results) { // Luis finds every pair
            QCOMPARE(loaded(), "Form1 hidden Form2 Form4");
            QCOMPARE(QApplication::activeModalWidget(), results);
            QCOMPARE(results->Label1->text(), "Ana ha encontrado 0 parejas. Lleva  0 puntos");
            QCOMPARE(results->Label2->text(), "Luis ha encontrado 12 parejas. Lleva  2 puntos");
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
        QString last;
        const auto seen = [&](Form4 *results) { last = results->Label2->text(); };
        finishGame(board, seen, false); // "FIN JUEGO"
        QCOMPARE(last, "Luis ha encontrado 0 parejas. Lleva  2 puntos");
        QCOMPARE(app.ends, 1);
        QCOMPARE(loaded(), "");
    }
    void players_data()
    {
        QTest::addColumn<int>("button");    // the panel, its colour telling one player from two
        QTest::addColumn<QString>("typed"); // player 1 / player 2; none: "ACEPTAR" does nothing
        QTest::addColumn<bool>("store");    // a picture store is there already
        QTest::newRow("1 jugador; no store: 1 to 49 move into a new one") << 0 << "Ana/" << false;
        QTest::newRow("2 jugadores, player 2 only; a store, even empty") << 1 << "/Luis" << true;
        QTest::newRow("every box empty: nothing happens") << 1 << "/" << false;
    }
    void players()
    {
        QFETCH(int, button);
        QFETCH(QString, typed);
        QFETCH(bool, store);
        AppFixture app;
        QVERIFY(!store || QDir().mkdir(app.path("graficos")));
        for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 49, 50})
            QVERIFY(AppFixture::writePicture(app.path(QString::number(n) + ".gif"), {8, 8}));
        Form3 *form = Runtime::Show<Form3>(); // the first run's move; 50 always stays
        for (const QString name : {"1.gif", "49.gif", "50.gif"}) {
            const bool moves = !store && name != "50.gif";
            QCOMPARE(QFile::exists(app.path(name)), !moves);
            QCOMPARE(QFile::exists(app.path("graficos/" + name)), moves);
        }
        QTest::mouseClick(form->Command1[button], Qt::LeftButton);
        QCOMPARE(form->palette().color(QPalette::Window), bgrColour(button ? 0x80FF80 : 0x80C0FF));
        QTest::keyClicks(form->Text1[button], typed.section(u'/', 0, 0));
        QTest::keyClicks(form->Text2, typed.section(u'/', 1));
        QTest::mouseClick(form->Command2, Qt::LeftButton);
        Form1 *options = Runtime::loaded<Form1>();
        const QString names = Module1::Player1Name + u'/' + Module1::Player2Name;
        QCOMPARE(options ? names : "-", typed == "/" ? "-" : typed); // stored as typed
        if (!options)
            return;
        // No set in the store: the board deals from the store itself.
        QCOMPARE(options->Combo1->text(), "");
        options->Command1[0]->click();
        options->Command2->click();
        QCOMPARE(Runtime::loaded<Form2>() != nullptr, !store);
    }
    void endings_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("closing the title leaves the players") << "title";
        QTest::newRow("closing the board brings the options back") << "board";
        QTest::newRow("closing the options ends, the board open") << "options";
        QTest::newRow("the quit button ends at once") << "quit";
        QTest::newRow("quit during the results' wait: no points, no cue") << "wait";
    }
    void endings()
    {
        QFETCH(QString, what);
        AppFixture app;
        app.makePictureSet("s", 6);
        Form2 *board = what == "title" ? nullptr : openBoard("Ana");
        if (what == "title") {
            Runtime::Show<Form5>()->Command1->click();
            Runtime::loaded<Form5>()->close();
        } else if (what == "wait") {
            app.clock.step = 0.001; // a long wait on the clock
            clickAllPairs(board);
            app.sound.cues.clear();
            QTimer::singleShot(100, board, [board] { board->Command1->click(); });
            board->Timer1_Timer();
            QCOMPARE(Module1::Player1Points + app.sound.cues.size(), 0);
        } else if (what == "quit") {
            board->Command1->click();
        } else {
            what == "board" ? board->close() : Runtime::loaded<Form1>()->close();
        }
        QCOMPARE(app.ends, what == "title" || what == "board" ? 0 : 1);
        QCOMPARE(loaded(), app.ends ? "" : what == "board" ? "Form1" : "Form3");
    }
    void strip_data()
    {
        // Screen width; lefts of Label1(0), Label1(1), Text1(1), Text2(1), Label2, Command1.
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("two");
        QTest::addColumn<QString>("lefts");
        QTest::newRow("two players") << 15360 << true << "1435 6220 5520 5025 11610 14975";
        QTest::newRow("not a multiple of 3") << 20480 << true << "1435 7926 7226 6731 16730 20095";
        QTest::newRow("one player") << 15360 << false << "1435 5760 5280 4800 11610 14975";
    }
    void strip()
    {
        QFETCH(int, width);
        QFETCH(bool, two);
        QFETCH(QString, lefts);
        AppFixture app;
        app.makePictureSet("s", 6);
        Twips::setScreen({width, 11520});
        Module1::MismatchCount = 5;
        Form2 *b = openBoard("Ana", two ? "Luis" : "");
        QWidgetList w{b->Label1[0], b->Label1[1], b->Text1[1], b->Text2[1], b->Label2, b->Command1};
        QStringList got;
        for (const QWidget *widget : w)
            got << QString::number(Twips::left(widget));
        QCOMPARE(got.join(u' '), lefts);
        QCOMPARE(b->Text1[1]->isVisible() + b->Text2[1]->isVisible(), 2 * two);
        QCOMPARE(Module1::MismatchCount, two ? 5 : 0); // one player: counted afresh
        QCOMPARE(b->Text2[0]->grab().toImage().pixelColor(3, 3), QColor(255, 128, 0)); // orange
        if (!two) // one player: Label1(1) stands over the top edge, as designed
            return;
        // In a smaller tile the board is laid out again inside it; the turned card's face refits.
        QTest::mouseClick(b->Picture2[11], Qt::LeftButton);
        b->showNormal();
        b->resize(640, 400);
        w += QWidgetList(b->Picture2.begin(), b->Picture2.end()); // and the cards
        auto inside = [&](QWidget *widget) { return b->rect().contains(widget->geometry()); };
        QTRY_VERIFY(std::ranges::all_of(w, inside));
        QVERIFY(!b->Image1[11]->isHidden() && b->game().CardsTurned == 1);
        QCOMPARE(Twips::geometry(b->Image1[11]).size(), cardFace(b->Picture2[11]));
    }
    void aGame_data()
    {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("end"); // the clock reading the results' wait ends at
        QTest::newRow("100.5 halves to even") << 100.5 << 103.0;
        QTest::newRow("100.6 rounds up") << 100.6 << 104.0;
        QTest::newRow("begun before midnight") << 86398.9 << 2.0;
    }
    void aGame() // one player, with the real two-second timer
    {
        QFETCH(double, start);
        QFETCH(double, end);
        AppFixture app;
        app.makePictureSet("s", 6);
        Form2 *board = openBoard("Ana"); // 12 cards in rows of 4
        const auto [a, b] = mismatchedSlots(board);
        QCOMPARE(a, 0);
        // The arrows move the keyboard frame from row to row around the board; Space turns.
        Qt::Key keys[] = {Qt::Key_Right, Qt::Key_Up, Qt::Key_Left, Qt::Key_Down, Qt::Key_Right};
        const int marked[] = {0, 8, 7, 11, 0};
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(board, keys[i]);
            QVERIFY2(board->Picture2[marked[i]]->isMarked(), QByteArray::number(marked[i]));
        }
        QTest::keyClick(board, Qt::Key_Space);
        // Shown at once, before the decode hands it over; card-sized; named without extension.
        QVERIFY(!board->Image1[a]->isHidden() && !board->Image1[a]->picture().isNull());
        QCOMPARE(Twips::geometry(board->Image1[a]).size(), cardFace(board->Picture2[a]));
        QCOMPARE(board->Label2->text() + ".png", board->File1.List(board->pictureOf(a)));
        QCOMPARE(app.sound.cues, QStringList{"abrir.wav"});
        QTest::mouseClick(board->Picture2[b], Qt::LeftButton);
        const QDeadlineTimer twoSeconds(1900); // the cards stay up that long
        QVERIFY(!board->isEnabled());
        const QPalette p = board->Label1[0]->palette(); // captions keep their colours meanwhile
        QCOMPARE(p.color(p.Disabled, p.WindowText), p.color(p.Active, p.WindowText));
        QVERIFY(QTest::qWaitFor([&] { return board->isEnabled(); }, 5000));
        QVERIFY(twoSeconds.hasExpired());
        QVERIFY(board->Image1[a]->isHidden() && board->Image1[b]->isHidden());
        QCOMPARE(app.sound.cues.last(), "cerrar.wav");
        app.clock.now = start;
        app.clock.step = 0.05;
        finishGame(board, [&](Form4 *results) {
            QCOMPARE_GT(app.clock.now, end);
            QCOMPARE_LT(app.clock.now, end + 0.2);
            QCOMPARE(QApplication::activeModalWidget(), results);
            // Match cues 1 to 12 while playing, then one result cue played to its end.
            const QStringList &cues = app.sound.cues;
            QVERIFY(cues[cues.size() - 2].contains(QRegularExpression("^([1-9]|1[0-2])\\.wav$")));
            QCOMPARE(cues.filter(QRegularExpression("sync|ganador|empate")).join(u'|'),
                     "ganador.wav sync");
            QCOMPARE(results->Label1->text(), "Ana lo ha conseguido en 7 intentos");
        });
    }
    void captions_data()
    {
        // Line n of the file reads "Ln"; the first ten captions always read lines 1 to 10.
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("captions");
        QTest::newRow("20 lines") << 20 << "L11|L12|L13 Ana|L14|L15|Ana L16 6 L17";
        QTest::newRow("14 lines") << 14 << "L11|L12|L13 Ana|L14|L14|Ana  6 ";
        QTest::newRow("10 lines") << 10 << "L10|L10| Ana|||Ana  6 ";
    }
    void captions()
    {
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
        QStringList got{Runtime::Show<Form5>()->Command1->text()};
        got << p->Command1[0]->text() << p->Command1[1]->text() << p->Label1[0]->text()
            << p->Frame1[1]->title() << p->Label1[1]->text() << p->Label2->text()
            << p->Command2->text() << o->Label2[2]->text() << o->Label2[1]->text()
            << o->Label2[0]->text() << o->Command2->text() << board->Label1[0]->text();
        finishGame(board, [&](Form4 *r) {
            got << r->Command1->text() << r->Command2->text() << r->Label1->text();
        });
        QCOMPARE(got.join(u'|'), "L1|L2|L3|L4|L5|L6|L7|L8|L9|L10|" + captions);
    }
};

QTEST_MAIN(ScreensTest)
#include "test_screens.moc"
