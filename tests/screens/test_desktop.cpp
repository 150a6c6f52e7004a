// What a desktop game owes its players: their own picture sets, play by keyboard, names for
// screen readers.
#include <QtTest>

#include "app_fixture.h"
#include "board_screen.h"
#include "form.h"
#include "module1.h"
#include "options_screen.h"
#include "platform.h"
#include "deal.h"
#include "results_screen.h"

class DesktopTest : public QObject
{
    Q_OBJECT

private slots:
    void playersOwnSetsAreListedAfterTheShippedOnes()
    {
        AppFixture app;
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
        app.makePictureSet(QStringLiteral("animales"), 12);
        app.makePictureSet(QStringLiteral("objetos"), 12);
        const QString own = home.path() + QStringLiteral("/trabel/graficos/");
        QDir().mkpath(own + QStringLiteral("vacaciones"));
        QDir().mkpath(own + QStringLiteral("abuelos"));
        QDir().mkpath(own + QStringLiteral("animales")); // the shipped set of that name wins
        for (int i = 0; i < 6; ++i)
            QVERIFY(AppFixture::writePicture(own + QStringLiteral("vacaciones/foto%1.jpg").arg(i),
                                             QSize(40, 30), QColor::fromHsv(i * 50, 200, 200),
                                             "jpeg"));
        Form1 *options = Runtime::Show<Form1>();
        QVERIFY(options);
        QStringList listed;
        for (int i = 0; i < options->Combo1->count(); ++i)
            listed.append(options->Combo1->itemText(i));
        QCOMPARE(listed, (QStringList{QStringLiteral("animales"), QStringLiteral("objetos"),
                                      QStringLiteral("abuelos"), QStringLiteral("vacaciones")}));

        options->Combo1->setText(QStringLiteral("vacaciones"));
        options->Command1_Click(0);
        Form2 *board = Runtime::Show<Form2>();
        QVERIFY(board);
        QCOMPARE(board->File1.Path, own + QStringLiteral("vacaciones"));
        QVERIFY(app.messages.isEmpty());
        Runtime::Unload<Form2>();

        options->Combo1->setText(QStringLiteral("animales"));
        board = Runtime::Show<Form2>();
        QVERIFY(board);
        QVERIFY(board->File1.Path.startsWith(app.folder()));
        qunsetenv("XDG_DATA_HOME");
    }

    void aWholeGameByKeyboard()
    {
        AppFixture app;
        app.makePictureSet(QStringLiteral("s"), 12);
        Module1::Player1Name = QStringLiteral("Ana");
        Form1 *options = Runtime::Show<Form1>();
        options->Combo1->setText(QStringLiteral("s"));
        // The options screen takes Enter on its focused button.
        options->Command1[0]->setFocus();
        QTest::keyClick(options->Command1[0], Qt::Key_Return);
        QVERIFY(QTest::qWaitFor([] { return Module1::PairOption == 0; }, 2000));
        QTest::keyClick(options->Command2, Qt::Key_Return);
        QVERIFY(QTest::qWaitFor([] { return Runtime::loaded<Form2>() != nullptr; }, 2000));
        Form2 *board = Runtime::loaded<Form2>();
        QCOMPARE(board->markedSlot(), -1);

        // Walk the cards in reading order; turn each pair by moving to its cards.
        QTest::keyClick(board, Qt::Key_Right);
        QCOMPARE(board->markedSlot(), 0);
        QVERIFY(board->Picture2[0]->isMarked());
        QTest::keyClick(board, Qt::Key_Down);
        QCOMPARE(board->markedSlot(), 4);
        QVERIFY(!board->Picture2[0]->isMarked());
        QTest::keyClick(board, Qt::Key_Left);
        QCOMPARE(board->markedSlot(), 3);
        QTest::keyClick(board, Qt::Key_Up);
        QCOMPARE(board->markedSlot(), 11); // wraps round the board

        const auto goTo = [board](int slot) {
            while (board->markedSlot() != slot)
                QTest::keyClick(board, Qt::Key_Right);
        };
        // A mismatch by keyboard: the board takes no keys until the cards turn back.
        const auto [a, b] = mismatchedSlots(board);
        goTo(a);
        QTest::keyClick(board, Qt::Key_Space);
        goTo(b);
        QTest::keyClick(board, Qt::Key_Return);
        QVERIFY(!board->isEnabled());
        QCOMPARE(Module1::MismatchCount, qint16(1));
        board->Timer1_Timer();

        for (int k = 0; k < 12; ++k) {
            if (board->game().faceUp[k])
                continue;
            for (int s : slotsOfPicture(board, board->CardPicture()[k])) {
                goTo(s);
                QTest::keyClick(board, Qt::Key_Space);
            }
        }
        QVERIFY(board->game().GameOver);
        QCOMPARE(board->Text1[0]->text(), QStringLiteral("6"));

        bool shown = false;
        whenShown<Form4>([&](Form4 *results) {
            shown = true;
            results->Command2->setFocus();
            QTest::keyClick(results->Command2, Qt::Key_Return);
        });
        QVERIFY(QTest::qWaitFor([&] { return shown && app.ends == 1; }, 15000));
    }

    void accessibleNames()
    {
        AppFixture app;
        app.makePictureSet(QStringLiteral("s"), 12);
        Module1::Player1Name = QStringLiteral("Ana");
        Module1::Player2Name = QStringLiteral("Luis");
        Form1 *options = Runtime::Show<Form1>();
        options->Combo1->setText(QStringLiteral("s"));
        Module1::PairOption = 0;
        Form2 *board = Runtime::Show<Form2>();
        QVERIFY(board);
        for (int k = 0; k < 12; ++k)
            QCOMPARE(board->Picture2[k]->accessibleName(), QStringLiteral("Carta %1").arg(k + 1));
        QCOMPARE(board->Text1[0]->accessibleName(), QStringLiteral("Parejas de Ana"));
        QCOMPARE(board->Text2[1]->accessibleName(), QStringLiteral("Puntos de la serie de Luis"));
        QCOMPARE(board->Command1->accessibleName(), QStringLiteral("Salir"));

        const auto [a, b] = mismatchedSlots(board);
        board->picture2_Click(a);
        const QString name = Deck::displayName(board->File1.List(board->CardPicture()[a].toInt()));
        QCOMPARE(board->Picture2[a]->accessibleName(), name);
        board->picture2_Click(b);
        board->Timer1_Timer();
        QCOMPARE(board->Picture2[a]->accessibleName(), QStringLiteral("Carta %1").arg(a + 1));
    }
};

QTEST_MAIN(DesktopTest)
#include "test_desktop.moc"
